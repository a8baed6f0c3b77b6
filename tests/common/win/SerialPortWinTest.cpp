// The Windows serial port against a port that does not exist and, when the test
// run provides one (VELK_TEST_ECHO_PORT=COM<n>, a line whose far end sends back
// what it gets and hangs up on 0xFF), a real one: exclusive open, bounded reads,
// speeds, modem lines and a line that goes away mid-exchange.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/ByteStream.h"

namespace velk {
namespace {

// Wine lets a second program open a serial device that the first holds, and shows a
// line that has gone as a silent one; Windows does neither.
bool UnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

TEST(WindowsSerialPort, PortThatDoesNotExistIsNamedInTheError) {
  std::string error;
  EXPECT_EQ(OpenSerialPort("COM231", SerialSettings{}, error), nullptr);
  EXPECT_EQ(error, "COM231: cannot open: no such port");
  EXPECT_EQ(OpenSerialPort("COM0", SerialSettings{}, error), nullptr);
  EXPECT_EQ(error, "Serial port name 'COM0' is not COM<n> with n >= 1");
}

TEST(WindowsSerialPort, EchoLineReadsWithinTheTimeoutAndNoticesTheLineGoing) {
  const char* name = std::getenv("VELK_TEST_ECHO_PORT");
  if (!name || !*name) GTEST_SKIP() << "no echo line (VELK_TEST_ECHO_PORT) in this run";
  std::string error;
  SerialSettings settings;
  settings.BaudRate = 115200;
  EXPECT_EQ(OpenSerialPort(name, SerialSettings{1234}, error), nullptr);
  EXPECT_NE(error.find("unsupported speed 1234"), std::string::npos) << error;
  auto port = OpenSerialPort(name, settings, error);
  ASSERT_NE(port, nullptr) << error;

  // Held for this program alone.
  if (!UnderWine()) {
    std::string busy;
    EXPECT_EQ(OpenSerialPort(name, settings, busy), nullptr);
    EXPECT_EQ(busy, std::string(name) + ": cannot open: the port is in use by another program");
  }

  port->SetDtr(true);
  port->SetRts(false);
  EXPECT_TRUE(port->SetBaudRate(9600));
  EXPECT_FALSE(port->SetBaudRate(1234));

  // A silent line: the read comes back empty when its time is up, and that is not a failure.
  EXPECT_EQ(port->ReadByte(50), std::nullopt);
  EXPECT_FALSE(port->Failed());

  const std::uint8_t request[] = {0x00, 0xA5, 0x31};
  ASSERT_TRUE(port->Write(request));
  for (std::uint8_t expected : request) {
    const auto b = port->ReadByte(2000);
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(*b, expected);
  }
  port->PurgeQueues();

  // The far end hangs up: reads still end within their time. Windows reports the
  // port as failed; Wine shows a pseudo-terminal that has hung up as a silent line.
  const std::uint8_t hangUp[] = {0xFF};
  ASSERT_TRUE(port->Write(hangUp));
  for (int i = 0; i < 10 && !port->Failed(); ++i) EXPECT_EQ(port->ReadByte(20), std::nullopt);
  if (!UnderWine()) EXPECT_TRUE(port->Failed());
  port->Close();
}

}  // namespace
}  // namespace velk
