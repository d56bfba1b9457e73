#pragma once
// Web links handed to the shell, which opens them in the default browser.
#include "seams/Services.h"

namespace polvane {

class SystemShell final : public Shell {
 public:
  void OpenUrl(HWND owner, const char* address) override;
};

}  // namespace polvane
