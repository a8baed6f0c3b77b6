#include "carrier/ComPortQuery.h"

#include <gtest/gtest.h>

#include <thread>

#include "carrier-sim/SimulatedCarrier.h"
#include "carrier/CarrierTexts.h"
#include "common/Mathem.h"
#include "support/CarrierTestSupport.h"

namespace velk {
namespace {

using test::Fault;
using test::SimLink;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> v;
  for (int x : values) v.push_back(static_cast<std::uint8_t>(x));
  return v;
}

TEST(CarrierFrame, ChecksumIsXmodemCrc) {
  const std::string text = "123456789";
  EXPECT_EQ(CarrierChecksum(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())), 0x31C3);
}

TEST(CarrierFrame, IdentificationRequestToNkp) {
  const CarrierFamily nkp{true, false, false};
  const auto frame = BuildCarrierRequest(-1, 2, 0xF0, 0x0100, 0, nkp, {9, 9, 9, 9});
  const auto body = Bytes({0xF0, 0x00, 0x01, 0x00});
  const std::uint16_t crc = CarrierChecksum(body);
  EXPECT_EQ(frame, Bytes({0x00, 0x00, 0xA5, 0xF0, 0x00, 0x01, 0x00, crc & 0xFF, crc >> 8}));
}

TEST(CarrierFrame, LtrRequestsCarryExtraBytesForF1ToF5Only) {
  const CarrierFamily ltr{false, true, false};
  const auto setClock = BuildCarrierRequest(-1, 2, 0xF3, 0x1234, 0x56, ltr, {1, 2, 3, 4});
  ASSERT_EQ(setClock.size(), 2u + 1 + 4 + 4 + 2);
  EXPECT_EQ(std::vector<std::uint8_t>(setClock.begin() + 7, setClock.begin() + 11), Bytes({1, 2, 3, 4}));
  const std::uint16_t crc = CarrierChecksum(std::span(setClock).subspan(3, 8));
  EXPECT_EQ(setClock[11], crc & 0xFF);
  EXPECT_EQ(setClock[12], crc >> 8);
  EXPECT_EQ(BuildCarrierRequest(-1, 2, 0xF6, 0, 0, ltr, {1, 2, 3, 4}).size(), 9u);
  EXPECT_EQ(BuildCarrierRequest(-1, 2, 0xF3, 0, 0, {true, false, false}, {1, 2, 3, 4}).size(), 9u);
  // An address goes first.
  EXPECT_EQ(BuildCarrierRequest(0x1A7, 2, 0xF2, 0, 0, {}, {})[0], 0xA7);
}

TEST(CarrierFrame, ReplyShapesWithLaterRowsWinning) {
  const CarrierFamily nkp{true, false, false}, ltr{false, true, false}, ltr2{false, true, true}, none{};
  auto check = [](ReplyShape s, ReplyKind kind, int u, int h, int expected) {
    EXPECT_EQ(s.Kind, kind);
    EXPECT_EQ(s.DataLength, u);
    EXPECT_EQ(s.HeaderLength, h);
    EXPECT_EQ(s.ExpectedCount, expected);
  };
  check(CarrierReplyShape(0xF2, 0, nkp), ReplyKind::Short, 0, 4, 9);
  check(CarrierReplyShape(0xF0, 0, nkp), ReplyKind::Data, 256, 4, 265);
  check(CarrierReplyShape(0xF0, 0x80, nkp), ReplyKind::Data, 0x80, 4, 0x80 + 9);
  check(CarrierReplyShape(0xF1, 1, nkp), ReplyKind::Data, 512, 4, 516);
  check(CarrierReplyShape(0xE2, 6, nkp), ReplyKind::Data, 6, 4, 15);
  check(CarrierReplyShape(0xF2, 0, ltr), ReplyKind::Data, 35, 1, 938);
  check(CarrierReplyShape(0xF1, 0, ltr), ReplyKind::Data, 16193, 1, 16198);
  check(CarrierReplyShape(0xF1, 0, ltr2), ReplyKind::Data, 32771, 1, 32782);
  check(CarrierReplyShape(0xF5, 0, ltr2), ReplyKind::Short, 3, 1, 9);
  check(CarrierReplyShape(0xF4, 0, ltr), ReplyKind::Short, 0, 4, 9);
  check(CarrierReplyShape(0xF0, 0, none), ReplyKind::Data, 256, 4, 265);
  check(CarrierReplyShape(0x33, 7, none), ReplyKind::Data, 7, 4, 16);
}

