#include "decode/views/ColumnWidths.h"

#include <algorithm>

namespace velk {

int MinimumColumnPixels(const TColumnWidth& hint, const TextWidthMeasure& measure) {
  const int sample = hint.Sample.empty() ? 0 : measure(hint.Sample) + hint.ExtraPixels;
  const int widest = hint.Widest.empty() ? 0 : measure(hint.Widest) + WidestTextMarginPixels;
  return std::max({hint.FixedPixels, sample, widest});
}

std::vector<int> ColumnPixels(const std::vector<TColumnWidth>& hints, int gridWidth,
                              const TextWidthMeasure& measure) {
  std::vector<int> widths(hints.size());
  int ownWidth = 0;
  int sharing = 0;
  for (std::size_t c = 0; c < hints.size(); ++c) {
    widths[c] = MinimumColumnPixels(hints[c], measure);
    if (hints[c].ShareRest)
      ++sharing;
    else
      ownWidth += widths[c];
  }
  if (sharing == 0) return widths;
  const int share = std::max(gridWidth - ownWidth, 0) / sharing;
  for (std::size_t c = 0; c < hints.size(); ++c)
    if (hints[c].ShareRest) widths[c] = std::max(widths[c], share + hints[c].ShareAdjustPixels);
  return widths;
}

}  // namespace velk
