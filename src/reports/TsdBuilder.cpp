#include "reports/TsdBuilder.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "common/Mathem.h"
#include "common/NumberFormat.h"
#include "common/Text1251.h"
#include "reports/HourWalk.h"
#include "reports/ReportPeriods.h"
#include "reports/ReportTexts.h"

namespace velk {

std::int32_t VolumeToPulses(double volume, double pricePerPulse) {
  if (pricePerPulse == 0) return 0;
  const double pulses = volume / pricePerPulse * 1000;
  if (!std::isfinite(pulses) || std::fabs(pulses) > std::numeric_limits<std::int32_t>::max()) return 0;
  return static_cast<std::int32_t>(nint(pulses));
}

void BuildTsdChannel(TTsdReportImage& image, const TDecodedValues& v, int k) {
  namespace t = report_texts;
  if (k < 0 || k >= PulseChannelCapacity) throw std::out_of_range("pulse channel " + std::to_string(k));
  const double price = v.ChannelPulsePrice[k];
  const int number = k + 1;

  TsdHeader& h = image.Header;
  h = TsdHeader{};
  WritePaddedText(h.SerialNumber, Utf8Left(v.ZavNumber, 20), 0);
  h.ChannelNumber = static_cast<std::uint16_t>(number);
  h.PulsePrice = static_cast<float>(price);
  h.RepDate = static_cast<std::uint8_t>(v.ReportDay);
  const char* type = v.DeviceCode == 70   ? t::TsdTypeStrizh4
                     : v.DeviceCode == 71 ? t::TsdTypeStrizh16
                                          : t::TypeUnknown;
  WritePaddedText(h.DeviceType,
                  std::string(type) + t::TsdChannelOpen + ZeroPad(number, 3) + t::TsdChannelClose, 0);
  h.DateTimeIni = v.InitTime;
  WritePaddedText(h.Rezerv1, v.ChannelId[k], 0);
  WritePaddedText(h.Rezerv2, t::TsdPulseCounterKind, 0);

  image.Notations = TsdNotations{};
  WritePaddedText(image.Notations.N, t::TsdNotN, 0);
  WritePaddedText(image.Notations.V, t::TsdNotV, 0);

  const double pulses = v.ChannelPulses[k];
  image.LastReadData = {v.MeterClock, VolumeToPulses(v.ChannelVolume[k], price), v.ChannelVolume[k], pulses};
  image.PrevReadData = TsdTotals{};
  image.LastHourData = {v.ReadTime, VolumeToPulses(v.ChannelTotal[k], price), v.ChannelTotal[k], pulses};

  WalkHourArchive(v.HourRecords, image.HourData, [&](const HourRecord& record, bool) {
    const double volume = record.ChannelVolumes[k];
    return TsdRecord{record.Stamp, VolumeToPulses(volume, price), volume, 0};
  });
  RebuildTsdPeriods(image);
}

}  // namespace velk
