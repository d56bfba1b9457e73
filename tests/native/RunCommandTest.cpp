// The command line's commands run against a registry and files in memory:
// what each prints, writes and exits with.
#include <gtest/gtest.h>

#include <algorithm>

#include "rules/CommandLine.h"
#include "rules/Commands.h"
#include "tests/common/MemoryRegistry.h"
#include "rules/Messages.h"
#include "rules/PolicyTable.h"
#include "rules/RegistryPol.h"
#include "tests/common/CountingRegistry.h"
#include "tests/common/MemoryFiles.h"

namespace polvane::test {
namespace {

struct Lines final : CommandOutput {
  void Out(const std::string& line) override { out.push_back(line); }
  void Err(const std::string& line) override { err.push_back(line); }
  std::vector<std::string> out, err;
};

TEST(RunCommand, ARefusedSetOrUnsetWritesNothingAndSaysWhoChangesThePolicies) {
  MemoryRegistry memory;
  const PolicyStore store{memory};
  MemoryFiles files;
  StatedGroupPolicy groupPolicy;
  const MemoryRegistry::StoredValue one{kRegDword, {1, 0, 0, 0}};
  memory.Put(kLocalMachine, kPolicyKeyPath, "PreventRun", one);
  memory.Protect(kLocalMachine, kPolicyKeyPath);
  const std::vector<std::vector<std::string>> refused{{"/set", "DisableVideo=1", "/allusers"},
                                                      {"/unset", "PreventRun", "-ALLUSERS"}};
  for (const auto& arguments : refused) {
    Lines lines;
    EXPECT_EQ(RunCommand(
                  store, ParseCommandLine(arguments), lines, [](Win32Error) { return "?"; }, files,
                  groupPolicy)
                  .exitCode,
              kAccessDenied);
    ASSERT_EQ(lines.err.size(), 1u);
    EXPECT_EQ(lines.err[0],
              "Access is denied: the Messenger policies of all users are changed by an "
              "administrator (from an elevated prompt) or through Group Policy. Nothing was "
              "written.");
    EXPECT_TRUE(lines.out.empty());
    EXPECT_EQ(memory.Get(kLocalMachine, kPolicyKeyPath, "PreventRun"), one);
    EXPECT_FALSE(memory.Get(kLocalMachine, kPolicyKeyPath, "DisableVideo"));
  }
  Lines lines;
  EXPECT_EQ(RunCommand(store, ParseCommandLine({"/set", "DisableVideo=1"}), lines, nullptr, files,
                       groupPolicy)
                .exitCode,
            0);
  EXPECT_TRUE(memory.Get(kCurrentUser, kPolicyKeyPath, "DisableVideo"));
}

const MemoryRegistry::StoredValue kOne{kRegDword, {1, 0, 0, 0}};
const MemoryRegistry::StoredValue kZero{kRegDword, {0, 0, 0, 0}};
std::string Reason(Win32Error status) {
  return status == kAccessDenied ? "Access \"denied\"." : "?";
}

class Commands : public ::testing::Test {
 protected:
  CommandResult Run(const std::vector<std::string>& arguments) {
    lines = {};
    return RunCommand(PolicyStore{registry}, ParseCommandLine(arguments), lines, Reason, files,
                      groupPolicy);
  }

