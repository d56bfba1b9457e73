#pragma once
#include <windows.h>
#include <commctrl.h>

namespace polvane {

// Registers the standard and common control classes the windows use.
inline void InitControls() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
}

}  // namespace polvane
