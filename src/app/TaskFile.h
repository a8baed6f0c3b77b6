// Task files (.tsm): 599-byte records, one meter each, worked through from
// record 1 on (record 0 is never read).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "app/ReadPanel.h"
#include "app/SettingsRecord.h"

namespace velk {

constexpr std::size_t TaskRecordSize = 599;
constexpr std::size_t FirstTaskRecord = 1;

struct TTaskRecord {
  int RGTask = 0;           // 0: read-mode item index
  int MODBox = 0;           // 1: interface item index
  std::string EdDataDir;    // 33: data folder (short string, 256 bytes)
  std::string PorTelEdit;   // 304: phone number or IP address (short string, 30 bytes)
  int LEdSetevoyAdr = 0;    // 334: network address of the meter
  std::uint32_t Flags = 0;  // 336: bit 0 a subfolder per meter, bit 1 separate .dat/.tsv subfolders

  bool DATDirCreate() const { return (Flags & 1u) != 0; }
  bool TSVDirCreate() const { return (Flags & 2u) != 0; }
};

TTaskRecord DecodeTaskRecord(std::span<const std::uint8_t, TaskRecordSize> bytes);

// Record `index` of the task file; std::nullopt when the file cannot be opened
// or holds no whole record at that index.
std::optional<TTaskRecord> ReadTaskRecord(const std::filesystem::path& file, std::size_t index);

// Steps through a task file one record per call, starting at record 1; the
// file is opened afresh for each record.
class TTaskFile {
 public:
  explicit TTaskFile(std::filesystem::path file) : file_(std::move(file)) {}
  // The record at the current index, advancing it; std::nullopt at the end or
  // when the file cannot be opened (the task is then over).
  std::optional<TTaskRecord> Next();
  std::size_t CurrentIndex() const { return index_; }

 private:
  std::filesystem::path file_;
  std::size_t index_ = FirstTaskRecord;
};

// The record's data folder and the two folder flags go into the settings; read
// mode, interface, phone and address belong to the read panel (below).
void ApplyTaskRecord(const TTaskRecord& task, TSettingsRecord& settings);

// The read panel's part of a record: read mode, interface, phone or host, and
// the network address. `ipPortEntry` is the entry of the "Порт" edit for the
// whole task; a network record (items 4..6) whose address text is "host:N"
// brings its own entry N. A missing or non-numeric entry is left for the
// reading's start to refuse.
void ApplyTaskRecord(const TTaskRecord& task, const std::string& ipPortEntry, ReadPanel& panel);

}  // namespace velk
