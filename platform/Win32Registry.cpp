// The registry seam over advapi32's ANSI calls.
#include <windows.h>

#include "rules/RegistryApi.h"

namespace polvane {
namespace {

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

class Advapi32Registry final : public RegistryApi {
 public:
  RegStatus OpenKey(RegKey root, const char* subKey, RegKey* key) override {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyA(ToHkey(root), subKey, &opened);
    *key = status == ERROR_SUCCESS ? FromHkey(opened) : RegKey{};
    return status;
  }

  RegStatus QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* size) override {
    DWORD queriedType = *type;
    DWORD queriedSize = *size;
    const LONG status =
        RegQueryValueExA(ToHkey(key), name, nullptr, &queriedType, data, &queriedSize);
    *type = queriedType;
    *size = queriedSize;
    return status;
  }

  RegStatus CreateKey(RegKey root, const char* subKey, RegKey* key) override {
    HKEY created = nullptr;
    const LONG status = RegCreateKeyA(ToHkey(root), subKey, &created);
    *key = status == ERROR_SUCCESS ? FromHkey(created) : RegKey{};
    return status;
  }

  RegStatus SetValue(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                     std::uint32_t size) override {
    return RegSetValueExA(ToHkey(key), name, 0, type, data, size);
  }

  RegStatus CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }

  RegStatus DeleteValue(RegKey key, const char* name) override {
    return RegDeleteValueA(ToHkey(key), name);
  }

  // The open itself is the access check: Windows weighs the key's security
  // against this process's token, deny-only groups included.
  RegStatus MayWrite(RegKey root, const char* subKey) override {
    HKEY opened = nullptr;
    const LONG status =
        RegOpenKeyExA(ToHkey(root), subKey, 0, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &opened);
    if (status == ERROR_SUCCESS) RegCloseKey(opened);
    return status;
  }
};

}  // namespace

RegistryApi& SystemRegistry() {
  static Advapi32Registry registry;
  return registry;
}

}  // namespace polvane
