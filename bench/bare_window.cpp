// The floor for launch time: the least a Win32 program does to show a window
// and wait for input, built with the same compiler and flags as Polvane.
// Built a second time as bare_window_themed, with Polvane's manifest and the
// common controls 6 that its visual styles need; and a third time as
// bare_window_loaded, which also imports ole32, oleaut32, shell32 and
// version and joins a COM apartment before its window, as a program that
// loads everything at start does.
#include <windows.h>
#include <commctrl.h>
#ifdef BARE_WINDOW_LOADED
#include <objbase.h>
#include <shellapi.h>
#include <oleauto.h>

#include "platform/Handles.h"
#endif

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef BARE_WINDOW_THEMED
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
#endif
#ifdef BARE_WINDOW_LOADED
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int count = 0;
  const polvane::UniqueLocal arguments(CommandLineToArgvW(GetCommandLineW(), &count));
  SysFreeString(nullptr);
  DWORD ignored = 0;
  GetFileVersionInfoSizeW(L"", &ignored);
#endif
  WNDCLASSW wc{};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"BareWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(L"BareWindow", L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
