#include "carrier-sim/CarrierFileImages.h"

#include <algorithm>
#include <cmath>

#include "common/Mathem.h"

namespace velk {

namespace {

std::uint8_t At(std::span<const std::uint8_t> image, std::size_t i) { return i < image.size() ? image[i] : 0; }

void PutBcd(std::vector<std::uint8_t>& bytes, std::size_t at, TDateTime value) {
  const auto t = DateTimeToBcd(value);
  const std::uint8_t six[6] = {t.Second, t.Minute, t.Hour, t.Day, t.Month, t.Year};
  std::copy(std::begin(six), std::end(six), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

std::vector<std::uint8_t> MakeNkpFile(std::span<const std::uint8_t> image, const NkpFileHeader& header) {
  std::vector<std::uint8_t> file(image.begin(), image.end());
  if (file.size() < 512) file.resize(512, 0);
  file[129] = header.DnCode;
  file[130] = static_cast<std::uint8_t>(header.SerialNumber & 0xFF);
  file[131] = static_cast<std::uint8_t>(header.SerialNumber >> 8);
  PutBcd(file, 132, header.SecondDate);
  PutBcd(file, 138, header.ReadTime);
  file[144] = header.VoltageByte;
  const std::uint32_t first = image.size() > 256 ? static_cast<std::uint32_t>(image.size() - 256) : 0;
  for (std::size_t at : {145u, 148u, 152u, 156u}) std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(at), 3, 0);
  file[145] = static_cast<std::uint8_t>(first & 0xFF);
  file[146] = static_cast<std::uint8_t>((first >> 8) & 0xFF);
  file[147] = static_cast<std::uint8_t>((first >> 16) & 0xFF);
  return file;
}

LtrCarrierFile MakeLtrFile(std::span<const std::uint8_t> image, std::uint16_t serial, TDateTime readTime,
                           double volts) {
  LtrCarrierFile f;
  f.DeviceType = At(image, 128);
  f.SerialNumber = serial;
  f.VoltageRaw = static_cast<std::uint16_t>(std::lround(volts * 8192));
  f.ReadTime = readTime;
  auto& a = f.Payload;
  a.assign(SimulatedCarrier::LtrPayloadBytes, 0);
  const auto t = DateTimeToBcd(readTime);
  a[2] = f.DeviceType;
  a[3] = static_cast<std::uint8_t>(serial & 0xFF);
  a[4] = static_cast<std::uint8_t>(serial >> 8);
  a[7] = At(image, 341);
  a[8] = t.Minute, a[9] = t.Hour, a[11] = t.Day, a[12] = t.Month, a[13] = t.Year;
  for (std::size_t k = 0; k + 16 < a.size(); ++k) a[16 + k] = At(image, 720 + k);
  return f;
}

LtrCarrierFile MakeLtr2File(std::span<const std::uint8_t> image, TDateTime readTime, double volts) {
  LtrCarrierFile f;
  f.DeviceType = At(image, 512);
  f.DnCode = At(image, 513);
  f.SerialNumber = static_cast<std::uint16_t>(At(image, 514) | (At(image, 515) << 8));
  f.VoltageRaw = static_cast<std::uint16_t>(std::clamp<long>(std::lround((volts - 2.0) * 64), 0, 255));
  f.ReadTime = readTime;
  auto& a = f.Payload;
  a.assign(SimulatedCarrier::Ltr2PayloadBytes, 0);
  for (std::size_t k = 0; k < 32768; ++k) a[2 + k] = At(image, 512 + k);
  return f;
}

}  // namespace velk
