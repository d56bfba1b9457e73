#pragma once
// Files kept in memory, for the command line's tests: what /export and /gpo
// wrote and what /import and /gpo will read; and a Group Policy engine that
// answers as told.
#include <cstdint>
#include <deque>
#include <map>
#include <set>
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
    if (const RegStatus answer = NextAnswer(path)) return answer;
    files[path] = bytes;
    return kRegSuccess;
  }
  RegStatus Remove(const std::string& path) override {
    if (const RegStatus answer = NextAnswer(path)) return answer;
    files.erase(path);
    return kRegSuccess;
  }
  RegStatus MakeFolderOf(const std::string&) override { return kRegSuccess; }
  RegStatus Lock(const std::string& path) override {
    if (heldElsewhere.count(path)) return kRegSharingViolation;
    return held.insert(path).second ? kRegSuccess : kRegSharingViolation;
  }
  void Unlock(const std::string& path) override { held.erase(path); }

  std::map<std::string, std::vector<std::uint8_t>> files;
  // What each write (Replace or Remove) of a path answers, in turn; success
  // once they run out.
  std::map<std::string, std::deque<RegStatus>> writeAnswers;
  std::set<std::string> held;           // locks this process holds
  std::set<std::string> heldElsewhere;  // locks another process holds

 private:
  RegStatus NextAnswer(const std::string& path) {
    auto& answers = writeAnswers[path];
    if (answers.empty()) return kRegSuccess;
    const RegStatus answer = answers.front();
    answers.pop_front();
    return answer;
  }
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
