// The reader thread's link: opening and closing it, modem dialling, and the
// byte primitives the exchanges use.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "common/NumberFormat.h"
#include "link/LinkTexts.h"
#include "link/UnConnectTread.h"

namespace velk {

namespace {
bool StartsWithIgnoringCase(const std::string& s, const char* prefix) {
  for (std::size_t i = 0; prefix[i]; ++i) {
    if (i >= s.size() || std::toupper(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  }
  return true;
}
}  // namespace

void TConnectTread::OpenLink() {
  std::string error;
  switch (LinkKind) {
    case LinkKinds::Rs232:
    case LinkKinds::Rs485:
    case LinkKinds::Modem:
    case LinkKinds::ModemRs485: {
      const bool modem = LinkKind >= LinkKinds::Modem;
      if (modem) MonitorAppend(std::string(LinkText::OpenPort) + PortName + "\r\n");
      PortNumber = PortName.size() > 3 ? std::atoi(PortName.c_str() + 3) : 0;
      const int baud = LinkKind == LinkKinds::Rs232   ? 4800
                       : LinkKind == LinkKinds::Rs485 ? BaudRateFromCode(BaudCode)
                                                      : 19200;
      if (baud == 0)
        error = PortName + ": unknown RS485 speed code " + std::to_string(BaudCode);
      else
        port_ = Links->OpenSerial(PortName, baud, error);
      if (!port_) {
        LinkOpen = 0;
        Status = LinkStatus::OpenFailed;
        FatalError = error;
        MonitorAppend(error);
        ShowOpenFailure(error);
        return;
      }
      if (LinkKind == LinkKinds::Rs485 || modem) port_->SetDtr(true);
      if (!modem) port_->SetRts(true);
      LinkOpen = 1;
      return;
    }
    case LinkKinds::Tcp:
    case LinkKinds::TcpRlz: {
      const std::string endpoint = HostName + "  " + std::to_string(TcpPort);
      MonitorAppend(std::string(LinkText::OpenPort) + endpoint + "\r\n");
      LinkOpen = 0;
      socket_ = Links->OpenTcp(HostName, TcpPort, SocketStreamTimeoutMs, error);
      if (!socket_) {
        StopRequested = 1;
        MonitorAppend(endpoint + ":" + "\r\n" + LinkText::PortNotOpen + "\r\n");
        Status = LinkStatus::OpenFailed;
        FatalError = std::string(LinkText::ConnectFailed) + HostName;
        ShowOpenFailure(FatalError + "\r\n" + error);
        return;
      }
      LinkOpen = 1;
      return;
    }
    case LinkKinds::Forwarded:
      LinkOpen = 1;
      return;
    default:
      LinkOpen = 0;
      Status = LinkStatus::OpenFailed;
      FatalError = "unknown link kind " + std::to_string(LinkKind);
      return;
  }
}

void TConnectTread::ShowOpenFailure(const std::string& why) {
  ui_.Synchronize([&] { ui_.ShowMessage(why); });
}

void TConnectTread::DialModem() {
  Dialling = 1;
  if (!DialNeeded) {
    DialResult = DialResults::Connected;
    Dialling = 0;
    return;
  }
  const std::string dial = std::string(LinkText::DialPrefix) + PhoneNumber + "\r";
  port_->PurgeQueues();
  const auto userStop = [this] { return StopRequested.load() != 0; };
  while (ReadLinkByte()) {
    if (userStop()) break;
  }
  if (userStop()) {
    DialNeeded = 0;
    return;
  }
  MonitorAppend(LinkText::Dialling + dial);
  WriteLinkBytes({reinterpret_cast<const std::uint8_t*>(dial.data()), dial.size()});
  const double start = MonotonicMs();
  DialResult = DialResults::InProgress;

  std::string w, s;
  long elapsed = 0;
  auto readMore = [&](std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      const auto b = ReadLinkByte();
      if (!b) break;
      s += static_cast<char>(*b);
    }
  };
  for (;;) {
    if (const auto b = ReadLinkByte()) w += static_cast<char>(*b);
    if (w.size() > 2) {
      s = w;
      if (!TerminateRequested()) {
        if (StartsWithIgnoringCase(s, LinkText::EchoPrefix)) readMore(PhoneNumber.size());
        if (StartsWithIgnoringCase(s, LinkText::BusyPrefix)) {
          s = LinkText::Busy;
          DialResult = DialResults::Busy;
        }
        if (StartsWithIgnoringCase(s, LinkText::CarrierPrefix)) {
          s = LinkText::NoCarrier;
          DialResult = DialResults::NoCarrier;
        }
        if (StartsWithIgnoringCase(s, LinkText::DialTonePrefix)) {
          s = LinkText::NoDialTone;
          DialResult = DialResults::NoDialTone;
        }
        if (StartsWithIgnoringCase(s, LinkText::ConnectPrefix)) {
          readMore(20);
          DialResult = DialResults::Connected;
        }
      }
      w = s.substr(1, 2);
    }
    elapsed = std::lround(MsSince(start) / 1000.0);
    const int result = DialResult;
    if (elapsed >= MaxDialSeconds || (result >= 1 && result <= 4) || TerminateRequested() || userStop())
      break;
  }
  if (userStop()) {
    DialNeeded = 0;
    return;
  }
  static constexpr const char* Outcomes[] = {"",
                                             LinkText::OutcomeConnected,
                                             LinkText::OutcomeBusy,
                                             LinkText::OutcomeNoCarrier,
                                             LinkText::OutcomeNoDialTone,
                                             ""};
  MonitorAppend(Outcomes[std::min<int>(DialResult, 5)] + s + "\r\n" + LinkText::DialTime +
                FormatFloat("#0.0", static_cast<double>(elapsed)) + LinkText::SecondsLine);
  if (TerminateRequested()) DialResult = DialResults::None;
  DialNeeded = 0;
  if (DialResult != DialResults::Connected) Status = LinkStatus::NotConnected;
  Dialling = 0;
}

bool TConnectTread::WriteLinkBytes(std::span<const std::uint8_t> bytes) {
  if (IsSerialKind()) return port_ && port_->Write(bytes);
  if (IsSocketKind()) return socket_ && socket_->Write(bytes);
  if (LinkKind == LinkKinds::Forwarded) {
    ForwardRequest(bytes);
    return true;
  }
  return false;
}

std::optional<std::uint8_t> TConnectTread::ReadLinkByte(int timeoutMs) {
  timeoutMs = std::clamp(timeoutMs, 1, 100);
  if (IsSerialKind()) {
    if (port_) return port_->ReadByte(timeoutMs);
    Pause(timeoutMs);
    return std::nullopt;
  }
  if (IsSocketKind()) {
    if (!socket_) {
      StopRequested = 1;
      return std::nullopt;
    }
    const auto b = socket_->ReadByte(timeoutMs);
    if (!b && socket_->Failed()) SocketBroken();
    return b;
  }
  std::optional<std::uint8_t> b;
  {
    std::lock_guard lock(forwardedMutex_);
    if (!forwardedAnswers_.empty() && forwardedPos_ < forwardedAnswers_.front().size()) {
      b = forwardedAnswers_.front()[forwardedPos_++];
    }
  }
  Pause(10);
  return b;
}

void TConnectTread::ForwardRequest(std::span<const std::uint8_t> request) {
  std::string error;
  bool sent = false;
  ui_.Synchronize([&] {
    sent = Forwarder->SendRequest(
        HostName, request, [this](std::span<const std::uint8_t> answer) { DeliverForwardedAnswer(answer); },
        error);
  });
  if (!sent) MonitorAppend(error);
}

void TConnectTread::DeliverForwardedAnswer(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(forwardedMutex_);
  forwardedAnswers_.emplace_back(bytes.begin(), bytes.begin() + std::min(bytes.size(), RxBufferSize));
}

void TConnectTread::ReleaseSocket() {
  if (socket_) socket_->Close();
  socket_.reset();
}

void TConnectTread::SocketBroken() {
  MonitorAppend(LinkText::LinkBroken);
  Status = LinkStatus::SocketFailed;
  ReleaseSocket();
  linkBroken_ = true;
  StopRequested = 1;
  AnswerLamp = 0;
}

void TConnectTread::CloseLink() {
  MonitorAppend(LinkText::ClosePort);
  if (IsSerialKind()) {
    if (port_) {
      port_->SetDtr(false);
      port_->Close();
    }
    port_.reset();
  } else if (IsSocketKind()) {
    ReleaseSocket();
  }
  LinkOpen = 0;
}

}  // namespace velk
