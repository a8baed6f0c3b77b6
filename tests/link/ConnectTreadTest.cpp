// The reader against a scripted meter on a fake line: status codes, retries,
// wake-up, stop, the archive with outstanding requests, clock correction,
// the new-hour re-read, dialling and the socket kinds.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <map>
#include <utility>

#include "common/MeterCfg.h"
#include "link/DumpFile.h"
#include "FakeMeterLink.h"
#include "link/LinkTexts.h"
#include "link/UnConnectTread.h"
#include "support/QueuedUserInterface.h"
#include "support/TempDir.h"

namespace velk {
namespace {

using testing::Bytes;
using testing::SeenRequest;

class ForwarderFake final : public RequestForwarder {
 public:
  explicit ForwarderFake(testing::FakeMeter& meter) : meter_(meter) {}
  bool SendRequest(const std::string& host, std::span<const std::uint8_t> request, const AnswerSink& sink,
                   std::string& error) override {
    Hosts.push_back(host);
    if (Absent) {
      error = "libPtUskVC.so: no such library";
      return false;
    }
    SeenRequest r{std::nullopt, request[3], static_cast<std::uint16_t>(request[4] | (request[5] << 8)),
                  request[6]};
    meter_.Requests.push_back(r);
    const Bytes answer = meter_.Answer(r);
    if (!answer.empty()) sink(answer);
    return true;
  }
  bool Absent = false;
  std::vector<std::string> Hosts;

 private:
  testing::FakeMeter& meter_;
};

constexpr TDateTime Start = 46364.4375;  // 08.12.2026 10:30:00

class ReaderTest : public ::testing::Test {
 protected:
  ReaderTest() : clock(Start), line(clock), links(line), forwarder(line.meter) {
    reader = NewReader(ui);
    meter().SetClock(2, 2026, 12, 8, 10, 30, 0);
  }

  std::unique_ptr<TConnectTread> NewReader(UserInterface& userInterface) {
    auto reader = std::make_unique<TConnectTread>(image, monitor, userInterface, clock);
    reader->Links = &links;
    reader->Forwarder = &forwarder;
    reader->Sleep = [this](int ms) { clock.AdvanceSeconds(ms / 1000.0); };
    reader->RaisePriority = false;
    reader->PortName = "COM3";
    reader->RetryCount = 2;
    reader->ReadMode = 0;
    reader->Storage.EdDataDir = dir.Text();
    return reader;
  }

