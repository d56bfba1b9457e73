#include "ui/Window.h"

#include "ui/Controls.h"

#include "platform/LastError.h"
#include "ui/Dpi.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace polvane {
namespace {

// WM_GETDPISCALEDSIZE, sent from Windows 10 1703 on; the headers name it
// only for programs that need that version.
constexpr UINT kGetDpiScaledSize = 0x02E4;

DWORD RegisterClassOnce(HINSTANCE instance, const wchar_t* name, HICON icon, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, name, &existing)) return ERROR_SUCCESS;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) ? ERROR_SUCCESS : LastErrorOr(ERROR_CANNOT_FIND_WND_CLASS);
}

RECT WorkAreaOf(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  return monitor.rcWork;
}

POINT CentredOrigin(SIZE windowSize, const RECT& work) {
  return {work.left + (work.right - work.left - windowSize.cx) / 2,
          work.top + (work.bottom - work.top - windowSize.cy) / 2};
}

POINT OriginBeside(HWND anchor, SIZE windowSize) {
  const RECT work = WorkAreaOf(anchor);
  RECT beside{};
  if (!anchor || !GetWindowRect(anchor, &beside)) return CentredOrigin(windowSize, work);
  LONG x = beside.right;
  if (x + windowSize.cx > work.right) x = beside.left - windowSize.cx;
  if (x < work.left) x = work.right - windowSize.cx;
  const LONG y = std::clamp(beside.top, work.top, std::max(work.top, work.bottom - windowSize.cy));
  return {std::max(x, work.left), y};
}

}  // namespace

// A derived window destroys its window in its own destructor, while what the
// window draws with still exists: by now the window must be gone.
Window::~Window() {
  if (hwnd_) std::abort();
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::DestroyAll() {
  const std::vector<Window*> windows = Objects();
  for (Window* window : windows) window->Destroy();
}

DWORD Window::CreateCentred(const CreateArgs& args) {
  args_ = args;
  const SIZE size = EstimatedFrameSize(SystemDpi());
  return CreateAt(size, CentredOrigin(size, WorkAreaOf(nullptr)));
}

DWORD Window::CreateBeside(const CreateArgs& args, HWND anchor) {
  args_ = args;
  const SIZE size = EstimatedFrameSize(anchor ? DpiOfWindow(anchor) : SystemDpi());
  return CreateAt(size, OriginBeside(anchor, size));
}

// The frame is estimated first, then fitted to the client area once the
// window exists and knows its monitor's dpi and its own frame.
DWORD Window::CreateAt(SIZE size, POINT origin) {
  if (const DWORD failure =
          RegisterClassOnce(args_.instance, args_.className, args_.icon, Procedure);
      failure != ERROR_SUCCESS)
    return failure;
  SetLastError(ERROR_SUCCESS);
  const HWND created =
      CreateWindowExW(args_.exStyle, args_.className, args_.caption, args_.style, origin.x,
                      origin.y, size.cx, size.cy, nullptr, args_.menu, args_.instance, this);
  args_.caption = nullptr;  // the window keeps its own copy; the caller's may go
  if (!created || !hwnd_) return LastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
  dpi_ = DpiOfWindow(hwnd_);
  FitClientArea(origin);
  return ERROR_SUCCESS;
}

SIZE Window::EstimatedFrameSize(int dpi) const {
  return FrameSizeFor(PixelSize(args_.clientArea, dpi), args_.style, args_.menu != nullptr,
                      args_.exStyle, dpi);
}

// The window's size at another dpi, for WM_GETDPISCALEDSIZE: the layout's
// client area there, in the frame the window will have there.
SIZE Window::SizeAtDpi(int dpi) const {
  if (ScalesFrameWithDpi(hwnd_)) return EstimatedFrameSize(dpi);
  RECT window{}, client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  const SIZE area = PixelSize(args_.clientArea, dpi);
  return {area.cx + (window.right - window.left) - client.right,
          area.cy + (window.bottom - window.top) - client.bottom};
}

// Sizes the window so that its client area is exactly the layout's at the
// window's dpi, whatever its caption, menu bar and borders measure there.
void Window::FitClientArea(POINT origin) {
  const SIZE wanted = PixelSize(args_.clientArea, dpi_);
  RECT window{}, client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  if (client.right == wanted.cx && client.bottom == wanted.cy && window.left == origin.x &&
      window.top == origin.y)
    return;  // the estimate was right: no need to move the window again
  const int width = wanted.cx + (window.right - window.left) - client.right;
  const int height = wanted.cy + (window.bottom - window.top) - client.bottom;
  SetWindowPos(hwnd_, nullptr, origin.x, origin.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar may take another line at the new width; measure once more.
  GetClientRect(hwnd_, &client);
  if (client.bottom != wanted.cy)
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height + wanted.cy - client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

// Windows asks for the suggested rectangle as it is. Per-monitor v2 made
// it from the window's own answer to WM_GETDPISCALEDSIZE. Per-monitor v1
// (Windows 8.1 to 10 1607) scaled the whole window by the ratio of the two
// dpis, frame and all, though the frame keeps its size: there the client
// area is fitted to the layout afterwards, at the suggested place.
void Window::MoveToDpi(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (!ScalesFrameWithDpi(hwnd_)) FitClientArea({suggested.left, suggested.top});
  LayOut();
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    self->Bind();
  }
  Window* self = FromHwnd(hwnd);
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    Control::ForgetControlsOf(hwnd);  // all gone before their window
    self->Detach();
    self->OnDestroyed();
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

void Window::Detach() {
  Unbind();
  hwnd_ = nullptr;
  lastFocus_ = nullptr;
  if (Objects().empty()) PostQuitMessage(0);
}

// A window that is not a dialog must keep its own keyboard focus across
// activation, as the dialog manager does for dialogs.
void Window::RememberOrRestoreFocus(bool activating) {
  if (!activating) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return;
  }
  HWND target = lastFocus_;
  if (!target || !IsWindow(target) || !IsWindowEnabled(target))
    target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (target) SetFocus(target);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE) {
    RememberOrRestoreFocus(LOWORD(wParam) != WA_INACTIVE);
    return 0;
  }
  if (message == kGetDpiScaledSize) {
    *reinterpret_cast<SIZE*>(lParam) = SizeAtDpi(static_cast<int>(wParam));
    return TRUE;
  }
  if (message == WM_DPICHANGED) {
    MoveToDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace polvane
