// A shared library loaded at run time, for optional outside helpers.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace velk {

class SharedLibrary {
 public:
  virtual ~SharedLibrary() = default;
  // Address of an exported function; nullptr when the library lacks it.
  virtual void* Symbol(const std::string& name) const = 0;
};

// nullptr with `error` set when the file is missing or cannot be loaded.
std::unique_ptr<SharedLibrary> LoadSharedLibrary(const std::filesystem::path& file, std::string& error);

// The platform's file name for a library called `baseName` ("X" -> "libX.so").
std::string SharedLibraryFileName(const std::string& baseName);

}  // namespace velk