  testing::FakeMeter& meter() { return line.meter; }
  std::vector<SeenRequest> RequestsWithCode(std::uint8_t code) const {
    std::vector<SeenRequest> out;
    for (const auto& r : line.meter.Requests) {
      if (r.Code == code) out.push_back(r);
    }
    return out;
  }
  bool MonitorHas(const std::string& line) const {
    const auto lines = monitor.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  static std::string Trimmed(const char* text) {  // a monitor text without its closing line break
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
  }
  // The meter's .cfg record as the previous reading left it.
  void SavePreviousReading(std::uint32_t pointer, double hoursAgo) {
    image.DumpImage[514] = static_cast<std::uint8_t>(meter().Serial);
    image.DumpImage[515] = static_cast<std::uint8_t>(meter().Serial >> 8);
    const auto named = DumpFolderAndName(53, meter().Serial, image.Whole(), reader->Storage);
    TMeterCfg record;
    record.Counter = 4;
    record.Pointer = pointer;
    record.ReadTime = Start - hoursAgo / 24.0;
    ASSERT_TRUE(WriteMeterCfg(named.Folder + "\\" + named.Name + ".cfg", record));
    meter().Memory[514 - 512] = image.DumpImage[514];
    meter().Memory[515 - 512] = image.DumpImage[515];
  }

  // A reading of the current data only: the previous reading saw the same pointer.
  void CurrentDataOnly() {
    meter().SetRing(0x0400, 0xFFFF, 0x2000);
    SavePreviousReading(0x2000, 0.1);
    reader->ReadMode = 2;
  }
  // The last monitor line with text (a text ending in a line break leaves an empty line behind it).
  std::string LastLine() const {
    auto lines = monitor.Lines();
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines.empty() ? "" : lines.back();
  }

  test::TempDir dir;
  ManualClock clock;
  testing::FakeLineState line;
  testing::FakeLinks links;
  ForwarderFake forwarder;
  TDumpImage image;
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  std::unique_ptr<TConnectTread> reader;
};

TEST_F(ReaderTest, FullReadingOfATwoSystemMeterOverRs232) {
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(reader->FamilyCode, 53);
  EXPECT_EQ(reader->ShortSerial, 12345);
  EXPECT_EQ(reader->ReadMode, 0);
  EXPECT_EQ(image.DumpLength, 66048);
  EXPECT_EQ(reader->ProgressPercent, 100.0);
  EXPECT_EQ(links.LastBaud, 4800);
  EXPECT_EQ(links.LastPort, "COM3");
  EXPECT_EQ(reader->PortNumber, 3);
  EXPECT_TRUE(line.rts);

  EXPECT_EQ(image.DumpImage[128], 83);
  EXPECT_TRUE(std::equal(meter().Identity.begin(), meter().Identity.end(), image.DumpImage.begin() + 160));
  EXPECT_TRUE(std::equal(meter().Working.begin(), meter().Working.end(), image.DumpImage.begin() + 256));
  for (int a : {0, 255, 256, 0x1234, 0xFFFF}) EXPECT_EQ(image.DumpImage[512 + a], meter().Memory[a]) << a;
  // The computer clock at the start in BCD: second, minute, hour, day, month, year.
  EXPECT_EQ(Bytes(image.DumpImage.begin() + 138, image.DumpImage.begin() + 144),
            (Bytes{0x00, 0x30, 0x10, 0x08, 0x12, 0x26}));

  const auto areas = RequestsWithCode(0xF0);
  ASSERT_EQ(areas.size(), 256u);  // the constants and 255 areas
  EXPECT_EQ(areas[1].Address, 0x0100);
  EXPECT_EQ(areas.back().Address, 0xFF00);
  // The first request is woken with 300 zero bytes; quick correct answers need no wake-up.
  EXPECT_EQ(meter().Requests.front().WakeUpZeros, 300);
  EXPECT_EQ(meter().Requests[1].WakeUpZeros, 0);
  EXPECT_TRUE(RequestsWithCode(0xE8).empty());
  EXPECT_LE(monitor.LineCount(), ExchangeMonitor::MaxLines);
  EXPECT_EQ(LastLine(), Trimmed(LinkText::ClosePort));
}

TEST_F(ReaderTest, OlderFamilyReadsItsClockFromAddressZero) {
  meter().RawCode = 30;
  meter().Working[85] = 29;  // binary minute and second
  meter().Working[84] = 41;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(reader->FamilyCode, 30);
  EXPECT_EQ(image.DumpImage[166], 3);
  EXPECT_EQ(image.DumpImage[167], 0);
  const auto working = RequestsWithCode(0xF1);
  ASSERT_EQ(working.size(), 1u);  // no 0xC000 request below family 50
  EXPECT_EQ(working[0].Address, 0);
  EXPECT_EQ(DateTimeText(reader->MeterClockAtStart), "08.12.2026 10:29:41");
  EXPECT_EQ(image.DumpLength, 16896);
  EXPECT_EQ(RequestsWithCode(0xF0)[2].Count, 36);  // memory 512..547
}

TEST_F(ReaderTest, RetriesFollowRetryCount) {
  line.respond = [](const SeenRequest&) { return Bytes{}; };
  for (int retries : {0, 2, 255}) {
    meter().Requests.clear();
    reader->RetryCount = static_cast<std::uint8_t>(retries);
    reader->Execute();
    EXPECT_EQ(reader->Status, LinkStatus::NoAnswer);
    EXPECT_EQ(meter().Requests.size(), static_cast<std::size_t>(retries + 1));
    // Every identification attempt on RS232 is woken.
    EXPECT_TRUE(std::all_of(meter().Requests.begin(), meter().Requests.end(),
                            [](const SeenRequest& r) { return r.WakeUpZeros == 300; }));
  }
  EXPECT_TRUE(MonitorHas(Trimmed(LinkText::NoAnswer)));
}

TEST_F(ReaderTest, WakeUpAfterAFailureOrASlowAnswer) {
  // A slow identification answer (2.5 s) wakes the next request of a family from 50 on (limit
  // 2 s), not that of an older family (limit 15 s).
  reader->FirstByteTimeoutMs = 4000;
  std::optional<Bytes> slow;
  double askedAt = 0;
  line.onIdleRead = [&] {
    if (slow && clock.MonotonicMs() - askedAt >= 2500) line.pending.assign(slow->begin(), slow->end());
    if (slow && !line.pending.empty()) slow.reset();
  };
  for (const std::uint8_t rawCode : {std::uint8_t{83}, std::uint8_t{30}}) {
    meter().RawCode = rawCode;
    meter().Requests.clear();
    int constants = 0;
    line.respond = [&](const SeenRequest& r) {
      if (r.Code == 0xF2) {
        slow = meter().Answer(r);
        askedAt = clock.MonotonicMs();
        return Bytes{};
      }
      if (r.Code == 0xF0 && r.Address == 0 && constants++ == 0)
        return Bytes{};  // first constants request lost
      return meter().Answer(r);
    };
    CurrentDataOnly();
    reader->Execute();
    const bool newer = rawCode >= 50;
    ASSERT_GE(meter().Requests.size(), newer ? 4u : 3u);
    EXPECT_EQ(meter().Requests[1].WakeUpZeros, newer ? 300 : 0) << int(rawCode);
    if (newer) {
      EXPECT_EQ(meter().Requests[2].WakeUpZeros, 0);    // first constants request, after a quick answer
      EXPECT_EQ(meter().Requests[3].WakeUpZeros, 300);  // after the lost answer
    } else {
      EXPECT_EQ(meter().Requests[2].WakeUpZeros, 300);  // after the lost answer
    }
  }
}

TEST_F(ReaderTest, StopEndsTheReadingWithStatus8) {
  int areas = 0;
  line.onEveryRequest = [&] {
    if (meter().Requests.back().Code == 0xF0 && ++areas == 10) reader->StopRequested = 1;
  };
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Stopped);
  EXPECT_EQ(RequestsWithCode(0xF0).size(), 10u);
  EXPECT_TRUE(MonitorHas(Trimmed(LinkText::StoppedByUser)));
  EXPECT_EQ(LastLine(), Trimmed(LinkText::ClosePort));
  EXPECT_NE(reader->ProgressPercent, 100.0);
}

TEST_F(ReaderTest, TerminateEndsTheReadingAtTheNextPoll) {
  line.onEveryRequest = [&] {
    if (RequestsWithCode(0xF0).size() == 3) reader->Terminate();
  };
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Stopped);
  EXPECT_EQ(RequestsWithCode(0xF0).size(), 3u);
  EXPECT_EQ(LastLine(), Trimmed(LinkText::ClosePort));
}

TEST_F(ReaderTest, WindowOfSixteenWithReorderedAndLostAnswers) {
  reader->LinkKind = LinkKinds::TcpRlz;
  reader->HostName = "meter.example";
  reader->TcpPort = 4001;
  reader->AreaWindow = 16;
  std::optional<Bytes> held;
  std::map<int, int> seen;
  line.respond = [&](const SeenRequest& r) {
    Bytes answer = meter().Answer(r);
    if (r.Code != 0xF0 || r.Address == 0) return answer;
    const int n = ++seen[r.Address];
    if (r.Address == 0x0300 && n == 1) {  // held back behind the next answer
      held = answer;
      return Bytes{};
    }
    if (r.Address == 0x0500 && n == 1) return Bytes{};      // lost
    if (r.Address == 0x0900 && n == 1) answer[20] ^= 0xFF;  // corrupted
    if (held) {
      answer.insert(answer.end(), held->begin(), held->end());
      held.reset();
    }
    return answer;
  };
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(image.DumpLength, 66048);
  EXPECT_TRUE(std::equal(meter().Memory.begin() + 256, meter().Memory.end(), image.DumpImage.begin() + 768));
  EXPECT_EQ(seen[0x0300], 1);  // passed over by 0x0400; its late answer was used, the re-request dropped
  EXPECT_EQ(seen[0x0500], 2);
  EXPECT_EQ(seen[0x0900], 2);
  EXPECT_EQ(seen[0x0600], 1);
  EXPECT_EQ(meter().Requests.front().WakeUpZeros, 0);  // kind 5 never wakes
}

TEST_F(ReaderTest, AreaTableFullEndsTheReading) {
  line.respond = [&](const SeenRequest& r) {
    return r.Code == 0xF0 && r.Address == 0x8000 ? Bytes{} : meter().Answer(r);
  };
  const auto requests0x8000 = [&] {
    return std::count_if(meter().Requests.begin(), meter().Requests.end(),
                         [](const SeenRequest& r) { return r.Address == 0x8000; });
  };
  reader->RetryCount = 255;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::CannotPlan);
  EXPECT_TRUE(MonitorHas(Trimmed(AreaTableFullText)));
  EXPECT_EQ(requests0x8000(), 1 + (500 - 255));

