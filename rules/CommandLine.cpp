#include "rules/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "rules/Decimal.h"
#include "rules/Messages.h"
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
    if (command_.error.empty() && !command_.user.empty() && command_.allUsers &&
        !OpensWindow(command_))
      Fault("/user cannot be given with /allusers: every user's policies belong to no one user");
    if (command_.error.empty() && TakesNames() && named_.empty())
      Fault(std::string(command_.kind == CommandKind::Set ? "/set needs at least one Name=0|1"
                        : command_.kind == CommandKind::Edit
                            ? "/edit needs at least one Name=0|1|2"
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
    if (name.rfind("user:", 0) == 0) return TakeUser(argument.substr(6));
    CommandKind kind{};
    if (name == "show")
      kind = CommandKind::Show;
    else if (name == "set")
      kind = CommandKind::Set;
    else if (name == "unset")
      kind = CommandKind::Unset;
    else if (name == "edit")
      kind = CommandKind::Edit;
    else if (name == "?" || name == "help")
      kind = CommandKind::Help;
    else
      return Fault("Unknown switch " + argument);
    if (command_.kind != CommandKind::Window)
      return Fault(argument + " cannot be given with " + commandSwitch_ +
                   ": give one of /show, /set, /unset, /edit and /? at a time");
    command_.kind = kind;
    commandSwitch_ = argument;
  }

  void TakeUser(const std::string& user) {
    if (user.empty())
      return Fault("/user: needs a user, as /user:DOMAIN\\name or /user:S-1-5-21-...");
    if (!command_.user.empty()) return Fault("/user is given twice");
    command_.user = user;
  }

  bool TakesNames() const {
    return command_.kind == CommandKind::Set || command_.kind == CommandKind::Unset ||
           command_.kind == CommandKind::Edit;
  }

  void TakeName(const std::string& argument) {
    if (!TakesNames()) return Fault("Unexpected argument " + argument);
    const bool setting = command_.kind != CommandKind::Unset;
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
    // A box can also be greyed, which /edit carries; /set writes 0 or 1.
    const bool editing = command_.kind == CommandKind::Edit;
    const std::string value = argument.substr(equals + 1);
    if (value != "0" && value != "1" && !(editing && value == "2"))
      return Fault(argument +
                   (editing ? ": the value must be 0, 1 or 2" : ": the value must be 0 or 1"));
    command_.settings.push_back({*row, static_cast<std::uint32_t>(value[0] - '0')});
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
// attempted. A scope that Windows keeps from this process is not touched.
int Change(const Command& command, const char* verb,
           const std::function<RegStatus(const PolicySetting&, const char* name)>& change,
           CommandOutput& output, const ReasonOf& reasonOf) {
  if (!MayChangePolicies(command.allUsers)) {
    output.Err(RefusedChangeMessage(command.allUsers));
    return kRegAccessDenied;
  }
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
         "  Polvane.exe [/allusers] [/user:U]      Opens the window.\n"
         "  Polvane.exe /show [/allusers | /user:U] Prints the five values as Name=N,\n"
         "                                          or Name=not set.\n"
         "  Polvane.exe /set Name=0|1 [...] [/allusers | /user:U]\n"
         "                                          Writes the named values.\n"
         "  Polvane.exe /unset Name [...] [/allusers | /user:U]\n"
         "                                          Deletes the named values, leaving the\n"
         "                                          policies not configured.\n"
         "  Polvane.exe /edit Name=0|1|2 [...] [/allusers] [/user:U]\n"
         "                                          Opens the window with the named boxes\n"
         "                                          clear (0), ticked (1) or greyed (2),\n"
         "                                          not yet saved.\n"
         "  Polvane.exe /?                          Prints this help.\n"
         "\n"
         "  /allusers  every user of this computer (HKEY_LOCAL_MACHINE) instead of the\n"
         "             current user (HKEY_CURRENT_USER).\n"
         "  /user:U    in place of the current user, the signed-in user U, given as\n"
         "             DOMAIN\\name, name or SID (HKEY_USERS\\<SID>).\n"
         "  Name       " +
         PolicyNames(3) +
         ".\n"
         "\n"
         "Windows lets only administrators change policies, in either scope: /set\n"
         "and /unset need an elevated prompt, SYSTEM, or Group Policy.\n"
         "Switches may start with / or -; switches and names may be in any case.\n"
         "Exit code: 0 on success, 87 when the command line is wrong (nothing is\n"
         "written then), 5 when Windows refuses the change (nothing is written),\n"
         "1332 when no account has U's name, 1312 when U is not signed in,\n"
         "otherwise the Windows error code of the first failure.\n";
}

std::string EditArguments(OptionPanel& panel, const std::string& userSid) {
  std::string arguments = AllUsersChosen(panel) ? "/allusers /edit" : "/edit";
  for (const PolicyRow& row : kPolicyTable)
    arguments += std::string(" ") + row.valueName + "=" + Decimal(BoxOf(panel, row).Value());
  if (!userSid.empty()) arguments += " /user:" + userSid;
  return arguments;
}

void ApplyEdits(const Command& command, OptionPanel& panel) {
  if (command.kind != CommandKind::Edit) return;
  for (const PolicySetting& setting : command.settings)
    BoxOf(panel, kPolicyTable[setting.row]).SetValue(static_cast<CheckValue>(setting.value));
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
    case CommandKind::Edit:
      break;
  }
  return 0;
}

}  // namespace polvane
