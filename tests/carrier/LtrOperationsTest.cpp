#include <gtest/gtest.h>

#include "CarrierOperationsFixture.h"
#include "carrier/CarrierErrors.h"
#include "carrier/CarrierTexts.h"
#include "common/DeviceFamilies.h"
#include "common/Mathem.h"

namespace velk {
namespace {

namespace txt = carrier_text;
using test::CarrierFixture;

const TDateTime FileTime = test::TestNow - 0.25;  // 06:00:00 the same day

LtrCarrierFile LtrFile(std::uint8_t type, std::uint16_t serial) {
  std::vector<std::uint8_t> image(17001);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 1);
  image[128] = type;
  return MakeLtrFile(image, serial, FileTime, 3.5);
}

LtrCarrierFile Ltr2File(std::uint8_t type, std::uint8_t dnCode, std::uint16_t serial) {
  std::vector<std::uint8_t> image(33280);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 5 + 2);
  image[512] = type;
  image[513] = dnCode;
  image[514] = static_cast<std::uint8_t>(serial & 0xFF);
  image[515] = static_cast<std::uint8_t>(serial >> 8);
  return MakeLtr2File(image, FileTime, 3.0);
}

TEST(LtrOperations, ConnectListsTheDirectory) {
  CarrierFixture f(CarrierKind::Ltr);
  f.carrier.SetSerial(321);
  f.carrier.SetMemorySize(64);
  f.carrier.AddLtrFile(0, LtrFile(12, 4567));
  f.carrier.AddLtrFile(5, LtrFile(57, 1));
  f.carrier.AddLtrFile(7, LtrFile(35, 2));
  f.ops.ReadSPBtnClick();

  ASSERT_EQ(f.view.Messages.size(), 1u);  // the power hint of the first connect
  EXPECT_EQ(f.view.Messages[0].rfind(txt::LtrConnectHint1, 0), 0u);
  ASSERT_FALSE(f.ops.Disconnected);
  EXPECT_EQ(f.state.FileCount, 3);
  EXPECT_EQ(f.Cell(1, ColType), std::string(txt::TypeVtmE) + txt::VersionB + txt::VersionOpen + "1.2" + txt::VersionClose);
  EXPECT_EQ(f.Cell(1, ColSerial), "12-04567");
  EXPECT_EQ(f.Cell(1, ColVoltage), "3.50");
  EXPECT_EQ(f.Cell(1, ColSize), "16196");
  EXPECT_EQ(f.Cell(1, ColReadTime), DateTimeText(FileTime));
  EXPECT_EQ(f.Cell(2, ColType), txt::TypeUnknown);
  EXPECT_EQ(f.Cell(2, ColVoltage), "--");
  EXPECT_EQ(f.Cell(3, ColType), std::string(txt::TypeVtmE) + txt::VersionA3 + txt::VersionOpen + "3.5" + txt::VersionClose);
  EXPECT_EQ(f.Cell(3, ColStartBlock), "7");
  EXPECT_EQ(f.ops.Page.Label238.Text, std::string(txt::LtrSerialPrefix) + "321");
  EXPECT_EQ(f.ops.Page.Label12.Text, std::string(txt::FreeBlocksLabel) + "61");
  EXPECT_EQ(f.ops.Page.Gauge3.Percent, 5);
  EXPECT_EQ(f.ops.Page.ReadSPBtn, CarrierAction::AcLTR_DisConnect);
  EXPECT_TRUE(f.ops.Page.Grid.Selected(1));
  EXPECT_EQ(f.ops.Page.Label60.Text, txt::NameLtr);

  // The block map: 64 blocks in 8 rows, the last six cells past the memory.
  const auto& map = f.ops.Page.Map;
  EXPECT_EQ(map.RowCount(), 8);
  EXPECT_EQ(map.CellText(1, 1), "X");
  EXPECT_EQ(map.CellText(1, 6), "X");
  EXPECT_EQ(map.CellText(1, 2), "");
  EXPECT_EQ(map.CellText(7, 0), "60");
  EXPECT_EQ(map.CellText(0, 10), "9");
  EXPECT_EQ(map.CellColour(1, 1, false), RgbColour(187, 255, 187));
  EXPECT_EQ(map.CellColour(1, 6, false), RgbColour(255, 187, 187));
  EXPECT_EQ(map.CellColour(1, 2, false), RgbColour(255, 255, 255));
  EXPECT_EQ(map.CellColour(1, 2, true), RgbColour(119, 119, 255));
  EXPECT_EQ(map.CellColour(0, 3, false), RgbColour(255, 255, 187));
  EXPECT_EQ(map.CellColour(7, 4, false), RgbColour(255, 255, 255));  // block 63
  for (int col = 5; col <= 10; ++col) EXPECT_EQ(map.CellColour(7, col, false), RgbColour(204, 204, 204));
  f.ops.LTRMemGridSelectCell(7, 5);
  EXPECT_EQ(f.ops.Page.Edit4, txt::NoBlock);
  EXPECT_EQ(f.ops.Page.Edit6, txt::NoBlock);
  // Neither a cell past the memory end nor a header cell names a block to restore.
  f.carrier.ClearRequests();
  f.ops.AcLTR_UnEraseExecute();
  f.ops.LTRMemGridSelectCell(0, 3);
  EXPECT_EQ(f.ops.Page.Map.CursorRow, 7);
  f.ops.Page.Map.CursorRow = 0;
  f.ops.AcLTR_UnEraseExecute();
  EXPECT_TRUE(f.carrier.Requests().empty());
  f.ops.LTRMemGridSelectCell(1, 8);
  EXPECT_EQ(f.ops.Page.Edit4, std::string(txt::BlockNumber) + "7");
  EXPECT_EQ(f.ops.Page.Edit6, std::string(txt::LtrMapType) + "35-00002");
  EXPECT_TRUE(f.ops.Page.Grid.Selected(3));
  EXPECT_EQ(f.ops.Page.Grid.SelectedCount(), 1);
  f.ops.LTRMemGridSelectCell(1, 2);
  EXPECT_EQ(f.ops.Page.Edit6, txt::BlockFree);
  f.ops.SPGridSelectCell(2);
  EXPECT_EQ(f.ops.Page.Map.CursorRow, 1);
  EXPECT_EQ(f.ops.Page.Map.CursorCol, 6);
}