  // With few retries the run of failures ends it first, with the failure's status: the area is
  // asked once among the others and then RetryCount times in a row.
  meter().Requests.clear();
  reader->RetryCount = 3;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::NoAnswer);
  EXPECT_EQ(requests0x8000(), 1 + 3);
}

TEST_F(ReaderTest, RetryCountZeroStillReadsEveryArea) {
  reader->RetryCount = 0;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(RequestsWithCode(0xF0).size(), 256u);
}

TEST_F(ReaderTest, ClockCorrection) {
  meter().SetClock(2, 2026, 12, 8, 10, 20, 15);  // ten minutes slow
  CurrentDataOnly();
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  ASSERT_EQ(RequestsWithCode(0xE8).size(), 1u);
  EXPECT_EQ(RequestsWithCode(0xE8)[0].Address, 0x1030);  // BCD minute + 256 x BCD hour of the computer clock
  EXPECT_TRUE(RequestsWithCode(0xE9).empty());
  EXPECT_TRUE(MonitorHas(Trimmed(LinkText::TimeCorrected)));
  EXPECT_EQ(DateTimeText(reader->MeterClockAtStart),
            "08.12.2026 10:30:15");  // the computer's minute, the meter's second

  meter().Requests.clear();
  meter().SetClock(2, 2026, 11, 7, 10, 31, 0);  // time close enough, date wrong
  reader->Execute();
  EXPECT_TRUE(RequestsWithCode(0xE8).empty());
  ASSERT_EQ(RequestsWithCode(0xE9).size(), 1u);
  EXPECT_EQ(RequestsWithCode(0xE9)[0].Address, 0x1208);
  EXPECT_EQ(RequestsWithCode(0xE9)[0].Count, 0x26);

  meter().Requests.clear();
  meter().SetClock(2, 2026, 12, 8, 10, 9, 0);
  reader->TimeCorrect = false;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_TRUE(RequestsWithCode(0xE8).empty());
  EXPECT_EQ(reader->TimeWrong, 1);
}

