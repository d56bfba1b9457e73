#pragma once
// What the windows ask of the system beyond a command's services: links
// opened by the shell, a restart as administrator, and whether High Contrast
// is on. The program's entry point hands the system's own down; a test hands
// its own where Wine cannot show a case (a declined UAC prompt, High
// Contrast, which Wine keeps no setting for).
#include <windows.h>

#include <string>

#include "platform/SystemServices.h"
#include "seams/Services.h"

namespace polvane {

class Shell {
 public:
  // Asks the shell to open address in the default browser, owner (which
  // may be null) owning anything it shows; whether it could is not told.
  virtual void OpenUrl(HWND owner, const char* address) = 0;

 protected:
  ~Shell() = default;
};

class Elevation {
 public:
  // Starts this program again as an administrator with arguments, as
  // StartAsAdministrator does.
  virtual DWORD StartElevated(HWND owner, const std::string& arguments) = 0;

 protected:
  ~Elevation() = default;
};

class SystemColours {
 public:
  // SPI_GETHIGHCONTRAST's flag.
  virtual bool HighContrastOn() = 0;

 protected:
  ~SystemColours() = default;
};

struct Services : CommandServices {
  Shell& shell;
  Elevation& elevation;
  SystemColours& colours;
};

// Starts program as an administrator with arguments, through the "runas"
// verb, so that UAC asks the user first; owner anchors the prompt. Returns
// ERROR_SUCCESS once the new process is ready for input, ERROR_CANCELLED
// when the user declined, or another Win32 error code.
DWORD StartAsAdministrator(const std::wstring& program, HWND owner, const std::string& arguments);

class SystemShell final : public Shell {
 public:
  void OpenUrl(HWND owner, const char* address) override;
};

class SystemElevation final : public Elevation {
 public:
  DWORD StartElevated(HWND owner, const std::string& arguments) override;
};

class WindowsColours final : public SystemColours {
 public:
  bool HighContrastOn() override;
};

struct SystemServices : SystemCommandServices {
  Services Get() { return {SystemCommandServices::Get(), shell, elevation, colours}; }

  SystemShell shell;
  SystemElevation elevation;
  WindowsColours colours;
};

}  // namespace polvane
