// Windows side of common/ProcessLaunch.h: CreateProcessW without a console and in
// a process group of its own; the handles are closed at once, nothing waits on it.
#include "common/ProcessLaunch.h"

#include <windows.h>

#include "common/win/WideText.h"

namespace velk {

namespace {

// One argument quoted as the program's startup code splits the command line.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(backslashes * 2, L'\\');
  out.push_back(L'"');
  return out;
}

}  // namespace

bool LaunchDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  std::wstring commandLine = Quoted(program.wstring());
  for (const std::string& argument : arguments) commandLine += L" " + Quoted(win::WideFromUtf8(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace velk
