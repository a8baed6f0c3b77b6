#include "common/DumpFileReader.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/NativePath.h"

namespace velk {

namespace {

constexpr const char* OpenErrorText = "Ошибка открытия Файла ";   // + path
constexpr const char* ReadErrorText = "Ошибка чтения из Файла ";  // + path

}  // namespace

bool ReadDumpFile(TDumpImage& image, const std::string& path, UserInterface& ui) {
  const auto file = ToNativePath(path);
  std::error_code kindError;
  std::ifstream in;
  if (!std::filesystem::is_directory(file, kindError)) in.open(file, std::ios::binary);
  if (!in.is_open()) {
    ui.ShowMessage(OpenErrorText + path);
    return false;
  }
  const std::string tooLong =
      ReadErrorText + path + ": файл длиннее " + std::to_string(DumpCapacity) + " байт";
  std::error_code sizeError;
  const auto size = std::filesystem::file_size(file, sizeError);
  if (!sizeError && size > static_cast<std::uintmax_t>(DumpCapacity)) {
    ui.ShowMessage(tooLong);
    return false;
  }
  // One byte more than the capacity tells a file that grew since its size was taken.
  std::vector<std::uint8_t> bytes(DumpCapacity + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad() || (in.fail() && !in.eof())) {
    ui.ShowMessage(ReadErrorText + path);
    return false;
  }
  const auto length = static_cast<std::size_t>(in.gcount());
  if (length > static_cast<std::size_t>(DumpCapacity)) {
    ui.ShowMessage(tooLong);
    return false;
  }
  std::copy_n(bytes.begin(), length, image.DumpImage.begin());
  std::fill(image.DumpImage.begin() + length, image.DumpImage.end(), 0);
  image.DumpLength = static_cast<std::int32_t>(length);
  return true;
}

}  // namespace velk
