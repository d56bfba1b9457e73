#pragma once
// Files kept in memory, for the command line's tests: what /export wrote and
// what /import will read.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "rules/CommandLine.h"

namespace polvane::test {

class MemoryFiles final : public FileAccess {
 public:
  RegStatus Read(const std::string& path, std::vector<std::uint8_t>& bytes) override {
    const auto found = files.find(path);
    if (found == files.end()) return kRegFileNotFound;
    bytes = found->second;
    return kRegSuccess;
  }
  RegStatus Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) override {
    files[path] = bytes;
    return kRegSuccess;
  }

  std::map<std::string, std::vector<std::uint8_t>> files;
};

}  // namespace polvane::test
