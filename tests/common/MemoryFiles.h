#pragma once
// Files kept in memory, for the command line's tests: what /export and /gpo
// wrote and what /import and /gpo will read; and a Group Policy engine that
// answers as told.
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
    if (replaceFailure) return replaceFailure;
    files[path] = bytes;
    return kRegSuccess;
  }

  RegStatus MakeFolderOf(const std::string&) override { return kRegSuccess; }

  std::map<std::string, std::vector<std::uint8_t>> files;
  RegStatus replaceFailure = kRegSuccess;  // what every Replace answers, if not success
};

class StatedGroupPolicy final : public GroupPolicy {
 public:
  std::string Folder() override { return "C:\\Windows\\System32\\GroupPolicy"; }
  RegStatus Refresh(bool machine) override {
    refreshed.push_back(machine);
    return answer;
  }

  RegStatus answer = kNoPolicyEngine;
  std::vector<bool> refreshed;  // each call's part: true for the computer's
};

}  // namespace polvane::test
