// UTF-8 texts to and from the wide-character strings of the Windows API, and the
// system's text for an error code.
#pragma once

#include <windows.h>

#include <string>

namespace velk::win {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
// The system's message for an error code (GetLastError()), in UTF-8, without the line end.
std::string ErrorText(DWORD code);

}  // namespace velk::win
