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

#include "seams/FileAccess.h"
#include "seams/GroupPolicy.h"

namespace polvane::test {

class MemoryFiles final : public FileAccess {
 public:
  Win32Error Read(const std::string& path, std::vector<std::uint8_t>& bytes) override {
    if (const auto answer = readAnswers.find(path); answer != readAnswers.end())
      return answer->second;
    const auto found = files.find(path);
    if (found == files.end()) return kFileNotFound;
    bytes = found->second;
    return kSuccess;
  }
  Win32Error Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) override {
    if (const Win32Error answer = NextAnswer(path)) return answer;
    files[path] = bytes;
    return kSuccess;
  }
  Win32Error Remove(const std::string& path) override {
    if (const Win32Error answer = NextAnswer(path)) return answer;
    files.erase(path);
    return kSuccess;
  }
  Win32Error MakeFolderOf(const std::string&) override { return kSuccess; }
  Win32Error Lock(const std::string& path) override {
    if (heldElsewhere.count(path)) return kSharingViolation;
    return held.insert(path).second ? kSuccess : kSharingViolation;
  }
  void Unlock(const std::string& path) override { held.erase(path); }

  std::map<std::string, std::vector<std::uint8_t>> files;
  // What each write (Replace or Remove) of a path answers, in turn; success
  // once they run out.
  std::map<std::string, std::deque<Win32Error>> writeAnswers;
  std::map<std::string, Win32Error> readAnswers;  // what reading a path answers, every time
  std::set<std::string> held;           // locks this process holds
  std::set<std::string> heldElsewhere;  // locks another process holds

 private:
  Win32Error NextAnswer(const std::string& path) {
    auto& answers = writeAnswers[path];
    if (answers.empty()) return kSuccess;
    const Win32Error answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class StatedGroupPolicy final : public GroupPolicy {
 public:
  std::string Folder() override { return "C:\\Windows\\System32\\GroupPolicy"; }
  Win32Error Refresh(bool machine) override {
    refreshed.push_back(machine);
    return answer;
  }

  Win32Error answer = kNoPolicyEngine;
  std::vector<bool> refreshed;  // each call's part: true for the computer's
};

}  // namespace polvane::test
