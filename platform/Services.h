#pragma once
// What the windows and the command line ask of the system beyond the
// screen: the registry, files, elevation, the shell, the accounts and the
// system colours. The program's entry point hands the system's own down; a test
// hands down its own parts where the system cannot show a case.
#include <windows.h>

#include <string>

#include "rules/CommandLine.h"
#include "rules/RegistryApi.h"

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

class Shell {
 public:
  // Asks the shell to open address in the default browser, owner (which
  // may be null) owning anything it shows; whether it could is not told.
  virtual void OpenUrl(HWND owner, const char* address) = 0;

 protected:
  ~Shell() = default;
};

class Accounts {
 public:
  // This process's user as a SID string, S-1-5-21-...; empty if the token
  // cannot tell.
  virtual std::string OwnSid() = 0;

 protected:
  ~Accounts() = default;
};

class SystemColours {
 public:
  // SPI_GETHIGHCONTRAST's flag.
  virtual bool HighContrastOn() = 0;

 protected:
  ~SystemColours() = default;
};

struct Services {
  RegistryApi& registry;
  FileAccess& files;
  GroupPolicy& groupPolicy;
  Elevation& elevation;
  Shell& shell;
  Accounts& accounts;
  SystemColours& colours;
};

}  // namespace polvane
