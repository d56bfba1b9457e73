#include "rules/Messages.h"

#include <utility>

#include "rules/Ascii.h"
#include "rules/Decimal.h"

namespace polvane {
namespace {

std::string Trimmed(const std::string& text) { return std::string(Trim(text, "\r\n ")); }

std::string ScopeFailure(const char* what, const std::string& scope, const std::string& reason) {
  return Joined({"The settings could not be ", what, " for ", scope, ".\n\n", reason});
}

// Why an administrator is refused: no elevation would help.
std::string KeyRefusesAdministrators(const std::string& scope) {
  return Joined(
      {"Polvane runs with an administrator's rights, but the security of the registry "
       "key that holds the Messenger policies of ",
       scope, " refuses even administrators here."});
}

}  // namespace

std::string ScopeName(bool allUsers, const std::string& otherUser) {
  if (allUsers) return "all users";
  return otherUser.empty() ? "the current user" : otherUser;
}

std::string SaveFailureMessage(const std::string& scope, Win32Error status,
                               std::string systemReason, bool elevated) {
  systemReason = Trimmed(systemReason);
  if (systemReason.empty()) systemReason = Joined({"Error ", Decimal(status), "."});
  std::string text = ScopeFailure("saved", scope, systemReason);
  if (status != kAccessDenied) return text;
  if (elevated) return Joined({text, "\n\n", KeyRefusesAdministrators(scope)});
  return Joined({text,
                 "\n\nWindows lets only administrators change policies, in either scope: "
                 "saving them for ",
                 scope, " needs Polvane run as an administrator."});
}

std::string RefusedChangeMessage(const std::string& scope, bool elevated) {
  if (elevated)
    return Joined({"Access is denied: ", KeyRefusesAdministrators(scope), " Nothing was written."});
  return Joined({"Access is denied: the Messenger policies of ", scope,
                 " are changed by an administrator (from an elevated prompt) or through Group "
                 "Policy. Nothing was written."});
}

std::string UserFailureMessage(const std::string& given, Win32Error status,
                               std::string systemReason) {
  const std::string user = Printable(given);
  constexpr char kNothing[] = ". Nothing was read or written.";
  switch (status) {
    case kNoneMapped:
      return Joined({"No account is named ", user, kNothing});
    case kInvalidSid:
      return Joined({user, " is no valid SID: one looks like S-1-5-21-...-1001", kNothing});
    case kNotAUser:
      return Joined({user, " is a group, not a user: /user names one signed-in user", kNothing});
    case kNoSuchLogonSession:
      return Joined(
          {user, " is not signed in on this computer, so their policies are not loaded", kNothing});
    default:
      return Joined({"The policies of ", user, " cannot be reached: ", Trimmed(systemReason)});
  }
}

std::string StartFailureMessage(std::string systemReason) {
  return Joined({"Polvane could not open its window, and ends.\n\n", Trimmed(systemReason)});
}

std::string WindowStartFailureMessage(const std::string& path, std::string systemReason) {
  return Printable(Joined({"The window could not be opened: ", path,
                           " could not be started: ", Trimmed(systemReason)}));
}

std::string RestartFailureMessage(std::string systemReason) {
  return Joined({"Polvane could not be started as an administrator; nothing has changed.\n\n",
                 Trimmed(systemReason)});
}

std::string LoadFailureMessage(const std::string& scope, std::string systemReason) {
  return Joined({ScopeFailure("read", scope, Trimmed(systemReason)),
                 "\n\nThe boxes show what could be read; the rest are shown clear."});
}

}  // namespace polvane