TEST(CarrierFrame, SyncAcceptsTheRequestCodeOr0xF3) {
  const auto rx = Bytes({0x00, 0xA5, 0xF2, 0x00, 0xA5, 0xF3, 0x00, 0xA5, 0xF1});
  EXPECT_TRUE(IsCarrierSyncAt(rx, 2, 0xF2));
  EXPECT_TRUE(IsCarrierSyncAt(rx, 5, 0xF2));
  EXPECT_FALSE(IsCarrierSyncAt(rx, 8, 0xF2));
  EXPECT_FALSE(IsCarrierSyncAt(rx, 1, 0xF2));
  EXPECT_FALSE(IsCarrierSyncAt(rx, 99, 0xF2));
}

TEST(CarrierFrame, DamagedDataChecksumOnlyForNkp) {
  const auto covered = Bytes({0xF1, 0x05, 0x00, 0x01, 0x42});
  std::uint16_t reg = CarrierChecksum(covered);
  EXPECT_EQ(CheckCarrierChecksum(covered, reg & 0xFF, reg >> 8, true), ChecksumVerdict::Ok);
  Crc16Step(0xFF, reg);
  EXPECT_EQ(CheckCarrierChecksum(covered, reg & 0xFF, reg >> 8, true), ChecksumVerdict::DamagedData);
  EXPECT_EQ(CheckCarrierChecksum(covered, reg & 0xFF, reg >> 8, false), ChecksumVerdict::Mismatch);
  EXPECT_EQ(LtrDirectoryDataLength(0x10, 0x00), 13);
  EXPECT_EQ(LtrDirectoryDataLength(3, 0), 0);
}

TEST(CarrierFrame, AnswerCheckCutsThePayloadOrNamesTheFault) {
  const CarrierFamily nkp{true, false, false}, ltr{false, true, false};
  auto check = [](const std::vector<std::uint8_t>& rx, std::size_t sync, ReplyShape shape,
                  CarrierAnswerRequest request) { return CheckCarrierAnswer(rx, sync, shape, request); };
  auto bytes = [](std::span<const std::uint8_t> s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };

  // NKP data reply: the u data bytes after the echo; the answer ends exactly at its checksum.
  const auto data = BuildCarrierAnswer(0xE2, Bytes({4, 0, 3}), Bytes({7, 8, 9}));
  const CarrierAnswerVerdict ok = check(data, 3, CarrierReplyShape(0xE2, 3, nkp), {0xE2, 4, 3, nkp});
  EXPECT_EQ(ok.Result, 0);
  EXPECT_EQ(bytes(ok.Payload), Bytes({7, 8, 9}));
  EXPECT_EQ(
      check({data.begin(), data.end() - 1}, 3, CarrierReplyShape(0xE2, 3, nkp), {0xE2, 4, 3, nkp}).Result, 1);
  EXPECT_EQ(check(BuildCarrierAnswer(0xE2, Bytes({4, 0, 3}), Bytes({7, 8, 9}), true), 3,
                  CarrierReplyShape(0xE2, 3, nkp), {0xE2, 4, 3, nkp})
                .Result,
            9);

  // Short reply (h = 4): the three bytes after the code, whatever the request's echo.
  const auto status = BuildCarrierAnswer(0xF4, Bytes({0x55, 1, 2}), {});
  const CarrierAnswerVerdict shortOk = check(status, 3, CarrierReplyShape(0xF4, 0, ltr), {0xF4, 0, 0, ltr});
  EXPECT_EQ(shortOk.Result, 0);
  EXPECT_EQ(bytes(shortOk.Payload), Bytes({0x55, 1, 2}));

  // The address byte may stand three or four bytes before the code.
  auto addressed = BuildCarrierAnswer(0xE2, Bytes({4, 0, 3}), Bytes({7, 8, 9}));
  addressed.insert(addressed.begin(), 0x17);
  for (std::size_t sync : {std::size_t{4}, std::size_t{3}}) {
    std::vector<std::uint8_t> rx = addressed;
    if (sync == 3) rx.erase(rx.begin() + 1);  // 17 00 A5 E2 ...: the address at E-3
    EXPECT_EQ(check(rx, sync, CarrierReplyShape(0xE2, 3, nkp), {0xE2, 4, 3, nkp, 0x17}).Result, 0) << sync;
    EXPECT_EQ(check(rx, sync, CarrierReplyShape(0xE2, 3, nkp), {0xE2, 4, 3, nkp, 0x18}).Result, 4) << sync;
  }
  EXPECT_EQ(check(data, 3, CarrierReplyShape(0xE2, 3, nkp), {0xE2, 4, 3, nkp, 0x17}).Result, 4);
}

