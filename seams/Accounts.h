#pragma once
// The accounts whose policies Polvane shows: this process's own user, and a
// user named on the command line. The system's accounts in the program; in
// tests, the system's with a stated own SID where Wine has only one user.
#include <string>

#include "seams/Win32Error.h"

namespace polvane {

struct Account {
  // ERROR_NONE_MAPPED for a name no account has, ERROR_INVALID_SID for a
  // SID that is none, ERROR_NO_SUCH_USER for a group.
  Win32Error status = kSuccess;
  std::string sid;
};

class Accounts {
 public:
  // This process's user as a SID string, S-1-5-21-...; empty if the token
  // cannot tell.
  virtual std::string OwnSid() = 0;
  // The account that user names: a SID string (S-1-...) as it is, once it
  // is checked, or a name, DOMAIN\name or name, looked up as Windows does.
  virtual Account Find(const std::string& user) = 0;
  // The account's name as DOMAIN\name, or the SID itself where the system
  // cannot name it.
  virtual std::wstring NameOf(const std::string& sid) = 0;

 protected:
  ~Accounts() = default;
};

}  // namespace polvane