TEST(LtrOperations, Ltr2ListsAndCountsBlocksFromOne) {
  CarrierFixture f(CarrierKind::Ltr2);
  f.carrier.AddLtrFile(2, Ltr2File(0x50, 10, 42));
  f.carrier.AddLtrFile(7, Ltr2File(0x51, 3, 43));
  f.ops.ReadSPBtnClick();
  ASSERT_EQ(f.state.FileCount, 2);
  EXPECT_TRUE(f.state.Ltr2.load());
  EXPECT_EQ(f.state.CarrierFileTable[0].Dn, 125);
  EXPECT_EQ(f.Cell(1, ColType), std::string(CarrierListName(0x50)) + "125");
  EXPECT_EQ(f.Cell(1, ColSerial), "50-1000042");
  EXPECT_EQ(f.Cell(1, ColSize), "32768");
  EXPECT_EQ(f.ops.Page.Map.RowCount(), 5);
  EXPECT_EQ(f.ops.Page.Label60.Text, txt::NameLtr2);
  EXPECT_EQ(f.ops.Page.Captions[static_cast<std::size_t>(CarrierAction::AcLTR_ClearMem)], txt::ClearLtr2);
  EXPECT_EQ(f.carrier.RequestCount(0xF2), 2);  // an ЛТР-2 is listed twice

  f.carrier.ClearRequests();
  f.ops.Page.Grid.SelectOnly(2);
  f.ops.AcLTR_DelFileExecute();
  auto requests = f.carrier.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests[0].Code, 0xF4);
  EXPECT_EQ(requests[0].Param, 8);
  EXPECT_EQ(f.state.FileCount, 1);

  f.carrier.ClearRequests();
  f.ops.LTRMemGridSelectCell(1, 8);
  f.ops.AcLTR_UnEraseExecute();
  requests = f.carrier.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests[0].Code, 0xF4);
  EXPECT_EQ(requests[0].Param, 0xFF08);
  EXPECT_EQ(f.state.FileCount, 2);
  EXPECT_TRUE(f.ops.Page.Grid.Selected(2));
  EXPECT_EQ(f.ops.Page.Grid.SelectedCount(), 1);
  EXPECT_TRUE(f.view.Messages.size() == 1);  // only the connect hint

  // The list read after a clock correction keeps the current row; a fresh connect starts at row 1.
  f.ops.SPGridMouseDown(2, false, false);
  f.ops.AcLTR_DateTimeCorrectExecute();
  EXPECT_EQ(f.ops.Page.Grid.CurrentRow, 2);
  EXPECT_TRUE(f.ops.Page.Grid.Selected(2));
  f.ops.AcLTR_DisConnectExecute();
  f.ops.ReadSPBtnClick();
  EXPECT_EQ(f.ops.Page.Grid.CurrentRow, 1);
  EXPECT_EQ(f.ltrServicesEnabledWhileRunning, 0);
}

