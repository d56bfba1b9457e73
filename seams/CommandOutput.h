#pragma once
// Where a command's lines go: the console or a redirected handle in the
// program, a list in tests. Lines are UTF-8, without their line ends.
#include <string>

namespace polvane {

class CommandOutput {
 public:
  virtual void Out(const std::string& line) = 0;
  virtual void Err(const std::string& line) = 0;

 protected:
  ~CommandOutput() = default;
};

}  // namespace polvane
