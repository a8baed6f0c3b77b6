// The hexadecimal dump grid and the constants view.
#include <gtest/gtest.h>

#include <memory>

#include "decode/views/CellFormat.h"
#include "decode/views/ConstantsView.h"
#include "decode/views/HexView.h"
#include "decode/views/ViewTexts.h"

namespace velk {
namespace {

namespace vt = viewtext;

std::unique_ptr<TDumpImage> Image(std::int32_t length) {
  auto image = std::make_unique<TDumpImage>();
  for (std::int32_t i = 0; i < length; ++i) image->DumpImage[i] = static_cast<std::uint8_t>(i * 7);
  image->DumpLength = length;
  return image;
}

TEST(ViewHex, FullTwoSystemDump) {
  const auto image = Image(66048);
  const TGrid g = BuildHexGrid(*image, 53);
  ASSERT_EQ(g.ColumnCount(), 35);
  EXPECT_EQ(g.RowCount(), 2066);
  EXPECT_EQ(g.Text(0, 0), vt::HexFileHeading);
  EXPECT_EQ(g.Text(0, 1), vt::HexAddressHeading);
  EXPECT_EQ(g.Text(0, 2), "0");
  EXPECT_EQ(g.Text(0, 33), "31");
  // 2064 rows of 32 bytes are filled; the last grid row stays empty.
  EXPECT_EQ(g.Text(2064, 0), HexText(66016, 4));
  EXPECT_EQ(g.Text(2065, 0), "");
  EXPECT_EQ(g.Text(1, 1), "");  // offsets below 256 have no meter address
  EXPECT_EQ(g.Text(9, 0), "0100");
  EXPECT_EQ(g.Text(9, 1), std::string(vt::RamLabel) + "0200");
  EXPECT_EQ(g.Text(17, 0), "0200");
  EXPECT_EQ(g.Text(17, 1), std::string(vt::EepromLabel) + "0000");
  EXPECT_EQ(g.Text(17, 2), "00");  // 512 * 7 mod 256
  EXPECT_EQ(g.Text(17, 3), "07");
  EXPECT_EQ(g.Text(17, 34), "17");
  EXPECT_EQ(g.At(0, 5).Background, GridLightYellow);
  EXPECT_EQ(g.At(5, 1).Background, GridLightYellow);
  EXPECT_EQ(g.At(5, 2).Background, GridWhite);
  EXPECT_EQ(g.ColumnWidths[0].Sample, vt::HexOffsetSample);
  EXPECT_EQ(g.ColumnWidths[0].ExtraPixels, 7);
  EXPECT_TRUE(g.ColumnWidths[2].ShareRest);
  EXPECT_EQ(g.ColumnWidths[2].ShareAdjustPixels, -3);
  EXPECT_EQ(g.ColumnWidths[2].Sample, vt::HexByteSample);
}

TEST(ViewHex, RowWidthAndAPartialLastRow) {
  for (std::uint32_t code : {1u, 23u, 49u, 50u, 60u}) EXPECT_EQ(HexRowWidth(code), 16) << code;
  for (std::uint32_t code : {0u, 53u, 56u, 70u, 71u}) EXPECT_EQ(HexRowWidth(code), 32) << code;
  const auto image = Image(16896 + 4);
  const TGrid g = BuildHexGrid(*image, 23);
  ASSERT_EQ(g.ColumnCount(), 19);
  EXPECT_EQ(g.RowCount(), 1058);
  // The four bytes past the last whole row are shown; the rest of that row stays empty.
  EXPECT_EQ(g.Text(1057, 0), "4200");
  EXPECT_EQ(g.Text(1057, 5), HexText(static_cast<std::uint8_t>((16896 + 3) * 7), 2));
  EXPECT_EQ(g.Text(1057, 6), "");
  EXPECT_EQ(BuildHexGrid(*Image(0), 53).RowCount(), 2);
}

TDecodedValues Values(std::uint32_t code) {
  TDecodedValues v;
  v.DeviceCode = code;
  v.SchemeName1 = "A";
  v.SchemeName2 = "B";
  v.FirmwareVersion = 2.3;
  v.ColdWaterTemp = 5.125;
  v.PulsePrice1 = 2.5;
  v.VolumeMultiplier1 = 10;
  v.ChannelCount = 4;
  v.TestMode = true;
  return v;
}

const std::string& Field(const TConstantsView& view, const char* group, const char* edit) {
  static const std::string missing = "<missing>";
  const TEditBox* box = view.Find(group);
  const TLabelledEdit* e = box ? box->Find(edit) : nullptr;
  return e ? e->Text : missing;
}

TEST(ViewConstants, FieldsAndFormats) {
  auto image = Image(66048);
  auto& b = image->DumpImage;
  b[512] = 0x53;

  for (int a = 4; a <= 8; ++a) b[512 + a] = 0;
  b[512 + 5] = 0x02;  // RAM start 0x0200
  b[512 + 8] = 0x01;  // EEPROM size 65536
  b[512 + 22] = 3;
  b[512 + 32] = 0, b[512 + 33] = 0, b[512 + 34] = 0x10;        // T1 A: 2^20 / 2^60
  b[512 + 41] = 0xFF, b[512 + 42] = 0xFF, b[512 + 43] = 0xFF;  // T1 D: 0
  b[512 + 38] = 0, b[512 + 39] = 0, b[512 + 40] = 0x20;        // T1 C: 2^21 / 2^28
  b[512 + 96] = 0x28, b[512 + 97] = 0;                         // P1 A: 40 / 16
  b[512 + 128] = 0x00, b[512 + 129] = 0x01, b[512 + 130] = 0x00;
  b[512 + 137] = 0x40, b[512 + 138] = 0x10, b[512 + 139] = 0x00;
  b[512 + 143] = 32;
  b[512 + 134] = 0x20, b[512 + 135] = 0x10, b[512 + 136] = 0x00;  // next record at the previous reading
  b[512 + 192] = 0x00, b[512 + 193] = 0xC0, b[512 + 194] = 0x00;
  b[512 + 198] = 0x60, b[512 + 199] = 0xC0, b[512 + 200] = 0x00;
  b[512 + 201] = 0x80, b[512 + 202] = 0xC0, b[512 + 203] = 0x00;
  b[512 + 207] = 30;  // the day record length is only shown
  const TConstantsView view = BuildConstantsView(*image, Values(53));
  EXPECT_EQ(Field(view, "Identification", "Edit48"), "53");
  EXPECT_EQ(Field(view, "Identification", "Edit2"), "0200");
  EXPECT_EQ(Field(view, "Identification", "Edit5"), "65536");
  EXPECT_EQ(Field(view, "Identification", "Edit7"), "3");
  EXPECT_EQ(Field(view, "Identification", "Edit32"), "A-B");
  EXPECT_EQ(Field(view, "Identification", "Edit49"), "2.3");
  EXPECT_EQ(Field(view, "Identification", "LEdit6"), "5.13");
  EXPECT_EQ(Field(view, "T1", "Edit8"), "9.095E-13");
  EXPECT_EQ(Field(view, "T1", "Edit10"), "7.813E-3");
  EXPECT_EQ(Field(view, "T1", "Edit11"), "0");
  EXPECT_EQ(Field(view, "P1", "Edit24"), "2.5E0");
  EXPECT_EQ(Field(view, "HourDescriptor", "Edit38"), "000100");
  EXPECT_EQ(Field(view, "HourDescriptor", "Edit40"), "001040");
  EXPECT_EQ(Field(view, "HourDescriptor", "Edit41"), "32");
  EXPECT_EQ(Field(view, "HourDescriptor", "Edit42"), "001020");
  EXPECT_EQ(Field(view, "DayDescriptor", "Edit43"), "00C000");
  EXPECT_EQ(Field(view, "DayDescriptor", "Edit47"), "00C060");
  EXPECT_EQ(Field(view, "DayDescriptor", "Edit45"), "00C080");
  EXPECT_EQ(Field(view, "DayDescriptor", "Edit46"), "30");
  EXPECT_EQ(Field(view, "PulsePrices", "Edit33"), "2.5");
  EXPECT_EQ(Field(view, "Status", "Label242"), vt::On);
  EXPECT_EQ(Field(view, "Status", "Label243"), vt::Off);
  EXPECT_EQ(view.Find("Status")->Edits[0].Label, vt::ConstTestMode);
}

TEST(ViewConstants, GroupVisibilityPerCode) {
  const auto image = Image(2000);
  const auto visible = [&](std::uint32_t code) {
    const TConstantsView view = BuildConstantsView(*image, Values(code));
    std::string flags;
    for (const char* name : {"HourDescriptor", "DayDescriptor", "ChannelV1Coefficients", "T1", "T2", "T3",
                             "T4", "P1", "P2", "P3", "P4", "PulsePrices", "Status"})
      flags += view.Find(name)->Visible ? '1' : '0';
    return flags;
  };
  EXPECT_EQ(visible(23), "1001110110010");
  EXPECT_EQ(visible(50), "1111100000010");
  EXPECT_EQ(visible(53), "1101111111111");
  EXPECT_EQ(visible(54), "1101110111011");
  EXPECT_EQ(visible(55), "1101110000011");
  EXPECT_EQ(visible(56), "1101111000011");
  EXPECT_EQ(visible(70), "1000000000000");

  const auto prices = [&](std::uint32_t code) {
    std::string flags;
    const TConstantsView view = BuildConstantsView(*image, Values(code));
    for (const auto& e : view.Find("PulsePrices")->Edits) flags += e.Visible ? '1' : '0';
    return flags;
  };
  EXPECT_EQ(prices(23), "11111");
  EXPECT_EQ(prices(51), "01100");
  EXPECT_EQ(prices(54), "11100");
  EXPECT_EQ(prices(56), "11111");
}

TEST(ViewConstants, FamilySpecificFields) {
  auto image = Image(20000);
  auto& b = image->DumpImage;
  b[512 + 256] = 0x34, b[512 + 257] = 0x12;
  TConstantsView older = BuildConstantsView(*image, Values(23));
  EXPECT_EQ(Field(older, "Identification", "Edit48"), "23");
  EXPECT_EQ(Field(older, "Identification", "Edit5"), "16384");
  EXPECT_FALSE(older.Find("Identification")->Find("Edit2")->Visible);
  EXPECT_FALSE(older.Find("Identification")->Find("Edit7")->Visible);
  EXPECT_EQ(Field(older, "HourDescriptor", "Edit38"), vt::OldHourFirst);
  EXPECT_EQ(Field(older, "HourDescriptor", "Edit39"), vt::OldHourLast);
  EXPECT_EQ(Field(older, "HourDescriptor", "Edit40"), "1234");
  EXPECT_FALSE(older.Find("HourDescriptor")->Find("Edit42")->Visible);

  // Compact meters: channel V1 words A, B (bit 15 set) and T, the scale, T2k and the day of month.
  b[512 + 64] = 0x00, b[512 + 65] = 0x10;  // A0 = 4096 x 3600 / 32768 x 10 = 4500
  b[512 + 66] = 0xFF, b[512 + 67] = 0xFF;  // B0 with bit 15: (65535 x 3600 - 235926000) / 32768 x 10 = 0
  b[512 + 68] = 0x00, b[512 + 69] = 0x20;  // T0 = 8192 / 16384
  b[512 + 20] = 12;
  b[512 + 23] = 0x15;
  const TConstantsView compact = BuildConstantsView(*image, Values(50));
  EXPECT_EQ(Field(compact, "ChannelV1Coefficients", "Edit52"), "4500");
  EXPECT_EQ(Field(compact, "ChannelV1Coefficients", "Edit53"), "0");
  EXPECT_EQ(Field(compact, "ChannelV1Coefficients", "Edit54"), "0.5");
  EXPECT_EQ(Field(compact, "ChannelV1Coefficients", "Edit63"), "10");
  EXPECT_EQ(compact.Find("ChannelV1Coefficients")->Edits[11].Label, vt::ConstV1CoefficientLabels[11]);
  EXPECT_EQ(Field(compact, "Identification", "LEdit50"), "12");
  EXPECT_EQ(Field(compact, "Identification", "Edit51"), "15");
  EXPECT_EQ(Field(compact, "Identification", "Edit32"), "A");

  b[512] = 0x40;  // indication flag on, multiplier flag off
  const TConstantsView pulse = BuildConstantsView(*image, Values(71));
  EXPECT_EQ(Field(pulse, "Identification", "LEdit6"), "4");
  EXPECT_EQ(pulse.Find("Identification")->Find("LEdit6")->Label, vt::ConstChannelCount);
  EXPECT_EQ(Field(pulse, "Identification", "LEdit50"), std::string(vt::YesSlash) + vt::No);
  EXPECT_EQ(Field(pulse, "Identification", "Edit32"), "02.3");
}

}  // namespace
}  // namespace velk
