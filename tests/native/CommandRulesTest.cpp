// Reset, the save-failure text, and reopening the window as it stands.
#include <gtest/gtest.h>

#include <algorithm>

#include "rules/CommandLine.h"
#include "rules/MemoryRegistry.h"
#include "rules/Messages.h"
#include "rules/PolicyTable.h"
#include "tests/native/FakePanel.h"

namespace polvane::test {
namespace {

TEST(ResetOptionPanel, ClearsTheMasterFirstThenEachSubOptionLeavingTheScope) {
  FakePanel panel;
  panel.Option(1).SetValue(kChecked);
  panel.SubOption(0).SetValue(kChecked);
  panel.SubOption(3).SetValue(kGreyed);
  panel.Option(0).SetValue(kChecked);
  panel.log.clear();

  ResetOptionPanel(panel);

  const std::vector<std::string> expected{"master = 0",   "sub0 enabled", "sub1 enabled",
                                          "sub2 enabled", "sub3 enabled", "sub0 = 0",
                                          "sub3 = 0"};
  EXPECT_EQ(panel.log, expected);
  EXPECT_EQ(panel.Option(1).Value(), kChecked);
}

TEST(ResetOptionPanel, RaisesNoClickWhenAllIsClear) {
  FakePanel panel;
  ResetOptionPanel(panel);
  EXPECT_TRUE(panel.log.empty());
  EXPECT_EQ(panel.Option(0).clicks, 0);
}

TEST(SaveFailureMessage, NamesTheScopeAndGivesTheSystemsReason) {
  EXPECT_EQ(SaveFailureMessage(false, 29, "The system cannot write to the specified device.\r\n"),
            "The settings could not be saved for the current user.\n\n"
            "The system cannot write to the specified device.");
  EXPECT_EQ(SaveFailureMessage(true, 29, ""),
            "The settings could not be saved for all users.\n\nError 29.");
}

TEST(SaveFailureMessage, AsksForAnAdministratorForRefusedSavesInEitherScope) {
  const std::string machine = SaveFailureMessage(true, kRegAccessDenied, "Access denied.\r\n");
  EXPECT_EQ(machine,
            "The settings could not be saved for all users.\n\nAccess denied.\n\n"
            "Changing settings for all users needs Polvane run as an administrator.");
  const std::string user = SaveFailureMessage(false, kRegAccessDenied, "Access denied.");
  EXPECT_NE(user.find("the current user's too: they need Polvane run as an administrator."),
            std::string::npos);
  EXPECT_EQ(SaveFailureMessage(false, 29, "Write fault.").find("administrator"), std::string::npos);
}

TEST(EditArguments, ReopenTheWindowOnItsScopeWithTheFiveValuesGreyedOnesToo) {
  FakePanel panel;
  panel.Option(1).SetValue(kChecked);
  panel.SubOption(1).SetValue(kChecked);
  panel.SubOption(3).SetValue(kGreyed);
  const std::string arguments = EditArguments(panel, "S-1-5-21-7-8-9-1001");
  EXPECT_EQ(arguments,
            "/allusers /edit PreventRun=0 DisableFileTransfer=0 DisablePC2PCAudio=1 "
            "DisablePC2Phone=0 DisableVideo=2 /user:S-1-5-21-7-8-9-1001");

  std::vector<std::string> words;
  for (std::size_t start = 0, end; start < arguments.size(); start = end + 1) {
    end = std::min(arguments.find(' ', start), arguments.size());
    words.push_back(arguments.substr(start, end - start));
  }
  const Command command = ParseCommandLine(words);
  ASSERT_EQ(command.kind, CommandKind::Edit) << command.error;
  EXPECT_TRUE(command.allUsers);
  EXPECT_EQ(command.user, "S-1-5-21-7-8-9-1001");
  FakePanel reopened;
  reopened.SubOption(0).SetValue(kChecked);  // stored, and overruled
  ApplyEdits(command, reopened);
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i)
    EXPECT_EQ(reopened.SubOption(i).Value(), panel.SubOption(i).Value()) << i;
  EXPECT_EQ(reopened.Option(0).Value(), kUnchecked);
}

struct Lines final : CommandOutput {
  void Out(const std::string& line) override { out.push_back(line); }
  void Err(const std::string& line) override { err.push_back(line); }
  std::vector<std::string> out, err;
};

TEST(RunCommand, ARefusedSetOrUnsetWritesNothingAndSaysWhoChangesThePolicies) {
  MemoryRegistry memory;
  const RegistryOverride use{memory};
  const MemoryRegistry::StoredValue one{kRegDword, {1, 0, 0, 0}};
  memory.Put(kLocalMachine, kPolicyKeyPath, "PreventRun", one);
  memory.Protect(kLocalMachine, kPolicyKeyPath);
  const std::vector<std::vector<std::string>> refused{{"/set", "DisableVideo=1", "/allusers"},
                                                      {"/unset", "PreventRun", "-ALLUSERS"}};
  for (const auto& arguments : refused) {
    Lines lines;
    EXPECT_EQ(RunCommand(ParseCommandLine(arguments), lines, [](RegStatus) { return "?"; }),
              kRegAccessDenied);
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
  EXPECT_EQ(RunCommand(ParseCommandLine({"/set", "DisableVideo=1"}), lines, nullptr), 0);
  EXPECT_TRUE(memory.Get(kCurrentUser, kPolicyKeyPath, "DisableVideo"));
}

}  // namespace
}  // namespace polvane::test
