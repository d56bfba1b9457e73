#include "rules/Messages.h"

#include <utility>

#include "rules/Decimal.h"

namespace polvane {
namespace {

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

std::string ScopeFailure(const char* what, bool allUsers, const std::string& reason) {
  return std::string("The settings could not be ") + what + " for " +
         (allUsers ? "all users." : "the current user.") + "\n\n" + reason;
}

}  // namespace

std::string SaveFailureMessage(bool allUsers, RegStatus status, std::string systemReason) {
  systemReason = Trimmed(std::move(systemReason));
  if (systemReason.empty()) systemReason = "Error " + Decimal(status) + ".";
  std::string text = ScopeFailure("saved", allUsers, systemReason);
  if (allUsers && status == kRegAccessDenied)
    text += "\n\nChanging settings for all users needs Polvane run as an administrator.";
  return text;
}

std::string RestartFailureMessage(std::string systemReason) {
  return "Polvane could not be started as an administrator; nothing has changed.\n\n" +
         Trimmed(std::move(systemReason));
}

std::string LoadFailureMessage(bool allUsers, std::string systemReason) {
  return ScopeFailure("read", allUsers, Trimmed(std::move(systemReason))) +
         "\n\nThe boxes show what could be read; the rest are shown clear.";
}

}  // namespace polvane
