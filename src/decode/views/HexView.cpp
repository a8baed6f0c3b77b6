#include "decode/views/HexView.h"

#include <algorithm>
#include <string>

#include "decode/views/CellFormat.h"
#include "decode/views/ViewTexts.h"

namespace velk {

namespace {

namespace vt = viewtext;

std::string MeterAddress(std::int64_t offset) {
  if (offset < 256) return {};
  if (offset >= 512) return vt::EepromLabel + HexText(static_cast<std::uint64_t>(offset - 512), 4);
  return vt::RamLabel + HexText(static_cast<std::uint64_t>(offset + 256), 4);
}

}  // namespace

int HexRowWidth(std::uint32_t deviceCode) {
  const bool wide =
      deviceCode == 0 || (deviceCode >= 53 && deviceCode <= 56) || deviceCode == 70 || deviceCode == 71;
  return wide ? 32 : 16;
}

TGrid BuildHexGrid(const TDumpImage& image, std::uint32_t deviceCode) {
  const int w = HexRowWidth(deviceCode);
  const std::int64_t length = std::clamp<std::int64_t>(image.DumpLength, 0, DumpCapacity);
  const int columns = w + 3;
  TGrid grid("StringGrid1", static_cast<int>(length / w) + 2, columns);

  grid.SetText(0, 0, vt::HexFileHeading);
  grid.SetText(0, 1, vt::HexAddressHeading);
  for (int b = 0; b < w; ++b) grid.SetText(0, b + 2, std::to_string(b));
  grid.ColumnWidths[0] = TColumnWidth::Text(vt::HexOffsetSample, 7);
  grid.ColumnWidths[1] = TColumnWidth::Text(vt::HexAddressHeading, 7);
  for (int b = 0; b < w; ++b) grid.ColumnWidths[b + 2] = TColumnWidth::Share(vt::HexByteSample, 0, -3);
  grid.ColumnWidths[columns - 1] = TColumnWidth::Text(vt::HexOffsetSample, 7);

  const std::int64_t filledRows = (length + w - 1) / w;
  for (std::int64_t r = 0; r < filledRows; ++r) {
    const int row = static_cast<int>(r) + 1;
    const std::int64_t offset = r * w;
    grid.SetText(row, 0, HexText(static_cast<std::uint64_t>(offset), 4));
    grid.SetText(row, 1, MeterAddress(offset));
    for (int b = 0; b < w && offset + b < length; ++b)
      grid.SetText(row, b + 2, HexText(image.DumpImage[static_cast<std::size_t>(offset + b)], 2));
    grid.SetText(row, columns - 1, std::to_string(row));
  }
  grid.FitColumnToTexts(1);  // "(RAM)  02E0" may draw wider than the heading
  grid.SetRowBackground(0, GridLightYellow);
  grid.SetColumnBackground(0, GridLightYellow);
  grid.SetColumnBackground(1, GridLightYellow);
  return grid;
}

}  // namespace velk
