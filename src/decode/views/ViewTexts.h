// Texts of the data views, byte for byte as the program shows them (generated; do not retype).
#pragma once

namespace velk::viewtext {

inline constexpr const char* LsdBoxCaption = "Данные на ЖКИ в момент чтения";
inline constexpr const char* IdentBoxCaption = "Идентификация";
inline constexpr const char* TypeLabel = "Тип";
inline constexpr const char* ZavNumberLabel = "Заводской №";
inline constexpr const char* InitTimeLabel = "Дата, время инициализации";
inline constexpr const char* ReadTimeLabel = "Дата, время устройства чтения";
inline constexpr const char* AccumulatedCaption = "Накопленнае данные на  ";
inline constexpr const char* LabelQ1 = "Q1, ГДж";
inline constexpr const char* LabelQ2 = "Q2, ГДж";
inline constexpr const char* LabelTsr1 = "Тшр1";
inline constexpr const char* LabelTsr2 = "Тшр2";
inline constexpr const char* LabelG[] = {"G1, т", "G2, т", "G3, т", "G4, т"};
inline constexpr const char* LabelV[] = {"V1, м3", "V2, м3", "V3, м3", "V4, м3", "V5, м3"};
inline constexpr const char* LabelQCompact = "Q, ГДж";
inline constexpr const char* LabelVFlowMeter = "V, м3";
inline constexpr const char* PulseEditPrefix = "V";
inline constexpr const char* PulseEditJoin = " | V";
inline constexpr const char* PulseEditSuffix = ", м3";
inline constexpr const char* LsdPulseRow0[] = {"Дата | Время", "Зав.номер | Версия", "U_пит, В", "Код НС",
                                               "Число отч. периода"};
inline constexpr const char* PulseJoin = "  |  ";
inline constexpr const char* LsdPulseRow2[] = {"Идентификатор", "V, м3", "V, м3 на пред. отч. дату",
                                               "Вес имп., л | № канала", "Количество импульсов"};
inline constexpr const char* Lsd53Captions[8][5] = {
    {"Q1, Гдж", "q1, Гдж/ч", "Q2, Гдж", "q2, Гдж/ч", "Версия"},
    {"G1, т", "G2, т", "G3, т", "G4, т", "Дата, Время"},
    {"g1, т/ч", "g2, т/ч", "g3, т/ч", "g4, т/ч", "Код НС"},
    {"Т1, оС", "Т2, оС", "Т3, оС", "Т4, оС", "Тк, оС"},
    {"Время штат.раб.1", "Т1-Т2, оС", "Время штат.раб.2", "Т3-Т4, оС", "Зав. №, Версия ПО"},
    {"P1, кг/см2", "P2, кг/см2", "P3, кг/см2", "P4, кг/см2", "Uпит., В"},
    {"V1, м3", "V2, м3", "V3, м3", "V4, м3", "V5, м3"},
    {"Цена имп. V1, л", "Цена имп. V2, л", "Цена имп. V3, л", "Цена имп. V4, л", "Цена имп. V5, л"}};
inline constexpr const char* LsdWidthSample = "Время штат.раб.2";
inline constexpr const char* SchemeJoin = "-";
inline constexpr const char* HighError = "п Error";
inline constexpr const char* LowError = "u Error";
inline constexpr const char* NoValue4 = "----";
inline constexpr const char* NoValue6 = "------";
inline constexpr const char* PlainError = "Error";
inline constexpr const char* LsdOldCaptions[8][4] = {
    {"W1, м3", "W2, м3", "W3-W4, м3", "Время работы, ч"},
    {"w1, м3/ч", "w2, м3/ч", "w3, м3/ч", "w4, м3/ч"},
    {"Т1, оС", "Т2, оС", "Т3, оС", "Т1-Т2, оС"},
    {"P1, кг/см2", "P2, кг/см2", "P1-Р2, кг/см2", "Тхв, оС"},
    {"Q1, ГДж", "-----", "Q2, ГДж", "Время ошибки"},
    {"q1, кВт", "Uбат, В", "q2, кВт", "Код НС"},
    {"Цена имп. W1, W2, л", "Цена имп. W3, W4, л", "Версия", "Серийный №"},
    {"G1, т", "G2, т", "G3-G4, т", "Минуты"}};
inline constexpr const char* RowNumbers[] = {"1", "2", "3", "4"};
inline constexpr const char* LsdCompactRow0[] = {"Q1, Гдж", "G1, т",  "G2, т",
                                                 "Т1, оС",  "Т2, оС", "Т1-Т2, оС"};
inline constexpr const char* LsdCompactCooling = "Qохл";
inline constexpr const char* LsdCompactRow2[] = {"q1, Гдж/ч", "g1, т/ч", "g2, т/ч",
                                                 "Дата",      "Время",   "Время штат.раб."};
inline constexpr const char* LsdCompactNewDate = "T1-T2, oC";
inline constexpr const char* LsdCompactNewTime = "Дата, Время";
inline constexpr const char* LsdCompactRow4[] = {"Код НС", "V1, м3",   "V2, м3",
                                                 "V3, м3", "Uпит., В", "Версия ПО"};
inline constexpr const char* LsdCompactRow6[] = {"Версия",          "Тк, оС", "Цена имп. V2, л",
                                                 "Цена имп. V3, л", "Зав. №", "Мод"};
inline constexpr const char* LsdFlowRow0[] = {"V, м3", "Q, м3/ч", "Т1, оС"};
inline constexpr const char* LsdFlowRow2[] = {"Vд, м3", "Дата, Время", "Uпит., В"};
inline constexpr const char* LsdFlowRow4[] = {"Код НС", "Зав. №", "Цена имп., л"};
inline constexpr const char* HourColumnsOld[] = {"Дата",       "Время",  "Q1,ГДж",  "T1, оС",
                                                 "T2, оС",     "T3, оС", "V1,  м3", "V2,  м3",
                                                 "V3-V4,  м3", "P1,атм", "P2,атм",  "EE Adr"};
inline constexpr const char* HourColumnsCompact[] = {"Дата",   "Время",   "Q,ГДж",   "T1, оС",
                                                     "T2, оС", "V1,  м3", "V2,  м3", "V3,  м3",
                                                     "K     ", "Tшр нар", "Tшр",     "EE Adr"};
inline constexpr const char* HourColumns53[] = {"Дата",    "Время",  "Q1,ГДж", "Q2,ГДж", "T1, оС", "T2, оС",
                                                "T3, оС",  "T4, оС", "G1,  т", "G2,  т", "G3,  т", "G4,  т",
                                                "V5,  м3", "P1,атм", "P2,атм", "P3,атм", "P4,атм", "K1",
                                                "K2",      "Tшр1",   "Tшр2",   "Uбат,В", "EE Adr"};
inline constexpr const char* HourColumns54[] = {"Дата",   "Время",  "Q1,ГДж", "T1, оС", "T2, оС",
                                                "T3, оС", "G1,  т", "G2,  т", "G3,  т", "K1",
                                                "Tшр1",   "Uбат,В", "EE Adr"};
inline constexpr const char* HourColumnsFlow[] = {"Дата", "Время", "V,м3", "T, оС", "K     ", "EE Adr"};
inline constexpr const char* HourColumnsPulseHead[] = {"Дата", "Время"};
inline constexpr const char* PulseColumnPrefix = "V";
inline constexpr const char* PulseColumnSuffix = "  м3";
inline constexpr const char* HourColumnsPulseTail[] = {"Код НС", "EE Adr"};
inline constexpr const char* DayColumns53[] = {"Дата",    "Время",  "Q1,ГДж", "Q2,ГДж", "T1, оС", "T2, оС",
                                               "T3, оС",  "T4, оС", "G1,  т", "G2,  т", "G3,  т", "G4,  т",
                                               "V5,м3/ч", "P1,атм", "P2,атм", "P3,атм", "P4,атм", "K1",
                                               "K2",      "Tшр1",   "Tшр2",   "EE Adr"};
inline constexpr const char* DayColumns54[] = {"Дата",   "Время",  "Q1,ГДж", "T1, оС", "T2, оС", "T3, оС",
                                               "G1,  т", "G2,  т", "G3,  т", "K1",     "Tшр1",   "EE Adr"};
inline constexpr const char* TimeWidthSample = "55.55.55";
inline constexpr const char* DateWidthSample = "55.55.5555";
inline constexpr const char* WorkWidthSample = "55555555";
inline constexpr const char* BadTemperature = "???";
inline constexpr const char* RtcMark = "RTC";
inline constexpr const char* ResetMark = "Reset";
inline constexpr const char* Broken = "обрыв";
inline constexpr const char* OverloadLong = "перегруз";
inline constexpr const char* Overload = "перегр";
inline constexpr const char* HexFileHeading = "File";
inline constexpr const char* HexAddressHeading = "RAM & EEP";
inline constexpr const char* EepromLabel = "(EE)  ";
inline constexpr const char* RamLabel = "(RAM)  ";
inline constexpr const char* HexOffsetSample = "55555";
inline constexpr const char* HexByteSample = "555";
inline constexpr const char* ConstType = "Тип";
inline constexpr const char* ConstRamStart = "Нач. адр. RAM";
inline constexpr const char* ConstEepromSize = "Объем EEPROM";
inline constexpr const char* ConstDisplayTime = "Время инд, мин";
inline constexpr const char* ConstVer = "Ver";
inline constexpr const char* ConstFirmware = "Версия ПО";
inline constexpr const char* ConstCoefficientLetters[] = {"A", "B", "C", "D"};
inline constexpr const char* ConstPulsePrice = "Цена импульса";
inline constexpr const char* ConstHourDescriptor = "Дескриптор часового архива";
inline constexpr const char* ConstDayDescriptor = "Дескриптор суточного архива";
inline constexpr const char* ConstColdWater = "Тx, оС";
inline constexpr const char* ConstTestMode = "Тестовый режим";
inline constexpr const char* ConstWriteEnable = "Разрешение записи";
inline constexpr const char* On = "вкл";
inline constexpr const char* Off = "выкл";
inline constexpr const char* ConstV1Coefficients = "Коэффициенты  канала V1";
inline constexpr const char* ConstV1CoefficientLabels[] = {"A0", "B0", "T0", "A1", "B1", "T1",
                                                           "A2", "B2", "T2", "A3", "B3", "Масштаб"};
inline constexpr const char* ConstReturnCold = "Т2к, оС";
inline constexpr const char* ConstMonthDay = "День месяца ";
inline constexpr const char* ConstChannelCount = "Число каналов";
inline constexpr const char* ConstFlags = "Инд./Мульт.";
inline constexpr const char* YesSlash = "Да/";
inline constexpr const char* NoSlash = "Нет/";
inline constexpr const char* Yes = "Да";
inline constexpr const char* No = "Нет";
inline constexpr const char* OldHourFirst = "0224";
inline constexpr const char* OldHourLast = "3FFF";

}  // namespace velk::viewtext
