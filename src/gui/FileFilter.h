// File-dialog filters: the system writes them as "description|patterns|..."
// pairs with ";"-separated patterns; Qt wants "description (patterns);;...".
#pragma once

#include <string>

namespace velk::gui {

// Each pair becomes the description (its own trailing "(...)" dropped) and its
// patterns in parentheses, blank-separated; "*.*" becomes "*".
std::string QtFileFilter(const std::string& systemFilter);

}  // namespace velk::gui
