// Plain-text rendering of the view models for the command-line program:
// grids as aligned columns, boxes as "label: text" lines.
#pragma once

#include <string>

#include "decode/views/ConstantsView.h"
#include "decode/views/Grid.h"

namespace velk {

// One line per row; every column as wide as its widest cell (in characters),
// columns two blanks apart, cells left-aligned, trailing blanks cut. Cell
// texts keep their own leading blanks.
std::string RenderGrid(const TGrid& grid);

// The caption on its own line, then one line per visible edit: the label (or the
// control name when the label is empty), ": " and the text. A hidden box renders
// as nothing.
std::string RenderEditBox(const TEditBox& box);

// Every visible group of the constants view, one blank line between groups.
std::string RenderConstantsView(const TConstantsView& view);

}  // namespace velk