TEST_F(ReaderTest, ClockJustBeforeTheHourIsReadAgain) {
  meter().SetClock(2, 2026, 12, 8, 10, 59, 57);
  clock.Set(Start + 29.0 / 1440 + 57.0 / 86400);  // 10:59:57
  CurrentDataOnly();
  std::vector<TDateTime> clockReads;
  line.onEveryRequest = [&] {
    if (meter().Requests.back().Code == 0xF1 && meter().Requests.back().Address == 512) {
      clockReads.push_back(clock.Now());
      meter().SetClock(2, 2026, 12, 8, 11, 0, 3);
    }
  };
  reader->Execute();
  ASSERT_EQ(clockReads.size(), 2u);
  EXPECT_GT((clockReads[1] - reader->ReadStart) * 86400.0, 6.0);
}

TEST_F(ReaderTest, ChangesModeAndTheNewHourReRead) {
  SavePreviousReading(0x1000, 1);
  meter().SetRing(0x0400, 0xFFFF, 0x1040);
  meter().SetClock(2, 2026, 12, 8, 10, 59, 50);
  clock.Set(Start + 29.0 / 1440 + 50.0 / 86400);
  reader->ReadMode = 1;
  line.respond = [&](const SeenRequest& r) {
    Bytes answer = meter().Answer(r);
    if (r.Code == 0xF0 && r.Address == 0x1000) {
      // The hour ends while the area is read: a new record, the pointer moves on.
      clock.AdvanceSeconds(15);
      for (int a = 0x1060; a < 0x10A0; ++a) meter().Memory[a] = 0xEE;
      meter().Memory[0x1050] = 0x77;
      meter().SetRing(0x0400, 0xFFFF, 0x1080);
    }
    return answer;
  };
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(reader->ReadMode, 1);
  EXPECT_TRUE(MonitorHas(LinkText::PointerChanged));
  EXPECT_TRUE(MonitorHas(LinkText::ChangedAreaRead));
  // The re-read lands where the data lies: in place, and behind the appended area.
  EXPECT_EQ(image.DumpImage[768 + 0x50], 0x77);
  EXPECT_EQ(image.DumpImage[768 + 0x60], 0xEE);
  EXPECT_EQ(image.DumpImage[768 + 0x9F], 0xEE);
  EXPECT_EQ(image.DumpLength, 768 + 0xA0);
  EXPECT_EQ(image.DumpImage[152], 0xA0);
  EXPECT_EQ(ReadLeUInt(image.Whole(), 649, 2), 0x1080u);  // the constants were read again
}

