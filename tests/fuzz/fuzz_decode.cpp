// Arbitrary bytes as a dump file, through the dispatcher's decode stage: the
// type byte or text header, the decoder table and every family decoder. No
// report files are written. Each input is decoded as it is, and once more as
// a full-length dump (zero-padded) whose type byte is taken from the input's
// first byte, so that short inputs reach every decoder and the full-ring
// descriptors too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>

#include "common/Clock.h"
#include "decode/DecodeDumpFile.h"

namespace {

constexpr std::uint8_t KnownTypeBytes[] = {0, 23, 72, 81, 83, 84, 85, 86, 96, 112, 113};

void DecodeOnce(const std::uint8_t* data, std::size_t size, std::int32_t length, int readMode, int typeByte) {
  auto image = std::make_unique<velk::TDumpImage>();
  std::copy_n(data, std::min<std::size_t>(size, velk::DumpCapacity), image->DumpImage.begin());
  image->DumpLength = length;
  if (typeByte >= 0) image->DumpImage[128] = static_cast<std::uint8_t>(typeByte);
  velk::TDecodedValues values;
  velk::StorageOptions options;
  velk::DirectUserInterface ui;
  velk::NullDerivedFiles noFiles;
  velk::ManualClock clock(46091.5);  // 10.03.2026 12:00
  velk::TDecodeContext ctx{*image, values, options, ui, &noFiles, true, clock, readMode};
  velk::DecodeLoadedImage(ctx);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > static_cast<std::size_t>(velk::DumpCapacity)) return 0;  // refused before decoding
  const auto length = static_cast<std::int32_t>(size);
  DecodeOnce(data, size, length, 0, -1);
  if (size == 0) return 0;
  const int typeByte = KnownTypeBytes[(data[0] >> 1) % std::size(KnownTypeBytes)];
  DecodeOnce(data, size, std::max<std::int32_t>(length, 66048), data[0] & 1 ? 2 : 0, typeByte);
  return 0;
}
