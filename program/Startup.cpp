#include "program/Startup.h"

#include <windows.h>

#include "platform/Accounts.h"
#include "platform/Console.h"
#include "platform/PolicyNotice.h"
#include "platform/Shell.h"
#include "platform/SystemMessage.h"
#include "rules/Messages.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"
#include "ui/frmMain.h"

namespace polvane {
namespace {

// Another user's hive, open for as long as Polvane shows their policies.
OpenedKey g_userHive;

}  // namespace

ChosenUser ChooseUser(const std::string& user) {
  UseUserRoot(kCurrentUser);
  g_userHive = {};
  const std::string own = OwnSid();
  if (user.empty()) return {kRegSuccess, own, {}};
  const Account account = FindAccount(user);
  if (account.status != ERROR_SUCCESS) return {static_cast<RegStatus>(account.status), {}, {}};
  if (account.sid == own) return {kRegSuccess, own, {}};
  RegKey hive{};
  const RegStatus status = Registry().OpenKey(kUsers, account.sid.c_str(), &hive);
  if (status != kRegSuccess)
    return {status == kRegFileNotFound ? kRegNoSuchLogonSession : status, {}, {}};
  g_userHive = OpenedKey(Registry(), hive);
  UseUserRoot(hive);
  return {kRegSuccess, account.sid, AccountName(account.sid)};
}

int Main(frmMain& form, const Command& command) {
  const ChosenUser user = ChooseUser(command.user);
  if (user.status != kRegSuccess) {
    const std::string text =
        UserFailureMessage(command.user, user.status, SystemReason(user.status));
    MessageBoxA(nullptr, text.c_str(), kProgramTitle, MB_OK | MB_ICONERROR);
    return static_cast<int>(user.status);
  }
  // Links opened after the main window has closed get no owner; asking for
  // the handle never creates the window again.
  SetShellOwner([&form] { return form.Hwnd(); });
  form.Load();
  form.SetUser(user.sid, user.otherName);
  form.Show();
  if (command.allUsers)
    form.Option(OptionPanel::kScopeOption).SetValue(kChecked);  // its click loads every user's
  else
    form.LoadChosenScope();
  ApplyEdits(command, form);
  UpdateSubOptions(form);
  return 0;
}

int RunWithoutWindow(const Command& command) {
  ConsoleOutput output;
  const bool changed = command.kind == CommandKind::Set || command.kind == CommandKind::Unset;
  const ChosenUser user =
      changed || command.kind == CommandKind::Show ? ChooseUser(command.user) : ChosenUser{};
  int exitCode = static_cast<int>(user.status);
  if (user.status != kRegSuccess)
    output.Err(UserFailureMessage(command.user, user.status, SystemReason(user.status)));
  else
    exitCode = RunCommand(command, output, SystemReason);
  if (changed && exitCode == 0) AnnouncePolicyChange();
  // Started where nothing can be printed (a shortcut, Explorer), what the
  // user asked to see, or why the command line is wrong, is shown in a box.
  // A change made unattended never waits on one: its exit code tells.
  const bool asked = command.kind == CommandKind::Show || command.kind == CommandKind::Help ||
                     command.kind == CommandKind::Invalid;
  if (asked && !output.Unwritten().empty())
    MessageBoxA(nullptr, output.Unwritten().c_str(), kProgramTitle,
                exitCode == 0 ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONERROR);
  return exitCode;
}

}  // namespace polvane
