// Column widths in pixels from a grid's width hints: the window measures
// texts in its font and hands in the width its columns may fill; the shared
// columns are spread over that width again on every resize.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "decode/views/Grid.h"

namespace velk {

// Pixel width of a text as the grid's font draws it.
using TextWidthMeasure = std::function<int(const std::string& text)>;

// The margin beside a column's widest text.
inline constexpr int WidestTextMarginPixels = 8;

// The smallest width a hint allows: FixedPixels, the sample's width plus
// ExtraPixels, or the widest text's width plus its margin, whichever is widest.
int MinimumColumnPixels(const TColumnWidth& hint, const TextWidthMeasure& measure);

// One width per hint. Columns that do not share take their minimum; each
// ShareRest column takes an equal share of what those leave of `gridWidth`
// plus its ShareAdjustPixels, but never less than its minimum (so a narrow
// grid scrolls instead of squeezing its columns).
std::vector<int> ColumnPixels(const std::vector<TColumnWidth>& hints, int gridWidth,
                              const TextWidthMeasure& measure);
inline std::vector<int> ColumnPixels(const TGrid& grid, int gridWidth, const TextWidthMeasure& measure) {
  return ColumnPixels(grid.ColumnWidths, gridWidth, measure);
}

}  // namespace velk
