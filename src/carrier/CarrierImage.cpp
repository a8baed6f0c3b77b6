#include "carrier/CarrierImage.h"

#include <algorithm>

#include "carrier/CarrierFileList.h"
#include "common/DeviceFamilies.h"
#include "common/Mathem.h"

namespace velk {

namespace {

TDateTime ImageReadTime(const TDumpImage& image) {
  const auto& d = image.DumpImage;
  return BcdToDateTime(d[143], d[142], d[141], d[140], d[139], d[138]);
}

}  // namespace

std::optional<std::uint32_t> CompactMeterCode(std::uint8_t type) {
  const auto code = DeviceCodeOfTypeByte(type);
  const DeviceFamily* family = code ? FindDeviceFamily(*code) : nullptr;
  if (family && family->Kind == DeviceKind::CompactHeatMeter) return code;
  return std::nullopt;
}

std::uint32_t NkpDeviceCode(std::uint8_t type) { return DeviceCodeOfTypeByte(type).value_or(type); }

std::optional<CarrierDumpIdentity> FinishNkpImage(TDumpImage& image, int blockCount, std::string& error) {
  const auto& d = image.DumpImage;
  const std::uint32_t length = NkpImageLength(std::span(d).first(NkpBlockSize));
  const std::uint32_t copied = static_cast<std::uint32_t>(std::max(blockCount, 0)) * NkpBlockSize;
  if (length > copied || length > static_cast<std::uint32_t>(DumpCapacity)) {
    error = "the file header claims " + std::to_string(length) + " bytes, the file holds " + std::to_string(copied);
    return std::nullopt;
  }
  image.DumpLength = static_cast<std::int32_t>(length);
  CarrierDumpIdentity id;
  id.DeviceCode = NkpDeviceCode(d[128]);
  id.SerialNumber = static_cast<std::uint16_t>(d[130] + 256 * d[131]);
  if (id.DeviceCode == 50 || id.DeviceCode == 51) id.DnCode = d[129];
  id.ReadTime = ImageReadTime(image);
  return id;
}

CarrierDumpIdentity RebuildLtrImage(TDumpImage& image, std::span<const std::uint8_t> a) {
  auto& d = image.DumpImage;
  std::fill_n(d.begin(), 17001, 0);
  for (std::size_t k = 0; k <= 16176; ++k) d[720 + k] = a[16 + k];
  d[341] = a[7];
  std::copy_n(a.begin() + 2, 3, d.begin() + 128);
  const std::uint8_t time[6] = {0, a[8], a[9], a[11], a[12], a[13]};
  std::copy(std::begin(time), std::end(time), d.begin() + 138);
  d[166] = static_cast<std::uint8_t>(d[128] / 10);
  d[167] = static_cast<std::uint8_t>(d[128] % 10);
  image.DumpLength = 16896;
  CarrierDumpIdentity id;
  id.DeviceCode = d[128];
  id.SerialNumber = static_cast<std::uint16_t>(a[3] + 256 * a[4]);
  id.ReadTime = ImageReadTime(image);
  return id;
}

CarrierDumpIdentity RebuildLtr2Image(TDumpImage& image, std::span<const std::uint8_t> a, TDateTime readTime,
                                     std::uint32_t previousCode) {
  auto& d = image.DumpImage;
  std::fill_n(d.begin(), 33280, 0);
  for (std::size_t k = 0; k <= 32767; ++k) d[512 + k] = a[2 + k];
  d[341] = a[7];
  std::copy_n(a.begin() + 2, 3, d.begin() + 128);
  const auto t = DateTimeToBcd(readTime);
  const std::uint8_t time[6] = {t.Second, t.Minute, t.Hour, t.Day, t.Month, t.Year};
  std::copy(std::begin(time), std::end(time), d.begin() + 138);
  std::copy(std::begin(time), std::end(time), d.begin() + 272);
  image.DumpLength = 33280;
  CarrierDumpIdentity id;
  id.DeviceCode = CompactMeterCode(d[128]).value_or(previousCode);
  id.DnCode = a[3];
  id.SerialNumber = static_cast<std::uint16_t>(a[4] + 256 * a[5]);
  id.ReadTime = ImageReadTime(image);
  return id;
}

}  // namespace velk
