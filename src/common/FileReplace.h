// Files are written to a temporary file in the target's folder and renamed
// over the target, so an interrupted write never leaves a half-written file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace velk {

// false on failure (the target is then untouched); `error` says why.
bool ReplaceFileContents(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         std::string* error = nullptr);
// The step at which a replacement failed, for callers that report them apart.
enum class ReplaceStep { None, Create, Write, Rename };
// As ReplaceFileContents; ReplaceStep::None on success.
ReplaceStep ReplaceFileContentsStep(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                                    std::string* error = nullptr);

// Whole file into `bytes`; false when it cannot be opened or read, or is larger than maxBytes.
bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes, std::size_t maxBytes);

}  // namespace velk
