#include "app/ConnectTreadAdjustment.h"

#include <charconv>

#include "app/WindowTexts.h"
#include "common/Text1251.h"

namespace velk {
namespace {

constexpr std::size_t LinkTextCapacity = 20;  // phone number and host name
constexpr int MoxaPortOffset = 4000;

std::string NotANumber(std::string_view label, const std::string& text) {
  return std::string(label) + ": " + NotAValidInteger(text);
}

}  // namespace

std::string NotAValidInteger(const std::string& text) {
  return "'" + text + "' is not a valid integer value";
}

std::optional<long long> ParseInteger(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(' ');
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  long long value = 0;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

AdjustmentResult ConnectTreadAdjustment(TConnectTread& thread, const TSettingsRecord& settings,
                                        const ReadPanel& panel) {
  AdjustmentResult result;
  const int item = panel.MODBox;
  if (item < ItemRs232 || item > ItemLinkora) {
    result.Error = "item " + std::to_string(item) + " of the link selector is no direct link";
    return result;
  }
  const bool withAddress = item == ItemRs485 || item == ItemModemRs485;
  const bool network = item >= ItemMoxa;
  long long address = 0;
  if (withAddress) {
    const auto parsed = ParseInteger(panel.LEdSetevoyAdr);
    if (!parsed) {
      result.Error = NotANumber(texts::LEdSetevoyAdrLabel, panel.LEdSetevoyAdr);
      return result;
    }
    if (*parsed < 0 || *parsed > 255) {
      result.Error = std::string(texts::LEdSetevoyAdrLabel) + ": " + panel.LEdSetevoyAdr + " is outside 0..255";
      return result;
    }
    address = *parsed;
  }
  long long tcpPort = 0;
  if (item == ItemMoxa || item == ItemMoxaRlz) {
    const auto parsed = ParseInteger(panel.IP_PortEdit);
    if (!parsed) {
      result.Error = NotANumber(texts::IP_PortEditLabel, panel.IP_PortEdit);
      return result;
    }
    // Checked before the offset is added, so that no number overflows.
    tcpPort = *parsed >= 1 - MoxaPortOffset && *parsed <= 65535 - MoxaPortOffset ? *parsed + MoxaPortOffset : 0;
    if (tcpPort < 1 || tcpPort > 65535) {
      result.Error = std::string(texts::IP_PortEditLabel) + ": " + panel.IP_PortEdit + " gives no TCP port (1..65535)";
      return result;
    }
  } else if (item == ItemLinkora) {
    tcpPort = ParseInteger(panel.IP_PortEdit).value_or(0);  // the forwarded link does not use it
  }

  thread.RequestLamp = 0;
  thread.AnswerLamp = 0;
  thread.ReadingStarted = 0;
  thread.ReadMode = panel.RGTask;
  thread.StopRequested = 0;
  thread.Storage = StorageOptionsFrom(settings);
  thread.LinkKind = item;

  switch (item) {
    case ItemRs232:
      thread.PortName = settings.ComboBox1;
      break;
    case ItemRs485:
      thread.PortName = settings.ComboBox2;
      thread.BaudCode = settings.ComboBox5;
      break;
    case ItemModem:
    case ItemModemRs485:
      thread.PortName = settings.ComboBox3;
      break;
    default:
      break;
  }
  thread.NetAddress = withAddress ? static_cast<std::uint16_t>(address) : network ? 0 : 0xFFFF;
  if (item <= ItemModemRs485) {
    const bool modem = item == ItemModem || item == ItemModemRs485;
    thread.PhoneNumber = modem ? Utf8Left(panel.PorTelEdit, LinkTextCapacity) : std::string();
    thread.DialNeeded = modem ? 1 : 0;
    if (modem) {
      thread.Dialling = 1;
      thread.MaxDialSeconds = settings.LaRSModConnectTime;
      result.View = ProgressViewKind::Dialling;
    }
  } else {
    thread.HostName = Utf8Left(panel.PorTelEdit, LinkTextCapacity);
    thread.TcpPort = static_cast<std::int32_t>(tcpPort);
    thread.DialNeeded = 0;
  }

  thread.AreaWindow = (item == ItemRs232 || item == ItemRs485 || item == ItemMoxa) ? 1 : 16;
  std::int32_t retries = settings.LaRS232Povtor;
  if (item == ItemRs485) retries = settings.LaRS485Povtor;
  if (item == ItemModem || item == ItemModemRs485) retries = settings.LaRSModPovtor;
  thread.RetryCount = static_cast<std::uint8_t>(retries & 0xFF);
  switch (item) {
    case ItemRs232:
      thread.FirstByteTimeoutMs = settings.LaRS232TimeOut;
      thread.NextByteTimeoutMs = settings.LaRS232TimeOut;
      break;
    case ItemRs485:
      thread.FirstByteTimeoutMs = settings.LaRS485TimeOut;
      thread.NextByteTimeoutMs = settings.LaRS485TimeOut;
      break;
    default:
      thread.FirstByteTimeoutMs = settings.LaRSModTimeOut;
      thread.NextByteTimeoutMs = settings.LaRSModMultiplier;
      break;
  }
  return result;
}

}  // namespace velk
