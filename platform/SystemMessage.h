#pragma once
// The system's own words for a Win32 error code, and message boxes of the
// program's own, both in the program's UTF-8.
#include <windows.h>

#include <string>

namespace polvane {

// FormatMessage's description of code on one line, or "Error N." when the
// system has none.
std::string SystemReason(long code);

// A message box with the program's title over owner.
int ShowMessage(HWND owner, const std::string& text, UINT type);

}  // namespace polvane
