#include "ui/Dpi.h"

namespace polvane {
namespace {

// GetProcAddress hands back a generic function pointer; going through
// void(*)() is the conversion that says the real type is known.
template <class Function>
Function LookUp(const wchar_t* module, const char* name) {
  HMODULE library = GetModuleHandleW(module);
  if (!library) library = LoadLibraryExW(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!library) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int DpiOfWindow(HWND window) {
  static const auto getDpiForWindow =
      LookUp<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  if (getDpiForWindow && window)
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  static const auto getDpiForMonitor =
      LookUp<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (getDpiForMonitor && window &&
      SUCCEEDED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi,
                                 &x, &y)))
    return static_cast<int>(y);
  return SystemDpi();
}

}  // namespace polvane