  MemoryRegistry memory;
  CountingRegistry registry{memory};
  MemoryFiles files;
  StatedGroupPolicy groupPolicy;
  Lines lines;
};

TEST_F(Commands, SetAndUnsetLeaveWhatIsSoUntouchedAndWhatIfChangesNothing) {
  memory.Put(kCurrentUser, kPolicyKeyPath, "PreventRun", kOne);
  memory.Put(kCurrentUser, kPolicyKeyPath, "DisableVideo", {kRegSz, {'1', 0}});
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> out;
    bool changed;
    int writes;  // values set or deleted
  };
  const Case cases[] = {
      {{"/set", "PreventRun=1", "DisableFileTransfer=1", "/whatif"},
       {"What if: PreventRun=1 unchanged", "What if: DisableFileTransfer=1 (was not set)"},
       false,
       0},
      {{"/set", "PreventRun=1", "DisableFileTransfer=1"},
       {"PreventRun=1 unchanged", "DisableFileTransfer=1 (was not set)"},
       true,
       1},
      {{"/set", "PreventRun=1", "DisableFileTransfer=1"},
       {"PreventRun=1 unchanged", "DisableFileTransfer=1 unchanged"},
       false,
       0},
      {{"/unset", "DisableVideo", "DisablePC2Phone", "/whatif"},
       {"What if: DisableVideo not set (was not a 4-byte REG_DWORD)",
        "What if: DisablePC2Phone not set, unchanged"},
       false,
       0},
      {{"/unset", "PreventRun", "DisableVideo"},
       {"PreventRun not set (was 1)", "DisableVideo not set (was not a 4-byte REG_DWORD)"},
       true,
       2},
  };
  for (const Case& c : cases) {
    registry.Clear();
    const CommandResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, 0) << c.arguments[1];
    EXPECT_EQ(lines.out, c.out);
    EXPECT_TRUE(lines.err.empty());
    EXPECT_EQ(result.changed, c.changed) << c.arguments[1];
    EXPECT_EQ(registry.Count(RegCall::Set) + registry.Count(RegCall::Delete), c.writes)
        << c.arguments[1];
  }
  EXPECT_FALSE(memory.Get(kCurrentUser, kPolicyKeyPath, "PreventRun"));
  EXPECT_EQ(memory.Get(kCurrentUser, kPolicyKeyPath, "DisableFileTransfer"), kOne);
}

TEST_F(Commands, ShowJsonGivesBothScopesAndTheEffectiveValueMachineWideFirst) {
  memory.Put(kCurrentUser, kPolicyKeyPath, "PreventRun", kZero);
  memory.Put(kCurrentUser, kPolicyKeyPath, "DisableVideo", kOne);
  memory.Put(kLocalMachine, kPolicyKeyPath, "PreventRun", kOne);
  registry.Fail(RegCall::Query, "DisablePC2Phone", kAccessDenied);
  EXPECT_EQ(Run({"/show", "/json"}).exitCode, kAccessDenied);
  const std::string denied = R"({"error": 5, "message": "Access \"denied\"."})";
  const std::vector<std::string> expected{
      "{",
      R"(  "currentUser": {"PreventRun": 0, "DisableFileTransfer": null, )"
      R"("DisablePC2PCAudio": null, "DisablePC2Phone": )" +
          denied + R"(, "DisableVideo": 1},)",
      R"(  "allUsers": {"PreventRun": 1, "DisableFileTransfer": null, )"
      R"("DisablePC2PCAudio": null, "DisablePC2Phone": )" +
          denied + R"(, "DisableVideo": null},)",
      R"(  "effective": {"PreventRun": {"value": 1, "from": "allUsers"}, )"
      R"("DisableFileTransfer": {"value": null, "from": "notSet"}, )"
      R"("DisablePC2PCAudio": {"value": null, "from": "notSet"}, )"
      R"("DisablePC2Phone": {"value": null, "from": "unreadable"}, )"
      R"("DisableVideo": {"value": 1, "from": "currentUser"}})",
      "}"};
  EXPECT_EQ(lines.out, expected);
}

TEST_F(Commands, CheckExitsZeroWhenAllIsSoOneWhenAnyDiffersElseTheFailure) {
  memory.Put(kLocalMachine, kPolicyKeyPath, "PreventRun", kOne);
  memory.Put(kLocalMachine, kPolicyKeyPath, "DisableVideo", kZero);
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::vector<std::string> out;
  };
  const Case cases[] = {
      {{"/check", "PreventRun=1", "DisableVideo=0", "/allusers"}, 0, {}},
      {{"/check", "PreventRun=0", "DisableFileTransfer=1", "DisableVideo=0", "/allusers"},
       kCheckDiffers,
       {"PreventRun is 1, not 0", "DisableFileTransfer is not set, not 1"}},
      {{"/check", "PreventRun=1"}, kCheckDiffers, {"PreventRun is not set, not 1"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.arguments).exitCode, c.exitCode) << c.arguments[1];
    EXPECT_EQ(lines.out, c.out);
    EXPECT_TRUE(lines.err.empty());
  }
  registry.Fail(RegCall::Query, "DisableVideo", kAccessDenied);
  EXPECT_EQ(Run({"/check", "PreventRun=0", "DisableVideo=1", "/allusers"}).exitCode, kAccessDenied);
  EXPECT_EQ(lines.out, std::vector<std::string>{"PreventRun is 1, not 0"});
  EXPECT_EQ(lines.err, std::vector<std::string>{
                           "DisableVideo could not be read for all users: Access \"denied\"."});
}

