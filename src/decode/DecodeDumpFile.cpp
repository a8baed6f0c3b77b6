#include "decode/DecodeDumpFile.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <system_error>

#include "common/FileReplace.h"
#include "common/NativePath.h"
#include "common/Text1251.h"
#include "decode/DecodeTexts.h"
#include "common/DumpFileReader.h"
#include "common/DumpTextHeader.h"

namespace velk {

namespace {

constexpr int TypeByteOffset = 128;

// Byte offset of the n-th character (1-based) from the end of a UTF-8 text,
// or npos when the text is shorter.
std::size_t CharacterFromEnd(const std::string& text, std::size_t n) {
  std::size_t i = text.size();
  while (n > 0 && i > 0) {
    --i;
    while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
    --n;
  }
  return n == 0 ? i : std::string::npos;
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::size_t CharacterCount(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

bool EndsWithDtm(const std::string& path) {
  const std::string dtm = texts::DtmExtension;
  if (path.size() < dtm.size()) return false;
  return std::equal(dtm.begin(), dtm.end(), path.end() - static_cast<std::ptrdiff_t>(dtm.size()),
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                std::tolower(static_cast<unsigned char>(b)); });
}

// The NNN of a path ending in -NNN.ext; nullopt when the path has no such number.
std::optional<int> NumberBeforeExtension(const std::string& path) {
  const std::size_t dash = CharacterFromEnd(path, 8);
  if (dash == std::string::npos || path[dash] != '-' || dash + 4 > path.size()) return std::nullopt;
  int number = 0;
  for (std::size_t i = dash + 1; i < dash + 4; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(path[i]))) return std::nullopt;
    number = number * 10 + (path[i] - '0');
  }
  return number;
}

// The device code of the image's type byte or text header; a message names
// what was not recognised.
std::optional<std::uint32_t> ResolveDeviceCode(const TDumpImage& image, TDecodedValues& fresh, UserInterface& ui) {
  const std::uint8_t typeByte = image.DumpImage[TypeByteOffset];
  if (typeByte != 0) {
    const auto code = DeviceCodeOfTypeByte(typeByte);
    if (!code) ui.ShowMessage("Неизвестный тип прибора: байт типа " + std::to_string(typeByte));
    return code;
  }
  const TTextHeader header = ParseTextHeader(image.Whole());
  if (!header.Version) {
    ui.ShowMessage("Неизвестный тип прибора: в заголовке файла нет номера Vers");
    return std::nullopt;
  }
  if (header.Serial) fresh.SerialNumber = *header.Serial;
  if (header.ReadTime) fresh.ReadTime = *header.ReadTime;
  return static_cast<std::uint32_t>(*header.Version);
}

bool RunDecoder(TDecodeContext& ctx, TDecodedValues& fresh) {
  const DecoderFunction decoder = FindDecoder(fresh.DeviceCode);
  if (!decoder) {
    ctx.Ui.ShowMessage("Неизвестный тип прибора: код " + std::to_string(fresh.DeviceCode));
    return false;
  }
  ctx.Values = std::move(fresh);
  try {
    decoder(TDecodeInput{ctx.Image, ctx.PresentClock, ctx.ReadMode}, ctx.Values);
  } catch (const std::exception&) {
    ctx.Ui.ShowMessage(texts::DecodeFailedMessage);
    return false;
  }
  return true;
}

void WriteDerivedFiles(TDecodeContext& ctx, const TDerivedNames& names) {
  NullDerivedFiles none;
  DerivedFiles& files = ctx.Derived ? *ctx.Derived : none;
  const TDecodedValues& v = ctx.Values;
  const bool showTabs = !ctx.HasCommandLineArguments;
  const int n = names.RecordNumber;
  if (v.DeviceCode == 70 || v.DeviceCode == 71) {
    for (int channel = 0; channel < v.ChannelCount; ++channel) {
      files.BuildChannelData(channel, n);
      files.WriteChannelFile(names.Folder, n);
      files.EnableViewAction();
      if (showTabs) files.ShowInTab(DerivedFileKind::ChannelFile, channel);
    }
    return;
  }
  files.BuildFirstTsvData(n);
  files.WriteTsvFile(1, names.Folder, n);
  if (v.DeviceCode == 50 || v.DeviceCode == 51) {
    for (int system = 0; system < 2; ++system) {
      files.BuildChannelData(system, n);
      files.WriteChannelFile(names.Folder, n);
    }
  }
  files.EnableViewAction();
  if (showTabs) files.ShowInTab(DerivedFileKind::FirstTsv, 0);
  if (HasSecondSystem(v)) {
    files.BuildSecondTsvData(n);
    files.WriteTsvFile(2, names.Folder, n);
    if (showTabs) files.ShowInTab(DerivedFileKind::SecondTsv, 0);
  }
}

}  // namespace

