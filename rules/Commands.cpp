// Running the command line's commands against the policy store.
#include <optional>

#include "rules/CommandLine.h"
#include "rules/Decimal.h"
#include "rules/Messages.h"
#include "rules/Ascii.h"
#include "rules/PolicyFiles.h"
#include "rules/PolicyTable.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"

namespace polvane {
namespace {

// What a value was, for the lines /show, /set and /unset print.
std::string Stored(const DwordRead& read) {
  if (read.status != kRegSuccess) return "unreadable";
  if (read.value) return Decimal(*read.value);
  return read.present ? "not a 4-byte REG_DWORD" : "not set";
}

class Runner {
 public:
  Runner(const PolicyStore& store, const Command& command, CommandOutput& output,
         const ReasonOf& reasonOf, FileAccess& files)
      : store_(store), command_(command), output_(output), reasonOf_(reasonOf), files_(files) {}

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
      case CommandKind::Export:
        Export();
        break;
      case CommandKind::Import:
        Import();
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

  // One value to set, or, without a number, to delete.
  struct Operation {
    std::size_t row;
    std::optional<std::uint32_t> value;
  };

  void Change() {
    std::vector<Operation> operations;
    for (const PolicySetting& s : command_.settings)
      operations.push_back({s.row, command_.kind == CommandKind::Set
                                       ? std::optional<std::uint32_t>(s.value)
                                       : std::nullopt});
    Apply(operations);
  }

  // A value already as asked is left untouched; a scope that Windows keeps
  // from this process is not touched at all.
  void Apply(const std::vector<Operation>& operations) {
    std::vector<DwordRead> before;
    bool anyChange = false;
    for (const Operation& operation : operations) {
      before.push_back(Read(command_.allUsers, operation.row));
      anyChange = anyChange || Changes(before.back(), operation);
    }
    if (anyChange && !command_.whatIf && !MayChangePolicies(store_, command_.allUsers)) {
      output_.Err(RefusedChangeMessage(command_.allUsers));
      result_.exitCode = static_cast<int>(kRegAccessDenied);
      return;
    }
    const std::string prefix = command_.whatIf ? "What if: " : "";
    for (std::size_t i = 0; i < operations.size(); ++i) {
      const Operation& operation = operations[i];
      const char* name = kPolicyTable[operation.row].valueName;
      const std::string after =
          std::string(name) + (operation.value ? "=" + Decimal(*operation.value) : " not set");
      if (!Changes(before[i], operation)) {
        output_.Out(prefix + after + (operation.value ? " unchanged" : ", unchanged"));
        continue;
      }
      if (!command_.whatIf) {
        const RegKey root = store_.Root(command_.allUsers);
        const RegStatus status = operation.value
                                     ? WriteDWORD(store_.registry, root, kPolicyKeyPath, name,
                                                  static_cast<std::int32_t>(*operation.value))
                                     : DeleteDWORD(store_.registry, root, kPolicyKeyPath, name);
        if (status != kRegSuccess) {
          Fail(name, operation.value ? "written" : "deleted", status);
          continue;
        }
        result_.changed = true;
      }
      output_.Out(prefix + after + " (was " + Stored(before[i]) + ")");
    }
  }

  // A value that could not be read is written or deleted all the same.
  static bool Changes(const DwordRead& before, const Operation& operation) {
    if (before.status != kRegSuccess) return true;
    return operation.value ? before.value != operation.value : before.present;
  }

  void Export() {
    PolicyValues values;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const DwordRead read = Read(command_.allUsers, row);
      if (read.status != kRegSuccess) return Fail(kPolicyTable[row].valueName, "read", read.status);
      values[row] = read.value;
    }
    const PolicyFileFormat format = *FormatOfFile(command_.file);
    if (const RegStatus status =
            files_.Replace(command_.file, ExportPolicies(format, command_.allUsers, values))) {
      output_.Err(Printable(command_.file) + " could not be written: " + reasonOf_(status));
      result_.exitCode = static_cast<int>(status);
      return;
    }
    output_.Out("The policies of " + ScopeName(command_.allUsers) + " were exported to " +
                Printable(command_.file) + ".");
  }

  void Import() {
    Bytes bytes;
    if (const RegStatus status = files_.Read(command_.file, bytes)) {
      output_.Err(Printable(command_.file) + " could not be read: " + reasonOf_(status));
      result_.exitCode = static_cast<int>(status);
      return;
    }
    const ImportedPolicies imported =
        ImportPolicies(*FormatOfFile(command_.file), command_.allUsers, bytes);
    if (!imported.error.empty()) {
      output_.Err(imported.error + " Nothing was written.");
      result_.exitCode = kBadPolicyFile;
      return;
    }
    for (const std::string& skipped : imported.skipped)
      output_.Out("Skipped " + skipped + ": not one of the five policies of " +
                  ScopeName(command_.allUsers));
    std::vector<Operation> operations;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
      if (imported.values[row]) operations.push_back({row, *imported.values[row]});
    Apply(operations);
  }

  const PolicyStore& store_;
  const Command& command_;
  CommandOutput& output_;
  const ReasonOf& reasonOf_;
  FileAccess& files_;
  CommandResult result_;
};

}  // namespace

CommandResult RunCommand(const PolicyStore& store, const Command& command, CommandOutput& output,
                         const ReasonOf& reasonOf, FileAccess& files) {
  return Runner(store, command, output, reasonOf, files).Run();
}

}  // namespace polvane
