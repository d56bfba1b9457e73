#pragma once
// Whether Polvane runs with an administrator's full rights, and starting it
// again with them.
#include <windows.h>

#include <string>

#include "rules/ScopedOverride.h"

namespace polvane {

// Whether the token holds the Administrators group in force: an elevated
// administrator, SYSTEM, or an administrator where UAC is off. UAC's
// filtered token holds it for deny only, and a standard user not at all:
// for them an elevated start may win rights that this process lacks.
bool ProcessIsElevated();

// Starts this program again as an administrator with arguments, through
// the "runas" verb, so that UAC asks the user first; owner anchors the
// prompt. Returns ERROR_SUCCESS once the new process is ready for input,
// ERROR_CANCELLED when the user declined, or another Win32 error code.
DWORD StartElevated(HWND owner, const std::string& arguments);

struct ElevatedStart {
  std::wstring program;  // started in place of this program's file
  DWORD failure;         // unless this is an error code, returned instead
};

// For tests, while it lives: StartElevated starts program in place of this
// program's file, or, given an error code, fails with it without starting
// anything, as a declined UAC prompt does.
class ElevatedStartOverride : public ScopedOverride<ElevatedStart> {
 public:
  explicit ElevatedStartOverride(std::wstring program);
  explicit ElevatedStartOverride(DWORD failure);
};

}  // namespace polvane
