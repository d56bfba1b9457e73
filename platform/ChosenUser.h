#pragma once
// The user whose policies the current user's scope shows: this process's own,
// or another signed-in user that /user names.
#include <string>

#include "rules/mdlRegistry.h"
#include "seams/Services.h"

namespace polvane {

struct ChosenUser {
  Win32Error status = kSuccess;  // why that user's policies cannot be reached
  OpenedKey hive;                // another user's, open while it is used
  std::string sid;
  std::wstring otherName;  // DOMAIN\name, when it is not this process's user

  // Where their policies live.
  RegKey Root() const { return hive ? hive.Get() : kCurrentUser; }
};

// Finds the user that user names (a name or a SID): this process's own user
// when it is empty or names them, whose policies are in HKEY_CURRENT_USER;
// otherwise that user's hive under HKEY_USERS, which is loaded while they
// are signed in, and stays open for as long as the result. A user with no
// account fails with ERROR_NONE_MAPPED, one who is not signed in with
// ERROR_NO_SUCH_LOGON_SESSION.
ChosenUser ChooseUser(const CommandServices& services, const std::string& user);

}  // namespace polvane