TEST_F(ReaderTest, SameHourWithoutChangesReadsNothing) {
  SavePreviousReading(0x1040, 0.25);
  meter().SetRing(0x0400, 0xFFFF, 0x1040);
  reader->ReadMode = 1;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(reader->ReadMode, 2);
  EXPECT_EQ(image.DumpLength, 768);
  EXPECT_EQ(reader->SavedPointer, 0x1040);
}

TEST_F(ReaderTest, Rs485AddressByteAndAdapterAnswers) {
  reader->LinkKind = LinkKinds::Rs485;
  reader->NetAddress = 5;
  reader->BaudCode = 9;
  CurrentDataOnly();
  line.addressByteInFront = true;
  meter().FirstByte = 5;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(links.LastBaud, 19200);
  EXPECT_TRUE(line.dtr == false && line.rts);  // DTR dropped again when the port closed
  EXPECT_EQ(meter().Requests.front().AddressByte, 5);
  EXPECT_EQ(meter().Requests.front().WakeUpZeros, 0);

  for (std::uint8_t first : {std::uint8_t{5}, std::uint8_t{0}}) {
    line.respond = [first](const SeenRequest&) { return testing::AnswerFrame(first, 0xC3, 0, 0, 0); };
    reader->RetryCount = 0;
    reader->Execute();
    EXPECT_EQ(reader->Status, first ? LinkStatus::AdapterNoMeter : LinkStatus::NoAnswer);
    EXPECT_TRUE(MonitorHas(LinkText::AdapterNoLink));
  }
}

TEST_F(ReaderTest, TcpConnectionRefused) {
  reader->LinkKind = LinkKinds::Tcp;
  reader->HostName = "meter.example";
  reader->TcpPort = 4001;
  links.RefuseOpen = true;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::OpenFailed);
  EXPECT_EQ(links.LastTcpPort, 4001);
  EXPECT_EQ(monitor.Lines(), (std::vector<std::string>{Trimmed(LinkText::OpenPort), "meter.example  4001", "",
                                                       "meter.example  4001:", LinkText::PortNotOpen, ""}));
  EXPECT_EQ(reader->FatalError, std::string(LinkText::ConnectFailed) + "meter.example");
  EXPECT_EQ(ui.Messages, std::vector<std::string>{reader->FatalError + "\r\n" +
                                                  "meter.example:4001: cannot connect: Connection refused"});
  EXPECT_TRUE(meter().Requests.empty());
}

TEST_F(ReaderTest, SerialPortThatCannotBeOpened) {
  links.RefuseOpen = true;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::OpenFailed);
  EXPECT_EQ(reader->LinkOpen, 0);
  EXPECT_NE(reader->FatalError.find("COM3"), std::string::npos);
  EXPECT_EQ(ui.Messages, std::vector<std::string>{reader->FatalError});  // the user is told why
}

TEST_F(ReaderTest, BrokenSocketEndsTheReadingWithStatus6) {
  reader->LinkKind = LinkKinds::Tcp;
  reader->HostName = "meter.example";
  reader->TcpPort = 4001;
  line.onEveryRequest = [&] {
    if (meter().Requests.size() == 5) line.failed = true;
  };
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::SocketFailed);
  EXPECT_TRUE(MonitorHas(Trimmed(LinkText::LinkBroken)));
  EXPECT_FALSE(MonitorHas(Trimmed(LinkText::StoppedByUser)));
  EXPECT_EQ(meter().Requests.front().WakeUpZeros, 300);  // kind 4 wakes like RS232
}

class DiallingTest : public ReaderTest {
 protected:
  void SetUp() override {
    reader->LinkKind = LinkKinds::Modem;
    reader->DialNeeded = 1;
    reader->PhoneNumber = "89001234567";
    reader->MaxDialSeconds = 5;
    CurrentDataOnly();
  }
};

