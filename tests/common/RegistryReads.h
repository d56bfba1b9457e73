#pragma once
// Reading a stored policy back in a test: a number where there may be none.
#include <cstdint>

#include "rules/mdlRegistry.h"

namespace polvane::test {

// The value's number, or 0 when the key or value is missing, the value is not
// a 4-byte REG_DWORD, or the read fails.
inline std::int32_t NumberOrZero(RegistryApi& api, RegKey root, const char* subKey,
                                 const char* valueName) {
  return static_cast<std::int32_t>(ReadDWORD(api, root, subKey, valueName).value.value_or(0));
}

}  // namespace polvane::test
