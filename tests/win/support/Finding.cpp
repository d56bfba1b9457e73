#include "tests/win/support/Finding.h"

#include <commctrl.h>

#include <functional>

namespace polvane::test {

namespace {

// The first top-level window of the class whose process matches, waiting
// (up to 5 s) for one to appear.
HWND WaitForWindow(const wchar_t* className, const std::function<bool(HWND, DWORD)>& matches) {
  for (int attempt = 0; attempt < 100; ++attempt, Sleep(50)) {
    for (HWND hwnd = FindWindowW(className, nullptr); hwnd;
         hwnd = FindWindowExW(nullptr, hwnd, className, nullptr)) {
      DWORD process = 0;
      GetWindowThreadProcessId(hwnd, &process);
      if (matches(hwnd, process)) return hwnd;
    }
  }
  return nullptr;
}

struct WindowSearch {
  const wchar_t* className;
  HWND owner, found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lParam);
  wchar_t name[64]{};
  GetClassNameW(hwnd, name, 64);
  if (lstrcmpiW(name, search.className) != 0 ||
      (search.owner && GetWindow(hwnd, GW_OWNER) != search.owner))
    return TRUE;
  search.found = hwnd;
  return FALSE;
}

// This thread's first top-level window of the class owned by owner (any
// owner when it is null).
HWND ThreadWindow(const wchar_t* className, HWND owner) {
  WindowSearch search{className, owner, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND ControlOf(HWND window, int id) {
  if (const HWND direct = GetDlgItem(window, id)) return direct;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (const HWND inside = ControlOf(child, id)) return inside;
  return nullptr;
}

HWND AboutWindow() { return ThreadWindow(L"Polvane.frmAbout", nullptr); }

HWND AboutControl(int id) {
  const HWND about = AboutWindow();
  return about ? ControlOf(about, id) : nullptr;
}

HWND TooltipOf(HWND owner) {
  HWND tooltip = ThreadWindow(TOOLTIPS_CLASSW, owner);
  for (int wait = 0; !tooltip && wait < 200; ++wait) {  // made once the window is idle
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    tooltip = ThreadWindow(TOOLTIPS_CLASSW, owner);
    if (!tooltip) Sleep(5);
  }
  return tooltip;
}

HICON ShownIcon(HWND window, WPARAM kind) {
  if (const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, kind, 0)))
    return icon;
  return reinterpret_cast<HICON>(
      GetClassLongPtrW(window, kind == ICON_BIG ? GCLP_HICON : GCLP_HICONSM));
}

HWND PolvaneWindowOutside(DWORD processId) {
  return WaitForWindow(L"Polvane.frmMain", [processId](HWND hwnd, DWORD process) {
    return process != processId && IsWindowVisible(hwnd);
  });
}

HWND MessageBoxOf(DWORD processId) {
  // Shown only once its text is set and its size fitted to it.
  return WaitForWindow(L"#32770", [processId](HWND hwnd, DWORD process) {
    return process == processId && IsWindowVisible(hwnd);
  });
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

HCURSOR PointerOver(HWND control) {
  SetCursor(nullptr);
  SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  const HCURSOR shown = GetCursor();
  SetCursor(nullptr);
  return shown;
}

HANDLE ImageOf(HWND control, UINT kind) {
  return reinterpret_cast<HANDLE>(SendMessageW(control, STM_GETIMAGE, kind, 0));
}

bool IconAlive(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return false;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return true;
}

}  // namespace polvane::test
