#include "rules/PolicyTable.h"

#include "rules/Ascii.h"

namespace polvane {

std::optional<std::size_t> RowNamed(std::string_view name) {
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
    if (SameIgnoringCase(name, kPolicyTable[row].valueName)) return row;
  return std::nullopt;
}

}  // namespace polvane
