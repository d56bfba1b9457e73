#include "tests/common/CountingRegistry.h"

#include <algorithm>

namespace polvane::test {

void CountingRegistry::Fail(RegCall call, std::string name, Win32Error status) {
  failures_.push_back({call, std::move(name), status});
}

int CountingRegistry::Count(RegCall call) const { return counts_[static_cast<std::size_t>(call)]; }

std::vector<std::string> CountingRegistry::Names(RegCall call) const {
  std::vector<std::string> names;
  for (const RecordedCall& c : calls_)
    if (c.call == call) names.push_back(c.name);
  return names;
}

Win32Error CountingRegistry::Record(RegCall call, RegKey root, const char* name) {
  ++counts_[static_cast<std::size_t>(call)];
  const std::string text = name ? name : "";
  if (keepCalls_) calls_.push_back({call, root, text});
  for (const Failure& f : failures_)
    if (f.call == call && (f.name.empty() || f.name == text)) return f.status;
  return kSuccess;
}

Win32Error CountingRegistry::OpenKey(RegKey root, const char* subKey, RegKey* key) {
  if (Win32Error s = Record(RegCall::Open, root, subKey); s != kSuccess) {
    *key = RegKey{};
    return s;
  }
  const Win32Error status = inner_.OpenKey(root, subKey, key);
  return Track(status, *key);
}

Win32Error CountingRegistry::QueryValue(RegKey key, const char* name, std::uint32_t* type,
                                        std::uint8_t* data, std::uint32_t* size) {
  if (Win32Error s = Record(RegCall::Query, RegKey{}, name); s != kSuccess) {
    // A failed query may leave anything in the buffer: make that visible.
    std::fill(data, data + *size, std::uint8_t{0x5A});
    return s;
  }
  return inner_.QueryValue(key, name, type, data, size);
}

Win32Error CountingRegistry::CreateKey(RegKey root, const char* subKey, RegKey* key) {
  if (Win32Error s = Record(RegCall::Create, root, subKey); s != kSuccess) {
    *key = RegKey{};
    return s;
  }
  const Win32Error status = inner_.CreateKey(root, subKey, key);
  return Track(status, *key);
}

Win32Error CountingRegistry::SetValue(RegKey key, const char* name, std::uint32_t type,
                                      const std::uint8_t* data, std::uint32_t size) {
  if (Win32Error s = Record(RegCall::Set, RegKey{}, name); s != kSuccess) return s;
  return inner_.SetValue(key, name, type, data, size);
}

Win32Error CountingRegistry::DeleteValue(RegKey key, const char* name) {
  if (Win32Error s = Record(RegCall::Delete, RegKey{}, name); s != kSuccess) return s;
  return inner_.DeleteValue(key, name);
}

Win32Error CountingRegistry::MayWrite(RegKey root, const char* subKey) {
  if (Win32Error s = Record(RegCall::MayWrite, root, subKey); s != kSuccess) return s;
  return inner_.MayWrite(root, subKey);
}

Win32Error CountingRegistry::CloseKey(RegKey key) {
  Record(RegCall::Close, RegKey{}, nullptr);
  const auto open = std::find(openKeys_.begin(), openKeys_.end(), key);
  if (open != openKeys_.end()) openKeys_.erase(open);
  return inner_.CloseKey(key);
}

Win32Error CountingRegistry::Track(Win32Error status, RegKey key) {
  if (status == kSuccess) openKeys_.push_back(key);
  return status;
}

}  // namespace polvane::test
