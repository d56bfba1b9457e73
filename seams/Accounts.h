#pragma once
// Who this process runs as: its token in the program, a fixed SID in tests.
#include <string>

namespace polvane {

class Accounts {
 public:
  // This process's user as a SID string, S-1-5-21-...; empty if the token
  // cannot tell.
  virtual std::string OwnSid() = 0;

 protected:
  ~Accounts() = default;
};

}  // namespace polvane
