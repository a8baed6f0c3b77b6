#include "reports/ReportWriter.h"

#include "common/MeterCfg.h"
#include "reports/TsdBuilder.h"
#include "reports/TsvBuilder.h"

namespace velk {

ReportWriter::ReportWriter(const TDumpImage& image, const TDecodedValues& values,
                           const StorageOptions& options, ExchangeMonitor& monitor, UserInterface& ui)
    : image_(image), values_(values), options_(options), monitor_(monitor), ui_(ui) {}

int ReportWriter::ChannelOfIndex(int index) const {
  return values_.DeviceCode == 50 || values_.DeviceCode == 51 ? index + 1 : index;
}

ReportWriteRequest ReportWriter::Request(const std::string& meterFolder, const std::string& folder,
                                         const ReportFileSet& names, int recordNumber) const {
  ReportWriteRequest request;
  request.Folder = folder;
  request.Names = names;
  request.JoinFiles = options_.TSVCnc;
  request.ReadMode = ReadMode;
  request.CommandLine = CommandLine;
  request.ReadTime = values_.ReadTime;
  // The meter's record takes this dump's number, archive pointers and reading time.
  request.CfgPath =
      JoinPathText(meterFolder, MeterName(values_.DeviceCode, values_.SerialNumber, image_) + ".cfg");
  request.Cfg = {StoredDumpNumber(recordNumber), SavedPointerOfImage(values_.DeviceCode, image_),
                 SavedPointer2OfImage(image_), values_.ReadTime};
  return request;
}

void ReportWriter::SetReportFileName(int which, const std::string& path) {
  if (which == 1) {
    reportFileName1_ = path;
    reportFileName2_.clear();
  } else {
    reportFileName2_ = path;
  }
}

void ReportWriter::BuildFirstTsvData(int) { BuildTsvSystem1(tsv_, values_); }

void ReportWriter::BuildSecondTsvData(int) { BuildTsvSystem2(tsv_, values_); }

void ReportWriter::WriteTsvFile(int kind, const std::string& meterFolder, int recordNumber) {
  const int system = kind == 1 ? 1 : 2;
  // The two systems of an older meter share one base name: without subfolders
  // the second file would replace the first, so such meters always get them.
  const bool olderTwoSystem =
      values_.DeviceCode >= 1 && values_.DeviceCode <= 49 && HasSecondTsvSystem(values_);
  const std::string folder = TsvReportFolder(meterFolder, system, options_.TSVDirCreate || olderTwoSystem);
  const ReportFileSet names = ReportFileNames(folder, TsvBaseName(values_, system), recordNumber, ".tsv");
  SetReportFileName(system, names.NewFile);

  const ReportWriteRequest request = Request(meterFolder, folder, names, recordNumber);
  ReportWriteSinks sinks{monitor_, ui_, CloseProgram};
  lastOutcome_ = WriteReportFile(tsv_, request, sinks);
}

void ReportWriter::BuildChannelData(int index, int) {
  tsdChannel_ = ChannelOfIndex(index);
  BuildTsdChannel(tsd_, values_, tsdChannel_);
}

void ReportWriter::WriteChannelFile(const std::string& meterFolder, int recordNumber) {
  const int number = tsdChannel_ + 1;
  const std::string folder = TsdReportFolder(meterFolder, number);
  const ReportFileSet names = ReportFileNames(folder, TsdBaseName(values_, number), recordNumber, ".tsd");
  if (number == 1) SetReportFileName(1, names.NewFile);

  const ReportWriteRequest request = Request(meterFolder, folder, names, recordNumber);
  ReportWriteSinks sinks{monitor_, ui_, CloseProgram};
  lastOutcome_ = WriteReportFile(tsd_, request, sinks);
}

void ReportWriter::ShowInTab(DerivedFileKind kind, int index) {
  switch (kind) {
    case DerivedFileKind::FirstTsv:
      views_.FirstTsv = BuildTsvReportView(tsv_, values_, 1);
      break;
    case DerivedFileKind::SecondTsv:
      views_.SecondTsv = BuildTsvReportView(tsv_, values_, 2);
      break;
    case DerivedFileKind::ChannelFile:
      AddTsdChannelToView(views_.Channels, tsd_, ChannelOfIndex(index) + 1, values_.ChannelCount);
      break;
  }
}

}  // namespace velk
