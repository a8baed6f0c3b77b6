// Decoding speed of the two-system heat meter: a full dump (66 048 bytes,
// hour and day rings full) through the dispatcher's decode stage, and how the
// time grows with the number of archive records. Prints its figures.
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "decode/DecodeDumpFile.h"
#include "decode/views/ArchiveViews.h"
#include "decode/views/ConstantsView.h"
#include "decode/views/CurrentValuesView.h"
#include "decode/views/HexView.h"
#include "decode/views/IdentificationView.h"
#include "decode/views/TextRender.h"
#include "imagebuilder/Family5ImageBuilder.h"

namespace {

using namespace velk;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0) { return *EncodeDateTime({y, mo, d, h, mi, 0, 0}); }

// Steps that run on the decoded values after each decode (the data-tab view
// models); each is timed on its own. Add the view-model builders here.
struct ViewStep {
  std::string Name;
  std::function<void(const TDumpImage&, const TDecodedValues&)> Run;
};
std::vector<ViewStep> ViewModelSteps() {
  const TArchiveViewOptions everything{true, true};
  return {
      {"identification and totals boxes",
       [](const TDumpImage&, const TDecodedValues& v) {
         BuildIdentificationBox(v);
         BuildAccumulatedBox(v);
       }},
      {"current values grid", [](const TDumpImage&, const TDecodedValues& v) { BuildCurrentValuesGrid(v); }},
      {"hour grid", [everything](const TDumpImage&, const TDecodedValues& v) { BuildHourGrid(v, everything); }},
      {"day grid", [everything](const TDumpImage&, const TDecodedValues& v) { BuildDayGrid(v, everything); }},
      {"hex grid", [](const TDumpImage& image, const TDecodedValues& v) { BuildHexGrid(image, v.DeviceCode); }},
      {"constants view", [](const TDumpImage& image, const TDecodedValues& v) { BuildConstantsView(image, v); }},
      {"text rendering of the hour grid",
       [everything](const TDumpImage&, const TDecodedValues& v) { RenderGrid(BuildHourGrid(v, everything)); }},
  };
}

// A full dump with `hourSlots` hour records and `daySlots` day records, every slot written.
std::unique_ptr<TDumpImage> FullDump(int hourSlots, int daySlots) {
  Family5ImageBuilder builder(53);
  builder.SetSerial(1234).SetClock(At(2026, 3, 10, 14, 25)).SetInitTime(At(2020, 1, 1));
  builder.SetChannelConfig(1, 0x12).SetChannelConfig(2, 0x81).SetSchemes(2, 2);
  builder.SetHourRing(Family5ImageBuilder::DefaultHourFirst, hourSlots).FillHourRecords(hourSlots);
  builder.SetDayRing(Family5ImageBuilder::DefaultDayFirst, daySlots);
  for (int i = 0; i < daySlots; ++i) builder.AddDayRecord(Family5Record::Sample(i));
  builder.SetHourNewestSlot(hourSlots / 3);  // a wrapped ring
  auto image = std::make_unique<TDumpImage>();
  builder.BuildFullDump(At(2026, 3, 10, 14, 25), *image);
  return image;
}

struct Timing {
  double MicrosPerDump = 0;
  int Records = 0;
};

Timing TimeDecode(TDumpImage& image, int repetitions, const std::vector<ViewStep>& steps,
                  std::vector<double>* stepMicros = nullptr) {
  TDecodedValues values;
  StorageOptions options;
  DirectUserInterface ui;
  NullDerivedFiles noFiles;
  ManualClock clock(At(2026, 3, 10, 15));
  TDecodeContext ctx{image, values, options, ui, &noFiles, true, clock, 0};
  if (stepMicros) stepMicros->assign(steps.size(), 0);
  double total = 0;
  for (int r = 0; r < repetitions; ++r) {
    const auto start = std::chrono::steady_clock::now();
    if (!DecodeLoadedImage(ctx)) {
      std::fprintf(stderr, "decode failed: %s\n", ui.Messages.empty() ? "" : ui.Messages.back().c_str());
      return {};
    }
    total += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    for (std::size_t s = 0; s < steps.size(); ++s) {
      const auto stepStart = std::chrono::steady_clock::now();
      steps[s].Run(image, values);
      if (stepMicros) {
        (*stepMicros)[s] +=
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - stepStart).count();
      }
    }
  }
  if (stepMicros) {
    for (double& m : *stepMicros) m /= repetitions;
  }
  return {total / repetitions, values.HourCount + values.DayCount};
}

}  // namespace

int main() {
  const std::vector<ViewStep> steps = ViewModelSteps();
  {
    auto image = FullDump(Family5ImageBuilder::DefaultHourSlots, Family5ImageBuilder::DefaultDaySlots);
    std::vector<double> stepMicros;
    TimeDecode(*image, 5, steps, nullptr);  // warm-up
    const Timing t = TimeDecode(*image, 200, steps, &stepMicros);
    std::printf("full family-53 dump: %d bytes, %d hour + %d day records\n", image->DumpLength,
                Family5ImageBuilder::DefaultHourSlots, Family5ImageBuilder::DefaultDaySlots);
    std::printf("  decode: %.1f us per dump (%.0f dumps/s), %.0f ns per record\n", t.MicrosPerDump,
                1e6 / t.MicrosPerDump, t.MicrosPerDump * 1000 / t.Records);
    for (std::size_t s = 0; s < steps.size(); ++s) {
      std::printf("  %s: %.1f us per dump\n", steps[s].Name.c_str(), stepMicros[s]);
    }
  }

  std::printf("\ngrowth with the number of archive records (day ring 64 slots):\n");
  std::printf("  %8s %12s %14s\n", "records", "us/dump", "ns/record");
  for (const int hours : {64, 128, 256, 512, 1024, 1528}) {
    auto image = FullDump(hours, 64);
    TimeDecode(*image, 3, {}, nullptr);
    const Timing t = TimeDecode(*image, 100, {}, nullptr);
    std::printf("  %8d %12.1f %14.0f\n", t.Records, t.MicrosPerDump, t.MicrosPerDump * 1000 / t.Records);
  }
  return 0;
}
