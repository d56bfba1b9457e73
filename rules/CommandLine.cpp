#include "rules/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "rules/Decimal.h"
#include "rules/PolicyTable.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"

namespace polvane {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool IsSwitch(const std::string& argument) {
  return argument.size() > 1 && (argument[0] == '/' || argument[0] == '-');
}

std::optional<std::size_t> RowNamed(const std::string& name) {
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
    if (Lower(name) == Lower(kPolicyTable[row].valueName)) return row;
  return std::nullopt;
}

// The five value names, separated by commas; with a line break and the
// usage's indent after every perLine names.
std::string PolicyNames(std::size_t perLine = kPolicyTable.size()) {
  std::string names;
  for (std::size_t i = 0; i < kPolicyTable.size(); ++i) {
    if (i > 0) names += i % perLine == 0 ? ",\n             " : ", ";
    names += kPolicyTable[i].valueName;
  }
  return names;
}

std::string ScopeName(bool allUsers) { return allUsers ? "all users" : "the current user"; }

// Reads the command line one argument at a time; the first fault found is
// the one reported.
class Parser {
 public:
  Command Parse(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
      if (IsSwitch(argument))
        TakeSwitch(argument);
      else
        TakeName(argument);
      if (!command_.error.empty()) break;
    }
    if (command_.error.empty() &&
        (command_.kind == CommandKind::Set || command_.kind == CommandKind::Unset) &&
        named_.empty())
      Fault(std::string(command_.kind == CommandKind::Set
                            ? "/set needs at least one Name=0|1"
                            : "/unset needs at least one policy name"));
    if (!command_.error.empty()) command_.kind = CommandKind::Invalid;
    return command_;
  }

 private:
  void TakeSwitch(const std::string& argument) {
    const std::string name = Lower(argument.substr(1));
    if (name == "allusers") {
      command_.allUsers = true;
      return;
    }
    CommandKind kind{};
    if (name == "show")
      kind = CommandKind::Show;
    else if (name == "set")
      kind = CommandKind::Set;
    else if (name == "unset")
      kind = CommandKind::Unset;
    else if (name == "?" || name == "help")
      kind = CommandKind::Help;
    else
      return Fault("Unknown switch " + argument);
    if (command_.kind != CommandKind::Window)
      return Fault(argument + " cannot be given with " + commandSwitch_ +
                   ": give one of /show, /set, /unset and /? at a time");
    command_.kind = kind;
    commandSwitch_ = argument;
  }

  void TakeName(const std::string& argument) {
    if (command_.kind != CommandKind::Set && command_.kind != CommandKind::Unset)
      return Fault("Unexpected argument " + argument);
    const bool setting = command_.kind == CommandKind::Set;
    const std::size_t equals = argument.find('=');
    if (setting && equals == std::string::npos)
      return Fault(argument + " has no value: write it as " + argument + "=0 or " + argument +
                   "=1");
    const std::string name = setting ? argument.substr(0, equals) : argument;
    const std::optional<std::size_t> row = RowNamed(name);
    if (!row) return Fault("Unknown policy name " + name + "; the names are " + PolicyNames());
    if (std::find(named_.begin(), named_.end(), *row) != named_.end())
      return Fault(std::string(kPolicyTable[*row].valueName) + " is given twice");
    named_.push_back(*row);
    if (!setting) {
      command_.settings.push_back({*row, 0});
      return;
    }
    const std::string value = argument.substr(equals + 1);
    if (value != "0" && value != "1") return Fault(argument + ": the value must be 0 or 1");
    command_.settings.push_back({*row, value == "1" ? 1u : 0u});
  }

  void Fault(const std::string& what) { command_.error = what + ". Type Polvane.exe /? for help."; }

  Command command_;
  std::string commandSwitch_;  // as it was typed
  std::vector<std::size_t> named_;
};

