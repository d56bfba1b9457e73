#pragma once
// Every service as the system gives it, for the programs' entry points and
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

// What the console program has: no shell and no screen.
struct SystemCommandServices {
  CommandServices Get() { return {registry, files, groupPolicy, elevation, accounts}; }

  Win32Registry registry;
  WindowsFiles files;
  LocalGroupPolicy groupPolicy;
  SystemElevation elevation;
  SystemAccounts accounts;
};

struct SystemServices : SystemCommandServices {
  Services Get() { return {{registry, files, groupPolicy, elevation, accounts}, shell, colours}; }

  SystemShell shell;
  WindowsColours colours;
};

}  // namespace polvane
