#include "common/FileReplace.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

#include "common/NativePath.h"
#include "common/Platform.h"

namespace velk {

namespace {

// A name in the target's folder that no other writer in this process picks.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::filesystem::path name = target;
  name += ".tmp" + std::to_string(stamp) + "-" + std::to_string(counter++);
  return name;
}

ReplaceStep Fail(ReplaceStep step, std::string* error, const std::string& text) {
  if (error) *error = text;
  return step;
}

void RemoveQuietly(const std::filesystem::path& file) {
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
}

}  // namespace

ReplaceStep ReplaceFileContentsStep(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                                    std::string* error) {
  const std::filesystem::path temporary = TemporaryBeside(target);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return Fail(ReplaceStep::Create, error, "cannot create " + Utf8FromPath(temporary));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      RemoveQuietly(temporary);
      return Fail(ReplaceStep::Write, error, "cannot write " + Utf8FromPath(temporary));
    }
  }
  std::string renameError;
  if (!platform::MoveFileOver(temporary, target, renameError)) {
    RemoveQuietly(temporary);
    return Fail(ReplaceStep::Rename, error, "cannot replace " + Utf8FromPath(target) + ": " + renameError);
  }
  return ReplaceStep::None;
}

bool ReplaceFileContents(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         std::string* error) {
  return ReplaceFileContentsStep(target, bytes, error) == ReplaceStep::None;
}

bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string buffer(maxBytes + 1, '\0');
  in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  if (in.bad()) return false;
  const auto got = static_cast<std::size_t>(in.gcount());
  if (got > maxBytes) return false;
  buffer.resize(got);
  bytes = std::move(buffer);
  return true;
}

}  // namespace velk
