#include <gtest/gtest.h>

#include <sstream>

#include "CarrierFixture.h"
#include "carrier/CarrierTexts.h"
#include "common/Mathem.h"
#include "imagebuilder/Family5ImageBuilder.h"

namespace velk::e2e {
namespace {

namespace txt = carrier_text;

struct CommandLineRun {
  CommandLineRun(CarrierLine& line, Storage& storage, const Clock& clock, UserInterface& ui)
      : ctx{FastSettings(), image, storage.store, ui, clock, out, err, line.Ports()} {}
  int Run(std::vector<std::string> args) { return RunCarrierCommandLine(args, ctx); }

  TDumpImage image;
  std::ostringstream out, err;
  CarrierCommandLineContext ctx;
};

// A heat meter image of the two-system family as an НКП-3М stores it.
std::vector<std::uint8_t> HeatMeterFile(std::uint16_t serial, int hours) {
  TDumpImage image;
  Family5ImageBuilder(53).SetSerial(serial).FillHourRecords(hours).BuildFullDump(Now - 0.5, image);
  NkpFileHeader header;
  header.SerialNumber = serial;
  header.ReadTime = Now - 0.5;
  header.SecondDate = Now - 0.5;
  return MakeNkpFile(image.Bytes(), header);
}

TEST(CarrierEndToEnd, NkpListAndCopyEqualADirectDecode) {
  test::TempDir dir;
  ManualClock clock(Now);
  DirectUserInterface ui;
  CarrierLine line(CarrierKind::Nkp, clock);
  ASSERT_TRUE(line.started);
  const auto file = HeatMeterFile(12345, 30);
  line.carrier.AddNkpFile(file);

  Storage carrier(dir / "carrier", clock, ui);
  CommandLineRun run(line, carrier, clock, ui);
  ASSERT_EQ(run.Run({"--carrier=nkp", "--port=COM4", "list"}), CarrierExitOk) << run.err.str();
  EXPECT_NE(run.out.str().find("53-12345"), std::string::npos);
  EXPECT_NE(run.out.str().find(std::string(txt::FileCountLabel) + "1"), std::string::npos);
  ASSERT_EQ(run.Run({"--carrier=nkp", "--port=COM4", "copy", "all"}), CarrierExitOk) << run.err.str();
  ASSERT_EQ(carrier.store.SavedPaths.size(), 1u);

  Storage direct(dir / "direct", clock, ui);
  direct.StoreDirectly(file, 53, 12345, Now - 0.5);
  const auto copied = FilesBelow(dir / "carrier"), expected = FilesBelow(dir / "direct");
  EXPECT_GE(expected.size(), 3u);  // dump, .cfg and the reports
  EXPECT_EQ(copied, expected);
  EXPECT_TRUE(run.err.str().empty()) << run.err.str();
}

TEST(CarrierEndToEnd, LtrCopyEqualsADirectDecode) {
  test::TempDir dir;
  ManualClock clock(Now);
  DirectUserInterface ui;
  CarrierLine line(CarrierKind::Ltr, clock);
  ASSERT_TRUE(line.started);
  // The image as an ЛТР copy leaves it: type 12, serial, read time, byte 341 and memory from 720.
  const TDateTime readTime = Now - 0.25;
  std::vector<std::uint8_t> image(16896, 0);
  image[128] = 12;
  image[129] = 0xD7;
  image[130] = 0x11;  // serial 4567
  const auto t = DateTimeToBcd(readTime);
  image[139] = t.Minute, image[140] = t.Hour, image[141] = t.Day, image[142] = t.Month, image[143] = t.Year;
  image[166] = 1;
  image[167] = 2;
  image[341] = 0x42;
  for (std::size_t i = 720; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 3);
  line.carrier.AddLtrFile(2, MakeLtrFile(image, 4567, readTime, 3.5));

  Storage carrier(dir / "carrier", clock, ui);
  CommandLineRun run(line, carrier, clock, ui);
  ASSERT_EQ(run.Run({"--carrier=ltr", "--port=COM4", "copy", "1"}), CarrierExitOk) << run.err.str();
  Storage direct(dir / "direct", clock, ui);
  direct.StoreDirectly(image, 12, 4567, readTime);
  EXPECT_EQ(FilesBelow(dir / "carrier"), FilesBelow(dir / "direct"));
  EXPECT_FALSE(FilesBelow(dir / "direct").empty());
}

TEST(CarrierEndToEnd, Ltr2CopyAndDeleteEqualsADirectDecode) {
  test::TempDir dir;
  ManualClock clock(Now);
  DirectUserInterface ui;
  CarrierLine line(CarrierKind::Ltr2, clock);
  ASSERT_TRUE(line.started);
  const TDateTime readTime = Now - 0.125;
  std::vector<std::uint8_t> image(33280, 0);
  for (std::size_t i = 512; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 1);
  image[512] = 0x50, image[513] = 3, image[514] = 0x39, image[515] = 0x30;
  std::copy_n(image.begin() + 512, 3, image.begin() + 128);
  image[341] = image[517];
  const auto t = DateTimeToBcd(readTime);
  const std::uint8_t six[6] = {t.Second, t.Minute, t.Hour, t.Day, t.Month, t.Year};
  std::copy(std::begin(six), std::end(six), image.begin() + 138);
  std::copy(std::begin(six), std::end(six), image.begin() + 272);
  line.carrier.AddLtrFile(4, MakeLtr2File(image, readTime, 3.2));
  line.carrier.AddLtrFile(9, MakeLtr2File(image, readTime, 3.2));

  Storage carrier(dir / "carrier", clock, ui);
  CommandLineRun run(line, carrier, clock, ui);
  ASSERT_EQ(run.Run({"--carrier=ltr", "--port=COM4", "copy-delete", "1"}), CarrierExitOk) << run.err.str();
  EXPECT_EQ(line.carrier.LtrFileBlocks(), std::vector<int>{9});
  Storage direct(dir / "direct", clock, ui);
  direct.StoreDirectly(image, 50, 12345, readTime);
  EXPECT_EQ(FilesBelow(dir / "carrier"), FilesBelow(dir / "direct"));
}

TEST(CarrierEndToEnd, StopInTheMiddleOfACopy) {
  test::TempDir dir;
  ManualClock clock(Now);
  PumpingUi ui;
  CarrierLine line(CarrierKind::Nkp, clock);
  ASSERT_TRUE(line.started);
  line.carrier.AddNkpFile(HeatMeterFile(7, 10));

  Storage storage(dir.Path(), clock, ui);
  CarrierLinkState state;
  TComPortQuery query(line.Ports());
  TDumpImage image;
  CarrierWorker worker({state, query, image, ui, clock});
  worker.Settings = FastSettings();
  worker.Settings.NKPAutoTimeCorrectCB = false;
  struct SilentView final : CarrierPageView {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    BadTypeChoice AskBadType(const std::string&) override { return BadTypeChoice::Stop; }
    bool AskCheckMemory(int) override { return false; }
    std::vector<std::string> messages;
  } view;
  CarrierOperations ops(worker, view, storage.store);
  ops.ReadSPBtnClick();
  ASSERT_FALSE(ops.Disconnected);
  bool stopped = false;
  ui.OnPump = [&] {
    if (!stopped && state.CarrierCommand == 5 && state.BlockCounter >= 5) {
      stopped = true;
      ops.AcLTR_StopCopyExecute();
    }
  };
  ops.AcNKPCopuFileExecute();
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_TRUE(FilesBelow(dir.Path()).empty());
  EXPECT_EQ(ops.Page.Label236.Text, txt::StoppedByUser);
  ops.NKPDisConnect(true);
}

TEST(CarrierEndToEnd, MemoryCheckWithFaultyBlocks) {
  test::TempDir dir;
  ManualClock clock(Now);
  DirectUserInterface ui;
  CarrierLine line(CarrierKind::Nkp, clock);
  ASSERT_TRUE(line.started);
  line.carrier.AddNkpFile(HeatMeterFile(7, 2));
  line.carrier.MarkFaultyBlock(40, 0);
  line.carrier.MarkFaultyBlock(41, 5);
  // A noisy line on the way: the repeats get the answers through.
  FaultRule noise;
  noise.Kind = FaultKind::Noise;
  noise.Code = 0xF8;
  noise.Param = 10;
  line.faults.Add(noise);
  FaultRule crc;
  crc.Kind = FaultKind::CorruptChecksum;
  crc.Code = 0xF6;
  line.faults.Add(crc);

  Storage storage(dir.Path(), clock, ui);
  CommandLineRun run(line, storage, clock, ui);
  ASSERT_EQ(run.Run({"--carrier=nkp", "--port=COM4", "check"}), CarrierExitOk) << run.err.str();
  EXPECT_TRUE(line.carrier.FaultyBlocks().empty());
  EXPECT_EQ(line.carrier.NkpFileCount(), 0);
  std::vector<int> restored;
  for (const auto& r : line.carrier.Requests())
    if (r.Code == 0xF6 && r.Count == 0) restored.push_back(r.Param);
  EXPECT_EQ(restored, (std::vector<int>{64, 64, 74}));  // one repeat after the corrupted answer
}

TEST(CarrierEndToEnd, MissingCarrierFailsWithItsMessage) {
  test::TempDir dir;
  ManualClock clock(Now);
  DirectUserInterface ui;
  CarrierLine line(CarrierKind::Nkp, clock);
  ASSERT_TRUE(line.started);
  FaultRule none;
  none.Kind = FaultKind::NoAnswer;
  none.Times = -1;
  line.faults.Add(none);
  Storage storage(dir.Path(), clock, ui);
  CommandLineRun run(line, storage, clock, ui);
  run.ctx.Settings.Nkp = {13, 30, 30, 0};
  EXPECT_EQ(run.Run({"--carrier=nkp", "--port=COM4", "list"}), CarrierExitFailed);
  EXPECT_NE(run.err.str().find(std::string(txt::NameNkp) + txt::ErrNoAnswer), std::string::npos);
  EXPECT_EQ(run.Run({"--carrier=nkp", "--port=COM4", "delete", "1"}), CarrierExitUsage);
  EXPECT_EQ(run.Run({"--carrier=xyz", "--port=COM4", "list"}), CarrierExitUsage);
  EXPECT_EQ(run.Run({"--carrier=ltr", "--port=4", "list"}), CarrierExitUsage);
}

}  // namespace
}  // namespace velk::e2e
