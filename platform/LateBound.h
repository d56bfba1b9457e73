#pragma once
// Every function Polvane loads from a DLL of Windows' own when it is first
// called rather than when the program starts, in one list, each with why.
// A DLL is loaded from the system folder, once; a function that this Windows
// lacks is null, and its caller falls back.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <olectl.h>
#include <oleacc.h>
#include <shellapi.h>
#include <winver.h>

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

// COM (ole32 and oleaut32) serves the shell's calls and the About window's
// banner, which OLE's picture loader reads.
inline constinit LateFunction<decltype(&::CoInitializeEx)> CoInitializeEx{
    "ole32.dll\0CoInitializeEx"};
inline constinit LateFunction<decltype(&::CoUninitialize)> CoUninitialize{
    "ole32.dll\0CoUninitialize"};
inline constinit LateFunction<decltype(&::CreateStreamOnHGlobal)> CreateStreamOnHGlobal{
    "ole32.dll\0CreateStreamOnHGlobal"};
inline constinit LateFunction<decltype(&::OleLoadPicture)> OleLoadPicture{
    "oleaut32.dll\0OleLoadPicture"};

// Accessibility tools only: the About window's link answers them as a link.
inline constinit LateFunction<decltype(&::SysAllocString)> SysAllocString{
    "oleaut32.dll\0SysAllocString"};
inline constinit LateFunction<decltype(&::CreateStdAccessibleObject)> CreateStdAccessibleObject{
    "oleacc.dll\0CreateStdAccessibleObject"};
inline constinit LateFunction<decltype(&::LresultFromObject)> LresultFromObject{
    "oleacc.dll\0LresultFromObject"};

// The console program imports no user32, which would bring the window
// station and its classes into every command: only the notice of a change
// loads it.
inline constinit LateFunction<decltype(&::SendMessageTimeoutW)> SendMessageTimeoutW{
    "user32.dll\0SendMessageTimeoutW"};

// Only /gpo asks the Group Policy engine to apply what it wrote.
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

// The common controls are the windows' alone: a command that needs no
// window loads none of them (comctl32 brings user32's window classes and
// the theme with it, a third of a command's start under Wine). The
// manifest makes the first load common controls 6.
inline constinit LateFunction<decltype(&::InitCommonControlsEx)> InitCommonControlsEx{
    "comctl32.dll\0InitCommonControlsEx"};
inline constinit LateFunction<decltype(&::SetWindowSubclass)> SetWindowSubclass{
    "comctl32.dll\0SetWindowSubclass"};
inline constinit LateFunction<decltype(&::DefSubclassProc)> DefSubclassProc{
    "comctl32.dll\0DefSubclassProc"};
inline constinit LateFunction<decltype(&::RemoveWindowSubclass)> RemoveWindowSubclass{
    "comctl32.dll\0RemoveWindowSubclass"};

// Common controls 6 only (Vista and later), which the manifest asks for.
inline constinit LateFunction<decltype(&::LoadIconWithScaleDown)> LoadIconWithScaleDown{
    "comctl32.dll\0LoadIconWithScaleDown"};

}  // namespace late
}  // namespace polvane