TEST(LtrOperations, CopyRebuildsTheLtrImage) {
  CarrierFixture f(CarrierKind::Ltr);
  const auto file = LtrFile(12, 4567);
  f.carrier.AddLtrFile(3, file);
  f.ops.ReadSPBtnClick();
  f.ops.AcNKPCopuFileExecute();
  ASSERT_EQ(f.store.Ids.size(), 1u);
  const auto& image = f.store.Images[0];
  ASSERT_EQ(image.size(), 16896u);
  EXPECT_EQ(f.store.Ids[0].DeviceCode, 12u);
  EXPECT_EQ(f.store.Ids[0].SerialNumber, 4567);
  EXPECT_DOUBLE_EQ(f.store.Ids[0].ReadTime, FileTime);
  EXPECT_EQ(image[166], 1);
  EXPECT_EQ(image[167], 2);
  EXPECT_EQ(image[128], 12);
  EXPECT_EQ(image[341], file.Payload[7]);
  EXPECT_EQ(image[138], 0);
  EXPECT_EQ(image[140], 0x06);
  EXPECT_EQ(image[720], file.Payload[16]);
  EXPECT_EQ(image[16895], file.Payload[16191]);
  EXPECT_EQ(f.image.DumpImage[720 + 16176], file.Payload[16192]);  // rebuilt, past the dump's length
  EXPECT_EQ(image[719], 0);
  EXPECT_EQ(f.view.Arranged, 1);
  EXPECT_FALSE(f.ops.Page.Grid.Selected(1) && f.ops.Page.Grid.SelectedCount() > 1);
}

TEST(LtrOperations, Ltr2CopyAndTheRefusedType) {
  CarrierFixture f(CarrierKind::Ltr2);
  const auto good = Ltr2File(81, 4, 99);
  f.carrier.AddLtrFile(0, good);
  f.carrier.AddLtrFile(1, Ltr2File(0x52, 4, 98));
  f.ops.ReadSPBtnClick();
  f.ops.Page.Grid.SetSelected(1, true);
  f.ops.Page.Grid.SetSelected(2, true);
  f.ops.AcNKPCopuFileExecute();
  ASSERT_EQ(f.store.Ids.size(), 1u);
  EXPECT_EQ(f.store.Ids[0].DeviceCode, 51u);
  EXPECT_EQ(f.store.Ids[0].SerialNumber, 99);
  EXPECT_EQ(f.store.Ids[0].DnCode, 4);
  const auto& image = f.store.Images[0];
  ASSERT_EQ(image.size(), 33280u);
  EXPECT_EQ(image[512 + 100], good.Payload[102]);
  const auto bcd = DateTimeToBcd(FileTime);
  EXPECT_EQ(image[140], bcd.Hour);
  EXPECT_EQ(image[274], bcd.Hour);
  EXPECT_EQ(f.view.BadTypeAsked, std::vector<std::string>{"52-00098"});
}

