#pragma once
// Whether Polvane runs with an administrator's rights, and starting it again
// with them.
#include <windows.h>

#include <string>

#include "seams/Services.h"

namespace polvane {

// Starts program as an administrator with arguments through the "runas"
// verb, and waits until it is ready for input; as Elevation::StartElevated.
DWORD StartProgramElevated(HWND owner, const std::wstring& program, const std::string& arguments);

class SystemElevation final : public Elevation {
 public:
  bool IsElevated() override;
  // Starts this program's own file.
  DWORD StartElevated(HWND owner, const std::string& arguments) override;
};

}  // namespace polvane
