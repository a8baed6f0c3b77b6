// Little-endian field access inside a fixed-size report block. The offset is a
// template argument, so a field that would not fit its block fails to compile.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

namespace velk::report_bytes {

template <class T>
concept Scalar = std::is_arithmetic_v<T>;

template <class T>
void StoreLe(std::uint8_t* out, T value) {
  static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);
  std::array<std::uint8_t, sizeof(T)> raw;
  std::memcpy(raw.data(), &value, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) std::reverse(raw.begin(), raw.end());
  std::memcpy(out, raw.data(), sizeof(T));
}

template <class T>
T LoadLe(const std::uint8_t* in) {
  std::array<std::uint8_t, sizeof(T)> raw;
  std::memcpy(raw.data(), in, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) std::reverse(raw.begin(), raw.end());
  T value;
  std::memcpy(&value, raw.data(), sizeof(T));
  return value;
}

template <std::size_t Offset, Scalar T, std::size_t N>
void Put(std::array<std::uint8_t, N>& block, T value) {
  static_assert(Offset + sizeof(T) <= N, "field outside its block");
  StoreLe(block.data() + Offset, value);
}

template <std::size_t Offset, Scalar T, std::size_t N>
T Get(const std::array<std::uint8_t, N>& block) {
  static_assert(Offset + sizeof(T) <= N, "field outside its block");
  return LoadLe<T>(block.data() + Offset);
}

template <std::size_t Offset, std::size_t Width, std::size_t N, std::size_t M>
void PutBytes(std::array<std::uint8_t, N>& block, const std::array<std::uint8_t, M>& field) {
  static_assert(Width == M && Offset + Width <= N, "text field outside its block");
  std::memcpy(block.data() + Offset, field.data(), Width);
}

template <std::size_t Offset, std::size_t Width, std::size_t N>
std::array<std::uint8_t, Width> GetBytes(const std::array<std::uint8_t, N>& block) {
  static_assert(Offset + Width <= N, "text field outside its block");
  std::array<std::uint8_t, Width> field;
  std::memcpy(field.data(), block.data() + Offset, Width);
  return field;
}

// A block of N bytes starting at `offset` of a larger buffer (the caller has checked the length).
template <std::size_t N>
std::array<std::uint8_t, N> Slice(std::span<const std::uint8_t> bytes, std::size_t offset) {
  std::array<std::uint8_t, N> block;
  std::memcpy(block.data(), bytes.data() + offset, N);
  return block;
}

// The record tables that follow a report's fixed blocks, from `at` on, each
// record decoded from its N bytes (the caller has checked the length).
template <std::size_t N, class Record, class Decode>
void ReadRecords(std::span<const std::uint8_t> bytes, std::size_t at,
                 std::initializer_list<std::pair<std::vector<Record>*, std::size_t>> tables, Decode decode) {
  for (auto [table, count] : tables) {
    table->reserve(count);
    for (std::size_t i = 0; i < count; ++i, at += N) table->push_back(decode(Slice<N>(bytes, at)));
  }
}

template <std::size_t N>
void Append(std::vector<std::uint8_t>& out, const std::array<std::uint8_t, N>& block) {
  out.insert(out.end(), block.begin(), block.end());
}

}  // namespace velk::report_bytes
