#include "program/Startup.h"

#include <windows.h>

#include "platform/ChosenUser.h"
#include "platform/Console.h"
#include "platform/PolicyNotice.h"
#include "platform/SystemMessage.h"
#include "platform/Text.h"
#include "rules/CommandLine.h"
#include "rules/Commands.h"
#include "rules/Messages.h"

namespace polvane {

int RunWithoutWindow(const Services& services, const Command& command) {
  ConsoleOutput output;
  const std::optional<std::string> named = RegistryUserOf(command);
  const ChosenUser user = named ? ChooseUser(services, *named) : ChosenUser{};
  CommandResult result;
  // /user's codes are Windows' own answers about the account, each with the
  // one meaning the reference gives it.
  const bool userCode = user.status == kNoSuchLogonSession || user.status == kNotAUser ||
                        user.status == kNoneMapped || user.status == kInvalidSid;
  result.Report(userCode ? static_cast<int>(user.status) : FailureExitCode(user.status));
  if (user.status != kSuccess)
    output.Err(UserFailureMessage(*named, user.status, SystemReason(user.status)));
  else
    result = RunCommand(
        PolicyStore{services.registry, user.Root(), Narrow(user.otherName.c_str(), CP_UTF8),
                    services.elevation.IsElevated()},
        command, output, SystemReason, services.files, services.groupPolicy);
  if (result.changed) AnnouncePolicyChange();
  // Output that was lost is no success.
  result.Report(FailureExitCode(static_cast<Win32Error>(output.WriteFailure())));
  // Started where nothing can be printed (a shortcut, Explorer), only the
  // help is shown, in a box short enough for any screen; everything else runs
  // unattended, and its exit code tells.
  if (std::holds_alternative<HelpCommand>(command) && output.Unprinted())
    ShowMessage(nullptr, BriefUsageText(), MB_OK | MB_ICONINFORMATION);
  return result.exitCode;
}

}  // namespace polvane
