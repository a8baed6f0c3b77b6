#include "decode/DumpTextHeader.h"

#include <charconv>
#include <string>
#include <string_view>

namespace velk {

namespace {

constexpr std::size_t HeaderEnd = 127;  // every search stops here

// Position of `key` at or after `from`, or npos.
std::size_t Find(std::string_view header, std::string_view key, std::size_t from) {
  if (from >= HeaderEnd) return std::string_view::npos;
  const std::size_t at = header.substr(0, HeaderEnd).find(key, from);
  return at;
}

// Characters from `from` up to NUL, CR or the end; `reachedEnd` when the end stopped it.
std::string_view Collect(std::string_view header, std::size_t from, std::size_t& next, bool& reachedEnd) {
  std::size_t i = from;
  while (i < HeaderEnd && header[i] != '\0' && header[i] != '\r') ++i;
  reachedEnd = i >= HeaderEnd;
  next = i;
  return from < i ? header.substr(from, i - from) : std::string_view{};
}

template <typename T>
std::optional<T> Number(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

TextHeader ParseDumpTextHeader(ImageView image) {
  std::string copy(128, '\0');
  for (std::size_t i = 0; i < copy.size() && i < image.size(); ++i) copy[i] = static_cast<char>(image[i]);
  const std::string_view header(copy);
  TextHeader result;
  bool reachedEnd = false;
  std::size_t pos = Find(header, "Vers", 0);
  if (pos == std::string_view::npos) return result;
  const auto version = Collect(header, pos + 5, pos, reachedEnd);
  if (reachedEnd) return result;
  result.Version = Number<std::uint32_t>(version);

  pos = Find(header, "SN", pos);
  if (pos == std::string_view::npos) return result;
  if (const auto serial = Number<std::uint32_t>(Collect(header, pos + 3, pos, reachedEnd))) {
    result.Serial = static_cast<std::uint16_t>(*serial);
  }

  pos = Find(header, "Read", pos);
  if (pos == std::string_view::npos) return result;
  const auto seconds = Collect(header, pos + 9, pos, reachedEnd);
  if (reachedEnd) return result;
  if (const auto value = Number<std::int64_t>(seconds)) result.ReadTime = *value / SecondsPerDay + HeaderTimeOrigin;
  return result;
}

}  // namespace velk