int Show(bool allUsers, CommandOutput& output, const ReasonOf& reasonOf) {
  RegStatus first = kRegSuccess;
  for (const PolicyRow& row : kPolicyTable) {
    const DwordRead read = QueryDWORD(PolicyRoot(allUsers), kPolicyKeyPath, row.valueName);
    std::string shown = read.value ? Decimal(*read.value) : "not set";
    if (read.status != kRegSuccess) {
      shown = "unreadable";
      output.Err(std::string(row.valueName) + " could not be read for " + ScopeName(allUsers) +
                 ": " + reasonOf(read.status));
      if (first == kRegSuccess) first = read.status;
    }
    output.Out(std::string(row.valueName) + "=" + shown);
  }
  return static_cast<int>(first);
}

// Applies change to each named value, reporting each failure; every value is
// attempted.
int Change(const Command& command, const char* verb,
           const std::function<RegStatus(const PolicySetting&, const char* name)>& change,
           CommandOutput& output, const ReasonOf& reasonOf) {
  RegStatus first = kRegSuccess;
  for (const PolicySetting& setting : command.settings) {
    const char* name = kPolicyTable[setting.row].valueName;
    const RegStatus status = change(setting, name);
    if (status == kRegSuccess) continue;
    output.Err(std::string(name) + " could not be " + verb + " for " + ScopeName(command.allUsers) +
               ": " + reasonOf(status));
    if (first == kRegSuccess) first = status;
  }
  return static_cast<int>(first);
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& arguments) {
  return Parser().Parse(arguments);
}

std::string UsageText() {
  return "Polvane switches the Messenger client policies, REG_DWORD values under\n"
         "Software\\Policies\\Microsoft\\Messenger\\Client.\n"
         "\n"
         "  Polvane.exe [/allusers]                 Opens the window.\n"
         "  Polvane.exe /show [/allusers]           Prints the five values as Name=N,\n"
         "                                          or Name=not set.\n"
         "  Polvane.exe /set Name=0|1 [...] [/allusers]\n"
         "                                          Writes the named values.\n"
         "  Polvane.exe /unset Name [...] [/allusers]\n"
         "                                          Deletes the named values, leaving the\n"
         "                                          policies not configured.\n"
         "  Polvane.exe /?                          Prints this help.\n"
         "\n"
         "  /allusers  every user of this computer (HKEY_LOCAL_MACHINE; changing them\n"
         "             needs an administrator) instead of the current user\n"
         "             (HKEY_CURRENT_USER).\n"
         "  Name       " +
         PolicyNames(3) +
         ".\n"
         "\n"
         "Switches may start with / or -; switches and names may be in any case.\n"
         "Exit code: 0 on success, 87 when the command line is wrong (nothing is\n"
         "written then), otherwise the Windows error code of the first failure.\n";
}

int RunCommand(const Command& command, CommandOutput& output, const ReasonOf& reasonOf) {
  const RegKey root = PolicyRoot(command.allUsers);
  switch (command.kind) {
    case CommandKind::Show:
      return Show(command.allUsers, output, reasonOf);
    case CommandKind::Set:
      return Change(
          command, "written",
          [root](const PolicySetting& setting, const char* name) {
            return WriteDWORD(root, kPolicyKeyPath, name, static_cast<std::int32_t>(setting.value));
          },
          output, reasonOf);
    case CommandKind::Unset:
      return Change(
          command, "deleted",
          [root](const PolicySetting&, const char* name) {
            return DeleteDWORD(root, kPolicyKeyPath, name);
          },
          output, reasonOf);
    case CommandKind::Help: {
      std::string usage = UsageText();
      for (std::size_t start = 0, end; start < usage.size(); start = end + 1) {
        end = usage.find('\n', start);
        output.Out(usage.substr(start, end - start));
      }
      return 0;
    }
    case CommandKind::Invalid:
      output.Err(command.error);
      return kBadCommandLine;
    case CommandKind::Window:
      break;
  }
  return 0;
}

}  // namespace polvane
