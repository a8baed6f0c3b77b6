// Texts written into the report files, byte for byte as the viewer program and
// the users know them (UTF-8 here; converted to Windows-1251 when written).
// Look-alike letters matter: "А3c" ends in a Latin c, "А3с" in a Cyrillic one.
#pragma once

namespace velk::report_texts {

inline constexpr const char* KindHeatMeter = "Теплосчетчик";
inline constexpr const char* KindFlowMeter = "Счетчик-расходомер";
inline constexpr const char* KindFlowConverter = "Преобразователь расхода";
inline constexpr const char* CreateFileError = "Ошибка создания Файла '";
inline constexpr const char* WriteFileError = "Ошибка записи в Файл";
inline constexpr const char* ReadFileError = "Ошибка чтения из Файла ";  // + path
inline constexpr const char* TypeUnknown = "Тип не определен";
inline constexpr const char* TsdChannelOpen = "  (";
inline constexpr const char* TsdChannelClose = ") ";
inline constexpr const char* TsdPulseCounterKind = "счетчик импульсов";
inline constexpr const char* TsdTypeStrizh4 = "СТРИЖ-4";
inline constexpr const char* TsdTypeStrizh16 = "СТРИЖ-16";
inline constexpr const char* SchemeA2 = "А2";
inline constexpr const char* SchemeA3p = "А3п";
inline constexpr const char* SchemeA3o = "А3о";
inline constexpr const char* SchemeA1p = "А1п";
inline constexpr const char* SchemeA1o = "А1о";
inline constexpr const char* SchemeA2b = "А2b";
inline constexpr const char* SchemeA4p = "А4п";
inline constexpr const char* SchemeA4o = "А4о";
inline constexpr const char* SchemeA3cLatin = "А3c";
inline constexpr const char* SchemeA3sCyr = "А3с";
inline constexpr const char* SchemeP3sCyr = "P3с";
inline constexpr const char* SchemeOff = "выкл";
inline constexpr const char* TypeVtmE = "ВТМ-Е-";
inline constexpr const char* TypeSystem1Suffix = " / 1";
inline constexpr const char* TypeMini = "P-37 МИНИ - ";
inline constexpr const char* TypeDash = " - ";
inline constexpr const char* TypeSparka = "P-37 СПАРКА - ";
inline constexpr const char* TypeTandem = "ВТМ-64-ТАНДЕМ -";
inline constexpr const char* TypeKvarta = "ВТМ-64-КВАРТА -";
inline constexpr const char* TypeKvartaS = "ВТМ-64-КВАРТА-С -";
inline constexpr const char* TypeTandemS = "ВТМ-64-ТАНДЕМ-С -";
inline constexpr const char* TypeZent = "ЗЕНТ-3000-И - ";
inline constexpr const char* TypeSystem2Suffix = " / 2";
inline constexpr const char* TypeTandem2 = "ВТМ-64-ТАНДЕМ - ";
inline constexpr const char* TypeTandemS2 = "ВТМ-64-ТАНДЕМ-С - ";

// Notations: the labels the viewer shows over each quantity.
inline constexpr const char* NotQ1 = "Q1";
inline constexpr const char* Notq1 = "q1";
inline constexpr const char* NotG1 = "G1";
inline constexpr const char* NotG2 = "G2";
inline constexpr const char* NotG3 = "G3";
inline constexpr const char* NotG3G4 = "G3-G4";
inline constexpr const char* Notg1 = "g1";
inline constexpr const char* Notg2 = "g2";
inline constexpr const char* Notg3 = "g3";
inline constexpr const char* NotV = "V";
inline constexpr const char* NotV1 = "V1";
inline constexpr const char* NotV2 = "V2";
inline constexpr const char* NotV3 = "V3";
inline constexpr const char* NotV3V4 = "V3-V4";
inline constexpr const char* Notv = "v";
inline constexpr const char* Notv1 = "v1";
inline constexpr const char* Notv2 = "v2";
inline constexpr const char* Notv3 = "v3";
inline constexpr const char* Notv3v4 = "v3-v4";
inline constexpr const char* NotT = "T";
inline constexpr const char* NotT1 = "T1";
inline constexpr const char* NotT2 = "T2";
inline constexpr const char* NotT3 = "T3";
inline constexpr const char* NotT1T2 = "T1-T2";
inline constexpr const char* NotTk = "Tk";
inline constexpr const char* NotP1 = "P1";
inline constexpr const char* NotP2 = "P2";
inline constexpr const char* NotP3 = "P3";
inline constexpr const char* NotWork = "Tшр";
inline constexpr const char* NotErrorCode = "Код НС";
inline constexpr const char* NotQ2 = "Q2";
inline constexpr const char* Notq2 = "q2";
inline constexpr const char* NotG4 = "G4";
inline constexpr const char* Notg4 = "g4";
inline constexpr const char* NotV4 = "V4";
inline constexpr const char* NotV5 = "V5";
inline constexpr const char* Notv4 = "v4";
inline constexpr const char* NotT4 = "T4";
inline constexpr const char* NotT3T4 = "T3-T4";
inline constexpr const char* NotP4 = "P4";
inline constexpr const char* TsdNotN = "N";
inline constexpr const char* TsdNotV = "V";

}  // namespace velk::report_texts
