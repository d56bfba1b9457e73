#pragma once
// The application icon, at the size a window asks for.
#include <windows.h>
#include <commctrl.h>

#include "resources/resource.h"
#include "platform/Handles.h"
#include "platform/LateBound.h"

namespace polvane {

// The icon's image of size pixels, or a larger one scaled down; never a
// smaller one stretched up, which would blur.
inline UniqueIcon LoadApplicationIcon(HINSTANCE instance, int size) {
  UniqueIcon icon;
  const auto scaleDown = late::LoadIconWithScaleDown.Get();
  if (!scaleDown ||
      FAILED(scaleDown(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), size, size, icon.Put())))
    icon.Reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON, size, size, 0)));
  return icon;
}

}  // namespace polvane
