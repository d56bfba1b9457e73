#include "rules/WindowEdits.h"

#include "rules/Ascii.h"
#include "rules/Decimal.h"
#include "rules/PolicyTable.h"
#include "rules/mdlMain.h"

namespace polvane {

std::string EditArguments(OptionPanel& panel, const std::string& userSid) {
  std::string arguments = AllUsersChosen(panel) ? "/allusers /edit" : "/edit";
  for (const PolicyRow& row : kPolicyTable)
    arguments += Joined({" ", row.valueName, "=", Decimal(BoxOf(panel, row).Value())});
  if (!userSid.empty()) arguments += " /user:" + userSid;
  return arguments;
}

void ApplyEdits(const WindowCommand& command, OptionPanel& panel) {
  for (const PolicySetting& setting : command.edits)
    BoxOf(panel, kPolicyTable[setting.row]).SetValue(static_cast<CheckValue>(setting.value));
}

}  // namespace polvane
