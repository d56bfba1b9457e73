#pragma once
// What a command line asks for, once it has been read whole: one command
// with exactly its own fields, or the line's error. Free of Windows so that
// it is tested natively.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "rules/PolicyFiles.h"

namespace polvane {

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

// The user a command reads or changes the registry's policies for: empty
// for the current user, or as /user gave it. Nothing for a command that
// reaches no user's registry: the window (which chooses its own), /?, a
// wrong line and the local Group Policy Object.
std::optional<std::string> RegistryUserOf(const Command& command);

}  // namespace polvane
