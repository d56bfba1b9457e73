#pragma once
// Polvane's command line, for scripts and deployment: what each switch asks
// for, checked whole before anything is written, and its running against the
// same store as the window. Free of Windows so that it is tested natively.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rules/OptionPanel.h"
#include "rules/RegistryApi.h"

namespace polvane {

// The exit code of a command line that is wrong (ERROR_INVALID_PARAMETER).
inline constexpr int kBadCommandLine = 87;

// Window opens the window on the stored values; Edit opens it with some
// boxes set as the command line gives them, not yet saved.
enum class CommandKind { Window, Edit, Show, Set, Unset, Help, Invalid };

struct PolicySetting {
  std::size_t row;      // in kPolicyTable
  std::uint32_t value;  // for /set and /edit
};

struct Command {
  CommandKind kind = CommandKind::Window;
  bool allUsers = false;
  std::vector<PolicySetting> settings;  // the values /set writes, /unset deletes or /edit shows
  std::string user;                     // /user: a signed-in user's name or SID, as given
  std::string error;                    // Invalid: what is wrong, one line
};

inline bool OpensWindow(const Command& command) {
  return command.kind == CommandKind::Window || command.kind == CommandKind::Edit;
}

// Switches start with '/' or '-'; switches and policy names are compared
// without regard to case.
Command ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();

// The arguments that open the window again as panel stands, unsaved ticks
// and all: its scope and the five boxes' values, through /edit, and the
// user whose policies the current user's scope shows, by SID, if given.
std::string EditArguments(OptionPanel& panel, const std::string& userSid = {});

// Sets the boxes that an /edit command names, each raising its click as a
// change does.
void ApplyEdits(const Command& command, OptionPanel& panel);

// Where a command's lines go: its output and its errors.
class CommandOutput {
 public:
  virtual void Out(const std::string& line) = 0;
  virtual void Err(const std::string& line) = 0;

 protected:
  ~CommandOutput() = default;
};

// The system's description of a Win32 error code.
using ReasonOf = std::function<std::string(RegStatus)>;

// Runs a command that needs no window and returns the process's exit code:
// 0, kBadCommandLine, or the Win32 error code of the first failure.
int RunCommand(const Command& command, CommandOutput& output, const ReasonOf& reasonOf);

}  // namespace polvane
