#pragma once
// The dpi a window is shown at. Polvane is per-monitor dpi aware; the calls
// that tell a window's own dpi are looked up at run time, so that the same
// program still starts on Windows 7, where only the system dpi exists.
#include <windows.h>

namespace polvane {

// The dpi of the monitor window is on (Windows 10 1607 and later, or 8.1),
// else the system dpi.
int DpiOfWindow(HWND window);

// The system dpi: what a window is laid out at before it exists.
int SystemDpi();

}  // namespace polvane
