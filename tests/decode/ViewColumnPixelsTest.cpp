// Column widths in pixels for the window's grids, with a font of 6 pixels per character.
#include <gtest/gtest.h>

#include <memory>

#include "common/Text1251.h"
#include "decode/views/ColumnWidths.h"
#include "decode/views/CurrentValuesView.h"
#include "decode/views/HexView.h"

namespace velk {
namespace {

int SixPixelFont(const std::string& text) { return 6 * static_cast<int>(Utf8Length(text)); }

TEST(ViewColumnPixels, HexBytesSpreadOverTheWidthButKeepRoomForThreeDigits) {
  auto image = std::make_unique<TDumpImage>();
  image->DumpLength = 1024;
  const TGrid grid = BuildHexGrid(*image, 53);
  // "55555" + 7, "RAM & EEP" + 7 unless an address such as "(RAM)  0200" is
  // wider, 32 byte columns, the row number like column 0.
  std::vector<int> wide = ColumnPixels(grid, 1200, SixPixelFont);
  ASSERT_EQ(wide.size(), 35u);
  EXPECT_EQ(wide[0], 37);
  EXPECT_EQ(wide[1], 11 * 6 + WidestTextMarginPixels);
  EXPECT_EQ(wide[34], 37);
  EXPECT_EQ(wide[2], (1200 - 37 - wide[1] - 37) / 32 - 3);
  EXPECT_EQ(wide[33], wide[2]);
  const std::vector<int> narrow = ColumnPixels(grid, 300, SixPixelFont);
  EXPECT_EQ(narrow[2], 18);
  EXPECT_EQ(narrow[0], 37);
}

TEST(ViewColumnPixels, CurrentValuesFirstColumnIsNarrowExceptForPulseCounters) {
  TDecodedValues heat;
  heat.DeviceCode = 53;
  const std::vector<int> heatWidths = ColumnPixels(BuildCurrentValuesGrid(heat), 800, SixPixelFont);
  ASSERT_EQ(heatWidths.size(), 6u);
  EXPECT_EQ(heatWidths[0], 40);
  EXPECT_EQ(heatWidths[1], (800 - 40) / 5);
  // Never narrower than "Время штат.раб.2" plus 5.
  EXPECT_EQ(ColumnPixels(BuildCurrentValuesGrid(heat), 300, SixPixelFont)[5], 16 * 6 + 5);

  TDecodedValues pulses;
  pulses.DeviceCode = 70;
  pulses.ChannelCount = 2;
  const std::vector<int> pulseWidths = ColumnPixels(BuildCurrentValuesGrid(pulses), 930, SixPixelFont);
  ASSERT_EQ(pulseWidths.size(), 5u);
  EXPECT_EQ(pulseWidths[0], 130);
  pulses.MeterDateText = "09.12.2026";
  pulses.MeterTimeText = "16:26:50";  // with "  |  " 23 characters of 6 pixels: wider than 130
  EXPECT_EQ(ColumnPixels(BuildCurrentValuesGrid(pulses), 930, SixPixelFont)[0], 23 * 6 + WidestTextMarginPixels);
  EXPECT_EQ(pulseWidths[4], 200);
}

TEST(ViewColumnPixels, ColumnsThatDoNotShareIgnoreTheGridWidth) {
  const std::vector<TColumnWidth> hints = {
      TColumnWidth::Text("Дата", 10), TColumnWidth::Fixed(40), {40, "1234567890", 8, false, 0, {}}};
  EXPECT_EQ(ColumnPixels(hints, 2000, SixPixelFont), (std::vector<int>{34, 40, 68}));
  EXPECT_EQ(ColumnPixels(hints, 10, SixPixelFont), (std::vector<int>{34, 40, 68}));
}

TEST(ViewColumnPixels, AColumnKeepsItsWidestTextInSight) {
  TGrid grid("G", 3, 2);
  grid.ColumnWidths = {TColumnWidth::Text("T1, oC", 20), TColumnWidth::Text("G1, т", 20)};
  grid.SetText(0, 0, "T1, oC");
  grid.SetText(1, 0, "70.00");
  grid.SetText(0, 1, "G1, т");
  grid.SetText(1, 1, "12080.000");
  grid.SetText(2, 1, "9.000");
  for (int c = 0; c < 2; ++c) grid.FitColumnToTexts(c);
  // The heading plus 20 where that is wider, the widest text plus its margin where not.
  EXPECT_EQ(ColumnPixels(grid, 100, SixPixelFont), (std::vector<int>{56, 9 * 6 + WidestTextMarginPixels}));
}

}  // namespace
}  // namespace velk
