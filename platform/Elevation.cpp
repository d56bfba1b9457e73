#include "platform/Elevation.h"

#include <shellapi.h>

#include "platform/Handles.h"
#include "platform/LastError.h"
#include "platform/ProgramVersion.h"
#include "platform/ComApartment.h"
#include "platform/LateBound.h"
#include "platform/Text.h"

namespace polvane {
namespace {

// How long the new process may take to be ready for input before the old one
// stops waiting for it.
constexpr DWORD kStartWaitMs = 10000;

// A deny-only group is no membership here; the thread's own token answers
// while it impersonates.
bool InAdministrators() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID allocated = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &allocated))
    return false;
  const UniqueSid administrators(allocated);
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators.Get(), &member)) member = FALSE;
  return member != FALSE;
}

}  // namespace

bool SystemElevation::IsElevated() { return InAdministrators(); }

DWORD SystemElevation::StartElevated(HWND owner, const std::string& arguments) {
  const std::wstring program = program_.empty() ? ProgramPath() : program_;
  const std::wstring parameters = Widen(arguments, CP_UTF8);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpVerb = L"runas";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  const auto execute = late::ShellExecuteExW.Get();
  if (!execute) return ERROR_PROC_NOT_FOUND;
  EnsureComApartment();
  if (!execute(&info)) return LastErrorOr(ERROR_GEN_FAILURE);
  const UniqueKernelHandle process(info.hProcess);
  if (const auto wait = late::WaitForInputIdle.Get(); process && wait)
    wait(process.Get(), kStartWaitMs);
  return ERROR_SUCCESS;
}

}  // namespace polvane
