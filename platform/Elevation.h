#pragma once
// Whether Polvane runs with an administrator's full rights, and starting it
// again with them.
#include <windows.h>

#include <string>

#include "rules/ScopedOverride.h"

namespace polvane {

// From the process token's TokenElevation: true for an elevated process, and,
// where UAC is off, for any process of an administrator, whose token is then
// always full. Where the token cannot tell, membership of Administrators
// answers.
bool ProcessIsElevated();

// Puts a fixed answer in place of the token's while it lives, for tests.
class ElevationOverride : public ScopedOverride<bool> {
 public:
  explicit ElevationOverride(bool elevated);
};

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