TEST(ComPortQuery, RetriesSetterAndTransmissionCount) {
  for (auto [retries, transmissions] : {std::pair{0, 1}, std::pair{-1, 2}, std::pair{2, 3}}) {
    SimLink link(CarrierKind::Nkp);
    link.Open();
    link.faults.Add(Fault(FaultKind::NoAnswer, -1));
    link.query.SetQuery_Povtorov(retries);
    EXPECT_EQ(link.query.Query(0xF2, 0, 0), 5);
    EXPECT_EQ(link.carrier.RequestCount(0xF2), transmissions) << "retries " << retries;
    EXPECT_EQ(link.query.ResultText(), carrier_text::Result5);
  }
}

TEST(ComPortQuery, RtsToggleFromTheThirdNkpTransmission) {
  SimLink nkp(CarrierKind::Nkp), ltr(CarrierKind::Ltr);
  for (SimLink* link : {&nkp, &ltr}) {
    link->Open();
    link->faults.Add(Fault(FaultKind::NoAnswer, -1));
    link->query.SetQuery_Povtorov(3);
    link->query.Query(0xF5, 0, 0);
  }
  EXPECT_EQ(nkp.port->RtsDrops(), 2);
  EXPECT_EQ(ltr.port->RtsDrops(), 0);
}

TEST(ComPortQuery, PollAnswerCopiesTheShortReply) {
  SimLink link(CarrierKind::Nkp);
  link.carrier.SetSerial(12345);
  link.Open();
  ASSERT_EQ(link.query.Query(0xF2, 0, 0), 0);
  EXPECT_EQ(link.query.Answer()[0] + 256 * link.query.Answer()[1], 12345);
  EXPECT_EQ(link.query.ResultText(), carrier_text::Result0);
}

TEST(ComPortQuery, NoiseBeforeTheAnswer) {
  // 62 bytes of noise before "00 A5 code": the code arrives as byte 65.
  std::vector<std::uint8_t> answer = BuildCarrierAnswer(0xF2, Bytes({1, 2, 0}), {});
  answer.erase(answer.begin());
  std::vector<std::uint8_t> noisy(62, 0x55);
  noisy.insert(noisy.end(), answer.begin(), answer.end());
  TComPortQuery q(test::FactoryFor(std::make_shared<CarrierSimPort>([&](auto) { return noisy; })));
  q.Query_NKP = true;
  q.Query_WaitFirstByte = q.Query_WaitLastByte = 30;
  std::string error;
  ASSERT_TRUE(q.Open(error));
  EXPECT_EQ(q.Query(0xF2, 0, 0), 0);
  EXPECT_EQ(q.Answer()[0], 1);

  // One byte more and the sync lies past the 64 bytes searched.
  noisy.insert(noisy.begin(), 0x55);
  EXPECT_EQ(q.Query(0xF2, 0, 0), 2);
}

