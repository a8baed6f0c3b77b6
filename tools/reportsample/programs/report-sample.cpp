// report-sample OUT.tsv [HOURS]: writes the joined two-year sample report.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/FileReplace.h"
#include "reportsample/TwoYearReport.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: report-sample OUT.tsv [HOURS]\n");
    return 2;
  }
  const int hours = argc > 2 ? std::atoi(argv[2]) : 17520;
  const auto bytes = velk::SerializeTsvReport(velk::sample::TwoYearReport(hours));
  std::string error;
  if (!velk::ReplaceFileContents(argv[1], bytes, &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  return 0;
}
