// The report files of a decoded dump, in the order the decode dispatcher asks
// for them: -01.tsv, the .tsd files of the compact meters' second and third
// channels, -02.tsv, or one .tsd file per channel of a pulse counter. Keeps
// the report images, the paths for the viewer launch and the report views.
#pragma once

#include <functional>
#include <string>

#include "common/DumpImage.h"
#include "common/ExchangeMonitor.h"
#include "common/StorageOptions.h"
#include "common/UserInterface.h"
#include "decode/DecodedValues.h"
#include "decode/DerivedFiles.h"
#include "reports/ReportFile.h"
#include "reports/ReportViews.h"
#include "reports/TsdImage.h"
#include "reports/TsvImage.h"

namespace velk {

class ReportWriter final : public DerivedFiles {
 public:
  ReportWriter(const TDumpImage& image, const TDecodedValues& values, const StorageOptions& options,
               ExchangeMonitor& monitor, UserInterface& ui);

  // Set by the application before a decode.
  int ReadMode =
      0;  // item of the read-mode group ("Полный архив", "Последние изменения", "Оперативные данные")
  bool CommandLine = false;            // started with arguments: no tabs, a failed file ends the program
  std::function<void()> CloseProgram;  // how command-line use ends the program

  void BuildFirstTsvData(int recordNumber) override;
  void WriteTsvFile(int kind, const std::string& folder, int recordNumber) override;
  void BuildSecondTsvData(int recordNumber) override;
  void BuildChannelData(int index, int recordNumber) override;
  void WriteChannelFile(const std::string& folder, int recordNumber) override;
  void EnableViewAction() override { viewEnabled_ = true; }
  void ShowInTab(DerivedFileKind kind, int index) override;

  // Paths of the files the viewer is started with (path text; empty when none).
  const std::string& ReportFileName1() const { return reportFileName1_; }
  const std::string& ReportFileName2() const { return reportFileName2_; }
  bool ViewEnabled() const { return viewEnabled_; }
  ReportWriteOutcome LastOutcome() const { return lastOutcome_; }

  const TTsvReportImage& TsvImage() const { return tsv_; }
  const TTsdReportImage& TsdImage() const { return tsd_; }
  const ReportViews& Views() const { return views_; }

  // The channel index a dispatcher index stands for: the compact heat meters
  // (codes 50, 51) report their heat systems 0 and 1 on channels 1 and 2.
  int ChannelOfIndex(int index) const;

 private:
  ReportWriteRequest Request(const std::string& meterFolder, const std::string& folder,
                             const ReportFileSet& names, int recordNumber) const;
  void SetReportFileName(int which, const std::string& path);

  const TDumpImage& image_;
  const TDecodedValues& values_;
  const StorageOptions& options_;
  ExchangeMonitor& monitor_;
  UserInterface& ui_;

  TTsvReportImage tsv_;
  TTsdReportImage tsd_;
  int tsdChannel_ = 0;
  std::string reportFileName1_, reportFileName2_;
  bool viewEnabled_ = false;
  ReportWriteOutcome lastOutcome_ = ReportWriteOutcome::Written;
  ReportViews views_;
};

}  // namespace velk
