#include "tests/common/CountingRegistry.h"

#include <algorithm>

namespace polvane::test {

void CountingRegistry::Fail(RegCall call, std::string name, RegStatus status) {
  failures_.push_back({call, std::move(name), status});
}

int CountingRegistry::Count(RegCall call) const { return counts_[static_cast<std::size_t>(call)]; }

std::vector<std::string> CountingRegistry::Names(RegCall call) const {
  std::vector<std::string> names;
  for (const RecordedCall& c : calls_)
    if (c.call == call) names.push_back(c.name);
  return names;
}

RegStatus CountingRegistry::Record(RegCall call, RegKey root, const char* name) {
  ++counts_[static_cast<std::size_t>(call)];
  const std::string text = name ? name : "";
  if (keepCalls_) calls_.push_back({call, root, text});
  for (const Failure& f : failures_)
    if (f.call == call && (f.name.empty() || f.name == text)) return f.status;
  return kRegSuccess;
}

RegStatus CountingRegistry::OpenKey(RegKey root, const char* subKey, RegKey* key) {
  if (RegStatus s = Record(RegCall::Open, root, subKey); s != kRegSuccess) {
    *key = RegKey{};
    return s;
  }
  const RegStatus status = inner_.OpenKey(root, subKey, key);
  return Track(status, *key);
}

RegStatus CountingRegistry::QueryValue(RegKey key, const char* name, std::uint32_t* type,
                                       std::uint8_t* data, std::uint32_t* size) {
  if (RegStatus s = Record(RegCall::Query, RegKey{}, name); s != kRegSuccess) {
    // A failed query may leave anything in the buffer: make that visible.
    std::fill(data, data + *size, std::uint8_t{0x5A});
    return s;
  }
  return inner_.QueryValue(key, name, type, data, size);
}

RegStatus CountingRegistry::CreateKey(RegKey root, const char* subKey, RegKey* key) {
  if (RegStatus s = Record(RegCall::Create, root, subKey); s != kRegSuccess) {
    *key = RegKey{};
    return s;
  }
  const RegStatus status = inner_.CreateKey(root, subKey, key);
  return Track(status, *key);
}

RegStatus CountingRegistry::SetValue(RegKey key, const char* name, std::uint32_t type,
                                     const std::uint8_t* data, std::uint32_t size) {
  if (RegStatus s = Record(RegCall::Set, RegKey{}, name); s != kRegSuccess) return s;
  return inner_.SetValue(key, name, type, data, size);
}

RegStatus CountingRegistry::DeleteValue(RegKey key, const char* name) {
  if (RegStatus s = Record(RegCall::Delete, RegKey{}, name); s != kRegSuccess) return s;
  return inner_.DeleteValue(key, name);
}

RegStatus CountingRegistry::MayWrite(RegKey root, const char* subKey) {
  if (RegStatus s = Record(RegCall::MayWrite, root, subKey); s != kRegSuccess) return s;
  return inner_.MayWrite(root, subKey);
}

RegStatus CountingRegistry::CloseKey(RegKey key) {
  Record(RegCall::Close, RegKey{}, nullptr);
  const auto open = std::find(openKeys_.begin(), openKeys_.end(), key);
  if (open != openKeys_.end()) openKeys_.erase(open);
  return inner_.CloseKey(key);
}

RegStatus CountingRegistry::Track(RegStatus status, RegKey key) {
  if (status == kRegSuccess) openKeys_.push_back(key);
  return status;
}

}  // namespace polvane::test
