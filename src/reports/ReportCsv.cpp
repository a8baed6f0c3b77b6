#include "reports/ReportCsv.h"

#include <charconv>
#include <span>

#include "common/DateTime.h"
#include "common/FileReplace.h"
#include "common/Mathem.h"
#include "common/NumberFormat.h"
#include "reports/ReportViewTexts.h"

namespace velk {
namespace {

namespace vt = report_view_texts;

constexpr const char* Bom = "\xEF\xBB\xBF";
constexpr const char* LineEnd = "\r\n";

// The shortest text that reads back as the same value, "." as the separator whatever the locale.
template <class T>
std::string Number(T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted += '"';
}

void AddRow(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += Field(fields[i]);
  }
  out += LineEnd;
}

template <class Image>
const auto& TableOf(const Image& image, RecordTable table) {
  return table == RecordTable::Hours  ? image.HourData
         : table == RecordTable::Days ? image.DayData
                                      : image.MontData;
}

std::string TsvCsv(const TTsvReportImage& image, RecordTable table) {
  std::string out = Bom;
  AddRow(out, {std::begin(vt::RecordHeadings), std::end(vt::RecordHeadings)});
  for (const TsvRecord& r : TableOf(image, table)) {
    std::vector<std::string> row{DateTimeText(r.DateTime)};
    if (IsEmptyRecord(r)) {
      row.resize(15);
    } else {
      for (double v : {r.Q, r.G1, r.G2, r.G3, r.V1, r.V2, r.V3}) row.push_back(Number(v));
      for (float v : {r.T1, r.T2, r.T3, r.P1, r.P2, r.P3}) row.push_back(Number(v));
      row.push_back(std::to_string(nint(r.WorkTime * 24 * 60)));
    }
    row.push_back(std::to_string(r.ErrorCode));
    AddRow(out, row);
  }
  return out;
}

// "N" and "V,м3", the two parts of the grid's heading "N / V,м3".
std::pair<std::string, std::string> PulseAndVolumeHeadings() {
  const std::string both = vt::NSlashV;
  const std::size_t slash = both.find(vt::Slash);
  return {both.substr(0, slash), both.substr(slash + std::string(vt::Slash).size())};
}

std::string TsdCsv(const std::vector<OpenedReport>& channels, RecordTable table) {
  std::string out = Bom;
  const auto [pulses, volume] = PulseAndVolumeHeadings();
  std::vector<std::string> headings{vt::DateTimeTitle};
  for (const OpenedReport& c : channels) {
    std::string number = ZeroPad(c.Tsd.Header.ChannelNumber, 2);
    number.insert(number.begin(), ' ');
    headings.push_back(pulses + number);
    headings.push_back(volume + number);
  }
  AddRow(out, headings);
  // Rows as the grid has them: the records of the first channel, the others side by side by position.
  const auto& first = TableOf(channels.front().Tsd, table);
  for (std::size_t i = 0; i < first.size(); ++i) {
    std::vector<std::string> row{DateTimeText(first[i].DateTime)};
    for (const OpenedReport& c : channels) {
      const auto& records = TableOf(c.Tsd, table);
      if (i >= records.size() || IsEmptyRecord(records[i])) {
        row.insert(row.end(), 2, std::string());
        continue;
      }
      row.push_back(std::to_string(records[i].N));
      row.push_back(Number(records[i].V));
    }
    AddRow(out, row);
  }
  return out;
}

}  // namespace

std::string ReportCsv(const std::vector<OpenedReport>& reports, RecordTable table) {
  if (reports.empty()) return Bom;
  if (reports.front().Kind == ReportKind::Tsv) return TsvCsv(reports.front().Tsv, table);
  return TsdCsv(reports, table);
}

std::string WriteCsvFile(const std::filesystem::path& target, const std::string& csv,
                         const std::vector<OpenedReport>& sources) {
  for (const OpenedReport& source : sources) {
    std::error_code ec;
    if (std::filesystem::equivalent(target, source.Path, ec))
      return "Файл '" + target.string() + "' не записан: это открытый отчет";
  }
  std::string error;
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(csv.data()), csv.size());
  if (!ReplaceFileContents(target, bytes, &error))
    return "Файл '" + target.string() + "' не записан: " + error;
  return {};
}

}  // namespace velk
