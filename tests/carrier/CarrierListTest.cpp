#include <gtest/gtest.h>

#include "carrier/CarrierErrors.h"
#include "carrier/CarrierFileGrid.h"
#include "carrier/CarrierPage.h"
#include "carrier/CarrierFileList.h"
#include "carrier/CarrierImage.h"
#include "carrier/CarrierTexts.h"
#include "common/DeviceFamilies.h"

namespace velk {
namespace {

namespace txt = carrier_text;

std::vector<std::uint8_t> Words(std::initializer_list<int> words) {
  std::vector<std::uint8_t> area(256, 0);
  std::size_t at = 0;
  for (int w : words) {
    area[at++] = static_cast<std::uint8_t>(w & 0xFF);
    area[at++] = static_cast<std::uint8_t>(w >> 8);
  }
  return area;
}

TEST(NkpIdentification, WordsUpToTheEndWord) {
  auto id = ParseNkpIdentification(Words({0, 5, 9, 0x8000 | 12}));
  ASSERT_TRUE(id);
  EXPECT_EQ(id->StartBlocks, (std::vector<std::uint16_t>{0, 5, 9}));
  EXPECT_EQ(id->FirstFreeBlock, 12);
  id = ParseNkpIdentification(Words({0x8000}));
  ASSERT_TRUE(id);
  EXPECT_TRUE(id->StartBlocks.empty());
  EXPECT_EQ(id->FirstFreeBlock, 0);
  // 128 words without an end word, blocks out of order, past the memory or behind the free block.
  std::vector<std::uint8_t> full(256);
  for (int i = 0; i < 128; ++i) full[2 * i] = static_cast<std::uint8_t>(i + 1);
  EXPECT_FALSE(ParseNkpIdentification(full));
  EXPECT_FALSE(ParseNkpIdentification(Words({5, 3, 0x8000 | 9})));
  EXPECT_FALSE(ParseNkpIdentification(Words({5, 4096, 0x8000 | 4097})));
  EXPECT_FALSE(ParseNkpIdentification(Words({5, 9, 0x8000 | 7})));
}

TEST(CarrierTables, PipeSizes) {
  EXPECT_EQ(NkpDnOfCode(10), 150);
  EXPECT_EQ(NkpDnOfCode(12), 9999);
  EXPECT_EQ(NkpDnOfCode(13), 9999);
  EXPECT_EQ(Ltr2DnOfCode(10), 125);
  EXPECT_EQ(Ltr2DnOfCode(12), 200);
  EXPECT_FALSE(Ltr2DnOfCode(0));
  EXPECT_EQ(NkpDeviceCode(72), 50u);
  EXPECT_EQ(NkpDeviceCode(81), 51u);
  EXPECT_EQ(NkpDeviceCode(113), 71u);
  EXPECT_EQ(NkpDeviceCode(12), 12u);
}

TEST(CarrierTables, NkpTypeTexts) {
  TCarrierFileEntry e;
  e.DeviceType = 0x50;
  e.Dn = 9999;
  auto cells = NkpFileRow(e, 1);
  EXPECT_EQ(cells[ColType], txt::TypeUndefined);  // a Р-37 without a pipe size is not recognised
  EXPECT_EQ(e.UnrecognisedType, UnrecognisedTypeFlag);
  e.DeviceType = 0x60;
  e.DnCode = 3;
  e.Dn = 25;
  e.SerialNumber = 42;
  e.SupplyVoltage = 3.6;
  cells = NkpFileRow(e, 2);
  EXPECT_EQ(cells[ColType], std::string(CarrierListName(0x60)) + "25");
  EXPECT_EQ(cells[ColSerial], "60-03000042");
  EXPECT_EQ(cells[ColVoltage], "3.60");
  EXPECT_EQ(e.UnrecognisedType, 0u);
  e.DeviceType = 0x71;
  EXPECT_EQ(NkpFileRow(e, 3)[ColType], std::string(CarrierListName(0x71)));
}

TEST(LtrDirectoryParse, MalformedAnswersAreRefused) {
  std::vector<std::uint8_t> dir(16 + 14, 0);
  dir[2] = 1;
  dir[14] = 64;
  dir[15] = 2;  // claims two records, holds one
  std::string error;
  EXPECT_FALSE(ParseLtrDirectory(dir, error));
  EXPECT_NE(error.find("claims 2 files"), std::string::npos);
  dir[15] = 1;
  dir[16 + 12] = 64;  // starts past the memory
  EXPECT_FALSE(ParseLtrDirectory(dir, error));
  dir[16 + 12] = 63;
  EXPECT_TRUE(ParseLtrDirectory(dir, error));
  dir[2] = 3;
  EXPECT_FALSE(ParseLtrDirectory(dir, error));
  EXPECT_FALSE(ParseLtrDirectory(std::span(dir).first(10), error));
}

TEST(CarrierTables, OccupancyGaugeColour) {
  EXPECT_EQ(OccupancyGaugeColour(0), RgbColour(0, 255, 0));
  EXPECT_EQ(OccupancyGaugeColour(50), RgbColour(255, 255, 0));
  EXPECT_EQ(OccupancyGaugeColour(100), RgbColour(255, 0, 0));
  EXPECT_EQ(OccupancyGaugeColour(20), RgbColour(102, 255, 0));
  EXPECT_EQ(OccupancyGaugeColour(80), RgbColour(255, 102, 0));
}

TEST(CarrierErrorTexts, MessagesByCode) {
  const std::string nkp5 = CarrierErrorText(5, "COM2", txt::NameNkp);
  const std::string ltr5 = CarrierErrorText(5, "COM2", txt::NameLtr);
  EXPECT_NE(nkp5.find(txt::ErrHint3), std::string::npos);
  EXPECT_NE(nkp5.find(txt::ErrHint4), std::string::npos);
  EXPECT_NE(ltr5.find(txt::ErrHint3), std::string::npos);
  EXPECT_EQ(ltr5.find(txt::ErrHint4), std::string::npos);
  EXPECT_EQ(ltr5.rfind(std::string(txt::NameLtr) + txt::ErrNoAnswer + "\r\r", 0), 0u);
  EXPECT_EQ(CarrierErrorText(3, "COM2", txt::NameLtr2),
            std::string(txt::NameLtr2) + txt::ErrMismatch + "\r" + txt::ErrChecksum + "\r" + txt::ErrOfAnswer);
  EXPECT_EQ(CarrierErrorText(7, "COM2", txt::NameNkp).rfind(std::string(txt::ErrPort) + "COM2" + txt::ErrPortMissing, 0),
            0u);
  EXPECT_EQ(CarrierErrorText(9, "COM2", txt::NameNkp), std::string(txt::ErrDamaged) + txt::NameNkp);
  EXPECT_EQ(CarrierErrorText(10, "COM2", txt::NameNkp), std::string(txt::ErrClockStopped) + txt::NameNkp + "!!!");
  for (int silent : {0, 4, 6, 8, 20, 100}) EXPECT_EQ(CarrierErrorText(silent, "COM2", txt::NameNkp), "");
}

TEST(CarrierFileGridModel, SelectionByClicks) {
  CarrierFileGrid grid;
  for (int r = 1; r <= 6; ++r) grid.SetRow(r, CarrierRowCells{std::to_string(r)});
  grid.ClickPlain(2);
  grid.ClickShift(5);
  EXPECT_EQ(grid.SelectedCount(), 4);
  EXPECT_TRUE(grid.Selected(2) && grid.Selected(5) && !grid.Selected(6));
  grid.ClickCtrl(3);
  EXPECT_EQ(grid.SelectedCount(), 3);
  grid.ClickShift(1);  // from the anchor of the last plain click
  EXPECT_EQ(grid.SelectedCount(), 2);
  grid.ClickPlain(6);
  EXPECT_EQ(grid.SelectedCount(), 1);
  EXPECT_EQ(grid.CellBackground(6, 1, false), RgbColour(119, 119, 255));
  EXPECT_EQ(grid.CellBackground(6, 1, true), RgbColour(187, 187, 255));
  EXPECT_EQ(grid.CellBackground(0, 3, false), RgbColour(255, 255, 187));
  EXPECT_EQ(grid.CellBackground(4, 3, false), RgbColour(255, 255, 255));

  grid.SelectOnly(4);
  grid.SetRowTextColour(4, UnrecognisedTypeFlag);
  const auto revision = grid.Revision();
  (void)grid.Row(4);
  (void)grid.CellBackground(4, 1, false);
  EXPECT_EQ(grid.Revision(), revision);  // reading changes nothing to redraw
  grid.RemoveRow(3);
  EXPECT_NE(grid.Revision(), revision);
  EXPECT_EQ(grid.RowCount(), 6);
  EXPECT_TRUE(grid.Selected(3));  // the flag and the text colour moved up with their row
  EXPECT_EQ(grid.Row(3)[0], "4");
  EXPECT_EQ(grid.TextColour(3), ColourRed);
  EXPECT_TRUE(grid.TextBold(3));
  EXPECT_FALSE(grid.TextBold(4));

  // The widths as given, each column keeping its longest text in sight.
  grid.SetRow(2, CarrierRowCells{"2", "Тип неизвестен", "", "09.12.2026 16:19:00"});
  const std::vector<TColumnWidth> hints = grid.ColumnHints();
  ASSERT_EQ(hints.size(), CarrierFileGrid::ColumnWidths.size());
  EXPECT_EQ(hints[3].FixedPixels, 115);
  EXPECT_EQ(hints[3].Widest, "09.12.2026 16:19:00");
  EXPECT_EQ(hints[1].Widest, "Тип неизвестен");
}

TEST(CarrierPageRules, ShownActionsAndTimers) {
  using A = CarrierAction;
  CarrierPageState page;
  EXPECT_TRUE(CarrierActionShown(A::AcLTR_DopMemEN, ModBoxLtr, page));
  EXPECT_FALSE(CarrierActionShown(A::AcLTR_DopMemEN, ModBoxNkp, page));
  EXPECT_FALSE(CarrierActionShown(A::AcLTR_CopyDel, ModBoxNkp, page));
  EXPECT_FALSE(CarrierActionShown(A::AcNKPCheckMem, ModBoxLtr, page));
  EXPECT_TRUE(CarrierActionShown(A::AcNKPCopuFile, ModBoxLtr, page));
  page.BlockPanelVisible = true;
  EXPECT_FALSE(CarrierActionShown(A::AcLTR_DopMemEN, ModBoxLtr, page));  // hidden, not disabled
  EXPECT_TRUE(CarrierActionShown(A::AcLTR_DopMemDis, ModBoxLtr, page));

  bool seen = false;
  EXPECT_EQ(FollowTimerFlag(seen, true), TimerChange::Start);
  EXPECT_EQ(FollowTimerFlag(seen, true), TimerChange::None);  // a refresh never restarts a running timer
  EXPECT_EQ(FollowTimerFlag(seen, false), TimerChange::Stop);
  EXPECT_EQ(FollowTimerFlag(seen, false), TimerChange::None);
}

TEST(CarrierImages, NkpLengthComesFromTheHeader) {
  TDumpImage image;
  image.DumpImage[128] = 83;
  image.DumpImage[130] = 0x39;
  image.DumpImage[131] = 0x30;
  image.DumpImage[145] = 0x00;
  image.DumpImage[146] = 0x04;  // 1024
  image.DumpImage[152] = 0x10;  // + 16
  std::string error;
  auto id = FinishNkpImage(image, 3, error);
  ASSERT_TRUE(id);
  EXPECT_EQ(image.DumpLength, 256 + 1024 + 16);
  EXPECT_EQ(id->DeviceCode, 53u);
  EXPECT_EQ(id->SerialNumber, 12345);
  EXPECT_FALSE(FinishNkpImage(image, 2, error));
  image.DumpImage[147] = 0x02;
  EXPECT_FALSE(FinishNkpImage(image, 400, error));
}

}  // namespace
}  // namespace velk
