// The device families: the internal device code that a type byte names (byte
// 128 of a meter image, the raw code of a meter's identification answer, the
// type of a file on a data carrier) and what each family is: its kind, the
// name the decoder starts its "Тип" caption with and where its clock lies in
// the working-memory block.
//
// A type byte that is not listed names no family. What that means is up to the
// user of the table: a reading keeps the raw code as its family code, a
// carrier copy stores the image under the type byte as it is, a carrier file
// list shows the file as of undefined type, and the decoder refuses the dump
// with a message naming the byte.
#pragma once

#include <cstdint>
#include <optional>

namespace velk {

enum class DeviceKind {
  OlderHeatMeter,      // 1..49: the code is the firmware version times ten
  CompactHeatMeter,    // 50, 51
  TwoSystemHeatMeter,  // 53..56
  FlowMeter,           // 60
  PulseCounter,        // 70, 71
};

struct DeviceFamily {
  std::uint32_t FirstCode = 0, LastCode = 0;  // the device codes of the family
  DeviceKind Kind = DeviceKind::OlderHeatMeter;
  const char* TypeName = "";  // start of the decoder's "Тип" caption
  int ClockOffset = 0;        // the meter clock lies at offset 16 + ClockOffset of the working-memory block
};

// The family of a device code; nullptr for a code no family has.
const DeviceFamily* FindDeviceFamily(std::uint32_t deviceCode);

// The family's "Тип" caption start; empty for a code no family has.
const char* DeviceTypeName(std::uint32_t deviceCode);

// The device code a type byte names: the listed bytes, and 1..49 (the older
// heat meters) as themselves. nullopt for any other byte, 0 included.
std::optional<std::uint32_t> DeviceCodeOfTypeByte(std::uint8_t typeByte);

// The name a data carrier's file list gives a type byte; nullptr for a type
// the list does not name (of the compact meters' bytes it names 0x50 and 0x51 only).
const char* CarrierListName(std::uint8_t typeByte);

}  // namespace velk
