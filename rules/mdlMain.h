#pragma once
// The policy rules: loading the five values into the check boxes, saving them
// back, and greying out the sub-options while Messenger is disabled.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rules/CheckValue.h"
#include "rules/OptionPanel.h"
#include "rules/PolicyStore.h"

namespace polvane {

// True exactly when the scope option ("All Users") is not clear.
bool AllUsersChosen(OptionPanel& panel);

// Any stored number that is not 0, 1 or 2 shows as checked: Messenger treats
// every non-zero value as in force.
CheckValue CheckValueFromStored(std::int32_t stored);

// One of the five values as it is stored, as far as a save is concerned.
struct PolicyAsStored {
  enum class Kind { Number, None, Other } kind = Kind::None;  // Other: another type, unreadable
  std::uint32_t number = 0;
  bool operator==(const PolicyAsStored&) const = default;
};
using StoredPolicies = std::array<PolicyAsStored, 5>;  // in kPolicyTable's order

StoredPolicies ReadStoredPolicies(const PolicyStore& store, bool allUsers);
// What a save of the panel stores.
StoredPolicies PanelAsStored(OptionPanel& panel);

// Fills the five check boxes from the chosen root; never writes. A value that
// could not be read shows clear. Returns the first failure other than a
// missing key or value, or kSuccess; what was read goes to loaded.
Win32Error LoadPolicies(const PolicyStore& store, OptionPanel& panel, bool allUsers,
                        StoredPolicies* loaded = nullptr);

// A value that changed in the store since the window showed it, which a
// save would overwrite: its row, what is stored now, what the box would write.
struct ChangedBehind {
  std::size_t row;
  PolicyAsStored now;
  std::int32_t toWrite;
};
std::vector<ChangedBehind> ChangedSinceLoad(const StoredPolicies& loaded, const StoredPolicies& now,
                                            OptionPanel& panel);

// What the user is asked before such a save: each value, what is stored now
// and what Save would write; Yes saves anyway, No reloads, Cancel does neither.
std::string ChangedBehindMessage(const std::string& scope,
                                 const std::vector<ChangedBehind>& changed);

// Writes all five values to the chosen root, attempting every row even after
// a failure. Returns the first failure's error code, or kSuccess.
Win32Error SavePolicies(const PolicyStore& store, OptionPanel& panel, bool allUsers);

// Clears the master option first (its click re-enables the sub-options when
// it was set), then each sub-option. The scope option and the registry are
// left alone.
void ResetOptionPanel(OptionPanel& panel);

// Disables the sub-options while the master option is checked, enables them
// when it is clear, and leaves them alone when it is greyed.
void UpdateSubOptions(OptionPanel& panel);

}  // namespace polvane
