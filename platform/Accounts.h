#pragma once
// The accounts whose policies Polvane shows: this process's own user, and a
// user named on the command line.
#include <windows.h>

#include <string>

#include "seams/Services.h"

namespace polvane {

// This process's user, from its token.
class SystemAccounts final : public Accounts {
 public:
  std::string OwnSid() override;
};

struct Account {
  // ERROR_NONE_MAPPED for a name no account has, ERROR_INVALID_SID for a
  // SID that is none, ERROR_NO_SUCH_USER for a group.
  Win32Error status = kSuccess;
  std::string sid;
};

// The account that user names: a SID string (S-1-...) as it is, once it is
// checked, or a name, DOMAIN\name or name, looked up as Windows does.
Account FindAccount(const std::string& user);

// The account's name as DOMAIN\name, or the SID itself where the system
// cannot name it.
std::wstring AccountName(const std::string& sid);

}  // namespace polvane
