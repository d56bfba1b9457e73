#pragma once
// Polvane's command line, for scripts and deployment: what each switch asks
// for, checked whole before anything is written, and its running against the
// same store as the window. Free of Windows so that it is tested natively.
// Arguments and output are UTF-8; switches and policy names are plain ASCII.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "rules/FileAccess.h"
#include "rules/Messages.h"
#include "rules/OptionPanel.h"
#include "rules/PolicyFiles.h"
#include "rules/RegistryApi.h"

namespace polvane {

// The exit code of a command line that is wrong (ERROR_INVALID_PARAMETER).
inline constexpr int kBadCommandLine = 87;
// The exit code of a /check whose values are not all as named.
inline constexpr int kCheckDiffers = 1;
// The exit code of an /import, or a /gpo, whose file does not parse
// (ERROR_INVALID_DATA).
inline constexpr int kBadPolicyFile = kRegInvalidData;

// A value a command names with its number: what /check compares and /edit
// shows.
struct PolicySetting {
  std::size_t row;  // in kPolicyTable
  std::uint32_t value;
};

// A value to write, or, without a number, to delete.
struct PolicyChange {
  std::size_t row;  // in kPolicyTable
  std::optional<std::uint32_t> value;
};

// The registry's policies of every user (HKEY_LOCAL_MACHINE), or of the
// current user, or of the signed-in user that /user names, as it was given.
struct RegistryScope {
  bool allUsers = false;
  std::string user;
};

// A part of the local Group Policy Object: the computer's or the users'.
struct GpoPart {
  bool machine = false;
};

// Where a command reads or changes policies.
using PolicyTarget = std::variant<RegistryScope, GpoPart>;

// A file /export writes or /import reads, in the format its name ends in.
struct PolicyFile {
  std::string path;
  PolicyFileFormat format;
};

// Each command carries what it needs and nothing else, so a command line
// that is wrong has no command to run: only its CommandLineError.
struct WindowCommand {
  RegistryScope scope;
  std::vector<PolicySetting> edits;  // /edit: boxes set over what is stored
};
struct ShowCommand {
  PolicyTarget target;
};
struct JsonCommand {
  std::string user;  // /user, in place of the current user
};
struct CheckCommand {
  RegistryScope scope;
  std::vector<PolicySetting> expected;
};
struct ChangeCommand {
  PolicyTarget target;
  std::vector<PolicyChange> changes;  // /set's values, or /unset's names
  bool whatIf = false;
};
struct ExportCommand {
  RegistryScope scope;
  PolicyFile file;
};
struct ImportCommand {
  RegistryScope scope;
  PolicyFile file;
  bool whatIf = false;
};
struct HelpCommand {};
struct CommandLineError {
  std::string message;  // what is wrong, one line
};

using Command = std::variant<WindowCommand, ShowCommand, JsonCommand, CheckCommand, ChangeCommand,
                             ExportCommand, ImportCommand, HelpCommand, CommandLineError>;

// Switches start with '/' or '-'; switches and policy names are compared
// without regard to case. The whole line is read before anything is made of
// it: the result is a complete command, or the first fault found.
Command ParseCommandLine(const std::vector<std::string>& arguments);

// The user a command reads or changes the registry's policies for: empty
// for the current user, or as /user gave it. Nothing for a command that
// reaches no user's registry: the window (which chooses its own), /?, a
// wrong line and the local Group Policy Object.
std::optional<std::string> RegistryUserOf(const Command& command);

std::string UsageText();

// The arguments that open the window again as panel stands, unsaved ticks
// and all: its scope and the five boxes' values, through /edit, and the
// user whose policies the current user's scope shows, by SID, if given.
std::string EditArguments(OptionPanel& panel, const std::string& userSid = {});

// Sets the boxes that an /edit command names, each raising its click as a
// change does.
void ApplyEdits(const WindowCommand& command, OptionPanel& panel);

// Where a command's lines go: its output and its errors.
class CommandOutput {
 public:
  virtual void Out(const std::string& line) = 0;
  virtual void Err(const std::string& line) = 0;

 protected:
  ~CommandOutput() = default;
};

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

// Runs a command that needs no window against store (whose user root is the
// one RegistryUserOf names); /export, /import and /gpo need files, and /gpo
// the Group Policy engine. A CommandLineError prints its line and exits
// kBadCommandLine, reading and writing nothing.
CommandResult RunCommand(const PolicyStore& store, const Command& command, CommandOutput& output,
                         const ReasonOf& reasonOf, FileAccess& files, GroupPolicy& groupPolicy);

}  // namespace polvane
