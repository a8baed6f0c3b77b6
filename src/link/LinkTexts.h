// Texts the reader writes to the exchange monitor and shows for its status
// codes, byte for byte. The "(0)" prefix of some lines is part of the text.
// Generated from the text table; do not retype.
#pragma once

namespace velk::LinkText {

inline constexpr char OpenPort[] = "ОТКРЫТИЕ ПОРТА\r\n";
inline constexpr char PortNotOpen[] = "ПОРТ НЕ ОТКРЫТ";
inline constexpr char ConnectFailed[] = "Безуспешная попытка установить соединение с другим компьютером  ";
inline constexpr char DialPrefix[] = "atd";
inline constexpr char Dialling[] = "НАБОР НОМЕРА :   ";
inline constexpr char EchoPrefix[] = "ATD";
inline constexpr char BusyPrefix[] = "BUS";
inline constexpr char Busy[] = "BUSY";
inline constexpr char CarrierPrefix[] = "CAR";
inline constexpr char NoCarrier[] = "NO CARRIER";
inline constexpr char DialTonePrefix[] = "DIA";
inline constexpr char NoDialTone[] = "NO DIALTONE";
inline constexpr char ConnectPrefix[] = "CON";
inline constexpr char OutcomeConnected[] = "СОЕДИНЕНИЕ УСТАНОВЛЕНО  -";
inline constexpr char OutcomeBusy[] = "ЗАНЯТО  - ";
inline constexpr char OutcomeNoCarrier[] = "НЕТ НЕСУЩЕЙ  - ";
inline constexpr char OutcomeNoDialTone[] = "НЕТ СИГНАЛА ЛИНИИ  -";
inline constexpr char DialTime[] = "Время набора номера: ";
inline constexpr char SecondsLine[] = " c\r\n";
inline constexpr char ClosePort[] = "ЗАКРЫТИЕ ПОРТА\r\n";
inline constexpr char SocketCloseError[] = "Ошибка  ClientSocket1.Close";
inline constexpr char WakeUp[] = "ИНИЦИАЛИЗАЦИЯ ИНТЕРФЕЙСА\r\n";
inline constexpr char LinkBroken[] = "РАЗРЫВ СОЕДИНЕНИЯ\r\n";
inline constexpr char Request[] = "ЗАПРОС:\r\n";
inline constexpr char NoAnswer[] = "ОТВЕТ НЕ ПОЛУЧЕН\r\n";
inline constexpr char Answer[] = "ОТВЕТ:\r\n";
inline constexpr char ReceptionBroken[] = "ПРИЕМ ПРЕРВАН";
inline constexpr char ZeroAnswer[] = "(0) ОТВЕТ:";
inline constexpr char AdapterNoLink[] = "Нет связи между адаптером RS485 и прибором";
inline constexpr char AnswerOk[] = "\r\nОТВЕТ:\r\n";
inline constexpr char RowSeparator[] = " :  ";
inline constexpr char DataCrc[] = " CRC: ";
inline constexpr char BareCrc[] = "CRC: ";
inline constexpr char ChecksumOk[] = "КОНТРОЛЬНАЯ СУММА - ОК";
inline constexpr char Received[] = "(0) Принято ";
inline constexpr char Bytes[] = " байт";
inline constexpr char FirstByteWait[] = "Время ожидания певого байта:";
inline constexpr char Seconds[] = " c";
inline constexpr char AnswerTime[] = "Время приема пакета ответа:";
inline constexpr char StoppedByUser[] = "ПРЕРВАНО ПОЛЬЗОВАТЕЛЕМ\r\n";
inline constexpr char TimeCorrected[] = "КОРРЕКЦИЯ ВРЕМЕНИ ПРОИЗВЕДЕНА\r\n";
inline constexpr char DateCorrected[] = "КОРРЕКЦИЯ ДАТЫ ПРОИЗВЕДЕНА\r\n";
inline constexpr char PointerChanged[] = "(0) УКАЗАТЕЛЬ ИЗМЕНИЛСЯ";
inline constexpr char ChangedAreaRead[] = "(0) ЧТЕНИЕ ИЗМЕНЕННОЙ ОБЛАСТИ ПРОЗВЕДЕНО";
inline constexpr char FirstChangedAreaRead[] = "(0) ЧТЕНИЕ 1- й ИЗМЕНЕННОЙ ОБЛАСТИ ПРОЗВЕДЕНО";
inline constexpr char SecondChangedAreaRead[] = "(0) ЧТЕНИЕ 2- й ИЗМЕНЕННОЙ ОБЛАСТИ ПРОЗВЕДЕНО";

// Status texts by code; the unknown-code text is UnknownCodePrefix + code + UnknownCodeSuffix.
struct StatusTextEntry {
  int Code;
  const char* Text;
};
inline constexpr StatusTextEntry StatusTexts[] = {
    {0, "КОНТРОЛЬНАЯ СУММА - ОК "},
    {1, "ПРИЕМ ПРЕРВАН "},
    {2, "СИНХРОБАЙТЫ НЕ НАЙДЕНЫ "},
    {3, "НЕ СОВПАДАЕТ КОНТРОЛЬНАЯ СУММА "},
    {4, "НЕ СОВПАДАЕТ АДРЕС В ПАКЕТЕ ОТВЕТА "},
    {5, "ОТВЕТ НЕ ПОЛУЧЕН "},
    {6, "НЕ СОВПАДАЮТ КОД И ПАРАМЕТРЫ КОМАНДЫ  "},
    {7, "ЗАПРОС НЕ ОПРЕДЕЛЕН "},
    {8, "ПРЕРВАНО ПОЛЬЗОВАТЕЛЕМ "},
    {9, "СОЕДИНЕНИЕ НЕ УСТАНОВЛЕНО "},
    {11, "ОШИБКА ОТКРЫТИЯ ПОРТА "},
    {12, "ОЖИДАНИЕ ПЕРВОГО БАЙТА ОТВЕТА "},
    {14, "ОЖИДАНИЕ ОЧЕРЕДНОГО БАЙТА ОТВЕТА "},
    {15, "НЕТ СВЯЗИ МЕЖДУ АДАПТЕРОМ И ПРИБОРОМ "},
};
inline constexpr char UnknownCodePrefix[] = "КОД ";
inline constexpr char UnknownCodeSuffix[] = "  - НЕИЗВЕСТНАЯ ОШИБКА ";

}  // namespace velk::LinkText
