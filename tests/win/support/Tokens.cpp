#include "tests/win/support/Tokens.h"

#include <gtest/gtest.h>

namespace polvane::test {

UniqueKernelHandle FilteredToken() {
  HANDLE opened = nullptr, filtered = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &opened);
  const UniqueKernelHandle token(opened);
  BYTE administrators[SECURITY_MAX_SID_SIZE]{};
  DWORD size = sizeof administrators;
  CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size);
  SID_AND_ATTRIBUTES denyOnly{administrators, 0};
  EXPECT_TRUE(
      CreateRestrictedToken(token.Get(), 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &filtered));
  return UniqueKernelHandle(filtered);
}

RunFiltered::RunFiltered() {
  const UniqueKernelHandle filtered = FilteredToken();
  HANDLE duplicated = nullptr;
  DuplicateToken(filtered.Get(), SecurityImpersonation, &duplicated);
  const UniqueKernelHandle impersonation(duplicated);
  EXPECT_TRUE(SetThreadToken(nullptr, impersonation.Get()));
}

RunFiltered::~RunFiltered() { SetThreadToken(nullptr, nullptr); }

}  // namespace polvane::test
