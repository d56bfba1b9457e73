#pragma once
// Every service as the system gives it, for the program's entry point and
// for tests to take what they keep of the system's.
#include <windows.h>

#include "platform/Accounts.h"
#include "platform/Elevation.h"
#include "platform/Files.h"
#include "platform/LocalGroupPolicy.h"
#include "seams/Services.h"
#include "platform/Shell.h"
#include "platform/Win32Registry.h"

namespace polvane {

class WindowsColours final : public SystemColours {
 public:
  bool HighContrastOn() override {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
  }
};

struct SystemServices {
  Services Get() { return {registry, files, groupPolicy, elevation, shell, accounts, colours}; }

  Win32Registry registry;
  WindowsFiles files;
  LocalGroupPolicy groupPolicy;
  SystemElevation elevation;
  SystemShell shell;
  SystemAccounts accounts;
  WindowsColours colours;
};

}  // namespace polvane
