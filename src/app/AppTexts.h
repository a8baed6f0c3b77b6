// The program's own texts, byte for byte (generated; do not retype them).
#pragma once

#include <string_view>

namespace velk::texts {

inline constexpr std::string_view DiallingLinePrefix = "Лимит времени ожидания: ";
inline constexpr std::string_view DiallingLineMiddle = " c  прошло:  ";
inline constexpr std::string_view SecondsSuffix = " c";
inline constexpr std::string_view ProgressCaption = "Чтение данных";
inline constexpr std::string_view StopCaption = "Стоп";
inline constexpr std::string_view OkCaption = "ОК";
inline constexpr std::string_view ProcessingText = "ОБРАБОТКА И СОХРАНЕНИЕ ДАННЫХ";
inline constexpr std::string_view SuccessText = "ЧТЕНИЕ ДАННЫХ УСПЕШНО ЗАВЕРШЕНО";
inline constexpr std::string_view ElapsedLabel = "Прошло:";
inline constexpr std::string_view RemainingLabel = "Осталось:";
inline constexpr std::string_view EstimateLabel = "Расчетное время:";
inline constexpr std::string_view RequestLampLabel = "запрос";
inline constexpr std::string_view AnswerLampLabel = "ответ";
inline constexpr std::string_view TaskProgressCaption = "VelkRead 1.0.0";
inline constexpr std::string_view ProgramTitle = "VelkReader 1.2.0";
inline constexpr std::string_view ProgramTitleAfterReading = "VelkReader1.2.0";
inline constexpr std::string_view ViewerRelativePath = "\\VelkView120\\VelkView120.exe";
inline constexpr std::string_view UsageCaption = "О программе VelkRead";
inline constexpr std::string_view UsageMeters = "Снятие данных с Р-37, ВТ-48, ВТ-505 ";
inline constexpr std::string_view UsageVersion = "Версия 3.0.1";
inline constexpr std::string_view UsageProgramLine = "VelkReade100.exe<*.vtb(*.dat)>   ";
inline constexpr std::string_view UsageKeys = "Ключи:";
inline constexpr std::string_view OperationalTab = "Оперативные данные";
inline constexpr std::string_view ArchivesTab = "Архивы";
inline constexpr std::string_view ConstantsTab = "Раздел констант";
inline constexpr std::string_view HexTab = "Дамп (Hex)";
inline constexpr std::string_view UsageSwitch0 = "?";
inline constexpr std::string_view UsageSwitch1 = "-В<*.dat(*.dtm)>";
inline constexpr std::string_view UsageSwitch2 = "-P<номер СОМ-порта>";
inline constexpr std::string_view UsageSwitch3 = "-A<адрес устройства(1..255)>";
inline constexpr std::string_view UsageSwitch4 = "-M<номер телефона>";
inline constexpr std::string_view UsageSwitch5 = "-S<номер телефона + адрес устройства(три цифры 001..255)>";
inline constexpr std::string_view UsageSwitch6 = "-F<*.tsm>";

}  // namespace velk::texts
