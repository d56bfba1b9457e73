#pragma once
// Reading and writing one REG_DWORD value. Every call opens and closes the
// key itself: no handle is kept between calls.
#include <cstdint>
#include <optional>
#include <string>

#include "seams/RegistryApi.h"
#include "rules/UniqueAny.h"

namespace polvane {

// A key opened through a RegistryApi, closed through the same one.
struct OpenedKeyPolicy {
  using Handle = RegKey;
  RegistryApi* api = nullptr;
  static constexpr Handle Empty() { return {}; }
  void Close(Handle key) const { api->CloseKey(key); }
};
using OpenedKey = UniqueAny<OpenedKeyPolicy>;

// What reading one value found. A missing key or value is no failure.
struct DwordRead {
  Win32Error status = kSuccess;        // the first failure, if any
  std::optional<std::uint32_t> value;  // empty unless a 4-byte REG_DWORD was read
  bool present = false;                // a value of that name is there, of any type
};
DwordRead ReadDWORD(RegistryApi& api, RegKey root, const char* subKey, const char* valueName);

// Creates the key path as needed and stores value as a REG_DWORD. Returns the
// first failure's error code, or kSuccess.
Win32Error WriteDWORD(RegistryApi& api, RegKey root, const char* subKey, const char* valueName,
                      std::int32_t value);

// Whether this process may store values at subKey: the key's own security
// answers, or, while the key is missing, that of its nearest existing
// parent, which would have to make it. kSuccess, kAccessDenied, or the
// registry's other answer (kFileNotFound when no part of the path exists).
Win32Error WriteAccess(RegistryApi& api, RegKey root, const char* subKey);

// Deletes the value, which leaves the policy not configured. A missing key or
// value is no failure. Returns the first failure's error code, or kSuccess.
Win32Error DeleteDWORD(RegistryApi& api, RegKey root, const char* subKey, const char* valueName);

}  // namespace polvane
