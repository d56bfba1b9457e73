#pragma once
// Every function Polvane loads from a DLL of Windows' own when it is first
// called rather than imported, in one list, each with why: Windows 7 lacks
// it, the console program must not import its DLL, or MinGW cannot import
// it. A DLL is loaded from the system folder, once; a function that this
// Windows lacks is null, and its caller falls back.
#include <windows.h>
#include <commctrl.h>

namespace polvane {

// What one entry resolves to, typed apart from the function it stands for.
class LateProc {
 public:
  // what names the DLL, then the function: "shell32.dll\0CommandLineToArgvW".
  constexpr explicit LateProc(const char* what) : what_(what) {}
  // The function, or null; looked up the first time only. The program asks
  // from its one thread.
  void (*Resolve() const)();

 private:
  const char* what_;
  mutable void (*proc_)() = nullptr;  // or Missing, once looked for in vain
};

template <class Function>
class LateFunction : LateProc {
 public:
  using LateProc::LateProc;
  // GetProcAddress hands back a generic function pointer; going through
  // void(*)() is the conversion that says the real type is known.
  Function Get() const { return reinterpret_cast<Function>(Resolve()); }
};

// Functions newer than Windows 7, which the program still runs on.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using MetricForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetWindowContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using ContextsEqualFunction = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
// userenv.dll exports it, but MinGW's headers do not declare it.
using RefreshPolicyExFunction = BOOL(WINAPI*)(BOOL, DWORD);

namespace late {

// The console program imports no user32, which would bring the window
// station and its classes into every command: only the notice of a change
// loads it.
inline constinit LateFunction<decltype(&::SendMessageTimeoutW)> SendMessageTimeoutW{
    "user32.dll\0SendMessageTimeoutW"};

// Only /gpo asks the Group Policy engine to apply what it wrote, and the
// console program imports no userenv.
inline constinit LateFunction<RefreshPolicyExFunction> RefreshPolicyEx{
    "userenv.dll\0RefreshPolicyEx"};

// Per-monitor dpi: Windows 10's user32 (1607 and later) and Windows 8.1's
// shcore. Older Windows lacks them, and the window scales by the system dpi.
inline constinit LateFunction<AdjustForDpiFunction> AdjustWindowRectExForDpi{
    "user32.dll\0AdjustWindowRectExForDpi"};
inline constinit LateFunction<MetricForDpiFunction> GetSystemMetricsForDpi{
    "user32.dll\0GetSystemMetricsForDpi"};
inline constinit LateFunction<GetWindowContextFunction> GetWindowDpiAwarenessContext{
    "user32.dll\0GetWindowDpiAwarenessContext"};
inline constinit LateFunction<ContextsEqualFunction> AreDpiAwarenessContextsEqual{
    "user32.dll\0AreDpiAwarenessContextsEqual"};
inline constinit LateFunction<GetDpiForWindowFunction> GetDpiForWindow{
    "user32.dll\0GetDpiForWindow"};
inline constinit LateFunction<GetDpiForMonitorFunction> GetDpiForMonitor{
    "shcore.dll\0GetDpiForMonitor"};

// Common controls 6 (Vista and later), which the manifest asks for, export
// it, but MinGW's import library for comctl32 lacks it.
inline constinit LateFunction<decltype(&::LoadIconWithScaleDown)> LoadIconWithScaleDown{
    "comctl32.dll\0LoadIconWithScaleDown"};

}  // namespace late
}  // namespace polvane
