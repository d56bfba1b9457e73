#pragma once
// The system's own words for a Win32 error code, in the program's UTF-8.
#include <windows.h>

#include <string>

namespace polvane {

// FormatMessage's description of code on one line, or "Error N." when the
// system has none.
std::string SystemReason(long code);

}  // namespace polvane
