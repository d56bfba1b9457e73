#include "program/Startup.h"

#include <windows.h>

#include "platform/ChosenUser.h"
#include "platform/Console.h"
#include "platform/Elevation.h"
#include "platform/PolicyNotice.h"
#include "platform/SystemMessage.h"
#include "platform/Text.h"
#include "rules/CommandLine.h"
#include "rules/Commands.h"
#include "rules/Messages.h"

namespace polvane {

int RunWithoutWindow(const CommandServices& services, const Command& command,
                     ConsoleOutput& output) {
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
                    IsElevated()},
        command, output, SystemReason, services.files, services.groupPolicy);
  if (result.changed) AnnouncePolicyChange();
  // Output that was lost is no success.
  output.Flush();
  result.Report(FailureExitCode(static_cast<Win32Error>(output.WriteFailure())));
  return result.exitCode;
}

}  // namespace polvane
