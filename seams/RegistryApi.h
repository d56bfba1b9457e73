#pragma once
// The registry calls the policy store makes, behind one seam: advapi32
// in the program, an in-memory registry or a counting, failing wrapper in
// tests. The caller hands the one to use to every call.
#include <cstdint>

#include "seams/Win32Error.h"

namespace polvane {

using RegKey = std::uintptr_t;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegQword = 11;

// Windows defines its predefined roots as sign-extended 32-bit numbers.
constexpr RegKey PredefinedRoot(std::uint32_t number) {
  return static_cast<RegKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(number)));
}
inline constexpr RegKey kCurrentUser = PredefinedRoot(0x80000001);
inline constexpr RegKey kLocalMachine = PredefinedRoot(0x80000002);
inline constexpr RegKey kUsers = PredefinedRoot(0x80000003);

class RegistryApi {
 public:
  virtual Win32Error OpenKey(RegKey root, const char* subKey, RegKey* key) = 0;
  virtual Win32Error QueryValue(RegKey key, const char* name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* size) = 0;
  virtual Win32Error CreateKey(RegKey root, const char* subKey, RegKey* key) = 0;
  virtual Win32Error SetValue(RegKey key, const char* name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) = 0;
  virtual Win32Error CloseKey(RegKey key) = 0;
  virtual Win32Error DeleteValue(RegKey key, const char* name) = 0;
  // Whether this process may set values in, and make keys under, the key
  // that exists at subKey: kSuccess, kAccessDenied, or kFileNotFound
  // when there is no such key. Nothing is changed.
  virtual Win32Error MayWrite(RegKey root, const char* subKey) = 0;

 protected:
  ~RegistryApi() = default;
};

}  // namespace polvane