TEST(ComPortQuery, SyncNeverFound) {
  SimLink link(CarrierKind::Nkp);
  link.Open();
  link.faults.Add(Fault(FaultKind::Noise, 1, 80));
  EXPECT_EQ(link.query.Query(0xF2, 0, 0), 2);
  TComPortQuery q(test::FactoryFor(std::make_shared<CarrierSimPort>([](auto) {
    return std::vector<std::uint8_t>(200, 0x55);
  })));
  std::string error;
  q.Open(error);
  q.Query_NKP = true;
  q.Query_WaitFirstByte = q.Query_WaitLastByte = 30;
  EXPECT_EQ(q.Query(0xF2, 0, 0), 2);
  EXPECT_EQ(q.ResultText(), carrier_text::Result2);
}

TEST(ComPortQuery, CodeF3IsAcceptedAsSync) {
  TComPortQuery q(test::FactoryFor(std::make_shared<CarrierSimPort>(
      [](auto) { return BuildCarrierAnswer(0xF3, Bytes({7, 8, 9}), {}); })));
  std::string error;
  q.Open(error);
  q.Query_NKP = true;
  q.Query_WaitFirstByte = q.Query_WaitLastByte = 30;
  EXPECT_EQ(q.Query(0xF2, 0, 0), 0);
  EXPECT_EQ(q.Answer()[0], 7);
}

TEST(ComPortQuery, DamagedDataGivesNineForNkpOnly) {
  SimLink link(CarrierKind::Nkp);
  std::vector<std::uint8_t> file(1024, 0x11);
  link.carrier.AddNkpFile(file);
  link.carrier.SetDamagedBlock(1);
  link.Open();
  EXPECT_EQ(link.query.Query(0xF1, 0, 1), 0);
  EXPECT_EQ(link.query.Query(0xF1, 1, 1), 9);
  EXPECT_EQ(link.query.ResultText(), carrier_text::Result9);
  // The same answer from a carrier that is not an НКП-3М is a plain mismatch.
  link.query.Query_NKP = false;
  link.query.Query_LTR = true;
  link.query.Query_LTR2 = false;
  // (the ЛТР shape differs; use a hand-made answer with the same damaged checksum)
  TComPortQuery q(test::FactoryFor(std::make_shared<CarrierSimPort>(
      [](auto) { return BuildCarrierAnswer(0xF4, Bytes({1, 0, 0}), {}, true); })));
  std::string error;
  q.Open(error);
  q.Query_LTR = true;
  q.Query_WaitFirstByte = q.Query_WaitLastByte = 30;
  EXPECT_EQ(q.Query(0xF4, 1, 0), 3);
}

TEST(ComPortQuery, LineFaultsAndRepeats) {
  SimLink link(CarrierKind::Nkp);
  link.Open();
  link.faults.Add(Fault(FaultKind::CorruptChecksum));
  EXPECT_EQ(link.query.Query(0xF2, 0, 0), 3);
  link.faults.Add(Fault(FaultKind::DropByte));
  EXPECT_EQ(link.query.Query(0xF2, 0, 0), 1);
  link.faults.Add(Fault(FaultKind::Stall, 1, 4, 150));
  EXPECT_EQ(link.query.Query(0xF2, 0, 0), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));  // the rest of the stalled answer
  // One corrupted answer and one repeat: the second transmission succeeds.
  link.faults.Add(Fault(FaultKind::CorruptChecksum));
  link.query.SetQuery_Povtorov(1);
  link.carrier.ClearRequests();
  EXPECT_EQ(link.query.Query(0xF2, 0, 0), 0);
  EXPECT_EQ(link.carrier.RequestCount(0xF2), 2);
}

