// The floor for Polvane's own window: the same window made the shortest
// way, with nothing else. Its caption, a File and a Help menu, one frame,
// six check boxes and two buttons at Polvane's places at 96 dpi, in the
// message font, under Polvane's manifest (common controls 6). No layout
// code, no registry, no icons, no tooltip: what Polvane takes beyond this
// program's time is what its own code costs. Built with SAME_WINDOW_IMPORTS,
// it also imports the other DLLs Polvane.exe imports.
#include <windows.h>
#include <commctrl.h>
#ifdef SAME_WINDOW_IMPORTS
#include <oleacc.h>
#include <shellapi.h>
#include <winver.h>
#endif

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct Control {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  int x, y, width, height;  // pixels at 96 dpi
};

constexpr Control kControls[] = {
    {L"Button", L"", BS_GROUPBOX, 8, 8, 281, 124},
    {L"Button", L"Disable Messenger", BS_AUTO3STATE | WS_TABSTOP, 16, 8, 110, 13},
    {L"Button", L"Disable file transfer", BS_AUTO3STATE | WS_TABSTOP, 24, 32, 257, 13},
    {L"Button", L"Disable voice conversations", BS_AUTO3STATE | WS_TABSTOP, 24, 56, 257, 13},
    {L"Button", L"Disable phone calls", BS_AUTO3STATE | WS_TABSTOP, 24, 80, 257, 13},
    {L"Button", L"Disable video", BS_AUTO3STATE | WS_TABSTOP, 24, 104, 257, 13},
    {L"Button", L"All Users", BS_AUTO3STATE | WS_TABSTOP, 16, 144, 80, 13},
    {L"Button", L"Save", BS_DEFPUSHBUTTON | WS_TABSTOP, 107, 140, 84, 23},
    {L"Button", L"Exit", BS_PUSHBUTTON | WS_TABSTOP, 199, 140, 84, 23},
};

#ifdef SAME_WINDOW_IMPORTS
// The DLLs Polvane.exe imports beyond this window's, none of them called:
// what Windows loads for them before the window is made.
void* const volatile kImported[] = {
    reinterpret_cast<void*>(&ShellExecuteW), reinterpret_cast<void*>(&CoInitializeEx),
    reinterpret_cast<void*>(&SysAllocString), reinterpret_cast<void*>(&CreateStdAccessibleObject),
    reinterpret_cast<void*>(&GetFileVersionInfoSizeW)};
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  HMENU menu = CreateMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&File");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&Help");
  WNDCLASSW wc{};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"SameWindow";
  RegisterClassW(&wc);
  HWND hwnd =
      CreateWindowExW(WS_EX_DLGMODALFRAME, L"SameWindow", L"Polvane", WS_CAPTION | WS_SYSMENU,
                      CW_USEDEFAULT, CW_USEDEFAULT, 303, 221, nullptr, menu, instance, nullptr);
  for (const Control& c : kControls) {
    HWND control = CreateWindowExW(0, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x,
                                   c.y, c.width, c.height, hwnd, nullptr, instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(hwnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
