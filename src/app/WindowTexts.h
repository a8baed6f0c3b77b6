// The main window's and the settings dialog's own texts: menus, the read
// panel, hints, dialog captions, page and control labels, file-dialog filters
// (generated from the texts the users know; do not retype them). Texts shared
// with the data views and the carrier page come from their own headers.
#pragma once

#include <string_view>

#include "app/AppTexts.h"
#include "carrier/CarrierTexts.h"

namespace velk::texts {

// The top panel and its controls.
inline constexpr std::string_view ReadPanelCaption = "Чтение данных  ";
// MODBox items 0..8; the two carriers are the carrier names.
inline constexpr std::string_view MODBoxItems[] = {
    "Интерфейс RS232",           "Интерфейс  RS485",    "Модем (GSM-модем)",
    "Модем (GSM-модем) + RS485", "Ihternet(MOXA)",      "Ihternet(MOXA+RLZ)",
    "Ihternet(LINKORA)",         carrier_text::NameNkp, "ЛТР, ЛТР-2"};
inline constexpr std::string_view MODBoxHint = "Выбрать способ связи с теплосчетчиком";
inline constexpr std::string_view ComboBox1Label = "Порт";
inline constexpr std::string_view PhoneLabel = "Номер телефона";
inline constexpr std::string_view HostLabel = "IP адрес";
inline constexpr std::string_view IP_PortEditLabel = "Порт";
inline constexpr std::string_view LEdSetevoyAdrLabel = "Адрес в сети";
inline constexpr std::string_view RGTaskCaption = " Режим чтения данных ";
// RGTask items 0..2.
inline constexpr std::string_view RGTaskItems[] = {"Полный архив", "Последние изменения", OperationalTab};
inline constexpr std::string_view BuTestCaption = "Читать";
inline constexpr std::string_view BuTestHint = "Считать данные с теплосчетчика";
// The monitor page TabSheet5; also the label of the settings check box MonitorChBox.
inline constexpr std::string_view MonitorTab = "Монитор обмена";
// Menu "Связь": RS2321, RS4851, MenuModem, MenuModemRS485, IhternetMOXA1, IternetMOXARLZ1, IthernetLINKORA1.
inline constexpr std::string_view LinkMenuItems[] = {
    "Интерфейс RS232", "Интерфейс RS485",   "Модем (GSM)",      "Модем (GSM) + RS485",
    "Ihternet (MOXA)", "Iternet(MOXA+RLZ)", "Ithernet(LINKORA)"};
inline constexpr std::string_view LinkMenu = "Связь";
inline constexpr std::string_view N4Caption = "Параметры связи";
// The other menus and items of the main window.
inline constexpr std::string_view FileMenu = "Файл";
inline constexpr std::string_view SettingsMenu = "Настройки";
inline constexpr std::string_view AboutMenu = "О программе";
inline constexpr std::string_view ExitItem = "Выход";
inline constexpr std::string_view OpenItem = "Открыть";
inline constexpr std::string_view JoinFilesItem = "Соединить файлы";
inline constexpr std::string_view RTC1Caption = "Показывать записи RTC";
inline constexpr std::string_view PFRecCaption = "Показывать пустые записи";
inline constexpr std::string_view AcViewCaption = "ПРОСМОТР";
// Tabs of the data panel beside those of the data views.
inline constexpr std::string_view DayArchiveTab = "Суточный";
inline constexpr std::string_view Tsv1Tab = "-01.tsv";
inline constexpr std::string_view Tsv2Tab = "-02.tsv";
inline constexpr std::string_view TsdTab = "*.tsd";
// File dialogs and folder choosers; filters are "description|patterns" pairs.
inline constexpr std::string_view OpenDumpFilter =
    "Бинарные файлы ВТ-48, Р-37, ВТ-505 (*.dat; *.dtm;*.vsb)|*.dat; *.dtm; *.vsb|Все файлы (*.*)|*.*";
inline constexpr std::string_view JoinFolderCaption = "Директория данных";
inline constexpr std::string_view DataFolderCaption = "Директория для данных";
inline constexpr std::string_view ViewerFilter =
    "Запускающие файлы программ (*.exe)|*.exe|Все файлы (*.*)|*.*";
// The settings dialog TConnectProp: caption, pages, buttons.
inline constexpr std::string_view ConnectPropCaption = "Параметры связи";
inline constexpr std::string_view ProgramSettingsPage = "  Настройки программы  ";
inline constexpr std::string_view LinkSettingsPage = "  Параметры связи  ";
inline constexpr std::string_view Rs232Page = "   RS232   ";
inline constexpr std::string_view Rs485Page = "   RS485   ";
inline constexpr std::string_view ModemPage = "   Модем   ";
inline constexpr std::string_view CancelButton = "Отмена";
// Settings dialog control labels; OPVDataVisible and CONSTDataVisible are labelled OperationalTab and
// ConstantsTab, the carrier pages are named after the carriers (MODBoxItems 7 and 8).
inline constexpr std::string_view TSVCncLabel = "Соединять файлы *.tsv";
inline constexpr std::string_view SaveDATLabel = "Сохранять файлы *.dat";
inline constexpr std::string_view DATAPanelVisibleLabel = "Панель данных";
inline constexpr std::string_view DUMPDataVisibleLabel = "Дамп ";
inline constexpr std::string_view DATDirCreateLabel = "Создавать поддиректории для каждого теплосчетчика";
inline constexpr std::string_view LabeledEdit1Label = "Макс. архив";
inline constexpr std::string_view UpDown1Unit = "мес.";
inline constexpr std::string_view FeierLabel = "Инициализация обмена, мс";
inline constexpr std::string_view TimeOutLabel = "Время ожидания первого байта, мс ";
inline constexpr std::string_view MultiplierLabel = "Время ожидания байта в пакете, мс";
inline constexpr std::string_view PovtorLabel = "Количество повторов";
inline constexpr std::string_view ConnectTimeLabel = "Макс. время дозвона, с";
inline constexpr std::string_view TimeCorrectLabel = "Коррекция времени";
inline constexpr std::string_view CarrierTimeOutLabel = "Время ожидания ответа, мс ";
inline constexpr std::string_view CarrierMultiplierLabel = "Время ожидания байта, мс";
inline constexpr std::string_view NKPAutoTimeCorrectCBLabel = "Автокоррекция даты и времени";
inline constexpr std::string_view EdDataDirLabel = "Директория данных теплосчетчиков";
inline constexpr std::string_view EdDirTSViewLabel = "Путь к программе ПРОСМОТРА ";
// Baud boxes (codes 6, 7, 9) and packet-size boxes (divisors 1, 2, 4, 8, 16).
inline constexpr std::string_view Rs232BaudItems[] = {"4800", "9600"};
inline constexpr std::string_view BaudItems[] = {"4800", "9600", "19200"};
inline constexpr std::string_view PacketItems[] = {"256", "128", "64", "32", "16"};

}  // namespace velk::texts
