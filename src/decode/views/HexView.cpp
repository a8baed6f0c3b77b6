#include "decode/views/HexView.h"

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/Text1251.h"
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

  grid.SetRowBackground(0, GridLightYellow);
  // An address such as "(RAM)  02E0" may draw wider than the heading; the
  // longest is the first RAM row's or the last row's.
  const std::int64_t lastOffset = std::max<std::int64_t>((length - 1) / w * w, 0);
  const std::string ram = MeterAddress(256), last = MeterAddress(lastOffset);
  if (length > 256) grid.ColumnWidths[1].Widest = Utf8Length(last) > Utf8Length(ram) ? last : ram;

  // The rows are made as they are shown: a full memory is two thousand rows.
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(image.DumpImage.begin(),
                                                                  image.DumpImage.begin() + length);
  grid.SetRowFill(1, [bytes, w](int row, std::span<TGridCell> cells) {
    cells[0].Background = cells[1].Background = GridLightYellow;
    const std::int64_t offset = std::int64_t(row - 1) * w;
    const auto length = static_cast<std::int64_t>(bytes->size());
    if (offset >= length) return;  // the blank last row
    cells[0].Text = HexText(static_cast<std::uint64_t>(offset), 4);
    cells[1].Text = MeterAddress(offset);
    for (int b = 0; b < w && offset + b < length; ++b)
      cells[std::size_t(b) + 2].Text = HexText((*bytes)[static_cast<std::size_t>(offset + b)], 2);
    cells.back().Text = std::to_string(row);
  });
  return grid;
}

}  // namespace velk
