#include "link/DumpFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/FileReplace.h"
#include "common/NativePath.h"
#include "common/NumberFormat.h"

namespace velk {

namespace {

constexpr const char* CreateErrorText = "Ошибка создания Файла ";  // + path
constexpr const char* WriteErrorText = "Ошибка записи в Файл '";   // + path + "'"
constexpr const char* OpenErrorText = "Ошибка открытия Файла ";    // + path
constexpr const char* ReadErrorText = "Ошибка чтения из Файла ";   // + path
constexpr const char* MonitorLineEnd = "\n\r";
constexpr std::size_t HeaderScanEnd = TextHeaderSize - 1;  // searches stop at position 127

// 1969-12-31 19:00:00, the zero of the header's read time.
constexpr TDateTime ReadTimeEpoch = 25568.0 + 19.0 / 24.0;

// The dump number that follows `last`: 001..999, then 001 again; -1 (a .dtm
// converted by the report writer) is followed by 000.
int NextDumpNumber(std::int32_t last) {
  if (last < -1 || last >= 999) return 1;
  return last + 1;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

template <typename Int>
std::optional<Int> WholeNumber(const std::string& text) {
  const std::string digits = Trimmed(text);
  Int value{};
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// The header scan over a copy of the first 128 bytes.
class HeaderScanner {
 public:
  explicit HeaderScanner(ImageView image) {
    std::copy_n(image.begin(), std::min(image.size(), header_.size()), header_.begin());
  }
  // Moves past the next `key` (and `skip` characters from its start); false when not found before 127.
  bool Find(const std::string& key, std::size_t skip) {
    for (std::size_t p = position_; p + key.size() <= HeaderScanEnd; ++p) {
      if (std::equal(key.begin(), key.end(), header_.begin() + p)) {
        position_ = std::min(p + skip, HeaderScanEnd);
        return true;
      }
    }
    return false;
  }
  // Characters up to NUL, CR or position 127; ReachedEnd() tells whether 127 stopped it.
  std::string Collect() {
    std::string text;
    while (position_ < HeaderScanEnd && header_[position_] != 0 && header_[position_] != '\r') {
      text += static_cast<char>(header_[position_++]);
    }
    return text;
  }
  bool ReachedEnd() const { return position_ >= HeaderScanEnd; }

 private:
  std::array<std::uint8_t, TextHeaderSize> header_{};
  std::size_t position_ = 0;
};

void ReportWriteFailure(const std::string& monitorText, const std::string& statusText,
                        ExchangeMonitor& monitor, UserInterface& ui) {
  monitor.Append(monitorText + MonitorLineEnd);
  ui.SetStatusText(statusText, ColourRed);
}

}  // namespace

// ReadMeterCfg and WriteMeterCfg: common/MeterCfg.cpp.

TDumpFolderAndName DumpFolderAndName(std::uint32_t deviceCode, std::uint32_t serialNumber, ImageView image,
                                     const StorageOptions& options) {
  TDumpFolderAndName result;
  result.Name = MeterName(deviceCode, serialNumber, image);
  result.Folder = options.EdDataDir;
  if (options.DATDirCreate) result.Folder += "\\" + result.Name;
  return result;
}

std::int64_t ReadTimeSeconds(TDateTime readTime) { return nint((readTime - ReadTimeEpoch) * SecondsPerDay); }

std::string BuildTextHeader(std::uint32_t deviceCode, std::uint32_t serialNumber, TDateTime readTime) {
  return "Vers " + std::to_string(deviceCode) + "\r\n" + "SN " + std::to_string(serialNumber) + "\r\n" +
         "ReadTime " + std::to_string(ReadTimeSeconds(readTime));
}

TTextHeader ParseTextHeader(ImageView image) {
  TTextHeader header;
  HeaderScanner scan(image);
  if (!scan.Find("Vers", 5)) return header;
  const std::string version = scan.Collect();
  if (scan.ReachedEnd()) return header;
  header.Version = WholeNumber<std::int32_t>(version);

  if (!scan.Find("SN", 3)) return header;
  const std::string serial = scan.Collect();
  if (!scan.ReachedEnd()) {
    if (const auto value = WholeNumber<std::int64_t>(serial))
      header.Serial = static_cast<std::uint16_t>(*value);
  }

  if (!scan.Find("Read", 9)) return header;
  const std::string seconds = scan.Collect();
  if (!scan.ReachedEnd()) {
    if (const auto value = WholeNumber<std::int64_t>(seconds)) {
      header.ReadTime = static_cast<double>(*value) / SecondsPerDay + ReadTimeEpoch;
    }
  }
  return header;
}

std::string WriteDumpFile(TDumpImage& image, const TDumpWriteArgs& args, const StorageOptions& options,
                          ExchangeMonitor& monitor, UserInterface& ui) {
  const std::string header = BuildTextHeader(args.DeviceCode, args.SerialNumber, args.ReadTime);
  std::copy_n(header.begin(), std::min(header.size(), TextHeaderSize), image.DumpImage.begin());

  const TDumpFolderAndName meter =
      DumpFolderAndName(args.DeviceCode, args.SerialNumber, image.Whole(), options);
  std::string fileName;
  if (args.ReadMode == ReadModeOperational) {
    fileName = meter.Name + ".dtm";
  } else {
    const std::string cfgPath = meter.Folder + "\\" + meter.Name + ".cfg";
    const int number = NextDumpNumber(ReadMeterCfg(cfgPath).Counter);
    TMeterCfg record;
    record.Counter = StoredDumpNumber(number);
    record.Pointer = SavedPointerOfImage(args.DeviceCode, image);
    record.SecondPointer = SavedPointer2OfImage(image);
    record.ReadTime = args.Now;
    WriteMeterCfg(cfgPath, record);  // a failure here shows up as the dump's own failure below
    fileName = meter.Name + "-" + ZeroPad(number, 3) + ".dat";
  }

  const std::string folder = options.TSVDirCreate ? meter.Folder + "\\DAT" : meter.Folder;
  CreateFolderChain(ToNativePath(folder));
  const std::string path = folder + "\\" + fileName;

  switch (ReplaceFileContentsStep(ToNativePath(path), image.Bytes())) {
    case ReplaceStep::None:
      ui.SetCaption(path);
      return path;
    case ReplaceStep::Write:
      ReportWriteFailure(WriteErrorText + path + "'", "Ошибка записи в Файл", monitor, ui);
      return {};
    case ReplaceStep::Create:
    case ReplaceStep::Rename:
      break;
  }
  ReportWriteFailure(CreateErrorText + path, "Ошибка создания Файла", monitor, ui);
  return {};
}

bool ReadDumpFile(TDumpImage& image, const std::string& path, UserInterface& ui) {
  const auto file = ToNativePath(path);
  std::error_code kindError;
  std::ifstream in;
  if (!std::filesystem::is_directory(file, kindError)) in.open(file, std::ios::binary);
  if (!in.is_open()) {
    ui.ShowMessage(OpenErrorText + path);
    return false;
  }
  const std::string tooLong =
      ReadErrorText + path + ": файл длиннее " + std::to_string(DumpCapacity) + " байт";
  std::error_code sizeError;
  const auto size = std::filesystem::file_size(file, sizeError);
  if (!sizeError && size > static_cast<std::uintmax_t>(DumpCapacity)) {
    ui.ShowMessage(tooLong);
    return false;
  }
  // One byte more than the capacity tells a file that grew since its size was taken.
  std::vector<std::uint8_t> bytes(DumpCapacity + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad() || (in.fail() && !in.eof())) {
    ui.ShowMessage(ReadErrorText + path);
    return false;
  }
  const auto length = static_cast<std::size_t>(in.gcount());
  if (length > static_cast<std::size_t>(DumpCapacity)) {
    ui.ShowMessage(tooLong);
    return false;
  }
  std::copy_n(bytes.begin(), length, image.DumpImage.begin());
  std::fill(image.DumpImage.begin() + length, image.DumpImage.end(), 0);
  image.DumpLength = static_cast<std::int32_t>(length);
  return true;
}

}  // namespace velk
