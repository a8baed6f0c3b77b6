// The constants view ("Раздел констант"): the meter's constant section decoded
// from fixed EEPROM addresses, in groups shown or hidden by device family.
#pragma once

#include <string>
#include <vector>

#include "common/DumpImage.h"
#include "decode/DecodedValues.h"
#include "decode/views/Grid.h"

namespace velk {

// Groups, in this order (Name: edits):
//   "Identification": Edit48 "Тип", Edit2 "Нач. адр. RAM", Edit32 "Ver", Edit49 "Версия ПО",
//                     Edit5 "Объем EEPROM", Edit7 "Время инд, мин", LEdit6 "Тx, оС" (pulse
//                     counters: "Число каналов"), LEdit50 ("Т2к, оС" or "Инд./Мульт."), Edit51
//   "HourDescriptor", "DayDescriptor": first record, last byte, next record at the previous
//                     reading, next record, record length (Edit38, 39, 42, 40, 41 / 43, 44, 47, 45, 46)
//   "ChannelV1Coefficients": Edit52..Edit63 "A0" .. "B3", "Масштаб"
//   "T1".."T4": coefficients "A", "B", "C", "D"; "P1".."P4": "A", "B"
//   "PulsePrices": Edit33..Edit37, labelled V1..V5
//   "Status": Label242 "Тестовый режим", Label243 "Разрешение записи" ("вкл" / "выкл")
// Labels the window draws itself (descriptor fields, price channels) are left
// empty or hold the channel name.
struct TConstantsView {
  std::vector<TEditBox> Groups;

  const TEditBox* Find(const std::string& groupName) const;
};

// `image` is the dump (only its first DumpLength bytes are read); `values` the
// decode of it.
TConstantsView BuildConstantsView(const TDumpImage& image, const TDecodedValues& values);

}  // namespace velk
