#include "rules/Messages.h"

#include <utility>

#include "rules/Ascii.h"
#include "rules/Decimal.h"

namespace polvane {
namespace {

std::string Trimmed(const std::string& text) { return std::string(Trim(text, "\r\n ")); }

std::string ScopeFailure(const char* what, bool allUsers, const std::string& reason) {
  return Joined(
      {"The settings could not be ", what, " for ", ScopeName(allUsers), ".\n\n", reason});
}

}  // namespace

std::string ScopeName(bool allUsers) { return allUsers ? "all users" : "the current user"; }

std::string SaveFailureMessage(bool allUsers, Win32Error status, std::string systemReason) {
  systemReason = Trimmed(systemReason);
  if (systemReason.empty()) systemReason = Joined({"Error ", Decimal(status), "."});
  std::string text = ScopeFailure("saved", allUsers, systemReason);
  if (status == kAccessDenied)
    text += allUsers ? "\n\nChanging settings for all users needs Polvane run as an administrator."
                     : "\n\nWindows lets only administrators change a user's policies, the "
                       "current user's too: they need Polvane run as an administrator.";
  return text;
}

std::string RefusedChangeMessage(bool allUsers) {
  return Joined({"Access is denied: the Messenger policies of ", ScopeName(allUsers),
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

std::string RestartFailureMessage(std::string systemReason) {
  return Joined({"Polvane could not be started as an administrator; nothing has changed.\n\n",
                 Trimmed(systemReason)});
}

std::string LoadFailureMessage(bool allUsers, std::string systemReason) {
  return Joined({ScopeFailure("read", allUsers, Trimmed(systemReason)),
                 "\n\nThe boxes show what could be read; the rest are shown clear."});
}

}  // namespace polvane
