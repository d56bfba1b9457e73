#include "rules/mdlMain.h"

#include "rules/Ascii.h"
#include "rules/Decimal.h"
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

namespace {

PolicyAsStored AsStored(const DwordRead& read) {
  if (read.status == kSuccess && read.value) return {PolicyAsStored::Kind::Number, *read.value};
  if (read.status == kSuccess && !read.present) return {};
  return {PolicyAsStored::Kind::Other};
}

std::string Described(const PolicyAsStored& value) {
  switch (value.kind) {
    case PolicyAsStored::Kind::Number:
      return Decimal(value.number);
    case PolicyAsStored::Kind::None:
      return "not set";
    case PolicyAsStored::Kind::Other:
      break;
  }
  return "not a 4-byte REG_DWORD, or unreadable";
}

}  // namespace

StoredPolicies ReadStoredPolicies(const PolicyStore& store, bool allUsers) {
  StoredPolicies stored;
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
    stored[row] = AsStored(ReadDWORD(store.registry, store.Root(allUsers), kPolicyKeyPath,
                                     kPolicyTable[row].valueName));
  return stored;
}

StoredPolicies PanelAsStored(OptionPanel& panel) {
  StoredPolicies stored;
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
    stored[row] = {PolicyAsStored::Kind::Number,
                   static_cast<std::uint32_t>(BoxOf(panel, kPolicyTable[row]).Value())};
  return stored;
}

Win32Error LoadPolicies(const PolicyStore& store, OptionPanel& panel, bool allUsers,
                        StoredPolicies* loaded) {
  const RegKey root = store.Root(allUsers);
  FirstFailure first;
  for (std::size_t i = 0; i < kPolicyTable.size(); ++i) {
    const PolicyRow& row = kPolicyTable[i];
    const DwordRead read = ReadDWORD(store.registry, root, kPolicyKeyPath, row.valueName);
    BoxOf(panel, row)
        .SetValue(CheckValueFromStored(static_cast<std::int32_t>(read.value.value_or(0))));
    if (loaded) (*loaded)[i] = AsStored(read);
    first(read.status);
  }
  return first.status;
}

std::vector<ChangedBehind> ChangedSinceLoad(const StoredPolicies& loaded, const StoredPolicies& now,
                                            OptionPanel& panel) {
  std::vector<ChangedBehind> changed;
  const StoredPolicies written = PanelAsStored(panel);
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
    if (now[row] != loaded[row] && now[row] != written[row])
      changed.push_back({row, now[row], static_cast<std::int32_t>(written[row].number)});
  return changed;
}

std::string ChangedBehindMessage(const std::string& scope,
                                 const std::vector<ChangedBehind>& changed) {
  std::string text =
      Joined({"Since Polvane showed them, another program changed the policies of ", scope, ":\n"});
  for (const ChangedBehind& value : changed)
    text += Joined({"\n", kPolicyTable[value.row].valueName, " is now ", Described(value.now),
                    "; Save would write ", Decimal(static_cast<std::int64_t>(value.toWrite)), "."});
  return text +
         "\n\nSave the window's values anyway? Yes saves them, No shows what is stored now, "
         "Cancel leaves both as they are.";
}

Win32Error SavePolicies(const PolicyStore& store, OptionPanel& panel, bool allUsers) {
  const RegKey root = store.Root(allUsers);
  FirstFailure first;
  for (const PolicyRow& row : kPolicyTable) {
    const std::int32_t stored = BoxOf(panel, row).Value();  // sign-extends
    first(WriteDWORD(store.registry, root, kPolicyKeyPath, row.valueName, stored));
  }
  return first.status;
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
