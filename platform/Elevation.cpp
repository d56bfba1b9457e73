#include "platform/Elevation.h"

#include <shellapi.h>

#include <utility>

#include "platform/ProgramVersion.h"
#include "platform/Text.h"

namespace polvane {
namespace {

const ElevatedStart* g_start = nullptr;

// How long the new process may take to be ready for input before the old one
// stops waiting for it.
constexpr DWORD kStartWaitMs = 10000;

// A deny-only group is no membership here; the thread's own token answers
// while it impersonates.
bool InAdministrators() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &administrators))
    return false;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

}  // namespace

bool ProcessIsElevated() { return InAdministrators(); }

DWORD StartElevated(HWND owner, const std::string& arguments) {
  if (g_start && g_start->failure != ERROR_SUCCESS) return g_start->failure;
  const std::wstring program = g_start ? g_start->program : ProgramPath();
  const std::wstring parameters = Widen(arguments, CP_UTF8);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpVerb = L"runas";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
  }
  if (info.hProcess) {
    WaitForInputIdle(info.hProcess, kStartWaitMs);
    CloseHandle(info.hProcess);
  }
  return ERROR_SUCCESS;
}

ElevatedStartOverride::ElevatedStartOverride(std::wstring program)
    : ScopedOverride(g_start, {std::move(program), ERROR_SUCCESS}) {}

ElevatedStartOverride::ElevatedStartOverride(DWORD failure)
    : ScopedOverride(g_start, {{}, failure}) {}

}  // namespace polvane
