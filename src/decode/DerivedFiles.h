// The report files made from a decoded dump, as the decode dispatcher asks for
// them: the -01/-02 .tsv reports, the per-system and per-channel .tsd files and
// their tabs. The report writers implement it; they hold their own references
// to the image, the decoded values and the settings they need. The dispatcher
// calls it in a fixed order after a successful decode.
#pragma once

#include <string>

namespace velk {

// Which report a tab shows.
enum class DerivedFileKind {
  FirstTsv = 1,   // -01.tsv
  SecondTsv = 2,  // -02.tsv
  ChannelFile,    // .tsd file of one heat system or pulse channel
};

class DerivedFiles {
 public:
  virtual ~DerivedFiles() = default;
  // recordNumber: the NNN of the dump's -NNN.dat name, -1 for a ".dtm" dump.
  // folder: the meter folder (data folder plus the meter subfolder when on).
  virtual void BuildFirstTsvData(int recordNumber) = 0;
  // kind: 1 for -01.tsv, 2 for -02.tsv.
  virtual void WriteTsvFile(int kind, const std::string& folder, int recordNumber) = 0;
  virtual void BuildSecondTsvData(int recordNumber) = 0;
  // index: heat system 0 or 1 (codes 50, 51) or pulse channel 0..ChannelCount-1.
  virtual void BuildChannelData(int index, int recordNumber) = 0;
  // Writes the file whose data BuildChannelData built last.
  virtual void WriteChannelFile(const std::string& folder, int recordNumber) = 0;
  // The "view" action that starts the viewer program.
  virtual void EnableViewAction() = 0;
  // index: the channel for ChannelFile, otherwise 0.
  virtual void ShowInTab(DerivedFileKind kind, int index) = 0;
};

// Writes nothing: for decoding without report files (fuzzing, previews, tests).
class NullDerivedFiles final : public DerivedFiles {
 public:
  void BuildFirstTsvData(int) override {}
  void WriteTsvFile(int, const std::string&, int) override {}
  void BuildSecondTsvData(int) override {}
  void BuildChannelData(int, int) override {}
  void WriteChannelFile(const std::string&, int) override {}
  void EnableViewAction() override {}
  void ShowInTab(DerivedFileKind, int) override {}
};

}  // namespace velk
