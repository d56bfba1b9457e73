#pragma once
// The accounts whose policies Polvane shows: this process's own user, and a
// user named on the command line.
#include <windows.h>

#include <string>

#include "rules/ScopedOverride.h"

namespace polvane {

// This process's user as a SID string, S-1-5-21-...; empty if the token
// cannot tell.
std::string OwnSid();

// For tests, while it lives: OwnSid answers sid, as in a process that an
// administrator of another account elevated.
class OwnSidOverride : public ScopedOverride<std::string> {
 public:
  explicit OwnSidOverride(std::string sid);
};

struct Account {
  DWORD status = ERROR_SUCCESS;  // ERROR_NONE_MAPPED for a name no account has
  std::string sid;
};

// The account that user names: a SID string (S-1-...) as it is, once it is
// checked, or a name, DOMAIN\name or name, looked up as Windows does.
Account FindAccount(const std::string& user);

// The account's name as DOMAIN\name, or the SID itself where the system
// cannot name it.
std::wstring AccountName(const std::string& sid);

}  // namespace polvane
