// Texts of the decoders and the dispatcher, byte for byte as the program shows them.
#pragma once

namespace velk::texts {

// Measuring schemes.
inline constexpr const char* SchemeA3p = "А3п";
inline constexpr const char* SchemeA3o = "А3о";
inline constexpr const char* SchemeA2 = "А2";
inline constexpr const char* SchemeA3s = "А3с";
inline constexpr const char* SchemeA2b = "А2b";
inline constexpr const char* SchemeA4p = "А4п";
inline constexpr const char* SchemeA4o = "А4о";
inline constexpr const char* SchemeA1p = "А1п";
inline constexpr const char* SchemeA1o = "А1о";
inline constexpr const char* SchemeOff = "выкл";
inline constexpr const char* SchemeKvarta = "Кварта";
inline constexpr const char* SchemeKvartaS = "Кварта-С";
inline constexpr const char* SchemeP2 = "P2";
inline constexpr const char* SchemeP3s = "P3с";
// Dispatcher.
inline constexpr const char* MainCaptionPrefix = "VelkReader 1.2.0  Файл:  ";
inline constexpr const char* NoNumberInsert = "-000";
inline constexpr const char* DtmExtension = ".dtm";
inline constexpr const char* DecodeFailedMessage = "Ошибка преобразования данных";
inline constexpr const char* OpenFailedMessage = "Ошибка открытия Файла ";
inline constexpr const char* ReadFailedMessage = "Ошибка чтения из Файла ";
// Records without a usable date.
inline constexpr const char* NoDataDate = "Нет";
inline constexpr const char* NoDataTime = "данных";

}  // namespace velk::texts
