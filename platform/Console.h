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
//
// Lines for the standard output are gathered and written a few kilobytes at
// a time; the gathered ones go out before each error line, so that the two
// keep their order, and at Flush. Whether a handle is a console is asked
// once.
class ConsoleOutput final : public CommandOutput {
 public:
  ConsoleOutput();
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;
  ~ConsoleOutput() { Flush(); }

  void Out(const std::string& line) override;
  void Err(const std::string& line) override;
  void Flush();

  // Whether some line found nowhere to go.
  bool Unprinted() const { return unprinted_; }
  // The error of the first write that failed (a full disk, a closed pipe),
  // or ERROR_SUCCESS.
  DWORD WriteFailure() const { return writeFailure_; }

 private:
  struct Target {
    HANDLE handle = nullptr;
    bool console = false;  // written as wide text
  };
  static Target TargetOf(HANDLE handle);
  void Write(const Target& target, const std::string& text);

  Target out_, err_;
  std::string gathered_;  // for out_
  UniqueFile console_;    // the parent's console, opened here
  bool unprinted_ = false;
  DWORD writeFailure_ = ERROR_SUCCESS;
};

}  // namespace polvane
