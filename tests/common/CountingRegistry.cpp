#include "tests/common/CountingRegistry.h"

#include <algorithm>

namespace polvane::test {

void CountingRegistry::Fail(RegCall call, std::string name, RegStatus status) {
  failures_.push_back({call, std::move(name), status});
}

int CountingRegistry::Count(RegCall call) const {
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(),
                                        [call](const RecordedCall& c) { return c.call == call; }));
}

std::vector<std::string> CountingRegistry::Names(RegCall call) const {
  std::vector<std::string> names;
  for (const RecordedCall& c : calls_)
    if (c.call == call) names.push_back(c.name);
  return names;
}

RegStatus CountingRegistry::Record(RegCall call, RegKey root, const char* name) {
  calls_.push_back({call, root, name ? name : ""});
  for (const Failure& f : failures_)
    if (f.call == call && (f.name.empty() || f.name == calls_.back().name)) return f.status;
  return kRegSuccess;
}

RegStatus CountingRegistry::OpenKey(RegKey root, const char* subKey, RegKey* key) {
  if (RegStatus s = Record(RegCall::Open, root, subKey); s != kRegSuccess) {
    *key = RegKey{};
    return s;
  }
  return inner_.OpenKey(root, subKey, key);
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
  return inner_.CreateKey(root, subKey, key);
}

RegStatus CountingRegistry::SetValue(RegKey key, const char* name, std::uint32_t type,
                                     const std::uint8_t* data, std::uint32_t size) {
  if (RegStatus s = Record(RegCall::Set, RegKey{}, name); s != kRegSuccess) return s;
  return inner_.SetValue(key, name, type, data, size);
}

RegStatus CountingRegistry::CloseKey(RegKey key) {
  Record(RegCall::Close, RegKey{}, nullptr);
  return inner_.CloseKey(key);
}

}  // namespace polvane::test
