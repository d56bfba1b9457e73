#include "platform/ChosenUser.h"

namespace polvane {

ChosenUser ChooseUser(const CommandServices& services, const std::string& user) {
  const std::string own = services.accounts.OwnSid();
  if (user.empty()) return {kSuccess, {}, own, {}};
  const Account account = services.accounts.Find(user);
  if (account.status != kSuccess) return {account.status, {}, {}, {}};
  if (account.sid == own) return {kSuccess, {}, own, {}};
  OpenedKey hive(RegKey{}, {&services.registry});
  const Win32Error status = services.registry.OpenKey(kUsers, account.sid.c_str(), hive.Put());
  if (status != kSuccess) {
    hive.Release();  // a failed open's handle is none
    return {status == kFileNotFound ? kNoSuchLogonSession : status, {}, {}, {}};
  }
  return {kSuccess, std::move(hive), account.sid, services.accounts.NameOf(account.sid)};
}

}  // namespace polvane
