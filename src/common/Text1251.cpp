#include "common/Text1251.h"

#include <algorithm>
#include <array>

namespace velk {

namespace {

// Unicode code points of the bytes 0x80..0xFF (0x98 has no character and maps to U+0098).
// clang-format off
constexpr std::array<char16_t, 128> UpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
// clang-format on

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Next code point of a UTF-8 string; an ill-formed sequence yields U+FFFD and skips one byte.
char32_t NextCodePoint(const std::string& s, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  const int extra = lead < 0x80           ? 0
                    : (lead >> 5) == 0x6  ? 1
                    : (lead >> 4) == 0xE  ? 2
                    : (lead >> 3) == 0x1E ? 3
                                          : -1;
  if (extra == 0) {
    ++i;
    return lead;
  }
  if (extra < 0 || i + extra >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

std::uint8_t ToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<std::uint8_t>(cp);
  const auto* found = std::find(UpperHalf.begin(), UpperHalf.end(), cp);
  if (found == UpperHalf.end()) return '?';
  return static_cast<std::uint8_t>(0x80 + (found - UpperHalf.begin()));
}

}  // namespace

std::string Cp1251ToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) AppendUtf8(out, b < 0x80 ? b : UpperHalf[b - 0x80]);
  return out;
}

std::string Cp1251ToUtf8(const std::string& bytes) {
  return Cp1251ToUtf8(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::string Utf8ToCp1251(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) out += static_cast<char>(ToCp1251(NextCodePoint(utf8, i)));
  return out;
}

std::string ReadShortString(std::span<const std::uint8_t> field) {
  if (field.empty()) return {};
  const std::size_t length = std::min<std::size_t>(field[0], field.size() - 1);
  return Cp1251ToUtf8(field.subspan(1, length));
}

std::string ReadZeroPaddedText(std::span<const std::uint8_t> field) {
  return Cp1251ToUtf8(
      field.first(static_cast<std::size_t>(std::find(field.begin(), field.end(), 0) - field.begin())));
}

void WriteShortString(std::span<std::uint8_t> field, const std::string& utf8) {
  if (field.empty()) return;
  std::fill(field.begin(), field.end(), 0);
  const std::string bytes = Utf8ToCp1251(utf8);
  const std::size_t length = std::min({bytes.size(), field.size() - 1, std::size_t{255}});
  field[0] = static_cast<std::uint8_t>(length);
  std::copy_n(bytes.begin(), length, field.begin() + 1);
}

void WritePaddedText(std::span<std::uint8_t> field, const std::string& utf8, std::uint8_t pad) {
  std::fill(field.begin(), field.end(), pad);
  const std::string bytes = Utf8ToCp1251(utf8);
  std::copy_n(bytes.begin(), std::min(bytes.size(), field.size()), field.begin());
}

std::size_t Utf8Length(const std::string& utf8) {
  return std::count_if(utf8.begin(), utf8.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

std::string Utf8Left(const std::string& utf8, std::size_t characters) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && seen++ == characters)
      return utf8.substr(0, i);
  }
  return utf8;
}

}  // namespace velk