bool HasSecondSystem(const TDecodedValues& v) {
  return (v.DeviceCode < 50 && (v.SchemeName1 == texts::SchemeA2 || v.SchemeName1 == texts::SchemeA3p ||
                                v.SchemeName1 == texts::SchemeA3o)) ||
         v.DeviceCode == 53 || v.DeviceCode == 56;
}

std::optional<std::uint32_t> DeviceCodeOfTypeByte(std::uint8_t typeByte) {
  switch (typeByte) {
    case 72: case 80: case 107: case 132: case 142: case 165: case 199: case 210: return 50;
    case 81: return 51;
    case 83: return 53;
    case 84: return 54;
    case 85: return 55;
    case 86: return 56;
    case 96: return 60;
    case 112: return 70;
    case 113: return 71;
    default: break;
  }
  if (typeByte >= 1 && typeByte <= 49) return typeByte;
  return std::nullopt;
}

TDerivedNames DeriveNames(const std::string& path, const StorageOptions& options) {
  TDerivedNames names;
  const std::string fileName = FileNameOf(path);
  // A dump named without its -NNN number gets -000 before the extension.
  const bool numbered = CharacterCount(fileName) > 10 && NumberBeforeExtension(path).has_value();
  names.BaseName = path;
  if (!numbered) {
    const std::size_t extension = CharacterFromEnd(path, 4);
    names.BaseName.insert(extension == std::string::npos ? 0 : extension, texts::NoNumberInsert);
  }
  names.Folder = options.EdDataDir;
  if (options.DATDirCreate) {
    const std::size_t derivedLength = CharacterCount(FileNameOf(names.BaseName));
    const std::size_t keep = derivedLength > 8 ? derivedLength - 8 : 0;
    names.Folder += "\\" + Utf8Left(fileName, keep);
  }
  names.RecordNumber = EndsWithDtm(path) ? -1 : NumberBeforeExtension(names.BaseName).value_or(0);
  return names;
}

bool DecodeLoadedImage(TDecodeContext& ctx) {
  TDecodedValues fresh;
  const auto code = ResolveDeviceCode(ctx.Image, fresh, ctx.Ui);
  if (!code) return false;
  fresh.DeviceCode = *code;
  return RunDecoder(ctx, fresh);
}

bool DecodeDumpFile(TDecodeContext& ctx, const std::string& path, std::string& folder) {
  if (!ReadDumpFile(ctx.Image, path, ctx.Ui)) return false;
  ctx.Ui.ProcessMessages();

  TDecodedValues fresh;
  const auto code = ResolveDeviceCode(ctx.Image, fresh, ctx.Ui);
  if (!code) return false;
  fresh.DeviceCode = *code;

  ctx.Ui.SetCaption(texts::MainCaptionPrefix + FileNameOf(path));
  const TDerivedNames names = DeriveNames(path, ctx.Options);
  folder = names.Folder;

  fresh.DisplaySuppressed = true;
  if (!RunDecoder(ctx, fresh)) return false;
  ctx.Values.DisplaySuppressed = false;

  WriteDerivedFiles(ctx, names);

  if (!ctx.Options.SaveDAT) {
    std::error_code ignored;
    std::filesystem::remove(ToNativePath(path), ignored);
  }
  return true;
}

}  // namespace velk
