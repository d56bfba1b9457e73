#pragma once
// The application icon, at the size a window asks for.
#include <windows.h>
#include <commctrl.h>

#include "platform/SystemDll.h"
#include "resources/resource.h"
#include "platform/Handles.h"

namespace polvane {

// The icon's image of size pixels, or a larger one scaled down; never a
// smaller one stretched up, which would blur.
// LoadIconWithScaleDown is common controls 6's, which the program's manifest
// has loaded already.
inline UniqueIcon LoadApplicationIcon(HINSTANCE instance, int size) {
  static const auto scaleDown =
      SystemFunction<decltype(&LoadIconWithScaleDown)>(L"comctl32.dll", "LoadIconWithScaleDown");
  HICON icon = nullptr;
  if (!scaleDown ||
      FAILED(scaleDown(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), size, size, &icon)))
    icon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON, size, size, 0));
  return UniqueIcon(icon);
}

}  // namespace polvane
