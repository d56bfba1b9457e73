#pragma once
// Whether Polvane runs with an administrator's rights, and starting it again
// with them: the system's own in the program, a recorder in tests.
#include <windows.h>

#include <string>

namespace polvane {

class Elevation {
 public:
  // Whether the token holds the Administrators group in force: an elevated
  // administrator, SYSTEM, or an administrator where UAC is off. UAC's
  // filtered token holds it for deny only, and a standard user not at all:
  // for them an elevated start may win rights that this process lacks.
  virtual bool IsElevated() = 0;
  // Starts this program again as an administrator with arguments, through
  // the "runas" verb, so that UAC asks the user first; owner anchors the
  // prompt. Returns ERROR_SUCCESS once the new process is ready for input,
  // ERROR_CANCELLED when the user declined, or another Win32 error code.
  virtual DWORD StartElevated(HWND owner, const std::string& arguments) = 0;

 protected:
  ~Elevation() = default;
};

}  // namespace polvane
