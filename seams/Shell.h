#pragma once
// Links handed to the shell: the system's own in the program, a recorder in
// tests.
#include <windows.h>

namespace polvane {

class Shell {
 public:
  // Asks the shell to open address in the default browser, owner (which
  // may be null) owning anything it shows; whether it could is not told.
  virtual void OpenUrl(HWND owner, const char* address) = 0;

 protected:
  ~Shell() = default;
};

}  // namespace polvane
