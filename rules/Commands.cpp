#include <algorithm>
#include <array>
#include <optional>

#include "rules/Ascii.h"
#include "rules/Commands.h"
#include "rules/CommandLine.h"
#include "rules/Decimal.h"
#include "rules/GpoTransaction.h"
#include "rules/Messages.h"
#include "rules/PolicyFiles.h"
#include "rules/PolicyTable.h"
#include "rules/mdlRegistry.h"

namespace polvane {
namespace {

// What a value was, for the lines /show, /set and /unset print.
std::string Stored(const DwordRead& read) {
  if (read.status != kSuccess) return "unreadable";
  if (read.value) return Decimal(*read.value);
  return read.present ? "not a 4-byte REG_DWORD" : "not set";
}

std::string GpoState(const PolSetting& setting) {
  switch (setting.state) {
    case PolSetting::State::NotConfigured:
      return "not configured";
    case PolSetting::State::Deleted:
      return "deleted";
    case PolSetting::State::Number:
      return Decimal(setting.number);
    case PolSetting::State::NumberIfMissing:
      return Joined({Decimal(setting.number), " where the value is not there yet"});
    case PolSetting::State::Other:
      break;
  }
  return "not a 4-byte REG_DWORD";
}

// What a part's Registry.pol says of each of the five policies.
using FivePolSettings = std::array<PolSetting, kPolicyTable.size()>;

bool SameSetting(const PolSetting& a, const PolSetting& b) {
  return a.state == b.state && a.number == b.number && a.type == b.type;
}

// A value that could not be read is written or deleted all the same.
bool Changes(const DwordRead& before, const PolicyChange& change) {
  if (before.status != kSuccess) return true;
  return change.value ? before.value != change.value : before.present;
}

// "Name=N" or "Name" and how an unset value is called, then what it was, or
// that it is so already and left untouched.
std::string ChangeLine(const PolicyChange& change, const char* unset, bool whatIf, bool changes,
                       const std::string& was) {
  std::string line = whatIf ? "What if: " : "";
  line += kPolicyTable[change.row].valueName;
  if (change.value)
    line += "=" + Decimal(*change.value);
  else
    line += unset;
  if (!changes) return line + (change.value ? " unchanged" : ", unchanged");
  return Joined({line, " (was ", was, ")"});
}

std::string JsonString(const std::string& text) {
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

// Every user's value wins where it is set: Windows' rule for policies that
// both hives may hold.
std::string Effective(const DwordRead& machine, const DwordRead& user) {
  const auto from = [](const DwordRead& read, const char* scope) -> std::optional<std::string> {
    if (read.status != kSuccess) return "{\"value\": null, \"from\": \"unreadable\"}";
    if (read.value)
      return Joined({"{\"value\": ", Decimal(*read.value), ", \"from\": \"", scope, "\"}"});
    return std::nullopt;
  };
  return from(machine, "allUsers")
      .value_or(from(user, "currentUser").value_or("{\"value\": null, \"from\": \"notSet\"}"));
}

class Runner {
 public:
  Runner(const PolicyStore& store, CommandOutput& output, const ReasonOf& reasonOf,
         FileAccess& files, GroupPolicy& groupPolicy)
      : store_(store),
        output_(output),
        reasonOf_(reasonOf),
        files_(files),
        groupPolicy_(groupPolicy) {}

  CommandResult Run(const Command& command) {
    std::visit([this](const auto& asked) { Do(asked); }, command);
    return result_;
  }

 private:
  void Do(const WindowCommand&) {}  // the window runs itself

  void Do(const CommandLineError& error) {
    output_.Err(error.message);
    result_.Report(kBadCommandLine);
  }

  void Do(const HelpCommand&) {
    const std::string usage = UsageText();
    for (const std::string_view line : SplitLines(usage)) output_.Out(std::string(line));
  }

  void Do(const ShowCommand& show) {
    if (const auto* part = std::get_if<GpoPart>(&show.target)) return ShowGpo(*part);
    const bool allUsers = std::get<RegistryScope>(show.target).allUsers;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const DwordRead read = Read(allUsers, row);
      const char* name = kPolicyTable[row].valueName;
      if (read.status != kSuccess) Fail(name, "read", allUsers, read.status);
      output_.Out(Joined({name, "=", Stored(read)}));
    }
  }

  std::string JsonValue(const DwordRead& read) {
    if (read.status != kSuccess)
      return Joined({"{\"error\": ", Decimal(read.status),
                     ", \"message\": ", JsonString(reasonOf_(read.status)), "}"});
    return read.value ? Decimal(*read.value) : "null";
  }

  void Do(const JsonCommand&) {
    std::string user = "  \"currentUser\": {", machine = "  \"allUsers\": {",
                effective = "  \"effective\": {";
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const std::string name = Joined({row ? ", \"" : "\"", kPolicyTable[row].valueName, "\": "});
      const DwordRead forUser = Read(false, row), forMachine = Read(true, row);
      for (const DwordRead& read : {forUser, forMachine})
        if (read.status != kSuccess) result_.Report(FailureExitCode(read.status));
      user += name + JsonValue(forUser);
      machine += name + JsonValue(forMachine);
      effective += name + Effective(forMachine, forUser);
    }
    for (const std::string& line :
         {std::string("{"), user + "},", machine + "},", effective + "}", std::string("}")})
      output_.Out(line);
  }

