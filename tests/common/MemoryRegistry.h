#pragma once
// An in-memory registry with advapi32's contract, for the native tests:
// a missing key or value reads as missing, creating a key creates its
// parents, key paths and value names compare without regard to case.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "seams/RegistryApi.h"

namespace polvane::test {

// ERROR_INVALID_HANDLE: the answer for a key this registry never opened.
inline constexpr Win32Error kInvalidHandle = 6;

class MemoryRegistry final : public RegistryApi {
 public:
  struct StoredValue {
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    bool operator==(const StoredValue&) const = default;
  };

  Win32Error OpenKey(RegKey root, const char* subKey, RegKey* key) override;
  Win32Error QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override;
  Win32Error CreateKey(RegKey root, const char* subKey, RegKey* key) override;
  Win32Error SetValue(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t size) override;
  Win32Error CloseKey(RegKey key) override;
  Win32Error DeleteValue(RegKey key, const char* name) override;
  Win32Error MayWrite(RegKey root, const char* subKey) override;

  // Direct access, as another program would have it.
  bool HasKey(RegKey root, const std::string& path) const;
  std::optional<StoredValue> Get(RegKey root, const std::string& path,
                                 const std::string& name) const;
  void Put(RegKey root, const std::string& path, const std::string& name, StoredValue value);
  std::size_t OpenHandles() const { return handles_.size(); }
  // Whether both hold the same keys and values, byte for byte.
  bool StoresTheSameAs(const MemoryRegistry& other) const {
    return keys_ == other.keys_ && values_ == other.values_;
  }
  // Lets this process read the key at path but not change it, as Windows'
  // security does for Software\Policies; the key is made if it is missing.
  void Protect(RegKey root, const std::string& path);

 private:
  using KeyId = std::pair<RegKey, std::string>;  // root and lower-case path
  static std::string Folded(const std::string& text);
  void CreatePath(RegKey root, const std::string& path);
  RegKey NewHandle(KeyId key);

  std::set<KeyId> keys_;
  std::set<KeyId> protected_;
  std::map<std::pair<KeyId, std::string>, StoredValue> values_;
  std::map<RegKey, KeyId> handles_;
  RegKey nextHandle_ = 0x1000;
};

}  // namespace polvane::test
