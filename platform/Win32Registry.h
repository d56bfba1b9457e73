#pragma once
// The registry seam over advapi32's ANSI calls: the system's registry.
#include "rules/RegistryApi.h"

namespace polvane {

class Win32Registry final : public RegistryApi {
 public:
  RegStatus OpenKey(RegKey root, const char* subKey, RegKey* key) override;
  RegStatus QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* size) override;
  RegStatus CreateKey(RegKey root, const char* subKey, RegKey* key) override;
  RegStatus SetValue(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                     std::uint32_t size) override;
  RegStatus CloseKey(RegKey key) override;
  RegStatus DeleteValue(RegKey key, const char* name) override;
  RegStatus MayWrite(RegKey root, const char* subKey) override;
};

}  // namespace polvane
