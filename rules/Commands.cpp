// Running the command line's commands against the policy store.
#include <optional>

#include "rules/CommandLine.h"
#include "rules/Decimal.h"
#include "rules/Messages.h"
#include "rules/PolicyTable.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"

namespace polvane {
namespace {

std::string ScopeName(bool allUsers) { return allUsers ? "all users" : "the current user"; }

// What a value was, for the lines /show, /set and /unset print.
std::string Stored(const DwordRead& read) {
  if (read.status != kRegSuccess) return "unreadable";
  if (read.value) return Decimal(*read.value);
  return read.present ? "not a 4-byte REG_DWORD" : "not set";
}

class Runner {
 public:
  Runner(const PolicyStore& store, const Command& command, CommandOutput& output,
         const ReasonOf& reasonOf)
      : store_(store), command_(command), output_(output), reasonOf_(reasonOf) {}

  CommandResult Run() {
    switch (command_.kind) {
      case CommandKind::Show:
        command_.json ? ShowJson() : Show();
        break;
      case CommandKind::Check:
        Check();
        break;
      case CommandKind::Set:
      case CommandKind::Unset:
        Change();
        break;
      case CommandKind::Help:
        Help();
        break;
      case CommandKind::Invalid:
        output_.Err(command_.error);
        result_.exitCode = kBadCommandLine;
        break;
      case CommandKind::Window:
      case CommandKind::Edit:
        break;
    }
    return result_;
  }

 private:
  DwordRead Read(bool allUsers, std::size_t row) const {
    return QueryDWORD(store_.registry, store_.Root(allUsers), kPolicyKeyPath,
                      kPolicyTable[row].valueName);
  }

  // Reports a failure on its own line; the first one is the exit code.
  void Fail(const char* name, const char* what, RegStatus status) {
    output_.Err(std::string(name) + " could not be " + what + " for " +
                ScopeName(command_.allUsers) + ": " + reasonOf_(status));
    if (result_.exitCode == 0 || result_.exitCode == kCheckDiffers)
      result_.exitCode = static_cast<int>(status);
  }

  void Help() {
    const std::string usage = UsageText();
    for (std::size_t start = 0, end; start < usage.size(); start = end + 1) {
      end = usage.find('\n', start);
      output_.Out(usage.substr(start, end - start));
    }
  }

  void Show() {
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const DwordRead read = Read(command_.allUsers, row);
      const char* name = kPolicyTable[row].valueName;
      if (read.status != kRegSuccess) Fail(name, "read", read.status);
      // A value of another type is no policy Messenger reads: not set.
      output_.Out(std::string(name) + "=" +
                  (read.status == kRegSuccess && !read.value ? "not set" : Stored(read)));
    }
  }

  std::string JsonValue(const DwordRead& read) {
    if (read.status != kRegSuccess)
      return "{\"error\": " + Decimal(read.status) +
             ", \"message\": " + JsonString(reasonOf_(read.status)) + "}";
    return read.value ? Decimal(*read.value) : "null";
  }

  // Every user's value wins where it is set: Windows' rule for policies
  // that both hives may hold.
  static std::string Effective(const DwordRead& machine, const DwordRead& user) {
    const auto from = [](const DwordRead& read, const char* scope) -> std::optional<std::string> {
      if (read.status != kRegSuccess) return "{\"value\": null, \"from\": \"unreadable\"}";
      if (read.value)
        return "{\"value\": " + Decimal(*read.value) + ", \"from\": \"" + scope + "\"}";
      return std::nullopt;
    };
    return from(machine, "allUsers")
        .value_or(from(user, "currentUser").value_or("{\"value\": null, \"from\": \"notSet\"}"));
  }