TEST_F(DiallingTest, ConnectThenRead) {
  line.modemReply = "atd89001234567\r\r\nCONNECT 9600\r\n";
  reader->Execute();
  EXPECT_EQ(reader->DialResult, DialResults::Connected);
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(reader->Dialling, 0);
  EXPECT_EQ(links.LastBaud, 19200);
  EXPECT_EQ(std::string(line.written.begin(), line.written.begin() + 15), "atd89001234567\r");
  EXPECT_TRUE(MonitorHas(std::string(LinkText::Dialling) + "atd89001234567"));
  const auto lines = monitor.Lines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
    return l.rfind(std::string(LinkText::OutcomeConnected) + "CONNECT 9600", 0) == 0;
  }));
  EXPECT_EQ(meter().Requests.front().Code, 0xF2);
}

TEST_F(DiallingTest, BusyNoCarrierAndSilence) {
  const std::vector<std::tuple<std::string, std::uint8_t, std::string>> cases{
      {"atd89001234567\r\r\nBUSY\r\n", DialResults::Busy, std::string(LinkText::OutcomeBusy) + "BUSY"},
      {"atd89001234567\r\r\nNO CARRIER\r\n", DialResults::NoCarrier,
       std::string(LinkText::OutcomeNoCarrier) + "NO CARRIER"},
      {"", DialResults::InProgress, ""},
  };
  for (const auto& [reply, result, outcome] : cases) {
    line.modemReply = reply;
    reader->DialNeeded = 1;
    reader->Execute();
    EXPECT_EQ(reader->Status, LinkStatus::NotConnected) << reply;
    EXPECT_EQ(reader->DialResult, result) << reply;
    EXPECT_TRUE(meter().Requests.empty());
    EXPECT_TRUE(MonitorHas(outcome)) << reply;
    const auto lines = monitor.Lines();
    const std::string expectedTime = std::string(LinkText::DialTime) + (reply.empty() ? "5.0" : "0.0") + " c";
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), expectedTime) != lines.end()) << reply;
    EXPECT_EQ(LastLine(), Trimmed(LinkText::ClosePort));
  }
}

TEST_F(DiallingTest, StopWhileDialling) {
  line.modemReply = "";
  int idle = 0;
  line.onIdleRead = [&] {
    if (++idle == 20) reader->StopRequested = 1;
  };
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Stopped);
  EXPECT_TRUE(meter().Requests.empty());
  EXPECT_EQ(reader->Dialling, 1);  // the dialling view stays
  EXPECT_EQ(LastLine(), Trimmed(LinkText::ClosePort));
}

TEST_F(DiallingTest, TerminateWhileDialling) {
  line.modemReply = "";
  int idle = 0;
  line.onIdleRead = [&] {
    if (++idle == 20) reader->Terminate();
  };
  reader->Execute();
  EXPECT_EQ(reader->DialResult, DialResults::None);
  EXPECT_TRUE(meter().Requests.empty());
  EXPECT_NE(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(reader->Dialling, 0);
}

TEST_F(ReaderTest, ForwardedLinkWithAnswersFromTheTransport) {
  reader->LinkKind = LinkKinds::Forwarded;
  reader->HostName = "10.1.2.3";
  reader->AreaWindow = 16;
  CurrentDataOnly();
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::Ok);
  EXPECT_EQ(forwarder.Hosts.front(), "10.1.2.3");
  EXPECT_EQ(image.DumpImage[128], 83);

  // Without the library every exchange goes unanswered; the request is logged and dropped.
  forwarder.Absent = true;
  reader->RetryCount = 0;
  reader->Execute();
  EXPECT_EQ(reader->Status, LinkStatus::NoAnswer);
  EXPECT_TRUE(MonitorHas("libPtUskVC.so: no such library"));
}

TEST_F(ReaderTest, RunsOnItsOwnThreadAndReportsItsEnd) {
  CurrentDataOnly();
  int ends = 0;
  std::uint8_t statusAtEnd = 99;
  reader->OnTerminate = [&](TConnectTread& t) {
    ++ends;
    statusAtEnd = t.Status;
  };
  reader->Start();
  reader->Join();
  EXPECT_TRUE(reader->Finished());
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(statusAtEnd, LinkStatus::Ok);
}

TEST_F(ReaderTest, DestroyedWhileItWaitsForTheMainThreadOrFromItsOwnEndHandler) {
  CurrentDataOnly();
  {
    // The main thread destroys the reader while it waits in a synchronised call:
    // the destructor serves the call instead of deadlocking on the join.
    test::QueuedUserInterface queued;
    auto waiting = NewReader(queued);
    waiting->Start();
    queued.WaitForQueuedCall();
    waiting.reset();
  }
  // An end handler on the reader's own thread destroys it; the thread then
  // leaves the freed object alone (the sanitizer build checks the writes).
  std::promise<void> destroyed;
  reader->OnTerminate = [&](TConnectTread&) {
    reader.reset();
    destroyed.set_value();
  };
  reader->Start();
  destroyed.get_future().wait();
  EXPECT_EQ(reader, nullptr);
}

