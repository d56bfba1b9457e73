#include "platform/ChosenUser.h"

#include "platform/Accounts.h"

namespace polvane {

ChosenUser ChooseUser(const CommandServices& services, const std::string& user) {
  const std::string own = services.accounts.OwnSid();
  if (user.empty()) return {kSuccess, {}, own, {}};
  const Account account = FindAccount(user);
  if (account.status != ERROR_SUCCESS) return {account.status, {}, {}, {}};
  if (account.sid == own) return {kSuccess, {}, own, {}};
  RegKey hive{};
  const Win32Error status = services.registry.OpenKey(kUsers, account.sid.c_str(), &hive);
  if (status != kSuccess)
    return {status == kFileNotFound ? kNoSuchLogonSession : status, {}, {}, {}};
  return {kSuccess, OpenedKey(hive, {&services.registry}), account.sid, AccountName(account.sid)};
}

}  // namespace polvane