  void Do(const CheckCommand& check) {
    const bool allUsers = check.scope.allUsers;
    for (const PolicySetting& setting : check.expected) {
      const DwordRead read = Read(allUsers, setting.row);
      const char* name = kPolicyTable[setting.row].valueName;
      if (read.status != kSuccess) {
        Fail(name, "read", allUsers, read.status);
      } else if (read.value != setting.value) {
        output_.Out(Joined({name, " is ", Stored(read), ", not ", Decimal(setting.value)}));
        result_.Report(kCheckDiffers);
      }
    }
  }

  void Do(const ChangeCommand& change) {
    if (const auto* part = std::get_if<GpoPart>(&change.target))
      return ChangeGpo(*part, change.changes, change.whatIf);
    ChangeRegistry(std::get<RegistryScope>(change.target).allUsers, change.changes, change.whatIf);
  }

  void Do(const ExportCommand& exported) {
    const bool allUsers = exported.scope.allUsers;
    PolicyValues values;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const DwordRead read = Read(allUsers, row);
      if (read.status != kSuccess)
        return Fail(kPolicyTable[row].valueName, "read", allUsers, read.status);
      values[row] = read.value;
    }
    const std::string& path = exported.file.path;
    Win32Error status = files_.MakeFolderOf(path);
    if (status == kSuccess)
      status = files_.Replace(path, ExportPolicies(exported.file.format, allUsers, values));
    if (status != kSuccess) return FileFailed(path, "written", status);
    output_.Out(
        Joined({"The policies of ", Scope(allUsers), " were exported to ", Printable(path), "."}));
  }

  void Do(const ImportCommand& imported) {
    const bool allUsers = imported.scope.allUsers;
    Bytes bytes;
    if (const Win32Error status = files_.Read(imported.file.path, bytes); status != kSuccess) {
      if (status != kNotAFile) return FileFailed(imported.file.path, "read", status);
      output_.Err(
          Joined({Printable(imported.file.path), ": ", kNotAFileReason, " Nothing was written."}));
      result_.Report(kBadPolicyFile);  // a folder or a device is no policy file
      return;
    }
    const ImportedPolicies read = ImportPolicies(imported.file.format, allUsers, std::move(bytes));
    if (!read.error.empty()) {
      output_.Err(Joined({read.error, " Nothing was written."}));
      result_.Report(kBadPolicyFile);
      return;
    }
    for (const std::string& note : read.notes) output_.Out(note);
    std::vector<PolicyChange> changes;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
      if (read.values[row] && !(read.ifMissing[row] && Read(allUsers, row).present))
        changes.push_back({row, *read.values[row]});
    ChangeRegistry(allUsers, changes, imported.whatIf);
  }

  std::string Scope(bool allUsers) const { return ScopeName(allUsers, store_.otherUser); }

  DwordRead Read(bool allUsers, std::size_t row) const {
    return ReadDWORD(store_.registry, store_.Root(allUsers), kPolicyKeyPath,
                     kPolicyTable[row].valueName);
  }

  std::vector<DwordRead> ReadBefore(bool allUsers, const std::vector<PolicyChange>& changes) {
    std::vector<DwordRead> before;
    for (const PolicyChange& change : changes) before.push_back(Read(allUsers, change.row));
    return before;
  }

