// A reading through a real serial device server: ser2net listens on a loopback
// port and passes the TCP stream to the simulated meter's pseudo-terminal; the
// reader uses link kind 4 ("IP_PortEdit" + 4000 is the port it connects to).
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "LinkChildProcess.h"
#include "LinkReadingFixture.h"
#include "testlines/posix/TcpListener.h"

namespace velk::test {
namespace {

std::string FindSer2net() {
  for (const char* dir : {"/usr/sbin", "/usr/bin", "/usr/local/sbin", "/usr/local/bin", "/sbin", "/bin"}) {
    const std::filesystem::path p = std::filesystem::path(dir) / "ser2net";
    if (::access(p.c_str(), X_OK) == 0) return p.string();
  }
  return {};
}

bool PortAccepts(int port) {
  std::string error;
  auto probe = ConnectTcp("127.0.0.1", port, 200, 200, error);
  return probe != nullptr;
}

TEST_F(LinkReadingTest, ReadsThroughSer2net) {
  const std::string ser2net = FindSer2net();
  if (ser2net.empty()) GTEST_SKIP() << "ser2net is not installed (scripts/install-deps installs it)";

  StartMeter(Meter53(clock->Now()).BuildMemory());
  const int port = posix::FreeLoopbackPort();
  ASSERT_GT(port, 4000);
  const auto config = data / "ser2net.yaml";
  {
    std::ofstream out(config);
    out << "connection: &meter\n"
        << "  accepter: tcp(nodelay),127.0.0.1," << port << "\n"
        << "  connector: serialdev," << sim->SlavePath() << ",9600n81,local\n"
        << "  options:\n"
        << "    kickolduser: true\n"
        << "    chardelay: false\n";
  }
  // nodelay: without it small writes wait for delayed acknowledgements (40 ms per answer).
  ChildProcess server(ser2net, {"-n", "-u", "-c", config.string(), "-P", (data / "ser2net.pid").string()});
  bool up = false;
  for (int i = 0; i < 100 && !up && server.Running(); ++i) {
    up = PortAccepts(port);
    if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(up) << "ser2net did not start listening on port " << port;

  TConnectTread& r = MakeReader(LinkKinds::Tcp);
  r.TcpPort = port;  // "IP_PortEdit" = port - 4000
  r.FirstByteTimeoutMs = 2000;
  RunReading();

  EXPECT_EQ(static_cast<int>(reader->Status), 0) << MonitorText();
  EXPECT_EQ(reader->FamilyCode, 53);
  EXPECT_EQ(image->DumpLength, 66048);
  EXPECT_EQ(ArchiveRequests(), 255);
  EXPECT_TRUE(ImageHolds(sim->Meter().Memory(), 512, 0, 0x10000));
}

}  // namespace
}  // namespace velk::test
