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
  constexpr LateProc(const wchar_t* dll, const char* name) : dll_(dll), name_(name) {}
  // The function, or null; looked up the first time only. The program asks
  // from its one thread.
  void (*Resolve() const)();

 private:
  const wchar_t* dll_;
  const char* name_;
  mutable void (*proc_)() = nullptr;
  mutable bool tried_ = false;
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

// shell32.dll brings shcore, shlwapi and uxtheme with it: only a command
// line with arguments, a link and a restart as administrator need it.
inline constinit LateFunction<decltype(&::CommandLineToArgvW)> CommandLineToArgvW{
    L"shell32.dll", "CommandLineToArgvW"};
inline constinit LateFunction<decltype(&::ShellExecuteA)> ShellExecuteA{L"shell32.dll",
                                                                        "ShellExecuteA"};
inline constinit LateFunction<decltype(&::ShellExecuteExW)> ShellExecuteExW{L"shell32.dll",
                                                                            "ShellExecuteExW"};

// COM (ole32 and oleaut32) serves the shell's calls and the About window's
// banner, which OLE's picture loader reads.
inline constinit LateFunction<decltype(&::CoInitializeEx)> CoInitializeEx{L"ole32.dll",
                                                                          "CoInitializeEx"};
inline constinit LateFunction<decltype(&::CoUninitialize)> CoUninitialize{L"ole32.dll",
                                                                          "CoUninitialize"};
inline constinit LateFunction<decltype(&::CreateStreamOnHGlobal)> CreateStreamOnHGlobal{
    L"ole32.dll", "CreateStreamOnHGlobal"};
inline constinit LateFunction<decltype(&::OleLoadPicture)> OleLoadPicture{L"oleaut32.dll",
                                                                          "OleLoadPicture"};

// Accessibility tools only: the About window's link answers them as a link.
inline constinit LateFunction<decltype(&::SysAllocString)> SysAllocString{L"oleaut32.dll",
                                                                          "SysAllocString"};
inline constinit LateFunction<decltype(&::CreateStdAccessibleObject)> CreateStdAccessibleObject{
    L"oleacc.dll", "CreateStdAccessibleObject"};
inline constinit LateFunction<decltype(&::LresultFromObject)> LresultFromObject{
    L"oleacc.dll", "LresultFromObject"};

// The About window's version lines, read from the program's own record.
inline constinit LateFunction<decltype(&::GetFileVersionInfoSizeW)> GetFileVersionInfoSizeW{
    L"version.dll", "GetFileVersionInfoSizeW"};
inline constinit LateFunction<decltype(&::GetFileVersionInfoW)> GetFileVersionInfoW{
    L"version.dll", "GetFileVersionInfoW"};
inline constinit LateFunction<decltype(&::VerQueryValueW)> VerQueryValueW{L"version.dll",
                                                                          "VerQueryValueW"};

// Only /gpo asks the Group Policy engine to apply what it wrote.
inline constinit LateFunction<RefreshPolicyExFunction> RefreshPolicyEx{L"userenv.dll",
                                                                       "RefreshPolicyEx"};

// Per-monitor dpi: Windows 10's user32 (1607 and later) and Windows 8.1's
// shcore. Older Windows lacks them, and the window scales by the system dpi.
inline constinit LateFunction<AdjustForDpiFunction> AdjustWindowRectExForDpi{
    L"user32.dll", "AdjustWindowRectExForDpi"};
inline constinit LateFunction<MetricForDpiFunction> GetSystemMetricsForDpi{
    L"user32.dll", "GetSystemMetricsForDpi"};
inline constinit LateFunction<GetWindowContextFunction> GetWindowDpiAwarenessContext{
    L"user32.dll", "GetWindowDpiAwarenessContext"};
inline constinit LateFunction<ContextsEqualFunction> AreDpiAwarenessContextsEqual{
    L"user32.dll", "AreDpiAwarenessContextsEqual"};
inline constinit LateFunction<GetDpiForWindowFunction> GetDpiForWindow{L"user32.dll",
                                                                       "GetDpiForWindow"};
inline constinit LateFunction<GetDpiForMonitorFunction> GetDpiForMonitor{L"shcore.dll",
                                                                         "GetDpiForMonitor"};

// Common controls 6 only (Vista and later), which the manifest asks for.
inline constinit LateFunction<decltype(&::LoadIconWithScaleDown)> LoadIconWithScaleDown{
    L"comctl32.dll", "LoadIconWithScaleDown"};

}  // namespace late
}  // namespace polvane