  static bool AnyChanges(const std::vector<DwordRead>& before,
                         const std::vector<PolicyChange>& changes) {
    for (std::size_t i = 0; i < changes.size(); ++i)
      if (Changes(before[i], changes[i])) return true;
    return false;
  }

  // Reports a failure on its own line; the first one is the exit code,
  // exitCode where it is given.
  void Fail(const char* name, const char* what, bool allUsers, Win32Error status,
            int exitCode = 0) {
    output_.Err(
        Joined({name, " could not be ", what, " for ", Scope(allUsers), ": ", reasonOf_(status)}));
    result_.Report(exitCode ? exitCode : FailureExitCode(status));
  }

  void FileFailed(const std::string& path, const char* what, Win32Error status) {
    output_.Err(Joined({Printable(path), " could not be ", what, ": ", reasonOf_(status)}));
    result_.Report(FailureExitCode(status));
  }

  // Writes or deletes one value; false, reported (with exitCode where it is
  // given), when it could not be.
  bool Store(bool allUsers, const PolicyChange& change, int exitCode = 0) {
    const char* name = kPolicyTable[change.row].valueName;
    const RegKey root = store_.Root(allUsers);
    const Win32Error status = change.value
                                  ? WriteDWORD(store_.registry, root, kPolicyKeyPath, name,
                                               static_cast<std::int32_t>(*change.value))
                                  : DeleteDWORD(store_.registry, root, kPolicyKeyPath, name);
    if (status != kSuccess) {
      Fail(name, change.value ? "written" : "deleted", allUsers, status, exitCode);
      return false;
    }
    result_.changed = true;
    return true;
  }

  // A value already as asked is left untouched; a scope that Windows keeps
  // from this process is not touched at all.
  void ChangeRegistry(bool allUsers, const std::vector<PolicyChange>& changes, bool whatIf) {
    const std::vector<DwordRead> before = ReadBefore(allUsers, changes);
    if (!whatIf && AnyChanges(before, changes) && !MayChangePolicies(store_, allUsers)) {
      output_.Err(RefusedChangeMessage(Scope(allUsers), store_.elevated));
      result_.Report(kAccessDenied);
      return;
    }
    for (std::size_t i = 0; i < changes.size(); ++i) {
      const bool changing = Changes(before[i], changes[i]);
      if (changing && !whatIf && !Store(allUsers, changes[i])) continue;
      output_.Out(ChangeLine(changes[i], " not set", whatIf, changing, Stored(before[i])));
    }
  }

  // The registry's copy of what a part of the local Group Policy Object now
  // says, where no engine runs to make it. The object is written by then,
  // so a refusal here has an exit code of its own.
  void CopyToRegistry(bool allUsers, const std::vector<PolicyChange>& changes) {
    const std::vector<DwordRead> before = ReadBefore(allUsers, changes);
    if (AnyChanges(before, changes) && !MayChangePolicies(store_, allUsers)) {
      output_.Err(
          Joined({"The local Group Policy Object was written, but no Group Policy engine "
                  "runs here to apply it, and Windows keeps the registry of ",
                  Scope(allUsers), " from this process."}));
      result_.Report(kGpoWrittenRegistryNot);
      return;
    }
    for (std::size_t i = 0; i < changes.size(); ++i)
      if (Changes(before[i], changes[i])) Store(allUsers, changes[i], kGpoWrittenRegistryNot);
  }

  void GpoFailed(const GpoTransaction& gpo) {
    output_.Err(gpo.Error());
    result_.Report(gpo.ExitCode());
  }

  void ShowGpo(GpoPart part) {
    GpoTransaction gpo(files_, reasonOf_, groupPolicy_.Folder(), part.machine);
    if (!gpo.Read(false)) return GpoFailed(gpo);
    for (const PolicyRow& row : kPolicyTable)
      output_.Out(Joined({row.valueName, "=",
                          GpoState(FindPolValue(gpo.Policies(), kPolicyKeyPath, row.valueName))}));
  }

