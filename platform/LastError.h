#pragma once
// Why the call that just failed failed.
#include <windows.h>

#include "seams/Win32Error.h"

namespace polvane {

// The thread's last error, or fallback where the failed call set none: a
// failure is never reported as success.
inline Win32Error LastErrorOr(Win32Error fallback) {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? static_cast<Win32Error>(error) : fallback;
}

}  // namespace polvane
