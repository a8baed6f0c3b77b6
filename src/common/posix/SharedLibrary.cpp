#include "common/SharedLibrary.h"

#include <dlfcn.h>

namespace velk {

namespace {
class PosixSharedLibrary final : public SharedLibrary {
 public:
  explicit PosixSharedLibrary(void* handle) : handle_(handle) {}
  ~PosixSharedLibrary() override { ::dlclose(handle_); }
  void* Symbol(const std::string& name) const override { return ::dlsym(handle_, name.c_str()); }

 private:
  void* handle_;
};
}  // namespace

std::unique_ptr<SharedLibrary> LoadSharedLibrary(const std::filesystem::path& file, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    error = file.string() + ": no such library";
    return nullptr;
  }
  void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    error = file.string() + ": " + (why ? why : "cannot be loaded");
    return nullptr;
  }
  return std::make_unique<PosixSharedLibrary>(handle);
}

std::string SharedLibraryFileName(const std::string& baseName) { return "lib" + baseName + ".so"; }

}  // namespace velk