// Single exchanges: the verdict of each kind of answer and its monitor text.
class ExchangeTest : public ReaderTest {
 protected:
  void SetUp() override {
    reader->OpenLink();
    ASSERT_EQ(reader->LinkOpen, 1);
    monitor.Clear();
  }
  std::uint8_t Receive(const Bytes& bytes, std::uint8_t code, int dataLength) {
    line.pending.assign(bytes.begin(), bytes.end());
    return reader->ReceiveMeterAnswer(code, dataLength);
  }
  Bytes Data(int n) {
    Bytes d;
    for (int i = 0; i < n; ++i) d.push_back(static_cast<std::uint8_t>(0xA0 + i));
    return d;
  }
};

TEST_F(ExchangeTest, CorrectAnswerAndItsMonitorText) {
  const Bytes answer = testing::AnswerFrame(0, 0xF0, 0x00, 0x01, 20, Data(20));
  EXPECT_EQ(Receive(answer, 0xF0, 20), LinkStatus::Ok);
  EXPECT_EQ(reader->BytesReceived, 20);
  const auto crc = answer.size() - 2;
  char crcText[16];
  std::snprintf(crcText, sizeof crcText, "%02X %02X ", answer[crc], answer[crc + 1]);
  EXPECT_EQ(monitor.Lines(),
            (std::vector<std::string>{"", Trimmed(LinkText::Answer), "00 00 A5 F0 00 01 14 ",
                                      " 00 :  A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF ",
                                      " 10 :  B0 B1 B2 B3 ", LinkText::DataCrc + std::string(crcText),
                                      LinkText::ChecksumOk,
                                      std::string(LinkText::Received) + "29" + LinkText::Bytes,
                                      std::string(LinkText::FirstByteWait) + "0.000 c",
                                      std::string(LinkText::AnswerTime) + "0.000 c", "", ""}));
}

TEST_F(ExchangeTest, NoiseBeforeTheHeaderIsSkipped) {
  Bytes bytes{0x13, 0x00, 0xA5};
  const Bytes answer = testing::AnswerFrame(0, 0xF2, 0x39, 0x30, 83);
  bytes.insert(bytes.end(), answer.begin(), answer.end());
  EXPECT_EQ(Receive(bytes, 0xF2, 0), LinkStatus::Ok);
  EXPECT_EQ(Bytes(reader->RxBuffer.begin(), reader->RxBuffer.begin() + 9), answer);

  // 65 bytes without a header: status 2 and nothing in the monitor.
  monitor.Clear();
  EXPECT_EQ(Receive(Bytes(65, 0x55), 0xF2, 0), LinkStatus::NoSync);
  EXPECT_EQ(monitor.LineCount(), 0u);
  // Sixty bytes of noise are still tolerated.
  bytes.assign(60, 0x55);
  bytes.insert(bytes.end(), answer.begin(), answer.end());
  EXPECT_EQ(Receive(bytes, 0xF2, 0), LinkStatus::Ok);
}

TEST_F(ExchangeTest, FailureVerdicts) {
  Bytes answer = testing::AnswerFrame(0, 0xF0, 0, 1, 8, Data(8));
  answer[10] ^= 1;
  EXPECT_EQ(Receive(answer, 0xF0, 8), LinkStatus::BadChecksum);
  EXPECT_TRUE(MonitorHas(LinkText::StatusTexts[3].Text));

  answer = testing::AnswerFrame(0, 0xF0, 0, 1, 8, Data(8));
  answer.resize(12);
  EXPECT_EQ(Receive(answer, 0xF0, 8), LinkStatus::Interrupted);
  EXPECT_TRUE(MonitorHas(LinkText::ReceptionBroken));

  EXPECT_EQ(Receive({}, 0xF0, 8), LinkStatus::NoAnswer);
  EXPECT_EQ(reader->BytesReceived, 0);
  EXPECT_EQ(reader->AnswerLamp, 0);
}

