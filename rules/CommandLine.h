#pragma once
// Polvane's command line, for scripts and deployment: what each switch asks
// for, checked whole before anything is written, and its running against the
// same store as the window. Free of Windows so that it is tested natively.
// Arguments and output are UTF-8; switches and policy names are plain ASCII.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rules/FileAccess.h"
#include "rules/OptionPanel.h"
#include "rules/RegistryApi.h"

namespace polvane {

// The exit code of a command line that is wrong (ERROR_INVALID_PARAMETER).
inline constexpr int kBadCommandLine = 87;
// The exit code of a /check whose values are not all as named.
inline constexpr int kCheckDiffers = 1;
// The exit code of an /import, or a /gpo, whose file does not parse
// (ERROR_INVALID_DATA).
inline constexpr int kBadPolicyFile = 13;

// Window opens the window on the stored values; Edit opens it with some
// boxes set as the command line gives them, not yet saved.
enum class CommandKind { Window, Edit, Show, Set, Unset, Check, Export, Import, Help, Invalid };

struct PolicySetting {
  std::size_t row;      // in kPolicyTable
  std::uint32_t value;  // for /set, /check and /edit
};

struct Command {
  CommandKind kind = CommandKind::Window;
  bool allUsers = false;
  bool json = false;                    // /show /json: both scopes and the effective values
  bool whatIf = false;                  // /set and /unset: say what would change, change nothing
  bool gpo = false;                     // /show, /set and /unset: the local Group Policy Object
  std::vector<PolicySetting> settings;  // the values /set writes, /unset deletes,
                                        // /check compares or /edit shows
  std::string user;                     // /user: a signed-in user's name or SID, as given
  std::string file;                     // /export and /import: the file, .pol, .reg or .txt
  std::string error;                    // Invalid: what is wrong, one line
};

inline bool OpensWindow(const Command& command) {
  return command.kind == CommandKind::Window || command.kind == CommandKind::Edit;
}

// Whether the command reads or changes the policies of a scope.
inline bool ReachesPolicies(const Command& command) {
  return command.kind == CommandKind::Show || command.kind == CommandKind::Set ||
         command.kind == CommandKind::Unset || command.kind == CommandKind::Check ||
         command.kind == CommandKind::Export || command.kind == CommandKind::Import;
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

struct CommandResult {
  int exitCode = 0;      // 0, kCheckDiffers, kBadCommandLine, or the first failure's code
  bool changed = false;  // some value was written or deleted
};

// The local Group Policy Object's folder, and the engine that applies it.
class GroupPolicy {
 public:
  // %SystemRoot%\System32\GroupPolicy, as this process reaches it.
  virtual std::string Folder() = 0;
  // Asks Windows to apply the computer's (machine) or this user's policy
  // now: kRegSuccess, kNoPolicyEngine where no Group Policy engine runs to
  // apply it, or the failure.
  virtual RegStatus Refresh(bool machine) = 0;

 protected:
  ~GroupPolicy() = default;
};

// ERROR_SERVICE_NOT_ACTIVE: the Group Policy Client service is not running.
inline constexpr RegStatus kNoPolicyEngine = 1062;

struct PolicyStore;

// Runs a command that needs no window against store; /export, /import and
// /gpo need files, and /gpo the Group Policy engine.
CommandResult RunCommand(const PolicyStore& store, const Command& command, CommandOutput& output,
                         const ReasonOf& reasonOf, FileAccess& files, GroupPolicy& groupPolicy);

}  // namespace polvane
