// The main window's own texts, byte for byte (generated from the system's text list; do not retype them).
#pragma once

namespace velk::gui::texts {

inline constexpr const char* TopPanelCaption = "Чтение данных  ";
inline constexpr const char* BuTestCaption = "Читать";
inline constexpr const char* ModBoxItem0 = "Интерфейс RS232";
inline constexpr const char* ModBoxItem1 = "Интерфейс  RS485";
inline constexpr const char* ModBoxItem2 = "Модем (GSM-модем)";
inline constexpr const char* ModBoxItem3 = "Модем (GSM-модем) + RS485";
inline constexpr const char* ModBoxItem4 = "Ihternet(MOXA)";
inline constexpr const char* ModBoxItem5 = "Ihternet(MOXA+RLZ)";
inline constexpr const char* ModBoxItem6 = "Ihternet(LINKORA)";
inline constexpr const char* ModBoxItem7 = "НКП-3М";
inline constexpr const char* ModBoxItem8 = "ЛТР, ЛТР-2";
inline constexpr const char* ModBoxHint = "Выбрать способ связи с теплосчетчиком";
inline constexpr const char* PortLabel = "Порт";
inline constexpr const char* PhoneLabel = "Номер телефона";
inline constexpr const char* HostLabel = "IP адрес";
inline constexpr const char* AddressLabel = "Адрес в сети";
inline constexpr const char* RgTaskCaption = " Режим чтения данных ";
inline constexpr const char* RgTaskItem0 = "Полный архив";
inline constexpr const char* RgTaskItem1 = "Последние изменения";
inline constexpr const char* RgTaskItem2 = "Оперативные данные";
inline constexpr const char* BuTestHint = "Считать данные с теплосчетчика";
inline constexpr const char* MonitorTab = "Монитор обмена";
inline constexpr const char* MenuLink = "Связь";
inline constexpr const char* MenuRs232 = "Интерфейс RS232";
inline constexpr const char* MenuRs485 = "Интерфейс RS485";
inline constexpr const char* MenuModem = "Модем (GSM)";
inline constexpr const char* MenuModemRs485 = "Модем (GSM) + RS485";
inline constexpr const char* MenuMoxa = "Ihternet (MOXA)";
inline constexpr const char* MenuMoxaRlz = "Iternet(MOXA+RLZ)";
inline constexpr const char* MenuLinkora = "Ithernet(LINKORA)";
inline constexpr const char* MenuConnectSettings = "Параметры связи";
inline constexpr const char* AutoPollOff = "Автоопрос порта: ВЫКЛЮЧЕН";
inline constexpr const char* ShowRtcRecords = "Показывать записи RTC";
inline constexpr const char* ShowEmptyRecords = "Показывать пустые записи";
inline constexpr const char* DataPanel = "Панель данных";
inline constexpr const char* MenuFile = "Файл";
inline constexpr const char* MenuSettings = "Настройки";
inline constexpr const char* MenuAbout = "О программе";
inline constexpr const char* MenuExit = "Выход";
inline constexpr const char* MenuOpen = "Открыть";
inline constexpr const char* DumpFilter = "Бинарные файлы ВТ-48, Р-37, ВТ-505 (*.dat; *.dtm;*.vsb)|*.dat; *.dtm; *.vsb|Все файлы (*.*)|*.*";
inline constexpr const char* ViewCaption = "ПРОСМОТР";
inline constexpr const char* CurrentValuesBox = "Данные на ЖКИ в момент чтения";
inline constexpr const char* IdentificationBox = "Идентификация";
inline constexpr const char* OperationalTab = "Оперативные данные";
inline constexpr const char* ArchivesTab = "Архивы";
inline constexpr const char* DayTab = "Суточный";
inline constexpr const char* Tsv1Tab = "-01.tsv";
inline constexpr const char* Tsv2Tab = "-02.tsv";
inline constexpr const char* TsdTab = "*.tsd";
inline constexpr const char* ConnectDialogCaption = "Параметры связи";
inline constexpr const char* HexTab = "Дамп (Hex)";
inline constexpr const char* ConstantsTab = "Раздел констант";
inline constexpr const char* MenuJoinFiles = "Соединить файлы";
inline constexpr const char* JoinFolderCaption = "Директория данных";

}  // namespace velk::gui::texts
