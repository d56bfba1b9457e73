#include "platform/Elevation.h"

#include <windows.h>

namespace polvane {
namespace {

const bool* g_override = nullptr;

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

bool TokenSaysElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return InAdministrators();
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool known =
      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != FALSE;
  CloseHandle(token);
  return known ? elevation.TokenIsElevated != 0 : InAdministrators();
}

}  // namespace

bool ProcessIsElevated() { return g_override ? *g_override : TokenSaysElevated(); }

ElevationOverride::ElevationOverride(bool elevated) : previous_(g_override), elevated_(elevated) {
  g_override = &elevated_;
}

ElevationOverride::~ElevationOverride() { g_override = previous_; }

}  // namespace polvane
