#include "app/TaskFile.h"

#include <fstream>

#include "common/Text1251.h"

namespace velk {

TTaskRecord DecodeTaskRecord(std::span<const std::uint8_t, TaskRecordSize> bytes) {
  TTaskRecord task;
  task.RGTask = bytes[0];
  task.MODBox = bytes[1];
  task.EdDataDir = ReadShortString(bytes.subspan(33, 256));
  task.PorTelEdit = ReadShortString(bytes.subspan(304, 30));
  task.LEdSetevoyAdr = bytes[334];
  task.Flags = static_cast<std::uint32_t>(bytes[336]) | static_cast<std::uint32_t>(bytes[337]) << 8 |
               static_cast<std::uint32_t>(bytes[338]) << 16 | static_cast<std::uint32_t>(bytes[339]) << 24;
  return task;
}

std::optional<TTaskRecord> ReadTaskRecord(const std::filesystem::path& file, std::size_t index) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(static_cast<std::streamoff>(index * TaskRecordSize));
  std::array<std::uint8_t, TaskRecordSize> bytes{};
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(TaskRecordSize)) return std::nullopt;
  return DecodeTaskRecord(bytes);
}

std::optional<TTaskRecord> TTaskFile::Next() {
  auto task = ReadTaskRecord(file_, index_);
  if (task) ++index_;
  return task;
}

void ApplyTaskRecord(const TTaskRecord& task, TSettingsRecord& settings) {
  settings.EdDataDir = task.EdDataDir;
  settings.DATDirCreate = task.DATDirCreate();
  settings.TSVDirCreate = task.TSVDirCreate();
}

void ApplyTaskRecord(const TTaskRecord& task, const std::string& ipPortEntry, ReadPanel& panel) {
  panel.RGTask = task.RGTask;
  panel.MODBox = task.MODBox;
  panel.PorTelEdit = task.PorTelEdit;
  panel.IP_PortEdit = ipPortEntry;
  panel.LEdSetevoyAdr = std::to_string(task.LEdSetevoyAdr);
  const bool network = task.MODBox >= ItemMoxa && task.MODBox <= ItemLinkora;
  const std::size_t colon = task.PorTelEdit.rfind(':');
  if (network && colon != std::string::npos) {
    panel.PorTelEdit = task.PorTelEdit.substr(0, colon);
    panel.IP_PortEdit = task.PorTelEdit.substr(colon + 1);
  }
}

}  // namespace velk
