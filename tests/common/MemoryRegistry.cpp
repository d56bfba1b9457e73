#include "tests/common/MemoryRegistry.h"

#include <cstring>

#include "rules/Ascii.h"

namespace polvane::test {

std::string MemoryRegistry::Folded(const std::string& text) { return AsciiLower(text); }

void MemoryRegistry::CreatePath(RegKey root, const std::string& path) {
  const std::string folded = Folded(path);
  for (std::size_t end = folded.find('\\'); end != std::string::npos;
       end = folded.find('\\', end + 1))
    keys_.insert({root, folded.substr(0, end)});
  keys_.insert({root, folded});
}

RegKey MemoryRegistry::NewHandle(KeyId key) {
  const RegKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, std::move(key));
  return handle;
}

bool MemoryRegistry::HasKey(RegKey root, const std::string& path) const {
  return keys_.count({root, Folded(path)}) != 0;
}

Win32Error MemoryRegistry::OpenKey(RegKey root, const char* subKey, RegKey* key) {
  *key = RegKey{};
  if (!HasKey(root, subKey)) return kFileNotFound;
  *key = NewHandle({root, Folded(subKey)});
  return kSuccess;
}

Win32Error MemoryRegistry::CreateKey(RegKey root, const char* subKey, RegKey* key) {
  CreatePath(root, subKey);
  *key = NewHandle({root, Folded(subKey)});
  return kSuccess;
}

Win32Error MemoryRegistry::QueryValue(RegKey key, const char* name, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* size) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return kInvalidHandle;
  const auto found = values_.find({handle->second, Folded(name)});
  if (found == values_.end()) return kFileNotFound;
  const StoredValue& value = found->second;
  const auto needed = static_cast<std::uint32_t>(value.data.size());
  *type = value.type;
  const bool fits = needed <= *size;
  *size = needed;
  if (!fits) return kMoreData;
  if (needed != 0) std::memcpy(data, value.data.data(), needed);
  return kSuccess;
}

Win32Error MemoryRegistry::SetValue(RegKey key, const char* name, std::uint32_t type,
                                    const std::uint8_t* data, std::uint32_t size) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return kInvalidHandle;
  values_[{handle->second, Folded(name)}] = {type, std::vector<std::uint8_t>(data, data + size)};
  return kSuccess;
}

Win32Error MemoryRegistry::DeleteValue(RegKey key, const char* name) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return kInvalidHandle;
  return values_.erase({handle->second, Folded(name)}) != 0 ? kSuccess : kFileNotFound;
}

Win32Error MemoryRegistry::MayWrite(RegKey root, const char* subKey) {
  if (!HasKey(root, subKey)) return kFileNotFound;
  return protected_.count({root, Folded(subKey)}) != 0 ? kAccessDenied : kSuccess;
}

void MemoryRegistry::Protect(RegKey root, const std::string& path) {
  CreatePath(root, path);
  protected_.insert({root, Folded(path)});
}

Win32Error MemoryRegistry::CloseKey(RegKey key) {
  return handles_.erase(key) != 0 ? kSuccess : kInvalidHandle;
}

std::optional<MemoryRegistry::StoredValue> MemoryRegistry::Get(RegKey root, const std::string& path,
                                                               const std::string& name) const {
  const auto found = values_.find({{root, Folded(path)}, Folded(name)});
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

void MemoryRegistry::Put(RegKey root, const std::string& path, const std::string& name,
                         StoredValue value) {
  CreatePath(root, path);
  values_[{{root, Folded(path)}, Folded(name)}] = std::move(value);
}

}  // namespace polvane::test
