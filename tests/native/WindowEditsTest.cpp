// The window's boxes carried across a restart as administrator: the /edit
// line that reopens it, and that line applied to a new window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "rules/CommandLine.h"
#include "rules/WindowEdits.h"
#include "tests/native/FakePanel.h"

namespace polvane::test {
namespace {

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
  const auto command = std::get<WindowCommand>(ParseCommandLine(words));
  EXPECT_TRUE(command.scope.allUsers);
  EXPECT_EQ(command.scope.user, "S-1-5-21-7-8-9-1001");
  FakePanel reopened;
  reopened.SubOption(0).SetValue(kChecked);  // stored, and overruled
  ApplyEdits(command, reopened);
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i)
    EXPECT_EQ(reopened.SubOption(i).Value(), panel.SubOption(i).Value()) << i;
  EXPECT_EQ(reopened.Option(0).Value(), kUnchecked);
}

}  // namespace
}  // namespace polvane::test
