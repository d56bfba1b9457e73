#include "platform/LocalGroupPolicy.h"

#include <windows.h>

#include "platform/LastError.h"
#include "platform/LateBound.h"
#include "platform/Text.h"
#include "platform/Handles.h"

namespace polvane {
namespace {

bool EngineRuns() {
  const UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  const UniqueService service(manager ? OpenServiceW(manager.Get(), L"gpsvc", SERVICE_QUERY_STATUS)
                                      : nullptr);
  SERVICE_STATUS status{};
  return service && QueryServiceStatus(service.Get(), &status) &&
         status.dwCurrentState == SERVICE_RUNNING;
}

}  // namespace

std::string LocalGroupPolicy::Folder() {
  wchar_t windows[MAX_PATH] = L"C:\\Windows";
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  // A 32-bit process on 64-bit Windows finds SysWOW64 behind System32; the
  // engine reads the 64-bit System32, which such a process calls Sysnative.
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  return Narrow(windows, CP_UTF8) + (wow64 ? "\\Sysnative" : "\\System32") + "\\GroupPolicy";
}

Win32Error LocalGroupPolicy::Refresh(bool machine) {
  if (!EngineRuns()) return kNoPolicyEngine;
  const auto refresh = late::RefreshPolicyEx.Get();
  if (!refresh) return ERROR_PROC_NOT_FOUND;
  return refresh(machine, 0) ? kSuccess : LastErrorOr(ERROR_GEN_FAILURE);
}

}  // namespace polvane
