#include "rules/mdlRegistry.h"

#include <array>

#include "rules/LittleEndian.h"

namespace polvane {
namespace {

constexpr std::uint32_t kDwordSize = 4;

// A missing key or value is what "not configured" looks like, not a failure.
Win32Error FailureOf(Win32Error status) { return status == kFileNotFound ? kSuccess : status; }

}  // namespace

DwordRead ReadDWORD(RegistryApi& api, RegKey root, const char* subKey, const char* valueName) {
  // A key that could not be opened is neither queried nor closed: whatever
  // the failed call left in the handle is none.
  OpenedKey key(RegKey{}, {&api});
  if (const Win32Error status = api.OpenKey(root, subKey, key.Put()); status != kSuccess) {
    key.Release();
    return {FailureOf(status), std::nullopt};
  }

  std::array<std::uint8_t, kDwordSize> buffer{};
  std::uint32_t type = kRegDword;
  std::uint32_t size = kDwordSize;
  const Win32Error status = api.QueryValue(key.Get(), valueName, &type, buffer.data(), &size);
  // A longer value does not fit: it is there, but it is no REG_DWORD.
  if (status == kMoreData) return {kSuccess, std::nullopt, true};
  if (status != kSuccess) return {FailureOf(status), std::nullopt};
  if (type != kRegDword || size != kDwordSize) return {kSuccess, std::nullopt, true};
  return {kSuccess, DwordAt(buffer.data()), true};
}

Win32Error WriteDWORD(RegistryApi& api, RegKey root, const char* subKey, const char* valueName,
                      std::int32_t value) {
  OpenedKey key(RegKey{}, {&api});
  if (const Win32Error status = api.CreateKey(root, subKey, key.Put()); status != kSuccess) {
    key.Release();
    return status;
  }

  const auto bytes = DwordBytes(static_cast<std::uint32_t>(value));
  return api.SetValue(key.Get(), valueName, kRegDword, bytes.data(), kDwordSize);
}

Win32Error WriteAccess(RegistryApi& api, RegKey root, const char* subKey) {
  std::string path = subKey;
  for (;;) {
    const Win32Error status = api.MayWrite(root, path.c_str());
    const std::size_t parent = path.rfind('\\');
    if (status != kFileNotFound || parent == std::string::npos) return status;
    path.resize(parent);
  }
}

Win32Error DeleteDWORD(RegistryApi& api, RegKey root, const char* subKey, const char* valueName) {
  OpenedKey key(RegKey{}, {&api});
  if (const Win32Error status = api.OpenKey(root, subKey, key.Put()); status != kSuccess) {
    key.Release();
    return FailureOf(status);
  }
  return FailureOf(api.DeleteValue(key.Get(), valueName));
}

}  // namespace polvane
