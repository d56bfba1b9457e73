// Fuzzes the command line: whatever a script types, the parser refuses it
// with one line, or accepts a command that it can carry out. An accepted
// line has plain ASCII switches and names, names each policy at most once
// with a value its command takes, and runs against any stored values
// without being called wrong; /set leaves what it named as named, and
// /whatif changes nothing.
//   command_fuzzer [-max_total_time=N] WORK_DIR
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "rules/Ascii.h"
#include "rules/CommandLine.h"
#include "tests/common/MemoryFiles.h"
#include "tests/common/MemoryRegistry.h"
#include "rules/PolicyTable.h"
#include "rules/LocalGpo.h"
#include "rules/RegistryPol.h"
#include "rules/mdlMain.h"
#include "rules/mdlRegistry.h"
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

struct Lines final : CommandOutput {
  void Out(const std::string&) override {}
  void Err(const std::string& line) override { Require(line.find('\n') == std::string::npos); }
};

void RequireWellFormed(const Command& command, const std::vector<std::string>& arguments) {
  Require(command.error.empty());
  // A user's name and a file's are theirs to spell; switches and policy
  // names are plain.
  for (const std::string& argument : arguments)
    Require(IsAscii(argument) || AsciiLower(argument.substr(0, 6)) == "/user:" ||
            AsciiLower(argument.substr(0, 6)) == "-user:" || argument == command.file);
  std::set<std::size_t> rows;
  const std::uint32_t highest = command.kind == CommandKind::Edit ? 2 : 1;
  for (const PolicySetting& setting : command.settings) {
    Require(setting.row < kPolicyTable.size() && rows.insert(setting.row).second);
    Require(setting.value <= highest);
  }
}

}  // namespace
}  // namespace polvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace polvane;
  FuzzedDataProvider input(data, size);
  std::vector<std::string> arguments;
  while (input.remaining_bytes() > 0 && arguments.size() < 32)
    arguments.push_back(input.ConsumeBool() ? std::string(input.PickValueInArray(kWords))
                                            : input.ConsumeRandomLengthString(24));
  const Command command = ParseCommandLine(arguments);
  if (command.kind == CommandKind::Invalid) {
    Require(!command.error.empty() && command.error.find('\n') == std::string::npos);
    return 0;
  }
  RequireWellFormed(command, arguments);
  if (OpensWindow(command)) {
    test::FakePanel panel;
    ApplyEdits(command, panel);
    return 0;
  }

  test::MemoryRegistry store;
  for (const PolicyRow& row : kPolicyTable)
    if (input.ConsumeBool())
      store.Put(command.allUsers ? kLocalMachine : kCurrentUser, kPolicyKeyPath, row.valueName,
                {input.ConsumeBool() ? kRegDword : kRegSz, input.ConsumeBytes<std::uint8_t>(4)});
  const test::MemoryRegistry before = store;
  const PolicyStore scopes{store};
  Lines lines;
  test::MemoryFiles files;
  test::StatedGroupPolicy groupPolicy;
  const CommandResult result = RunCommand(
      scopes, command, lines, [](RegStatus) { return "reason"; }, files, groupPolicy);
  Require(result.exitCode == 0 ||
          (command.kind == CommandKind::Check && result.exitCode == kCheckDiffers) ||
          (command.kind == CommandKind::Import && result.exitCode == kRegFileNotFound));
  // With no Group Policy engine, /gpo /set leaves the values in the local
  // Group Policy Object and in the registry alike.
  const std::string gpoFile = GpoPolicyFile(groupPolicy.Folder(), command.allUsers);
  if (command.kind == CommandKind::Set && !command.whatIf)
    for (const PolicySetting& setting : command.settings) {
      const char* name = kPolicyTable[setting.row].valueName;
      Require(QueryDWORD(store, scopes.Root(command.allUsers), kPolicyKeyPath, name).value ==
              setting.value);
      Require(!command.gpo ||
              FindPolValue(*ReadPol(files.files[gpoFile]).file, kPolicyKeyPath, name).number ==
                  setting.value);
    }
  if (command.whatIf || command.kind == CommandKind::Show) Require(files.files.empty());
  if (command.whatIf || command.kind == CommandKind::Show || command.kind == CommandKind::Check ||
      command.kind == CommandKind::Export) {
    Require(!result.changed);
    for (const PolicyRow& row : kPolicyTable)
      for (const RegKey root : {kCurrentUser, kLocalMachine})
        Require(store.Get(root, kPolicyKeyPath, row.valueName) ==
                before.Get(root, kPolicyKeyPath, row.valueName));
  }
  return 0;
}
