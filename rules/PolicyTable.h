#pragma once
// The five Messenger client policies, in the order they are loaded and saved.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "rules/Ascii.h"
#include "rules/OptionPanel.h"

namespace polvane {

inline constexpr const char* kPolicyKeyPath = "Software\\Policies\\Microsoft\\Messenger\\Client";

enum class BoxArray { Option, SubOption };

struct PolicyRow {
  const char* valueName;
  BoxArray array;
  int index;
};

inline constexpr std::array<PolicyRow, 5> kPolicyTable{{
    {"PreventRun", BoxArray::Option, OptionPanel::kMasterOption},
    {"DisableFileTransfer", BoxArray::SubOption, 0},
    {"DisablePC2PCAudio", BoxArray::SubOption, 1},
    {"DisablePC2Phone", BoxArray::SubOption, 2},
    {"DisableVideo", BoxArray::SubOption, 3},
}};

// The row of the policy a name names, in any case.
inline std::optional<std::size_t> RowNamed(std::string_view name) {
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
    if (SameIgnoringCase(name, kPolicyTable[row].valueName)) return row;
  return std::nullopt;
}

inline CheckControl& BoxOf(OptionPanel& panel, const PolicyRow& row) {
  return row.array == BoxArray::Option ? panel.Option(row.index) : panel.SubOption(row.index);
}

}  // namespace polvane
