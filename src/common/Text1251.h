// Windows-1251 text at the file boundary: every string inside the program is
// UTF-8; settings, task files, report files and dump headers hold Windows-1251.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velk {

std::string Cp1251ToUtf8(std::span<const std::uint8_t> bytes);
std::string Cp1251ToUtf8(const std::string& bytes);
// Characters with no Windows-1251 code become '?'.
std::string Utf8ToCp1251(const std::string& utf8);

// Short string: one length byte followed by the characters. `field` is the
// whole field (length byte included); a length byte larger than the field's
// capacity is clamped to it.
std::string ReadShortString(std::span<const std::uint8_t> field);
// Writes `utf8` as a short string into `field`, cut to the capacity; the rest
// of the field is zero-filled.
void WriteShortString(std::span<std::uint8_t> field, const std::string& utf8);

// Fixed-width Windows-1251 text up to its first zero byte (all of it when it has none).
std::string ReadZeroPaddedText(std::span<const std::uint8_t> field);
// Fixed-width Windows-1251 text padded with `pad` (cut to the width).
void WritePaddedText(std::span<std::uint8_t> field, const std::string& utf8, std::uint8_t pad);

// Number of characters (code points) in a UTF-8 string, and a prefix of n characters.
std::size_t Utf8Length(const std::string& utf8);
std::string Utf8Left(const std::string& utf8, std::size_t characters);

}  // namespace velk