  static std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
      if (c == '"' || c == '\\')
        quoted += std::string("\\") + c;
      else if (static_cast<unsigned char>(c) < 0x20)
        quoted += "\\u00" + Hexadecimal(static_cast<unsigned char>(c), 2);
      else
        quoted += c;
    }
    return quoted + "\"";
  }

  void ShowJson() {
    std::string user = "  \"currentUser\": {", machine = "  \"allUsers\": {",
                effective = "  \"effective\": {";
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const std::string name =
          std::string(row ? ", " : "") + "\"" + kPolicyTable[row].valueName + "\": ";
      const DwordRead forUser = Read(false, row), forMachine = Read(true, row);
      for (const DwordRead& read : {forUser, forMachine})
        if (read.status != kRegSuccess && result_.exitCode == 0)
          result_.exitCode = static_cast<int>(read.status);
      user += name + JsonValue(forUser);
      machine += name + JsonValue(forMachine);
      effective += name + Effective(forMachine, forUser);
    }
    output_.Out("{");
    output_.Out(user + "},");
    output_.Out(machine + "},");
    output_.Out(effective + "}");
    output_.Out("}");
  }

  void Check() {
    for (const PolicySetting& setting : command_.settings) {
      const DwordRead read = Read(command_.allUsers, setting.row);
      const char* name = kPolicyTable[setting.row].valueName;
      if (read.status != kRegSuccess) {
        Fail(name, "read", read.status);
      } else if (read.value != setting.value) {
        output_.Out(std::string(name) + " is " + Stored(read) + ", not " + Decimal(setting.value));
        if (result_.exitCode == 0) result_.exitCode = kCheckDiffers;
      }
    }
  }

  // A value already as asked is left untouched; a scope that Windows keeps
  // from this process is not touched at all.
  void Change() {
    const bool setting = command_.kind == CommandKind::Set;
    std::vector<DwordRead> before;
    bool anyChange = false;
    for (const PolicySetting& s : command_.settings) {
      before.push_back(Read(command_.allUsers, s.row));
      anyChange = anyChange || Changes(before.back(), s);
    }
    if (anyChange && !command_.whatIf && !MayChangePolicies(store_, command_.allUsers)) {
      output_.Err(RefusedChangeMessage(command_.allUsers));
      result_.exitCode = static_cast<int>(kRegAccessDenied);
      return;
    }
    const std::string prefix = command_.whatIf ? "What if: " : "";
    for (std::size_t i = 0; i < command_.settings.size(); ++i) {
      const PolicySetting& s = command_.settings[i];
      const char* name = kPolicyTable[s.row].valueName;
      const std::string after =
          std::string(name) + (setting ? "=" + Decimal(s.value) : std::string(" not set"));
      if (!Changes(before[i], s)) {
        output_.Out(prefix + after + (setting ? " unchanged" : ", unchanged"));
        continue;
      }
      if (!command_.whatIf) {
        const RegKey root = store_.Root(command_.allUsers);
        const RegStatus status = setting ? WriteDWORD(store_.registry, root, kPolicyKeyPath, name,
                                                      static_cast<std::int32_t>(s.value))
                                         : DeleteDWORD(store_.registry, root, kPolicyKeyPath, name);
        if (status != kRegSuccess) {
          Fail(name, setting ? "written" : "deleted", status);
          continue;
        }
        result_.changed = true;
      }
      output_.Out(prefix + after + " (was " + Stored(before[i]) + ")");
    }
  }

  // A value that could not be read is written or deleted all the same.
  bool Changes(const DwordRead& before, const PolicySetting& setting) const {
    if (before.status != kRegSuccess) return true;
    return command_.kind == CommandKind::Set ? before.value != setting.value : before.present;
  }

  const PolicyStore& store_;
  const Command& command_;
  CommandOutput& output_;
  const ReasonOf& reasonOf_;
  CommandResult result_;
};

}  // namespace

CommandResult RunCommand(const PolicyStore& store, const Command& command, CommandOutput& output,
                         const ReasonOf& reasonOf) {
  return Runner(store, command, output, reasonOf).Run();
}

}  // namespace polvane
