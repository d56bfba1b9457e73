// Fuzzes the command line: whatever a script types runs against stored
// values in both scopes of the registry and in both parts of the local Group
// Policy Object. A wrong line prints one line, exits 87, and leaves the
// registry and every file byte for byte as they were. A line that is not
// wrong has plain ASCII switches and names, names each policy at most once
// with a value its command takes, and runs without being called wrong:
// /set and /unset leave what they named as named, and /show, /json,
// /check, /export and /whatif change nothing in the registry or the local
// Group Policy Object. The whole input, read as one command line, splits
// into arguments that, quoted again as a caller would quote them, split
// back into the same.
//   command_fuzzer [-max_total_time=N] WORK_DIR
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "rules/Ascii.h"
#include "rules/CommandLine.h"
#include "rules/Commands.h"
#include "rules/WindowEdits.h"
#include "rules/LocalGpo.h"
#include "rules/PolicyTable.h"
#include "rules/RegistryPol.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"
#include "tests/common/MemoryFiles.h"
#include "tests/common/MemoryRegistry.h"
#include "tests/native/FakePanel.h"

namespace polvane {
namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// Words a script might type, so that the fuzzer reaches past the first
// argument; anything else comes from the input itself.
constexpr const char* kWords[] = {"/show",
                                  "/set",
                                  "/unset",
                                  "-check",
                                  "/edit",
                                  "/?",
                                  "/json",
                                  "/whatif",
                                  "/allusers",
                                  "/user:alice",
                                  "PreventRun",
                                  "preventrun=1",
                                  "DisableVideo=0",
                                  "DisablePC2Phone=2",
                                  "DisableFileTransfer",
                                  "=",
                                  "",
                                  "/",
                                  "\xef\xbc\x8fset",
                                  "/export",
                                  "/import",
                                  "/gpo",
                                  "p.pol",
                                  "p.reg",
                                  "p.txt"};

// An argument as a caller passes it through CreateProcess: in quotes, each
// quote escaped, and the backslashes before a quote, or before the closing
// quote, doubled.
std::string Quoted(const std::string& argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '"') quoted.append(backslashes + 1, '\\');
    backslashes = c == '\\' ? backslashes + 1 : 0;
    quoted += c;
  }
  return quoted.append(backslashes, '\\') + "\"";
}

std::string GpoFolder() { return test::StatedGroupPolicy().Folder(); }

struct Lines final : CommandOutput {
  void Out(const std::string&) override { ++out; }
  void Err(const std::string& line) override {
    Require(line.find('\n') == std::string::npos);
    ++err;
  }
  int out = 0, err = 0;
};

// What the registry and the local Group Policy Object hold before the
// command runs, drawn from the input: each value absent, 0, 1 or of another
// type; each record absent, 0, 1 or a deletion; a gpt.ini or none.
void Store(FuzzedDataProvider& input, test::MemoryRegistry& registry, test::MemoryFiles& files) {
  const auto kind = [&input] { return input.ConsumeIntegralInRange<std::uint8_t>(0, 3); };
  const auto number = [](std::uint8_t k) {
    return Bytes{static_cast<std::uint8_t>(k - 1), 0, 0, 0};
  };
  for (const RegKey root : {kCurrentUser, kLocalMachine})
    for (const PolicyRow& row : kPolicyTable)
      if (const std::uint8_t k = kind())
        registry.Put(root, kPolicyKeyPath, row.valueName,
                     k == 3 ? test::MemoryRegistry::StoredValue{kRegSz, {'1', 0}}
                            : test::MemoryRegistry::StoredValue{kRegDword, number(k)});
  for (const bool machine : {false, true}) {
    Bytes pol{'P', 'R', 'e', 'g', 1, 0, 0, 0};
    for (const PolicyRow& row : kPolicyTable)
      if (const std::uint8_t k = kind()) {
        const Bytes record =
            k == 3 ? PolRecordBytes(kPolicyKeyPath, DeletionOf(row.valueName), kRegSz, {' ', 0})
                   : PolRecordBytes(kPolicyKeyPath, row.valueName, kRegDword, number(k));
        pol.insert(pol.end(), record.begin(), record.end());
      }
    if (pol.size() > 8) files.files[GpoPolicyFile(GpoFolder(), machine)] = pol;
  }
  if (input.ConsumeBool()) {
    const std::string ini =
        "[General]\r\nVersion=" + std::to_string(input.ConsumeIntegral<std::uint32_t>()) + "\r\n";
    files.files[GpoIniFile(GpoFolder())] = Bytes(ini.begin(), ini.end());
  }
}

// A user's name and a file's are theirs to spell; switches and policy names
// are plain.
void RequireWellFormed(const std::vector<std::string>& arguments, const PolicyFile* file) {
  for (const std::string& argument : arguments)
    Require(IsAscii(argument) || AsciiLower(argument.substr(0, 6)) == "/user:" ||
            AsciiLower(argument.substr(0, 6)) == "-user:" || (file && argument == file->path));
}