TEST_F(ExchangeTest, WaitingIsShownWhileTheLineIsSilent) {
  reader->FirstByteTimeoutMs = 1000;
  reader->NextByteTimeoutMs = 400;
  std::vector<int> seen;
  const Bytes answer = testing::AnswerFrame(0, 0xF2, 0, 0, 83);
  int idle = 0;
  line.onIdleRead = [&] {
    seen.push_back(reader->Status);
    ++idle;
    if (idle == 3) line.pending.assign(answer.begin(), answer.begin() + 4);  // the first bytes, then a pause
    if (idle == 6) line.pending.assign(answer.begin() + 4, answer.end());
  };
  reader->Status = LinkStatus::Idle;
  EXPECT_EQ(reader->ReceiveMeterAnswer(0xF2, 0), LinkStatus::Ok);
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[1], LinkStatus::WaitingFirstByte);  // 100 ms and more without the first byte
  EXPECT_EQ(seen[5], LinkStatus::WaitingNextByte);
}

TEST_F(ExchangeTest, FirstAndNextByteLimits) {
  reader->FirstByteTimeoutMs = 700;
  reader->NextByteTimeoutMs = 300;
  const Bytes answer = testing::AnswerFrame(0, 0xF2, 0, 0, 83);
  // The answer comes after `silentMs` (before its first byte, or after its first `at` bytes).
  const auto receiveAfter = [&](std::size_t at, int silentMs) {
    const double start = clock.MonotonicMs();
    line.pending.assign(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(at));
    line.onIdleRead = [&, start, at, silentMs] {
      if (clock.MonotonicMs() - start >= silentMs) line.pending.assign(answer.begin() + at, answer.end());
    };
    return reader->ReceiveMeterAnswer(0xF2, 0);
  };
  EXPECT_EQ(receiveAfter(0, 600), LinkStatus::Ok);  // longer than the next-byte limit
  EXPECT_EQ(receiveAfter(5, 200), LinkStatus::Ok);
  EXPECT_EQ(receiveAfter(5, 350), LinkStatus::Interrupted);  // shorter than the first-byte limit

  // The computer's clock is set back an hour while the reader waits: the wait still ends
  // after the first-byte limit.
  line.pending.clear();
  const double start = clock.MonotonicMs();
  bool stepped = false;
  line.onIdleRead = [&] {
    if (!std::exchange(stepped, true)) clock.Set(clock.Now() - 1.0 / 24);
  };
  EXPECT_EQ(reader->ReceiveMeterAnswer(0xF2, 0), LinkStatus::NoAnswer);
  EXPECT_EQ(clock.MonotonicMs() - start, 700.0);
}

TEST_F(ExchangeTest, OlderFamiliesAnswerTheWorkingMemoryWithF0) {
  reader->FamilyCode = 30;
  EXPECT_EQ(Receive(testing::AnswerFrame(0, 0xF0, 0, 0, 0, Data(4)), 0xF1, 4), LinkStatus::Ok);
  EXPECT_NE(Receive(testing::AnswerFrame(0, 0xF1, 0, 0, 0, Data(4)), 0xF1, 4), LinkStatus::Ok);
  reader->FamilyCode = 53;
  EXPECT_EQ(Receive(testing::AnswerFrame(0, 0xF1, 0, 0, 0, Data(4)), 0xF1, 4), LinkStatus::Ok);
}

TEST_F(ExchangeTest, RequestFrameOnTheLine) {
  std::vector<int> pauses;
  reader->Sleep = [&](int ms) { pauses.push_back(ms); };
  reader->SendMeterRequest(0xF1, 0xC000, false, 8);
  const Bytes frame{0x00, 0x00, 0xA5, 0xF1, 0x00, 0xC0, 0x08, 0xA5, 0x7E};
  EXPECT_EQ(line.written, frame);
  EXPECT_EQ(monitor.Lines(),
            (std::vector<std::string>{Trimmed(LinkText::Request), "00 00 A5 F1 00 C0 08 A5 7E "}));
  EXPECT_EQ(reader->RequestLamp, 0);
  EXPECT_EQ(pauses, std::vector<int>{50});

  // Woken on RS232: a pause, 300 zero bytes, a pause, then the frame and its own pause.
  line.written.clear();
  pauses.clear();
  reader->SendMeterRequest(0xF1, 0xC000, true, 8);
  Bytes woken(300, 0x00);
  woken.insert(woken.end(), frame.begin(), frame.end());
  EXPECT_EQ(line.written, woken);
  EXPECT_EQ(pauses, (std::vector<int>{200, 100, 50}));
}

}  // namespace
}  // namespace velk
