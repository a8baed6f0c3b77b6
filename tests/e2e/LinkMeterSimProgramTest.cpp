// The meter-sim program: it serves a dump file on a TCP port and the reader
// reads it back whole; bad arguments are refused with a message.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "LinkChildProcess.h"
#include "LinkReadingFixture.h"

namespace velk::test {
namespace {

const std::string MeterSimProgram = std::string(VELK_BIN_DIR) + "/tools/meter-sim";

// The first line the program printed, once it is there.
std::string FirstLine(const std::filesystem::path& file) {
  for (int i = 0; i < 300; ++i) {
    std::ifstream in(file);
    std::string line;
    if (std::getline(in, line) && in.good()) return line;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

TEST_F(LinkReadingTest, ProgramServesADumpFileOverTcp) {
  if (!std::filesystem::exists(MeterSimProgram))
    GTEST_SKIP() << "meter-sim is not built at " << MeterSimProgram;
  auto dump = std::make_unique<TDumpImage>();
  Meter53(clock->Now()).SetSerial(4321).BuildFullDump(clock->Now(), *dump);
  const auto dumpFile = data / "53-04321-001.dat";
  WriteBytes(dumpFile,
             std::vector<std::uint8_t>(dump->DumpImage.begin(), dump->DumpImage.begin() + dump->DumpLength));

  const auto out = data / "meter-sim.out";
  ChildProcess program(MeterSimProgram, {"--dump", dumpFile.string(), "--tcp", "0"}, out.string());
  std::istringstream first(FirstLine(out));
  std::string kind, host;
  int port = 0;
  first >> kind >> host >> port;
  ASSERT_EQ(kind, "tcp");
  ASSERT_GT(port, 0);

  TConnectTread& r = MakeReader(LinkKinds::Tcp);
  r.TcpPort = port;
  RunReading();
  EXPECT_EQ(static_cast<int>(reader->Status), 0);
  EXPECT_EQ(reader->ShortSerial, 4321);
  EXPECT_EQ(image->DumpLength, 66048);
  for (std::int32_t i = 512; i < 66048; ++i) {
    ASSERT_EQ(image->DumpImage[i], dump->DumpImage[i]) << "image offset " << i;
  }
  EXPECT_EQ(program.Stop(), 0);
}

TEST_F(LinkReadingTest, ProgramRefusesBadArguments) {
  if (!std::filesystem::exists(MeterSimProgram))
    GTEST_SKIP() << "meter-sim is not built at " << MeterSimProgram;
  ChildProcess unknown(MeterSimProgram, {"--modem", "maybe"});
  for (int i = 0; i < 200 && unknown.Running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(unknown.Stop(), 2);
  const auto shortDump = data / "short.dat";
  WriteBytes(shortDump, std::vector<std::uint8_t>(100, 0));
  ChildProcess tooShort(MeterSimProgram, {"--dump", shortDump.string()});
  for (int i = 0; i < 200 && tooShort.Running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(tooShort.Stop(), 2);
}

}  // namespace
}  // namespace velk::test
