// Winsock on both ends: the TCP client the readings use against the loopback
// listener the simulated meters serve, a refused connection, and a peer that goes.
#include <gtest/gtest.h>

#include "common/ByteStream.h"
#include "testlines/TestLine.h"

namespace velk {
namespace {

TEST(WindowsTcp, ExchangesBytesWithTheListenerAndNoticesThePeerGoing) {
  std::string error;
  auto listener = testlines::OpenTcpLineListener(0, error);
  ASSERT_NE(listener, nullptr) << error;
  auto client = ConnectTcp("127.0.0.1", listener->Port(), 2000, 2000, error);
  ASSERT_NE(client, nullptr) << error;
  auto server = listener->Accept(2000);
  ASSERT_NE(server, nullptr);

  const std::uint8_t request[] = {0x00, 0xA5, 0x31, 0xFF};
  ASSERT_TRUE(client->Write(request));
  std::uint8_t got[8] = {};
  std::size_t n = 0;
  for (int i = 0; i < 20 && n < sizeof request; ++i) n += server->Read(std::span(got).subspan(n), 100);
  EXPECT_EQ(std::vector<std::uint8_t>(got, got + n), std::vector<std::uint8_t>(request, request + 4));
  ASSERT_TRUE(server->Write(std::span(request).first(2), 1000));
  EXPECT_EQ(client->ReadByte(1000), 0x00);
  EXPECT_EQ(client->ReadByte(1000), 0xA5);
  EXPECT_EQ(client->ReadByte(50), std::nullopt);  // nothing more: the time is up
  EXPECT_FALSE(client->Failed());

  server.reset();  // the peer goes
  EXPECT_EQ(client->ReadByte(1000), std::nullopt);
  EXPECT_TRUE(client->Failed());
}

TEST(WindowsTcp, RefusedConnectionAndBadTargetsSayWhy) {
  std::string error;
  int port = 0;
  {
    auto listener = testlines::OpenTcpLineListener(0, error);
    ASSERT_NE(listener, nullptr) << error;
    port = listener->Port();
  }  // nobody listens there any more
  EXPECT_EQ(ConnectTcp("127.0.0.1", port, 2000, 2000, error), nullptr);
  EXPECT_EQ(error.rfind("127.0.0.1:" + std::to_string(port) + ": cannot connect: ", 0), 0u) << error;
  EXPECT_EQ(ConnectTcp("127.0.0.1", 70000, 2000, 2000, error), nullptr);
  EXPECT_EQ(error, "127.0.0.1:70000: no host name or a port outside 1..65535");
}

}  // namespace
}  // namespace velk
