#include "platform/Elevation.h"

#include <windows.h>

#include "platform/Handles.h"

namespace polvane {

// A deny-only group is no membership here; the thread's own token answers
// while it impersonates.
bool IsElevated() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  UniqueSid administrators;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, administrators.Put()))
    return false;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators.Get(), &member)) member = FALSE;
  return member != FALSE;
}

}  // namespace polvane
