#pragma once
// Whether Polvane runs with an administrator's full rights, and starting it
// again with them.
#include <windows.h>

#include <string>

namespace polvane {

// From the process token's TokenElevation: true for an elevated process, and,
// where UAC is off, for any process of an administrator, whose token is then
// always full. Where the token cannot tell, membership of Administrators
// answers.
bool ProcessIsElevated();

// Puts a fixed answer in place of the token's while it lives, for tests.
class ElevationOverride {
 public:
  explicit ElevationOverride(bool elevated);
  ~ElevationOverride();
  ElevationOverride(const ElevationOverride&) = delete;
  ElevationOverride& operator=(const ElevationOverride&) = delete;

 private:
  const bool* previous_;
  bool elevated_;
};

// Starts this program again as an administrator with arguments, through
// the "runas" verb, so that UAC asks the user first; owner anchors the
// prompt. Returns ERROR_SUCCESS once the new process is ready for input,
// ERROR_CANCELLED when the user declined, or another Win32 error code.
DWORD StartElevated(HWND owner, const std::string& arguments);

// For tests, while it lives: StartElevated starts program in place of this
// program's file, or, given an error code, fails with it without starting
// anything, as a declined UAC prompt does.
class ElevatedStartOverride {
 public:
  explicit ElevatedStartOverride(std::wstring program);
  explicit ElevatedStartOverride(DWORD failure);
  ~ElevatedStartOverride();
  ElevatedStartOverride(const ElevatedStartOverride&) = delete;
  ElevatedStartOverride& operator=(const ElevatedStartOverride&) = delete;

  std::wstring program;
  DWORD failure = ERROR_SUCCESS;

 private:
  const ElevatedStartOverride* previous_;
};

}  // namespace polvane
