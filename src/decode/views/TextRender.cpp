#include "decode/views/TextRender.h"

#include <vector>

#include "common/Text1251.h"

namespace velk {

namespace {

void TrimRight(std::string& line) {
  while (!line.empty() && line.back() == ' ') line.pop_back();
}

}  // namespace

std::string RenderGrid(const TGrid& grid) {
  std::vector<std::size_t> widths(static_cast<std::size_t>(grid.ColumnCount()), 0);
  for (int r = 0; r < grid.RowCount(); ++r)
    for (int c = 0; c < grid.ColumnCount(); ++c) widths[c] = std::max(widths[c], Utf8Length(grid.Text(r, c)));
  std::string out;
  for (int r = 0; r < grid.RowCount(); ++r) {
    std::string line;
    for (int c = 0; c < grid.ColumnCount(); ++c) {
      const std::string& text = grid.Text(r, c);
      if (c > 0) line += "  ";
      line += text;
      line.append(widths[c] - Utf8Length(text), ' ');
    }
    TrimRight(line);
    out += line;
    out += '\n';
  }
  return out;
}

std::string RenderEditBox(const TEditBox& box) {
  if (!box.Visible) return {};
  std::string out;
  if (!box.Caption.empty()) out += box.Caption + "\n";
  for (const auto& edit : box.Edits) {
    if (!edit.Visible) continue;
    out += (edit.Label.empty() ? edit.Name : edit.Label) + ": " + edit.Text + "\n";
  }
  return out;
}

std::string RenderConstantsView(const TConstantsView& view) {
  std::string out;
  for (const auto& group : view.Groups) {
    const std::string text = RenderEditBox(group);
    if (text.empty()) continue;
    if (!out.empty()) out += "\n";
    out += text;
  }
  return out;
}

}  // namespace velk
