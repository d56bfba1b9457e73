// Running the command line's commands against the policy store.
#include <optional>

#include "rules/CommandLine.h"
#include "rules/Decimal.h"
#include "rules/Messages.h"
#include "rules/Ascii.h"
#include "rules/LocalGpo.h"
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
         const ReasonOf& reasonOf, FileAccess& files, GroupPolicy& groupPolicy)
      : store_(store),
        command_(command),
        output_(output),
        reasonOf_(reasonOf),
        files_(files),
        groupPolicy_(groupPolicy) {}

  CommandResult Run() {
    if (command_.gpo) {
      Gpo();
      return result_;
    }
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

  std::vector<Operation> Operations() const {
    std::vector<Operation> operations;
    for (const PolicySetting& s : command_.settings)
      operations.push_back({s.row, command_.kind == CommandKind::Set
                                       ? std::optional<std::uint32_t>(s.value)
                                       : std::nullopt});
    return operations;
  }

  void Change() { Apply(Operations()); }

  // "Name=N" or "Name" and unset, then what it was, or that it is so already
  // and left untouched.
  std::string ChangeLine(const Operation& operation, const char* unset, bool changes,
                         const std::string& was) const {
    std::string line = command_.whatIf ? "What if: " : "";
    line += kPolicyTable[operation.row].valueName;
    if (operation.value) {
      line += '=';
      line += Decimal(*operation.value);
    } else {
      line += unset;
    }
    if (!changes) {
      line += operation.value ? " unchanged" : ", unchanged";
    } else {
      line += " (was ";
      line += was;
      line += ')';
    }
    return line;
  }

  // A value already as asked is left untouched; a scope that Windows keeps
  // from this process is not touched at all.
  void Apply(const std::vector<Operation>& operations, bool report = true) {
    std::vector<DwordRead> before;
    bool anyChange = false;
    for (const Operation& operation : operations) {
      before.push_back(Read(command_.allUsers, operation.row));
      anyChange = anyChange || Changes(before.back(), operation);
    }
    if (anyChange && !command_.whatIf && !MayChangePolicies(store_, command_.allUsers)) {
      // Unreported, these are the registry's copy of what /gpo has written.
      output_.Err(report ? RefusedChangeMessage(command_.allUsers)
                         : "The local Group Policy Object was written, but no Group Policy "
                           "engine runs here to apply it, and Windows keeps the registry of " +
                               ScopeName(command_.allUsers) + " from this process.");
      result_.exitCode = static_cast<int>(kRegAccessDenied);
      return;
    }
    for (std::size_t i = 0; i < operations.size(); ++i) {
      const Operation& operation = operations[i];
      const char* name = kPolicyTable[operation.row].valueName;
      if (!Changes(before[i], operation)) {
        if (report) output_.Out(ChangeLine(operation, " not set", false, {}));
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
      if (report) output_.Out(ChangeLine(operation, " not set", true, Stored(before[i])));
    }
  }

  // A value that could not be read is written or deleted all the same.
  static bool Changes(const DwordRead& before, const Operation& operation) {
    if (before.status != kRegSuccess) return true;
    return operation.value ? before.value != operation.value : before.present;
  }

  // A file that is not there reads as no bytes where missingIsEmpty; a
  // failure is said.
  bool ReadFile(const std::string& path, Bytes& bytes, bool missingIsEmpty = false) {
    const RegStatus status = files_.Read(path, bytes);
    if (status == kRegSuccess ||
        (missingIsEmpty && (status == kRegFileNotFound || status == kRegPathNotFound)))
      return true;
    FileFailed(path, "read", status);
    return false;
  }

  // Writes a whole file, saying so when it cannot. The local Group Policy
  // Object's Registry.pol is the first of its files to be written.
  bool WriteFile(const std::string& path, const Bytes& bytes, bool gpoPolicies = false) {
    RegStatus status = gpoPolicies ? files_.MakeFolderOf(path) : kRegSuccess;
    if (!status) status = files_.Replace(path, bytes);
    if (status) FileFailed(path, "written", status, gpoPolicies);
    return !status;
  }

  void FileFailed(const std::string& path, const char* what, RegStatus status,
                  bool gpoPolicies = false) {
    std::string line = Printable(path) + " could not be " + what + ": " + reasonOf_(status);
    if (gpoPolicies && status == kRegAccessDenied)
      line +=
          " Only administrators change the local Group Policy Object: run Polvane from an "
          "elevated prompt.";
    if (gpoPolicies) line += " Nothing was written.";
    output_.Err(line);
    result_.exitCode = static_cast<int>(status);
  }

  void Export() {
    PolicyValues values;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const DwordRead read = Read(command_.allUsers, row);
      if (read.status != kRegSuccess) return Fail(kPolicyTable[row].valueName, "read", read.status);
      values[row] = read.value;
    }
    const PolicyFileFormat format = *FormatOfFile(command_.file);
    if (!WriteFile(command_.file, ExportPolicies(format, command_.allUsers, values))) return;
    output_.Out("The policies of " + ScopeName(command_.allUsers) + " were exported to " +
                Printable(command_.file) + ".");
  }

  void Import() {
    Bytes bytes;
    if (!ReadFile(command_.file, bytes)) return;
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

  static std::string GpoState(const PolSetting& setting) {
    switch (setting.state) {
      case PolSetting::State::NotConfigured:
        return "not configured";
      case PolSetting::State::Deleted:
        return "deleted";
      case PolSetting::State::Number:
        return Decimal(setting.number);
      case PolSetting::State::Other:
        break;
    }
    return "not a 4-byte REG_DWORD";
  }

  static bool SameSetting(const PolSetting& a, const PolSetting& b) {
    return a.state == b.state && (a.state != PolSetting::State::Number || a.number == b.number);
  }

  // The local Group Policy Object's part for the scope: the computer's with
  // /allusers, the users' without.
  void Gpo() {
    const bool machine = command_.allUsers;
    const std::string folder = groupPolicy_.Folder();
    const std::string polPath = GpoPolicyFile(folder, machine), iniPath = GpoIniFile(folder);
    const bool changing = command_.kind != CommandKind::Show;
    const std::string nothingWritten = changing ? " Nothing was written." : "";
    Bytes bytes;
    if (!ReadFile(polPath, bytes, true)) return;
    PolRead pol = ReadPol(std::move(bytes));
    if (!pol.file) return BadGpoFile(polPath + ": " + pol.error + nothingWritten);
    if (!changing) {
      for (const PolicyRow& row : kPolicyTable)
        output_.Out(std::string(row.valueName) + "=" +
                    GpoState(FindPolValue(*pol.file, kPolicyKeyPath, row.valueName)));
      return;
    }
    GpoChange(std::move(*pol.file), polPath, iniPath);
  }

  void GpoChange(PolFile pol, const std::string& polPath, const std::string& iniPath) {
    const std::vector<Operation> operations = Operations();
    std::vector<std::string> lines;
    bool anyChange = false;
    for (const Operation& operation : operations) {
      const char* name = kPolicyTable[operation.row].valueName;
      const PolSetting before = FindPolValue(pol, kPolicyKeyPath, name);
      const PolSetting after =
          operation.value ? PolSetting{PolSetting::State::Number, *operation.value} : PolSetting{};
      PolFile next = *ReadPol(WithPolValue(pol, kPolicyKeyPath, name, after)).file;
      // Another policy's record that deletes the value too stays, so /unset
      // may leave the file as it was.
      const bool changes = !SameSetting(before, after) &&
                           (next.records.empty() ? !pol.records.empty() : next.bytes != pol.bytes);
      lines.push_back(ChangeLine(operation, " not configured", changes, GpoState(before)));
      if (changes) pol = std::move(next);
      anyChange = anyChange || changes;
    }
    const bool write = anyChange && !command_.whatIf;
    if (write && !WriteGpo(polPath, pol.bytes, iniPath)) return;
    for (const std::string& line : lines) output_.Out(line);
    if (write) ApplyGpo(operations);
  }

  void BadGpoFile(const std::string& error) {
    output_.Err(Printable(error));
    result_.exitCode = kBadPolicyFile;
  }

  // Registry.pol first, then gpt.ini, whose new Version tells the engine:
  // interrupted between the two, the change waits for the next one.
  bool WriteGpo(const std::string& polPath, const Bytes& pol, const std::string& iniPath) {
    Bytes ini;
    if (!ReadFile(iniPath, ini, true)) return false;
    const IniUpdate update = UpdateGptIni(ini, command_.allUsers);
    if (!update.error.empty()) {
      BadGpoFile(iniPath + ": " + update.error + " Nothing was written.");
      return false;
    }
    return WriteFile(polPath, pol, true) && WriteFile(iniPath, update.bytes);
  }

  // Asks the engine to apply what was written; where none runs, the values
  // go to the registry as the engine would put them.
  void ApplyGpo(const std::vector<Operation>& operations) {
    const RegStatus status = groupPolicy_.Refresh(command_.allUsers);
    if (status == kNoPolicyEngine) {
      Apply(operations, false);
      if (result_.exitCode == 0)
        output_.Out(
            "No Group Policy engine runs here to apply it, so Polvane changed the "
            "registry of " +
            ScopeName(command_.allUsers) + " to match.");
    } else if (status != kRegSuccess) {
      output_.Err(
          "Windows could not be asked to apply the policy now, and will at its next refresh: " +
          reasonOf_(status));
      result_.exitCode = static_cast<int>(status);
    }
  }

  const PolicyStore& store_;
  const Command& command_;
  CommandOutput& output_;
  const ReasonOf& reasonOf_;
  FileAccess& files_;
  GroupPolicy& groupPolicy_;
  CommandResult result_;
};

}  // namespace

CommandResult RunCommand(const PolicyStore& store, const Command& command, CommandOutput& output,
                         const ReasonOf& reasonOf, FileAccess& files, GroupPolicy& groupPolicy) {
  return Runner(store, command, output, reasonOf, files, groupPolicy).Run();
}

}  // namespace polvane
