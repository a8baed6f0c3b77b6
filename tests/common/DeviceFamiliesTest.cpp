// The one table of device families that the reading, the decoders and the carriers look up.
#include <gtest/gtest.h>

#include <string>

#include "common/DeviceFamilies.h"

namespace velk {
namespace {

TEST(DeviceFamilies, TypeBytesToDeviceCodes) {
  EXPECT_EQ(DeviceCodeOfTypeByte(83), 53u);
  EXPECT_EQ(DeviceCodeOfTypeByte(86), 56u);
  for (int b : {72, 80, 107, 132, 142, 165, 199, 210}) EXPECT_EQ(DeviceCodeOfTypeByte(b), 50u) << b;
  EXPECT_EQ(DeviceCodeOfTypeByte(81), 51u);
  EXPECT_EQ(DeviceCodeOfTypeByte(96), 60u);
  EXPECT_EQ(DeviceCodeOfTypeByte(112), 70u);
  EXPECT_EQ(DeviceCodeOfTypeByte(113), 71u);
  EXPECT_EQ(DeviceCodeOfTypeByte(1), 1u);
  EXPECT_EQ(DeviceCodeOfTypeByte(49), 49u);
  for (int b : {0, 50, 57, 87, 111, 114, 255}) EXPECT_FALSE(DeviceCodeOfTypeByte(b).has_value()) << b;
}

TEST(DeviceFamilies, FamiliesAndCarrierNames) {
  for (int b = 1; b < 256; ++b) {
    const auto code = DeviceCodeOfTypeByte(static_cast<std::uint8_t>(b));
    if (code) EXPECT_NE(FindDeviceFamily(*code), nullptr) << b;  // every listed byte names a family
  }
  EXPECT_EQ(FindDeviceFamily(52), nullptr);
  EXPECT_EQ(FindDeviceFamily(0), nullptr);
  EXPECT_STREQ(DeviceTypeName(52), "");
  // A carrier's file list names one byte of each compact meter, and no older meter.
  EXPECT_NE(CarrierListName(0x50), nullptr);
  EXPECT_NE(CarrierListName(0x51), nullptr);
  EXPECT_EQ(CarrierListName(72), nullptr);
  EXPECT_EQ(CarrierListName(23), nullptr);
  EXPECT_NE(std::string(CarrierListName(0x53)), DeviceTypeName(53));  // the list has its own names
}

}  // namespace
}  // namespace velk
