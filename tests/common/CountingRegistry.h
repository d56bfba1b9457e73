#pragma once
// A registry wrapper for tests: passes every call on to another registry,
// records it, and can make chosen calls fail as Windows would refuse them.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "seams/RegistryApi.h"

namespace polvane::test {

enum class RegCall { Open, Query, Create, Set, Close, Delete, MayWrite };

struct RecordedCall {
  RegCall call;
  RegKey root;       // for Open, Create and MayWrite
  std::string name;  // key path for Open, Create and MayWrite, value name for Query, Set and Delete
};

class CountingRegistry final : public RegistryApi {
 public:
  explicit CountingRegistry(RegistryApi& inner) : inner_(inner) {}

  // From now on, calls of this kind whose key path or value name equals name
  // (any, when name is empty) fail with status without reaching the registry.
  void Fail(RegCall call, std::string name, Win32Error status);

  // Long runs count calls without keeping each one (Calls and Names stay empty).
  void KeepCalls(bool keep) { keepCalls_ = keep; }

  int Count(RegCall call) const;
  std::vector<std::string> Names(RegCall call) const;
  const std::vector<RecordedCall>& Calls() const { return calls_; }
  // How many keys the registry opened or created and nobody closed yet.
  std::size_t OpenKeys() const { return openKeys_.size(); }
  void Clear() {
    calls_.clear();
    counts_ = {};
  }

  Win32Error OpenKey(RegKey root, const char* subKey, RegKey* key) override;
  Win32Error QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override;
  Win32Error CreateKey(RegKey root, const char* subKey, RegKey* key) override;
  Win32Error SetValue(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t size) override;
  Win32Error CloseKey(RegKey key) override;
  Win32Error DeleteValue(RegKey key, const char* name) override;
  Win32Error MayWrite(RegKey root, const char* subKey) override;

 private:
  struct Failure {
    RegCall call;
    std::string name;
    Win32Error status;
  };
  // Records the call; returns the failure to report, or kSuccess.
  Win32Error Record(RegCall call, RegKey root, const char* name);
  // Notes a key the inner registry opened.
  Win32Error Track(Win32Error status, RegKey key);

  RegistryApi& inner_;
  std::vector<RecordedCall> calls_;
  std::vector<Failure> failures_;
  std::vector<RegKey> openKeys_;
  std::array<int, 7> counts_{};
  bool keepCalls_ = true;
};

}  // namespace polvane::test
