// Monitor and error texts the link tests look for, as the reader writes them.
#pragma once

namespace velk::LinkExpected {
inline constexpr const char* Busy = "ЗАНЯТО  - ";
inline constexpr const char* NoCarrier = "НЕТ НЕСУЩЕЙ  - ";
inline constexpr const char* PortNotOpen = "ПОРТ НЕ ОТКРЫТ";
inline constexpr const char* ConnectFailed =
    "Безуспешная попытка установить соединение с другим компьютером  ";
inline constexpr const char* TimeCorrected = "КОРРЕКЦИЯ ВРЕМЕНИ ПРОИЗВЕДЕНА";
inline constexpr const char* DateCorrected = "КОРРЕКЦИЯ ДАТЫ ПРОИЗВЕДЕНА";
inline constexpr const char* Stopped = "ПРЕРВАНО ПОЛЬЗОВАТЕЛЕМ";
inline constexpr const char* AdapterNoMeter = "Нет связи между адаптером RS485 и прибором";
inline constexpr const char* Dialling = "НАБОР НОМЕРА :   ";
inline constexpr const char* DialTime = "Время набора номера: ";
inline constexpr const char* PortOpening = "ОТКРЫТИЕ ПОРТА";
inline constexpr const char* PortClosing = "ЗАКРЫТИЕ ПОРТА";
inline constexpr const char* PointerChanged = "УКАЗАТЕЛЬ ИЗМЕНИЛСЯ";
inline constexpr const char* ChangedAreaRead = "ЧТЕНИЕ ИЗМЕНЕННОЙ ОБЛАСТИ ПРОЗВЕДЕНО";
inline constexpr const char* NoAnswer = "ОТВЕТ НЕ ПОЛУЧЕН";
inline constexpr const char* LinkBroken = "РАЗРЫВ СОЕДИНЕНИЯ";
}  // namespace velk::LinkExpected