class GpoCommands : public Commands {
 protected:
  static constexpr char kMachinePol[] = "C:\\Windows\\System32\\GroupPolicy\\Machine\\Registry.pol";
  static constexpr char kUserPol[] = "C:\\Windows\\System32\\GroupPolicy\\User\\Registry.pol";
  static constexpr char kIni[] = "C:\\Windows\\System32\\GroupPolicy\\gpt.ini";
  static constexpr char kNote[] = "C:\\Windows\\System32\\GroupPolicy\\User\\Polvane.unfinished";
  static constexpr char kLock[] = "C:\\Windows\\System32\\GroupPolicy\\Polvane.lock";

  PolSetting InGpo(const char* file, const char* name) {
    return FindPolValue(*ReadPol(files.files[file]).file, kPolicyKeyPath, name);
  }
  std::string Ini() { return std::string(files.files[kIni].begin(), files.files[kIni].end()); }
};

TEST_F(GpoCommands, SetAndUnsetChangeThePartsRegistryPolAndGptIniAndAskTheEngineToApplyThem) {
  const std::string noEngine =
      "No Group Policy engine runs here to apply it, so Polvane changed the registry of all "
      "users to match.";
  struct Case {
    std::vector<std::string> arguments;
    Win32Error engine;
    std::vector<std::string> out;
    std::vector<bool> refreshed;
  };
  const Case cases[] = {
      {{"/gpo", "/set", "PreventRun=1", "/allusers", "/whatif"},
       kNoPolicyEngine,
       {"What if: PreventRun=1 (was not configured)"},
       {}},
      {{"/gpo", "/set", "PreventRun=1", "DisableVideo=0", "/allusers"},
       kNoPolicyEngine,
       {"PreventRun=1 (was not configured)", "DisableVideo=0 (was not configured)", noEngine},
       {true}},
      {{"/gpo", "/set", "PreventRun=1", "/allusers"},
       kNoPolicyEngine,
       {"PreventRun=1 unchanged"},
       {}},
      {{"/gpo", "/unset", "DisableVideo", "DisablePC2Phone", "/allusers"},
       kNoPolicyEngine,
       {"DisableVideo not configured (was 0)", "DisablePC2Phone not configured, unchanged",
        noEngine},
       {true}},
      {{"/gpo", "/set", "DisableFileTransfer=1"},
       kSuccess,
       {"DisableFileTransfer=1 (was not configured)"},
       {false}},
  };
  for (const Case& c : cases) {
    groupPolicy.answer = c.engine;
    groupPolicy.refreshed.clear();
    EXPECT_EQ(Run(c.arguments).exitCode, 0) << c.arguments[2];
    EXPECT_EQ(lines.out, c.out);
    EXPECT_TRUE(lines.err.empty()) << lines.err[0];
    EXPECT_EQ(groupPolicy.refreshed, c.refreshed) << c.arguments[2];
  }
  EXPECT_EQ(InGpo(kMachinePol, "PreventRun").number, 1u);
  EXPECT_EQ(InGpo(kMachinePol, "DisableVideo").state, PolSetting::State::NotConfigured);
  EXPECT_EQ(InGpo(kUserPol, "DisableFileTransfer").number, 1u);
  EXPECT_NE(Ini().find("\r\nVersion=65538\r\n"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("gPCUserExtensionNames=[{35378EAC"), std::string::npos) << Ini();
  // Without an engine, the registry holds what the engine would have put
  // there; with one, the engine puts it.
  EXPECT_EQ(memory.Get(kLocalMachine, kPolicyKeyPath, "PreventRun"), kOne);
  EXPECT_FALSE(memory.Get(kLocalMachine, kPolicyKeyPath, "DisableVideo"));
  EXPECT_FALSE(memory.Get(kCurrentUser, kPolicyKeyPath, "DisableFileTransfer"));

  Run({"/gpo", "/show"});
  EXPECT_EQ(lines.out, (std::vector<std::string>{
                           "PreventRun=not configured", "DisableFileTransfer=1",
                           "DisablePC2PCAudio=not configured", "DisablePC2Phone=not configured",
                           "DisableVideo=not configured"}));
}

// Without an engine, the registry follows the part's own records that
// delete the values too; **soft. sets a value only where it is missing.
TEST_F(GpoCommands, TheRegistryFollowsWhatThePartDeletesAndSoftValuesFillOnlyWhatIsMissing) {
  const auto wide = [](const std::string& text) {
    Bytes out;
    for (const char c : text) out.insert(out.end(), {static_cast<std::uint8_t>(c), 0});
    return out;
  };
  const auto pol = [](std::initializer_list<Bytes> records) {
    Bytes file = EmptyPol();
    for (const Bytes& record : records) file.insert(file.end(), record.begin(), record.end());
    return file;
  };
  memory.Put(kLocalMachine, kPolicyKeyPath, "PreventRun", kOne);
  memory.Put(kLocalMachine, kPolicyKeyPath, "DisableVideo", kOne);
  files.files[kMachinePol] = pol({PolRecordBytes("Software\\Policies\\Microsoft", "**DeleteKeys",
                                                 kRegSz, wide(std::string("Messenger\0", 10)))});
  EXPECT_EQ(Run({"/gpo", "/set", "DisableFileTransfer=1", "/allusers"}).exitCode, 0);
  EXPECT_FALSE(memory.Get(kLocalMachine, kPolicyKeyPath, "PreventRun"));
  EXPECT_FALSE(memory.Get(kLocalMachine, kPolicyKeyPath, "DisableVideo"));
  EXPECT_EQ(memory.Get(kLocalMachine, kPolicyKeyPath, "DisableFileTransfer"), kOne);

  files.files["soft.pol"] =
      pol({PolRecordBytes(kPolicyKeyPath, "**soft.PreventRun", kRegDword, {0, 0, 0, 0}),
           PolRecordBytes(kPolicyKeyPath, "**soft.DisableFileTransfer", kRegDword, {0, 0, 0, 0})});
  EXPECT_EQ(Run({"/import", "soft.pol", "/allusers"}).exitCode, 0);
  EXPECT_EQ(memory.Get(kLocalMachine, kPolicyKeyPath, "PreventRun"), kZero);
  EXPECT_EQ(memory.Get(kLocalMachine, kPolicyKeyPath, "DisableFileTransfer"), kOne);
}

TEST_F(GpoCommands, ARefusedWriteOrAGptIniThatDoesNotParseWritesNothing) {
  // Windows lets only administrators write the local Group Policy Object.
  files.writeAnswers[kMachinePol] = {kAccessDenied};
  EXPECT_EQ(Run({"/gpo", "/set", "PreventRun=1", "/allusers"}).exitCode, kAccessDenied);
  EXPECT_EQ(lines.err,
            std::vector<std::string>{std::string(kMachinePol) +
                                     " could not be written: Access \"denied\". Only "
                                     "administrators change the local Group Policy Object: run "
                                     "Polvane from an elevated prompt. Nothing was written."});
  EXPECT_TRUE(lines.out.empty());
  EXPECT_TRUE(files.files.empty());

  const std::string ini = "[General]\r\nVersion=x\r\n";
  files.files = {{kIni, Bytes(ini.begin(), ini.end())}};
  EXPECT_EQ(Run({"/gpo", "/set", "PreventRun=1", "/allusers"}).exitCode, kBadPolicyFile);
  EXPECT_EQ(lines.err,
            std::vector<std::string>{std::string(kIni) + ": gpt.ini's Version, x, is not a number. "
                                                         "Nothing was written."});
  EXPECT_EQ(files.files.size(), 1u);
  EXPECT_TRUE(groupPolicy.refreshed.empty());
  EXPECT_FALSE(memory.Get(kLocalMachine, kPolicyKeyPath, "PreventRun"));

  // Written, but with no engine, a registry Windows keeps from this process
  // is not changed to match, and the line says which was written.
  files.files.clear();
  memory.Put(kLocalMachine, kPolicyKeyPath, "DisableVideo", kOne);
  memory.Protect(kLocalMachine, kPolicyKeyPath);
  EXPECT_EQ(Run({"/gpo", "/set", "PreventRun=1", "/allusers"}).exitCode, kGpoWrittenRegistryNot);
  EXPECT_EQ(InGpo(kMachinePol, "PreventRun").number, 1u);
  EXPECT_EQ(lines.err, std::vector<std::string>{
                           "The local Group Policy Object was written, but no Group Policy engine "
                           "runs here to apply it, and Windows keeps the registry of all users "
                           "from this process."});
  EXPECT_FALSE(memory.Get(kLocalMachine, kPolicyKeyPath, "PreventRun"));
}

// Each exit code means one thing. A Windows failure that has the number of
// one of Polvane's own codes exits as its HRESULT; a folder or a device is
// refused, as a file to write (222) or as a policy file to read (13); and
// with 5, 13, 32 and 87 nothing is written.
TEST_F(GpoCommands, EachExitCodeMeansOneThing) {
  struct Case {
    std::vector<std::string> arguments;
    const char* path;
    Win32Error answer;  // of the file store, for path
    bool onRead;
    int exitCode;
  };
  const Case cases[] = {
      {{"/export", "p.reg"}, "p.reg", kSharingViolation, false, static_cast<int>(0x80070020)},
      {{"/export", "p.reg"}, "p.reg", kBadCommandLine, false, static_cast<int>(0x80070057)},
      {{"/export", "p.reg"}, "p.reg", 1, false, static_cast<int>(0x80070001)},
      {{"/export", "p.reg"}, "p.reg", kInvalidData, false, static_cast<int>(0x8007000D)},
      {{"/export", "NUL.reg"}, "NUL.reg", kNotAFile, false, kNotAFileToWrite},
      {{"/export", "p.reg"}, "p.reg", kAccessDenied, false, kAccessRefused},
      {{"/import", "p.pol"}, "p.pol", kNotAFile, true, kBadPolicyFile},
      {{"/import", "p.pol"}, "p.pol", kSharingViolation, true, static_cast<int>(0x80070020)},
      {{"/gpo", "/set", "PreventRun=1"},
       kUserPol,
       kSharingViolation,
       true,
       static_cast<int>(0x80070020)},
      {{"/gpo", "/set", "PreventRun=1"}, kUserPol, kNotAFile, false, kNotAFileToWrite},
  };
  for (const Case& c : cases) {
    files = {};
    (c.onRead ? files.readAnswers[c.path] : files.writeAnswers[c.path].emplace_back()) = c.answer;
    EXPECT_EQ(Run(c.arguments).exitCode, c.exitCode) << c.arguments[0] << " " << c.answer;
    EXPECT_EQ(lines.err.size(), 1u) << c.arguments[0] << " " << c.answer;
    EXPECT_TRUE(files.files.empty()) << c.arguments[0] << " " << c.answer;
    EXPECT_FALSE(memory.Get(kCurrentUser, kPolicyKeyPath, "PreventRun"));
  }

  // An empty Registry.pol is one with no records to the engine, but no
  // file to import.
  files = {};
  files.files["empty.pol"] = {};
  EXPECT_EQ(Run({"/import", "empty.pol"}).exitCode, kBadPolicyFile);
  EXPECT_EQ(lines.err, std::vector<std::string>{"Not a Registry.pol file: the file is empty. "
                                                "Nothing was written."});

  // A change that would take Registry.pol past what Polvane reads back is
  // refused, so that it can always be undone.
  Bytes full = EmptyPol();
  const Bytes big = PolRecordBytes("Software\\Policies\\Contoso", "Blob", kRegBinary,
                                   Bytes(kLargestFile - 200, 0));
  full.insert(full.end(), big.begin(), big.end());
  files.files = {{kUserPol, full}};
  EXPECT_EQ(Run({"/gpo", "/set", "PreventRun=1"}).exitCode, kFileTooLarge);
  EXPECT_EQ(lines.err, std::vector<std::string>{std::string(kUserPol) +
                                                " would grow larger than 64 MB, the most Polvane "
                                                "reads. Nothing was written."});
  EXPECT_EQ(files.files.size(), 1u);
  EXPECT_EQ(files.files[kUserPol], full);
}

TEST_F(GpoCommands, AWrongLineExits87LeavingEveryFileAndTheRegistryAsTheyWere) {
  ASSERT_EQ(Run({"/gpo", "/set", "PreventRun=1"}).exitCode, 0);
  const auto filesBefore = files.files;
  const MemoryRegistry registryBefore = memory;
  groupPolicy.refreshed.clear();
  const std::vector<std::string> wrong[] = {
      {"/gpo", "/check", "PreventRun=1"},
      {"/gpo", "/set", "PreventRun=1", "DisableVideo=2"},
      {"/gpo", "/unset", "PreventRun", "preventrun"},
      {"/gpo", "/unset", "PreventRun", "/sett"},
      {"/gpo", "/unset", "PreventRun", "/json"},
      {"/gpo", "/unset", "PreventRun", "/user:alice"},
      {"/gpo", "/edit", "PreventRun=0"},
      {"/gpo", "/allusers", "/unset", "PreventRun", "/allusers"},
      {"/gpo"},
      {"/gpo", "/?"},
      {"/gpo", "/export", "p.pol"},
      {"/gpo", "/import", "p.pol"},
  };
  for (const auto& arguments : wrong) {
    EXPECT_EQ(Run(arguments).exitCode, kBadCommandLine) << arguments[1];
    EXPECT_EQ(lines.err.size(), 1u) << arguments[1];
    EXPECT_TRUE(lines.out.empty()) << arguments[1];
    EXPECT_EQ(files.files, filesBefore) << arguments[1];
    EXPECT_TRUE(memory.StoresTheSameAs(registryBefore)) << arguments[1];
    EXPECT_TRUE(groupPolicy.refreshed.empty()) << arguments[1];
  }
}

TEST_F(GpoCommands, AnotherRunHoldingTheObjectMeansNothingIsWritten) {
  files.heldElsewhere = {kLock};
  EXPECT_EQ(Run({"/gpo", "/set", "PreventRun=1"}).exitCode, kSharingViolation);
  EXPECT_EQ(lines.err[0].find("Another Polvane is changing the local Group Policy Object"), 0u);
  EXPECT_TRUE(files.files.empty());
}

// gpt.ini refused after Registry.pol was written: Registry.pol goes back as
// it was; refused that too, the line says what each holds, and the next run
// raises the Version that is owed.
TEST_F(GpoCommands, AGptIniThatCannotBeWrittenLeavesBothFilesAsTheyWereOrTheNextRunFinishes) {
  ASSERT_EQ(Run({"/gpo", "/set", "PreventRun=1"}).exitCode, 0);
  const auto before = files.files;
  const std::vector<std::string> setVideo{"/gpo", "/set", "DisableVideo=1"};

  files.writeAnswers[kIni] = {kSharingViolation};
  EXPECT_EQ(Run(setVideo).exitCode, FailureExitCode(kSharingViolation));
  EXPECT_EQ(lines.err,
            std::vector<std::string>{std::string(kIni) + " could not be written: ? " + kUserPol +
                                     " was put back as it was. Nothing was written."});
  EXPECT_EQ(files.files, before);
  EXPECT_FALSE(memory.Get(kCurrentUser, kPolicyKeyPath, "DisableVideo"));

  files.writeAnswers[kIni] = {kSharingViolation};
  files.writeAnswers[kUserPol] = {kSuccess, kAccessDenied};
  EXPECT_EQ(Run(setVideo).exitCode, FailureExitCode(kSharingViolation));
  ASSERT_EQ(lines.err.size(), 1u);
  EXPECT_NE(lines.err[0].find(std::string(kUserPol) +
                              " could not be put back as it was: Access "
                              "\"denied\". It holds the new values and gpt.ini the old Version"),
            std::string::npos)
      << lines.err[0];
  EXPECT_EQ(files.files[kIni], before.at(kIni));
  EXPECT_EQ(InGpo(kUserPol, "DisableVideo").number, 1u);
  EXPECT_TRUE(files.files.count(kNote));

  EXPECT_EQ(Run(setVideo).exitCode, 0);
  EXPECT_EQ(lines.out[0], "DisableVideo=1 unchanged");
  EXPECT_EQ(lines.out[1],
            "gpt.ini's Version was raised for the change an earlier run left unfinished, so that "
            "Windows applies it.");
  EXPECT_NE(Ini().find("\r\nVersion=131072\r\n"), std::string::npos) << Ini();
  EXPECT_FALSE(files.files.count(kNote));
  EXPECT_EQ(memory.Get(kCurrentUser, kPolicyKeyPath, "DisableVideo"), kOne);
  EXPECT_TRUE(files.held.empty());
}

}  // namespace
}  // namespace polvane::test
