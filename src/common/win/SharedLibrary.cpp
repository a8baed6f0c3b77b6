// Libraries loaded by full path; their own dependencies are looked for in their folder first.
#include "common/SharedLibrary.h"

#include <windows.h>

#include "common/NativePath.h"
#include "common/win/WideText.h"

namespace velk {

namespace {
class WinSharedLibrary final : public SharedLibrary {
 public:
  explicit WinSharedLibrary(HMODULE module) : module_(module) {}
  ~WinSharedLibrary() override { ::FreeLibrary(module_); }
  void* Symbol(const std::string& name) const override {
    return reinterpret_cast<void*>(::GetProcAddress(module_, name.c_str()));
  }

 private:
  HMODULE module_;
};
}  // namespace

std::unique_ptr<SharedLibrary> LoadSharedLibrary(const std::filesystem::path& file, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    error = Utf8FromPath(file) + ": no such library";
    return nullptr;
  }
  HMODULE module = ::LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) {
    error = Utf8FromPath(file) + ": " + win::ErrorText(::GetLastError());
    return nullptr;
  }
  return std::make_unique<WinSharedLibrary>(module);
}

std::string SharedLibraryFileName(const std::string& baseName) { return baseName + ".dll"; }

}  // namespace velk
