#pragma once
// The registry seam over advapi32's ANSI calls: the system's registry.
#include "seams/RegistryApi.h"

namespace polvane {

class Win32Registry final : public RegistryApi {
 public:
  Win32Error OpenKey(RegKey root, const char* subKey, RegKey* key) override;
  Win32Error QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override;
  Win32Error CreateKey(RegKey root, const char* subKey, RegKey* key) override;
  Win32Error SetValue(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t size) override;
  Win32Error CloseKey(RegKey key) override;
  Win32Error DeleteValue(RegKey key, const char* name) override;
  Win32Error MayWrite(RegKey root, const char* subKey) override;
};

}  // namespace polvane
