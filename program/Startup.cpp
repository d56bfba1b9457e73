#include "program/Startup.h"

#include <windows.h>

#include "platform/Accounts.h"
#include "platform/Console.h"
#include "platform/PolicyNotice.h"
#include "platform/SystemMessage.h"
#include "rules/Messages.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"
#include "ui/frmMain.h"

namespace polvane {
ChosenUser ChooseUser(const Services& services, const std::string& user) {
  const std::string own = services.accounts.OwnSid();
  if (user.empty()) return {kRegSuccess, {}, own, {}};
  const Account account = FindAccount(user);
  if (account.status != ERROR_SUCCESS) return {static_cast<RegStatus>(account.status), {}, {}, {}};
  if (account.sid == own) return {kRegSuccess, {}, own, {}};
  RegKey hive{};
  const RegStatus status = services.registry.OpenKey(kUsers, account.sid.c_str(), &hive);
  if (status != kRegSuccess)
    return {status == kRegFileNotFound ? kRegNoSuchLogonSession : status, {}, {}, {}};
  return {kRegSuccess, OpenedKey(hive, {&services.registry}), account.sid,
          AccountName(account.sid)};
}

int Main(frmMain& form, const WindowCommand& command) {
  ChosenUser user = ChooseUser(form.System(), command.scope.user);
  if (user.status != kRegSuccess) {
    const std::string text =
        UserFailureMessage(command.scope.user, user.status, SystemReason(user.status));
    ShowMessage(nullptr, text, MB_OK | MB_ICONERROR);
    return static_cast<int>(user.status);
  }
  if (const DWORD failure = form.Load()) {
    ShowMessage(nullptr, StartFailureMessage(SystemReason(static_cast<long>(failure))),
                MB_OK | MB_ICONERROR);
    form.Destroy();
    return static_cast<int>(failure);
  }
  form.SetUser(std::move(user.hive), user.sid, user.otherName);
  form.Show();
  if (command.scope.allUsers)
    form.Option(OptionPanel::kScopeOption).SetValue(kChecked);  // its click loads every user's
  else
    form.LoadChosenScope();
  ApplyEdits(command, form);
  UpdateSubOptions(form);
  return 0;
}

int RunWithoutWindow(const Services& services, const Command& command) {
  ConsoleOutput output;
  const std::optional<std::string> named = RegistryUserOf(command);
  const ChosenUser user = named ? ChooseUser(services, *named) : ChosenUser{};
  CommandResult result{static_cast<int>(user.status)};
  if (user.status != kRegSuccess)
    output.Err(UserFailureMessage(*named, user.status, SystemReason(user.status)));
  else
    result = RunCommand(PolicyStore{services.registry, user.Root()}, command, output, SystemReason,
                        services.files, services.groupPolicy);
  if (result.changed) AnnouncePolicyChange();
  // Output that was lost is no success.
  if (result.exitCode == 0) result.exitCode = static_cast<int>(output.WriteFailure());
  // Started where nothing can be printed (a shortcut, Explorer), only the
  // help is shown, in a box; everything else runs unattended, and its exit
  // code tells.
  if (std::holds_alternative<HelpCommand>(command) && !output.Unwritten().empty())
    ShowMessage(nullptr, output.Unwritten(), MB_OK | MB_ICONINFORMATION);
  return result.exitCode;
}

}  // namespace polvane
