#include "ui/Dpi.h"

#include "platform/LateBound.h"

namespace polvane {
namespace {

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const auto kPerMonitorV2 = reinterpret_cast<DPI_AWARENESS_CONTEXT>(-4);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

SIZE FrameSizeFor(SIZE client, DWORD style, bool menu, DWORD exStyle, int dpi) {
  const auto adjustForDpi = late::AdjustWindowRectExForDpi.Get();
  RECT frame{0, 0, client.cx, client.cy};
  if (!adjustForDpi || !adjustForDpi(&frame, style, menu, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&frame, style, menu, exStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

int SystemMetricAt(int index, int dpi) {
  const auto metricForDpi = late::GetSystemMetricsForDpi.Get();
  if (metricForDpi) return metricForDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

bool ScalesFrameWithDpi(HWND window) {
  const auto getContext = late::GetWindowDpiAwarenessContext.Get();
  const auto equal = late::AreDpiAwarenessContextsEqual.Get();
  return getContext && equal && equal(getContext(window), kPerMonitorV2);
}

int DpiOfWindow(HWND window) {
  const auto getDpiForWindow = late::GetDpiForWindow.Get();
  if (getDpiForWindow && window)
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  const auto getDpiForMonitor = late::GetDpiForMonitor.Get();
  UINT x = 0, y = 0;
  if (getDpiForMonitor && window &&
      SUCCEEDED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi,
                                 &x, &y)))
    return static_cast<int>(y);
  return SystemDpi();
}

}  // namespace polvane
