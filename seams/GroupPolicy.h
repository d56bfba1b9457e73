#pragma once
// The local Group Policy Object's folder, and the engine that applies it.
#include <string>

#include "seams/Win32Error.h"

namespace polvane {

class GroupPolicy {
 public:
  // %SystemRoot%\System32\GroupPolicy, as this process reaches it.
  virtual std::string Folder() = 0;
  // Asks Windows to apply the computer's (machine) or this user's policy
  // now: kSuccess, kNoPolicyEngine where no Group Policy engine runs to
  // apply it, or the failure.
  virtual Win32Error Refresh(bool machine) = 0;

 protected:
  ~GroupPolicy() = default;
};

}  // namespace polvane