  // The part is held from the first read to the last write, and its two
  // files change together or not at all.
  void ChangeGpo(GpoPart part, const std::vector<PolicyChange>& changes, bool whatIf) {
    GpoTransaction gpo(files_, reasonOf_, groupPolicy_.Folder(), part.machine);
    if (!gpo.Read(!whatIf)) return GpoFailed(gpo);
    const PolFile& pol = gpo.Policies();
    std::vector<std::string> lines;
    std::vector<PolValueSetting> written;
    FivePolSettings settings;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row)
      settings[row] = FindPolValue(pol, kPolicyKeyPath, kPolicyTable[row].valueName);
    for (const PolicyChange& change : changes) {
      const char* name = kPolicyTable[change.row].valueName;
      const PolSetting before = settings[change.row];
      const PolSetting after =
          change.value ? PolSetting{PolSetting::State::Number, *change.value} : PolSetting{};
      // Another policy's record that deletes the value too stays, so /unset
      // may leave the file as it was.
      const bool changing =
          !SameSetting(before, after) && (after.state != PolSetting::State::NotConfigured ||
                                          HasRecordOf(pol, kPolicyKeyPath, name));
      lines.push_back(ChangeLine(change, " not configured", whatIf, changing, GpoState(before)));
      if (!changing) continue;
      written.push_back({name, after});
      settings[change.row] = FindPolValueOnceWritten(pol, kPolicyKeyPath, name, after);
    }
    const bool anyChange = !written.empty();
    const bool unfinished = !whatIf && gpo.Unfinished();
    if (!whatIf && (anyChange || unfinished) &&
        !gpo.Commit(anyChange ? WithPolValues(pol, kPolicyKeyPath, written) : pol.bytes))
      return GpoFailed(gpo);
    for (const std::string& line : lines) output_.Out(line);
    if (unfinished)
      output_.Out(
          "gpt.ini's Version was raised for the change an earlier run left unfinished, so that "
          "Windows applies it.");
    if (!whatIf && (anyChange || unfinished)) ApplyGpo(part, settings, changes);
  }

  // What the part's file leaves of the five policies (settings), as the
  // engine would put it in the registry: the numbers it sets, the values it
  // deletes, and the values named here that it no longer configures, which
  // the engine removes.
  std::vector<PolicyChange> AppliedBy(const FivePolSettings& settings, bool machine,
                                      const std::vector<PolicyChange>& named) {
    std::vector<PolicyChange> applied;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const PolSetting& setting = settings[row];
      const bool isNamed =
          std::any_of(named.begin(), named.end(),
                      [row](const PolicyChange& change) { return change.row == row; });
      if (setting.state == PolSetting::State::Number ||
          (setting.state == PolSetting::State::NumberIfMissing && !Read(machine, row).present))
        applied.push_back({row, setting.number});
      else if (setting.state == PolSetting::State::Deleted ||
               (setting.state == PolSetting::State::NotConfigured && isNamed))
        applied.push_back({row, std::nullopt});
    }
    return applied;
  }

  // Asks the engine to apply what was written; where none runs, the values
  // go to the registry as the engine would put them.
  void ApplyGpo(GpoPart part, const FivePolSettings& settings,
                const std::vector<PolicyChange>& named) {
    const Win32Error status = groupPolicy_.Refresh(part.machine);
    if (status == kNoPolicyEngine) {
      CopyToRegistry(part.machine, AppliedBy(settings, part.machine, named));
      if (result_.exitCode == 0)
        output_.Out(
            Joined({"No Group Policy engine runs here to apply it, so Polvane changed the "
                    "registry of ",
                    ScopeName(part.machine), " to match."}));
    } else if (status != kSuccess) {
      output_.Err(
          Joined({"Windows could not be asked to apply the policy now, and will at its next "
                  "refresh: ",
                  reasonOf_(status)}));
      result_.Report(FailureExitCode(status));
    }
  }

  const PolicyStore& store_;
  CommandOutput& output_;
  const ReasonOf& reasonOf_;
  FileAccess& files_;
  GroupPolicy& groupPolicy_;
  CommandResult result_;
};

}  // namespace

CommandResult RunCommand(const PolicyStore& store, const Command& command, CommandOutput& output,
                         const ReasonOf& reasonOf, FileAccess& files, GroupPolicy& groupPolicy) {
  // A file over the size Polvane reads, and a folder or a device where a
  // file was named, are refused with codes whose system texts do not say so.
  const ReasonOf reasons = [&reasonOf](Win32Error status) {
    if (status == kFileTooLarge) return std::string(kFileTooLargeReason);
    return status == kNotAFile ? std::string(kNotAFileReason) : reasonOf(status);
  };
  return Runner(store, output, reasons, files, groupPolicy).Run(command);
}

}  // namespace polvane
