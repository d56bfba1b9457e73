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

// The size of a window of these styles whose client area is client, with its
// caption, borders and menu bar measured at dpi (at the system dpi where
// Windows cannot measure them at another).
SIZE FrameSizeFor(SIZE client, DWORD style, bool menu, DWORD exStyle, int dpi);

// A system metric (SM_CXICON, ...) at dpi; scaled from the system dpi's where
// Windows cannot tell it at another (before Windows 10 1607).
int SystemMetricAt(int index, int dpi);

// Whether Windows scales the window's caption, borders and menu bar with its
// dpi: only for per-monitor v2 windows (Windows 10 1703 and later). Elsewhere
// they keep their size when the window moves to another dpi.
bool ScalesFrameWithDpi(HWND window);

}  // namespace polvane
