#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

#include "app/AppTexts.h"
#include "common/NativePath.h"

namespace velk {
namespace {

bool EndsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The switch letter of an argument "-X..." (upper case), or 0. The Cyrillic
// "В" of the usage text stands for "-B" as well.
char SwitchLetter(const std::string& arg) {
  if (arg.size() < 2 || arg[0] != '-') return 0;
  if (arg.compare(1, 2, "В") == 0 || arg.compare(1, 2, "в") == 0) return 'B';
  return static_cast<char>(std::toupper(static_cast<unsigned char>(arg[1])));
}

std::string SwitchValue(const std::string& arg) {
  const bool cyrillic = static_cast<unsigned char>(arg[1]) >= 0x80;
  return arg.substr(cyrillic ? 3 : 2);
}

std::optional<int> PortNumber(const std::string& digits) {
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size() || number < 1 || number > 999)
    return std::nullopt;
  return number;
}

}  // namespace

std::string CommandLinePath(const std::string& text) {
  const bool drive = text.size() >= 2 && text[1] == ':';
  const bool rooted = !text.empty() && (text[0] == '\\' || text[0] == '/');
  if (text.empty() || drive || rooted) return text;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(PathFromUtf8(text), error);
  return error ? text : Utf8FromPath(absolute);
}

bool UsageRequested(const std::vector<std::string>& args) {
  return std::find(args.begin(), args.end(), "?") != args.end();
}

std::string UsageCaption() { return std::string(texts::UsageCaption); }

std::vector<std::string> UsageLines() {
  std::vector<std::string> lines{std::string(texts::UsageMeters), std::string(texts::UsageVersion), "",
                                 std::string(texts::UsageProgramLine), std::string(texts::UsageKeys)};
  for (std::string_view key :
       {texts::UsageSwitch0, texts::UsageSwitch1, texts::UsageSwitch2, texts::UsageSwitch3,
        texts::UsageSwitch4, texts::UsageSwitch5, texts::UsageSwitch6}) {
    lines.push_back("\"" + std::string(key) + "\"   ");
  }
  lines.push_back("");
  // The maker's contact block.
  lines.push_back("Velk Metering Software");
  lines.push_back("support@velk-metering.example");
  return lines;
}

std::string UsageMessage() {
  std::string message;
  for (const std::string& line : UsageLines()) {
    if (!message.empty()) message += "\n\r";
    message += line;
  }
  return message;
}

bool IsDumpName(const std::string& arg) {
  static constexpr std::string_view dumpEndings[] = {".dat", ".DAT", ".dtm", ".VTB", ".vtb"};
  if (arg.empty() || arg[0] == '-') return false;
  return std::any_of(std::begin(dumpEndings), std::end(dumpEndings),
                     [&](std::string_view tail) { return EndsWith(arg, tail); });
}

StartMode ChooseStartMode(const std::vector<std::string>& args) {
  if (args.empty()) return StartMode::Interactive;
  if (args.size() == 1 && IsDumpName(args[0])) return StartMode::OpenDump;
  return StartMode::CommandLine;
}

CommandLineRequest ParseCommandLine(const std::vector<std::string>& args) {
  CommandLineRequest request;
  for (const std::string& arg : args) {
    if (SwitchLetter(arg) != 'P' || arg.size() <= 2) continue;
    if (const auto number = PortNumber(SwitchValue(arg))) {
      request.Rs232PortNumber = number;
    } else {
      request.Error = "\"" + arg + "\": -P expects a COM port number 1..999";
      return request;
    }
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const char letter = SwitchLetter(arg);
    const std::string value = letter != 0 ? SwitchValue(arg) : std::string();
    switch (letter) {
      case 'B':
        request.Action = CommandAction::DecodeDump;
        if (!value.empty()) {
          request.Value = value;
        } else if (i + 1 < args.size()) {
          request.Value = args[i + 1];
        } else {
          request.Error = "\"" + arg + "\": the dump file path is missing";
        }
        return request;
      case 'A':
        request.Action = CommandAction::ReadRs485;
        request.Address = value;
        return request;
      case 'M':
        request.Action = CommandAction::ReadModem;
        request.Value = value;
        return request;
      case 'S':
        request.Action = CommandAction::ReadModemRs485;
        if (value.size() < 3) {
          request.Error = "\"" + arg + "\": a phone number followed by a three-digit address is expected";
        } else {
          request.Value = value.substr(0, value.size() - 3);
          request.Address = value.substr(value.size() - 3);
        }
        return request;
      case 'F':
        request.Action = CommandAction::TaskFile;
        request.Value = value;
        return request;
      case 'P':
        request.Action = CommandAction::ReadRs232;
        return request;
      default:
        break;
    }
  }
  return request;
}

}  // namespace velk
