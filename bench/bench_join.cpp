// Batch join ("Соединить файлы") of a folder of successive daily dumps of one
// two-system heat meter: total time, the cost per dump as the folder grows,
// and the ratio to copying the bytes the batch wrote.
//
//   bench_join [days ...]      (default: 365 999)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/Clock.h"
#include "common/ExchangeMonitor.h"
#include "common/FileReplace.h"
#include "common/NumberFormat.h"
#include "common/UserInterface.h"
#include "decode/DecodeDumpFile.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "reports/BatchJoin.h"
#include "reports/ReportWriter.h"

namespace fs = std::filesystem;
using Stopwatch = std::chrono::steady_clock;
using namespace velk;

namespace {

double Seconds(Stopwatch::duration d) { return std::chrono::duration<double>(d).count(); }

// One full reading a day: the hour ring holds the newest hours up to the meter clock.
void MakeDumps(const fs::path& folder, int days, TDateTime start) {
  fs::create_directories(folder);
  for (int d = 1; d <= days; ++d) {
    const TDateTime clock = start + d - 1;
    Family5ImageBuilder builder(53);
    builder.SetSerial(12345).SetClock(clock).SetInitTime(start - 400).SetSchemes(2, 2);
    const int hours = std::min(Family5ImageBuilder::DefaultHourSlots, 24 * (d + 1));
    std::vector<Family5Record> records;
    records.reserve(static_cast<std::size_t>(hours));
    for (int h = 0; h < hours; ++h) records.push_back(Family5Record::Sample(24 * (d + 1) - hours + h));
    builder.AddHourRecords(records);
    TDumpImage dump;
    builder.BuildFullDump(clock, dump);
    const fs::path file = folder / ("53-12345-" + ZeroPad(d, 3) + ".dat");
    if (!ReplaceFileContents(file, dump.Bytes())) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      std::exit(1);
    }
  }
}

std::uintmax_t SizeIfExists(const fs::path& file) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  return ec ? 0 : size;
}

void RunBatch(const fs::path& root, int days) {
  const fs::path dumps = root / ("dumps" + std::to_string(days));
  const fs::path data = root / ("data" + std::to_string(days));
  const TDateTime start = *EncodeDateTime({2022, 1, 1, 12, 0, 30, 0});
  MakeDumps(dumps, days, start);

  StorageOptions options;
  options.EdDataDir = data.string();
  TDumpImage image;
  TDecodedValues values;
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  ReportWriter writer(image, values, options, monitor, ui);
  writer.CommandLine = true;
  ManualClock present(start + days + 1);
  TDecodeContext ctx{image, values, options, ui, &writer, true, present, 0};

  const fs::path meter = data / "53-12345";
  std::vector<double> perDump;
  std::uintmax_t bytesWritten = 0;
  const auto batchStart = Stopwatch::now();
  const auto result = JoinFilesInFolder(
      dumps.string(), options,
      [&](const std::string& path) {
        const auto t0 = Stopwatch::now();
        std::string folder;
        const bool ok = DecodeDumpFile(ctx, path, folder);
        perDump.push_back(Seconds(Stopwatch::now() - t0));
        const std::string n = path.substr(path.size() - 7, 3);
        for (const char* sys : {"1", "2"}) {
          const fs::path tsv = meter / (std::string("TSV") + sys);
          const std::string base = std::string("53-12345-") + sys + "-" + n;
          bytesWritten += SizeIfExists(tsv / (base + ".tsv")) + SizeIfExists(tsv / (base + ".old"));
        }
        return ok;
      },
      ui);
  const double total = Seconds(Stopwatch::now() - batchStart);
  if (!result.Error.empty() || result.Converted != days) {
    std::fprintf(stderr, "batch stopped: %s (%d converted)\n", result.Error.c_str(), result.Converted);
    std::exit(1);
  }

  // cp of the report files the batch left, repeated until as many bytes are
  // copied as the batch wrote (only the cp runs are timed).
  std::uintmax_t leftBytes = 0;
  for (const auto& entry : fs::recursive_directory_iterator(meter))
    if (entry.is_regular_file()) leftBytes += entry.file_size();
  const int copies =
      static_cast<int>(std::min<std::uintmax_t>(1000, (bytesWritten + leftBytes - 1) / leftBytes));
  double copySeconds = 0;
  for (int i = 0; i < copies; ++i) {
    const fs::path copy = root / ("copy" + std::to_string(days));
    const std::string command = "cp -r '" + meter.string() + "' '" + copy.string() + "'";
    const auto copyStart = Stopwatch::now();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cp failed\n");
    copySeconds += Seconds(Stopwatch::now() - copyStart);
    std::error_code ec;
    fs::remove_all(copy, ec);
  }
  const double copiedBytes = static_cast<double>(leftBytes) * copies;

  std::printf("\n%d daily dumps of one family-53 meter (%s)\n", days, dumps.c_str());
  std::printf("  batch total            %8.3f s   %7.3f ms per dump\n", total, 1000 * total / days);
  std::printf("  report bytes written   %8.1f MB  (.old and .tsv of both systems)\n", bytesWritten / 1e6);
  std::printf("  cp -r of the %.1f MB of reports left, %d times (%.1f MB): %.3f s\n", leftBytes / 1e6, copies,
              copiedBytes / 1e6, copySeconds);
  std::printf("  batch / cp of the same bytes: %.2f\n", total / (copySeconds * bytesWritten / copiedBytes));
  std::printf("  cost per dump as the folder grows (mean of each block of dumps):\n");
  const int block = days >= 500 ? 100 : 50;
  for (int first = 0; first < days; first += block) {
    const int last = std::min(days, first + block);
    double sum = 0;
    for (int i = first; i < last; ++i) sum += perDump[static_cast<std::size_t>(i)];
    std::printf("    dumps %3d..%3d  %7.3f ms\n", first + 1, last, 1000 * sum / (last - first));
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> runs;
  for (int i = 1; i < argc; ++i) runs.push_back(std::atoi(argv[i]));
  if (runs.empty()) runs = {365, 999};
  const fs::path root =
      fs::temp_directory_path() /
      ("bench_join_" + std::to_string(std::chrono::system_clock::now().time_since_epoch().count()));
  fs::create_directories(root);
  for (int days : runs) RunBatch(root, days);
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
