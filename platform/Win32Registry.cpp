#include "platform/Win32Registry.h"

#include "platform/Handles.h"

namespace polvane {
namespace {

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

}  // namespace

Win32Error Win32Registry::OpenKey(RegKey root, const char* subKey, RegKey* key) {
  HKEY opened = nullptr;
  const LONG status = RegOpenKeyA(ToHkey(root), subKey, &opened);
  *key = status == ERROR_SUCCESS ? FromHkey(opened) : RegKey{};
  return status;
}

Win32Error Win32Registry::QueryValue(RegKey key, const char* name, std::uint32_t* type,
                                     std::uint8_t* data, std::uint32_t* size) {
  DWORD queriedType = *type;
  DWORD queriedSize = *size;
  const LONG status =
      RegQueryValueExA(ToHkey(key), name, nullptr, &queriedType, data, &queriedSize);
  *type = queriedType;
  *size = queriedSize;
  return status;
}

Win32Error Win32Registry::CreateKey(RegKey root, const char* subKey, RegKey* key) {
  HKEY created = nullptr;
  const LONG status = RegCreateKeyA(ToHkey(root), subKey, &created);
  *key = status == ERROR_SUCCESS ? FromHkey(created) : RegKey{};
  return status;
}

Win32Error Win32Registry::SetValue(RegKey key, const char* name, std::uint32_t type,
                                   const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExA(ToHkey(key), name, 0, type, data, size);
}

Win32Error Win32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

Win32Error Win32Registry::DeleteValue(RegKey key, const char* name) {
  return RegDeleteValueA(ToHkey(key), name);
}

// The open itself is the access check: Windows weighs the key's security
// against this process's token, deny-only groups included.
Win32Error Win32Registry::MayWrite(RegKey root, const char* subKey) {
  UniqueKey key;
  return RegOpenKeyExA(ToHkey(root), subKey, 0, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, key.Put());
}
}  // namespace polvane