TEST(ComPortQuery, MonitorLines) {
  SimLink link(CarrierKind::Nkp);
  link.Open();
  ExchangeMonitor monitor;
  link.query.Monitor = &monitor;
  std::vector<std::string> lists;
  link.query.OnQuery_Monitor = [&](TComPortQuery& q) {
    for (auto& line : q.MonitorList()) lists.push_back(line);
  };
  link.faults.Add(Fault(FaultKind::NoAnswer));
  link.query.SetQuery_Povtorov(2);
  ASSERT_EQ(link.query.Query(0xF2, 0, 0), 0);
  auto has = [&](const std::string& prefix) {
    return std::any_of(lists.begin(), lists.end(), [&](auto& l) { return l.rfind(prefix, 0) == 0; });
  };
  EXPECT_TRUE(has(std::string(carrier_text::MonRequest) + "00 00 A5 F2 00 00 00 "));
  EXPECT_TRUE(has(std::string(carrier_text::MonBytesSent) + "9"));
  EXPECT_TRUE(has(carrier_text::MonError5));
  EXPECT_TRUE(has(carrier_text::MonChecksumOk));
  EXPECT_TRUE(has(std::string(carrier_text::MonBytesReceived) + "9\r"));
  EXPECT_FALSE(has(carrier_text::MonAttempt));  // the second transmission is not yet "Попытка"
  EXPECT_GT(monitor.LineCount(), 5u);
}

TEST(ComPortQuery, ClearingBusyAbortsAtOnce) {
  SimLink link(CarrierKind::Nkp);
  link.Open();
  link.faults.Add(Fault(FaultKind::NoAnswer, -1));
  link.query.SetQuery_Povtorov(1000);
  link.query.Query_WaitFirstByte = 60000;
  std::thread stopper([&] {
    while (link.carrier.RequestCount(0xF2) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    link.query.Busy = 0;
  });
  EXPECT_EQ(link.query.Query(0xF2, 0, 0), 8);
  stopper.join();
  EXPECT_EQ(link.carrier.RequestCount(0xF2), 1);
  EXPECT_EQ(link.query.ResultText(), carrier_text::Result8);
}

TEST(ComPortQuery, PeerWithoutFamilyChecksEchoAndCode) {
  auto run = [](std::vector<std::uint8_t> answer, int address = -1) {
    TComPortQuery q(test::FactoryFor(std::make_shared<CarrierSimPort>([answer](auto) { return answer; })));
    std::string error;
    q.Open(error);
    q.Query_AdrPribora = address;
    q.Query_WaitFirstByte = q.Query_WaitLastByte = 30;
    return q.Query(0x30, 0x0201, 2);
  };
  EXPECT_EQ(run(BuildCarrierAnswer(0x30, Bytes({1, 2, 2}), Bytes({5, 6}))), 0);
  EXPECT_EQ(run(BuildCarrierAnswer(0x30, Bytes({1, 2, 3}), Bytes({5, 6}))), 6);
  EXPECT_EQ(run(BuildCarrierAnswer(0xF3, Bytes({1, 2, 2}), Bytes({5, 6}))), 7);
  auto addressed = BuildCarrierAnswer(0x30, Bytes({1, 2, 2}), Bytes({5, 6}));
  addressed.insert(addressed.begin(), 0x17);
  EXPECT_EQ(run(addressed, 0x17), 0);
  EXPECT_EQ(run(addressed, 0x18), 4);
}

TEST(ComPortQuery, LtrDirectoryLengthComesFromTheAnswer) {
  SimLink link(CarrierKind::Ltr);
  LtrCarrierFile f;
  f.DeviceType = 12;
  link.carrier.AddLtrFile(3, f);
  link.Open();
  ASSERT_EQ(link.query.Query(0xF2, 0, 0), 0);
  const auto& a = link.query.Answer();
  EXPECT_EQ(a[0] + 256 * a[1], 16 + 14 + 3);
  EXPECT_EQ(a[2], 1);
  EXPECT_EQ(a[15], 1);
  EXPECT_EQ(a[16], 12);
  EXPECT_EQ(a[28], 3);

  // A length larger than the answer buffer is refused, not read into it.
  TComPortQuery q(test::FactoryFor(std::make_shared<CarrierSimPort>(
      [](auto) { return Bytes({0x00, 0x00, 0xA5, 0xF2, 0xFF, 0xFF, 0x01, 0x02}); })));
  std::string error;
  q.Open(error);
  q.Query_LTR = true;
  q.Query_WaitFirstByte = q.Query_WaitLastByte = 30;
  EXPECT_EQ(q.Query(0xF2, 0, 0), 2);
}

}  // namespace
}  // namespace velk
