#include "common/DumpTextHeader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>

namespace velk {

namespace {

constexpr std::size_t HeaderScanEnd = TextHeaderSize - 1;  // searches stop at position 127

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

}  // namespace

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

}  // namespace velk