// Each policy named once, with a value its command takes.
template <class Named>
void RequireEachOnce(const std::vector<Named>& named, std::uint32_t highest) {
  std::set<std::size_t> rows;
  for (const Named& one : named)
    Require(one.row < kPolicyTable.size() && rows.insert(one.row).second &&
            std::optional<std::uint32_t>(one.value).value_or(0) <= highest);
}

// Whether the command asks only to read: nothing may change.
bool OnlyReads(const Command& command) {
  if (const auto* change = std::get_if<ChangeCommand>(&command)) return change->whatIf;
  if (const auto* imported = std::get_if<ImportCommand>(&command)) return imported->whatIf;
  return !std::holds_alternative<CommandLineError>(command);
}

// After a /set or /unset that did not fail, the named values are as named:
// in the registry, or in the part of the local Group Policy Object, and,
// where the part was written with no Group Policy engine to apply it, in
// the registry too.
void RequireChanged(const ChangeCommand& change, test::MemoryRegistry& registry,
                    test::MemoryFiles& files, const test::StatedGroupPolicy& groupPolicy) {
  const auto* part = std::get_if<GpoPart>(&change.target);
  const bool allUsers = part ? part->machine : std::get<RegistryScope>(change.target).allUsers;
  const PolRead pol =
      ReadPol(part ? files.files[GpoPolicyFile(GpoFolder(), part->machine)] : Bytes{});
  for (const PolicyChange& named : change.changes) {
    const char* name = kPolicyTable[named.row].valueName;
    if (part) {
      const PolSetting setting = FindPolValue(*pol.file, kPolicyKeyPath, name);
      Require(named.value
                  ? setting.state == PolSetting::State::Number && setting.number == *named.value
                  : setting.state != PolSetting::State::Number);
      if (groupPolicy.refreshed.empty()) continue;
    }
    const DwordRead stored =
        ReadDWORD(registry, allUsers ? kLocalMachine : kCurrentUser, kPolicyKeyPath, name);
    Require(named.value ? stored.value == named.value : !stored.present);
  }
}

}  // namespace
}  // namespace polvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace polvane;
  const std::vector<std::string> split =
      SplitCommandLine(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string again = "Polvane.exe";
  for (const std::string& argument : split)
    if (argument.find('\0') == std::string::npos) again += " " + Quoted(argument);
  if (std::string_view(reinterpret_cast<const char*>(data), size).find('\0') == std::string::npos)
    Require(SplitCommandLine(again) == split);
  FuzzedDataProvider input(data, size);
  test::MemoryRegistry registry;
  test::MemoryFiles files;
  test::StatedGroupPolicy groupPolicy;
  Store(input, registry, files);
  std::vector<std::string> arguments;
  while (input.remaining_bytes() > 0 && arguments.size() < 32)
    arguments.push_back(input.ConsumeBool() ? std::string(input.PickValueInArray(kWords))
                                            : input.ConsumeRandomLengthString(24));

  const Command command = ParseCommandLine(arguments);
  if (const auto* window = std::get_if<WindowCommand>(&command)) {
    RequireWellFormed(arguments, nullptr);
    RequireEachOnce(window->edits, 2);
    test::FakePanel panel;
    ApplyEdits(*window, panel);
    return 0;
  }

  const test::MemoryRegistry registryBefore = registry;
  const auto filesBefore = files.files;
  Lines lines;
  const CommandResult result = RunCommand(
      PolicyStore{registry}, command, lines, [](Win32Error) { return "reason"; }, files,
      groupPolicy);
  Require(files.held.empty());

  if (std::holds_alternative<CommandLineError>(command)) {
    Require(result.exitCode == kBadCommandLine && lines.err == 1 && lines.out == 0);
    Require(!result.changed && groupPolicy.refreshed.empty());
    Require(registry.StoresTheSameAs(registryBefore) && files.files == filesBefore);
    return 0;
  }

  const auto* exported = std::get_if<ExportCommand>(&command);
  const auto* imported = std::get_if<ImportCommand>(&command);
  RequireWellFormed(arguments, exported ? &exported->file : imported ? &imported->file : nullptr);
  if (const auto* check = std::get_if<CheckCommand>(&command)) RequireEachOnce(check->expected, 1);
  const auto* change = std::get_if<ChangeCommand>(&command);
  if (change) RequireEachOnce(change->changes, 1);

  Require(result.exitCode == 0 ||
          (std::holds_alternative<CheckCommand>(command) && result.exitCode == kCheckDiffers) ||
          (imported && result.exitCode == kFileNotFound));
  if (OnlyReads(command)) {
    Require(!result.changed && groupPolicy.refreshed.empty());
    Require(registry.StoresTheSameAs(registryBefore));
    if (exported) files.files.erase(exported->file.path);
    Require(files.files == filesBefore);
  } else if (change) {
    RequireChanged(*change, registry, files, groupPolicy);
  }
  return 0;
}