TEST(LtrOperations, CopyAndDeleteRemovesTheCopiedFiles) {
  CarrierFixture f(CarrierKind::Ltr);
  f.carrier.AddLtrFile(0, LtrFile(12, 1));
  f.carrier.AddLtrFile(1, LtrFile(13, 2));
  f.carrier.AddLtrFile(2, LtrFile(14, 3));
  f.ops.ReadSPBtnClick();
  f.ops.SPGridMouseDown(1, false, false);
  f.ops.SPGridMouseDown(2, false, true);  // rows 1 and 2
  EXPECT_EQ(f.ops.Page.Label236.Text, std::string(txt::SelectedPrefix) + "2" + txt::SelectedSuffix);
  f.ops.AcLTR_CopyDelExecute();
  EXPECT_EQ(f.store.Ids.size(), 2u);
  EXPECT_EQ(f.carrier.LtrFileBlocks(), std::vector<int>{2});
  EXPECT_EQ(f.state.FileCount, 1);
  EXPECT_EQ(f.Cell(1, ColSerial), "14-00003");
  EXPECT_EQ(f.carrier.RequestCount(0xF2), 2);  // read again at the end
}

TEST(LtrOperations, DeletingTheLastFileLeavesAnEmptyRowAndMap) {
  CarrierFixture f(CarrierKind::Ltr);
  f.carrier.AddLtrFile(4, LtrFile(12, 1));
  f.ops.ReadSPBtnClick();
  f.ops.AcLTR_DelFileExecute();
  EXPECT_EQ(f.state.FileCount, 0);
  EXPECT_EQ(f.ops.Page.Grid.RowCount(), 2);
  EXPECT_EQ(f.Cell(1, ColSerial), "");
  for (int row = 1; row < f.ops.Page.Map.RowCount(); ++row)
    for (int col = 1; col <= 10; ++col) EXPECT_EQ(f.ops.Page.Map.CellText(row, col), "");
}

TEST(LtrOperations, ClearAndClock) {
  CarrierFixture f(CarrierKind::Ltr);
  f.carrier.AddLtrFile(4, LtrFile(12, 1));
  f.carrier.SetClockOffsetSeconds(-500);
  f.ops.ReadSPBtnClick();
  f.ops.AcLTR_DateTimeCorrectExecute();
  EXPECT_NEAR((f.carrier.CarrierTime() - test::TestNow) * SecondsPerDay, 0, 1.0);
  EXPECT_EQ(f.ops.Page.Label236.Text, txt::Done);
  auto requests = f.carrier.Requests();
  const auto& set = requests.back();
  EXPECT_EQ(set.Code, 0xF3);
  EXPECT_EQ(set.Extra[0], DayOfWeekSundayFirst(test::TestNow));
  f.ops.AcLTR_ClearMemExecute();
  EXPECT_EQ(f.state.FileCount, 0);
  EXPECT_TRUE(f.carrier.LtrFileBlocks().empty());
  EXPECT_EQ(f.ops.Page.Grid.SelectedCount(), 0);
}

TEST(LtrOperations, MissingPortShowsTheRedLabels) {
  CarrierFixture f(CarrierKind::Ltr);
  f.portMissing = true;
  f.ops.ReadSPBtnClick();
  EXPECT_EQ(f.ops.Page.Label237.Text, std::string("COM3") + txt::PortNotFound);
  EXPECT_EQ(f.ops.Page.Label238.Text, txt::OrBusy);
  EXPECT_EQ(f.ops.LastResult, CarrierResultPortFailed);
  EXPECT_TRUE(f.view.Messages.empty());
}

TEST(LtrOperations, FailedListDisconnectsWithTheFamilyName) {
  CarrierFixture f(CarrierKind::Ltr);
  f.faults.Add(test::Fault(FaultKind::CorruptChecksum, -1));
  f.ops.ReadSPBtnClick();
  ASSERT_EQ(f.view.Messages.size(), 2u);
  EXPECT_EQ(f.view.Messages[1], CarrierErrorText(3, "COM3", txt::NameLtr));
  EXPECT_FALSE(f.state.LtrPortOpen.load());
  EXPECT_EQ(f.ops.Page.Label236.Text, txt::LtrDisconnected);
  EXPECT_EQ(f.ops.Page.Captions[static_cast<std::size_t>(CarrierAction::AcNKPList)], txt::ActConnectLtr);
}

}  // namespace
}  // namespace velk
