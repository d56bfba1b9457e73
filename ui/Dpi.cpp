#include "ui/Dpi.h"

#include "platform/SystemDll.h"

namespace polvane {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using MetricForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetWindowContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using ContextsEqualFunction = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const auto kPerMonitorV2 = reinterpret_cast<DPI_AWARENESS_CONTEXT>(-4);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

SIZE FrameSizeFor(SIZE client, DWORD style, bool menu, DWORD exStyle, int dpi) {
  static const auto adjustForDpi =
      SystemFunction<AdjustForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (!adjustForDpi || !adjustForDpi(&frame, style, menu, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&frame, style, menu, exStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

int SystemMetricAt(int index, int dpi) {
  static const auto metricForDpi =
      SystemFunction<MetricForDpiFunction>(L"user32.dll", "GetSystemMetricsForDpi");
  if (metricForDpi) return metricForDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

bool ScalesFrameWithDpi(HWND window) {
  static const auto getContext =
      SystemFunction<GetWindowContextFunction>(L"user32.dll", "GetWindowDpiAwarenessContext");
  static const auto equal =
      SystemFunction<ContextsEqualFunction>(L"user32.dll", "AreDpiAwarenessContextsEqual");
  return getContext && equal && equal(getContext(window), kPerMonitorV2);
}

int DpiOfWindow(HWND window) {
  static const auto getDpiForWindow =
      SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  if (getDpiForWindow && window)
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  static const auto getDpiForMonitor =
      SystemFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (getDpiForMonitor && window &&
      SUCCEEDED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi,
                                 &x, &y)))
    return static_cast<int>(y);
  return SystemDpi();
}

}  // namespace polvane
