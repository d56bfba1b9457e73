#pragma once
// Where a command run from a script or a console writes its lines.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Handles.h"
#include "seams/CommandOutput.h"

namespace polvane {

// The program's arguments, without its own name, in UTF-8: read wide, so
// that no code page maps a look-alike character onto a plain one.
std::vector<std::string> ProgramArguments();

// Writes to the handles the caller redirected, else to the console of the
// process that started Polvane (cmd, PowerShell): to a console as wide
// text, to a file or pipe as UTF-8 without a byte-order mark. Polvane never opens a
// console of its own: started from neither (a shortcut, Explorer), it has
// nowhere to write, and the caller is told so.
class ConsoleOutput final : public CommandOutput {
 public:
  ConsoleOutput();

  void Out(const std::string& line) override;
  void Err(const std::string& line) override;

  // Whether some line found nowhere to go.
  bool Unprinted() const { return unprinted_; }
  // The error of the first write that failed (a full disk, a closed pipe),
  // or ERROR_SUCCESS.
  DWORD WriteFailure() const { return writeFailure_; }

 private:
  void Write(HANDLE target, const std::string& line);

  HANDLE out_ = nullptr;
  HANDLE err_ = nullptr;
  UniqueFile console_;  // the parent's console, opened here
  bool unprinted_ = false;
  DWORD writeFailure_ = ERROR_SUCCESS;
};

}  // namespace polvane
