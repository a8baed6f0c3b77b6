// Texts of the report tabs, byte for byte as the program shows them.
#pragma once

namespace velk::report_view_texts {

inline constexpr const char* TotalsPage = "LastReadData, PrevReadData, LastHourData";
inline constexpr const char* HeaderLabels[] = {"Версия файла (FileVersion)",
                                               "Размер заголовка (HeaderSize)",
                                               "Серийный номер (SerualNumber)",
                                               "Тип теплосчетчика (DeviceType)",
                                               "Дата, время инициализации (InitDateTime)",
                                               "Кол-во записей часового архива (HourRecordCount)",
                                               "Кол-во записей суточного архива (DayRecordCount)",
                                               "Кол-во записей месячного архива (MonthRecordCount)",
                                               "Температура холодной воды (Txw)"};
inline constexpr const char* RecordHeadings[] = {
    "Дата, время", "Q, Гдж", "G1, т",  "G2, т",   "G3, т",   "V1, т",   "V2, т", "V3, т",
    "T1, oC",      "T2, oC", "T3, oC", "P1, МПа", "P2, МПа", "P3, МПа", "Тшр",   "Код НС"};
inline constexpr const char* ChannelNumber = "№ канала";
inline constexpr const char* PulsePrice = "Цена импульса";
inline constexpr const char* NotationN = "Обозночение N";
inline constexpr const char* NotationV = "Обозночение V";
inline constexpr const char* VolumeM3 = "V, м3";
inline constexpr const char* ReportVolumeM3 = "Vотч, м3";
inline constexpr const char* DateTimeTitle = "Дата, Время";
inline constexpr const char* DateTimeSample = "00.00.0000 00:00:00";
inline constexpr const char* NSlashV = "N / V,м3";
inline constexpr const char* Slash = " / ";
inline constexpr const char* NotQCaption = "Обозначение тепловой энергии (NotQ)";

}  // namespace velk::report_view_texts
