#include "rules/Messages.h"

#include "rules/Decimal.h"

namespace polvane {

std::string SaveFailureMessage(bool allUsers, RegStatus status, std::string systemReason) {
  while (!systemReason.empty() &&
         (systemReason.back() == '\n' || systemReason.back() == '\r' || systemReason.back() == ' '))
    systemReason.pop_back();
  if (systemReason.empty()) systemReason = "Error " + Decimal(status) + ".";

  std::string text = "The settings could not be saved for ";
  text += allUsers ? "all users." : "the current user.";
  text += "\n\n" + systemReason;
  if (allUsers && status == kRegAccessDenied)
    text += "\n\nChanging settings for all users needs Polvane run as an administrator.";
  return text;
}

}  // namespace polvane
