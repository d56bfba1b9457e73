#include "rules/mdlMain.h"

#include "rules/PolicyTable.h"
#include "rules/mdlRegistry.h"

namespace polvane {

bool AllUsersChosen(OptionPanel& panel) {
  return panel.Option(OptionPanel::kScopeOption).Value() != kUnchecked;
}

CheckValue CheckValueFromStored(std::int32_t stored) {
  switch (stored) {
    case kUnchecked:
    case kChecked:
    case kGreyed:
      return static_cast<CheckValue>(stored);
    default:
      return kChecked;
  }
}

Win32Error LoadPolicies(const PolicyStore& store, OptionPanel& panel, bool allUsers) {
  const RegKey root = store.Root(allUsers);
  Win32Error first = kSuccess;
  for (const PolicyRow& row : kPolicyTable) {
    const DwordRead read = ReadDWORD(store.registry, root, kPolicyKeyPath, row.valueName);
    BoxOf(panel, row)
        .SetValue(CheckValueFromStored(static_cast<std::int32_t>(read.value.value_or(0))));
    if (first == kSuccess) first = read.status;
  }
  return first;
}

Win32Error SavePolicies(const PolicyStore& store, OptionPanel& panel, bool allUsers) {
  const RegKey root = store.Root(allUsers);
  Win32Error first = kSuccess;
  for (const PolicyRow& row : kPolicyTable) {
    const std::int32_t stored = BoxOf(panel, row).Value();  // sign-extends
    const Win32Error status =
        WriteDWORD(store.registry, root, kPolicyKeyPath, row.valueName, stored);
    if (first == kSuccess) first = status;
  }
  return first;
}

void ResetOptionPanel(OptionPanel& panel) {
  panel.Option(OptionPanel::kMasterOption).SetValue(kUnchecked);
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i)
    panel.SubOption(i).SetValue(kUnchecked);
}

void UpdateSubOptions(OptionPanel& panel) {
  const CheckValue master = panel.Option(OptionPanel::kMasterOption).Value();
  if (master != kChecked && master != kUnchecked) return;  // greyed: leave as it is
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i)
    panel.SubOption(i).SetEnabled(master == kUnchecked);
}

}  // namespace polvane
