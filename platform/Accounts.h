#pragma once
// The system's accounts: this process's user from its token, and users and
// SIDs looked up as Windows does.
#include "seams/Accounts.h"

namespace polvane {

class SystemAccounts final : public Accounts {
 public:
  std::string OwnSid() override;
  Account Find(const std::string& user) override;
  std::wstring NameOf(const std::string& sid) override;
};

}  // namespace polvane
