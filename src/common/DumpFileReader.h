// Loading a raw dump file into the dump image (used by the decoder and by
// anyone who opens a stored dump).
#pragma once

#include <string>

#include "common/DumpImage.h"
#include "common/UserInterface.h"

namespace velk {

// Loads the dump file at `path` (path text) into the image: DumpLength becomes
// the file's length and every byte past it is zero, so nothing of an earlier
// dump shows through. A file that cannot be opened or read, or is longer than
// DumpCapacity, is reported in a dialog naming the file and the image is left
// as it was.
bool ReadDumpFile(TDumpImage& image, const std::string& path, UserInterface& ui);

}  // namespace velk
