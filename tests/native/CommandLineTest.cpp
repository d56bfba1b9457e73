// The command line's parsing, case by case: what a script may type, and
// what it is told when the line is wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/CommandLine.h"

namespace polvane::test {
namespace {

using Arguments = std::vector<std::string>;

struct Accepted {
  Arguments arguments;
  CommandKind kind;
  std::vector<std::pair<std::size_t, std::uint32_t>> settings;
  bool allUsers = false, json = false, whatIf = false;
  std::string user = {};
};

TEST(ParseCommandLine, AcceptsEachFormInAnyCaseAndOrder) {
  const Accepted cases[] = {
      {{}, CommandKind::Window, {}},
      {{"-ALLUSERS"}, CommandKind::Window, {}, true},
      {{"/show", "/allusers"}, CommandKind::Show, {}, true},
      {{"/Json", "-show"}, CommandKind::Show, {}, false, true},
      {{"/set", "preventrun=1", "DISABLEVIDEO=0"}, CommandKind::Set, {{0, 1}, {4, 0}}},
      {{"/whatif", "/unset", "DisablePC2Phone"}, CommandKind::Unset, {{3, 0}}, false, false, true},
      {{"/check", "DisableFileTransfer=1", "/allusers"}, CommandKind::Check, {{1, 1}}, true},
      {{"/edit", "DisablePC2PCAudio=2"}, CommandKind::Edit, {{2, 2}}},
      {{"/allusers", "/edit", "PreventRun=0", "/user:S-1-5-21-1-2-3-1001"},
       CommandKind::Edit,
       {{0, 0}},
       true,
       false,
       false,
       "S-1-5-21-1-2-3-1001"},
      {{"/import", "Policies.POL", "/whatif"}, CommandKind::Import, {}, false, false, true},
      {{"/?"}, CommandKind::Help, {}},
      {{"-HELP"}, CommandKind::Help, {}},
      // A user's name is theirs to spell: only the switch must be plain.
      {{"/show", "/USER:CONTOSO\\Zo\xc3\xab"},
       CommandKind::Show,
       {},
       false,
       false,
       false,
       "CONTOSO\\Zo\xc3\xab"},
  };
  for (const Accepted& c : cases) {
    const Command command = ParseCommandLine(c.arguments);
    const std::string line = c.arguments.empty() ? "(none)" : c.arguments[0];
    ASSERT_EQ(command.kind, c.kind) << line << ": " << command.error;
    std::vector<std::pair<std::size_t, std::uint32_t>> settings;
    for (const PolicySetting& s : command.settings) settings.emplace_back(s.row, s.value);
    EXPECT_EQ(settings, c.settings) << line;
    EXPECT_EQ(command.allUsers, c.allUsers) << line;
    EXPECT_EQ(command.json, c.json) << line;
    EXPECT_EQ(command.whatIf, c.whatIf) << line;
    EXPECT_EQ(command.user, c.user) << line;
  }
}

TEST(ParseCommandLine, RefusesAWrongLineNamingWhatIsWrongEvenWhenItIsEmpty) {
  const std::string fullwidthSet = "\xef\xbc\x8fset";  // U+FF0F, a look-alike of '/'
  const std::string fullwidthOne = "\xef\xbc\x91";     // U+FF11, a look-alike of '1'
  const std::pair<Arguments, std::string> cases[] = {
      {{fullwidthSet, "PreventRun=" + fullwidthOne},
       "Unexpected argument " + fullwidthSet + " (not plain ASCII"},
      {{"/set", "PreventRun=" + fullwidthOne},
       "PreventRun=" + fullwidthOne +
           " (not plain ASCII: switches and policy names are): the "
           "value must be 0 or 1"},
      {{"/s\xc3\xa9t"}, "Unknown switch /s\xc3\xa9t (not plain ASCII"},
      {{""}, "Unexpected empty argument"},
      {{"/"}, "Unexpected argument /"},
      {{"-"}, "Unexpected argument -"},
      {{"/set", ""}, "An empty argument stands where a policy name belongs"},
      {{"/set", "=1"}, "Unknown policy name (an empty name); the names are PreventRun, "},
      {{"/edit", "PreventRun"},
       "PreventRun has no value: write it as PreventRun=0, PreventRun=1 or PreventRun=2"},
      {{"/check", "DisableVideo=2"}, "DisableVideo=2: the value must be 0 or 1"},
      {{"/check"}, "/check needs at least one Name=0|1"},
      {{"PreventRun=1", "/set"}, "Unexpected argument PreventRun=1"},
      {{"/set", "PreventRun=1", "/unset"}, "/unset cannot be given with /set"},
      {{"/allusers", "/show", "/ALLUSERS"}, "/ALLUSERS is given twice"},
      {{"/json"}, "/json goes with /show only"},
      {{"/show", "/json", "/allusers"}, "/json shows both scopes: give it without /allusers"},
      {{"/show", "/whatif"}, "/whatif goes with /set, /unset or /import only"},
      {{"/export"}, "/export needs a file: FILE.pol, FILE.reg or FILE.txt"},
      {{"/import", "policies.ini"}, "policies.ini: the file's name must end in .pol"},
      {{"/show", "/user:"}, "/user: needs a user"},
      {{"/show", "/user:a", "/user:b"}, "/user is given twice"},
      {{"/set", "PreventRun=1", "/allusers", "/user:alice"},
       "/user cannot be given with /allusers"},
      {{"/gpo", "/check", "PreventRun=1"}, "/gpo goes with /show, /set or /unset only"},
      {{"/gpo", "/show", "/json"}, "/json cannot be given with /gpo"},
      {{"/gpo", "/show", "/user:alice"}, "/user cannot be given with /gpo"},
      {{"/set", std::string(100000, 'A') + "=1"}, "Unknown policy name AAAA"},
  };
  for (const auto& [arguments, expected] : cases) {
    const Command command = ParseCommandLine(arguments);
    EXPECT_EQ(command.kind, CommandKind::Invalid) << expected;
    EXPECT_EQ(command.error.find(expected), 0u) << command.error;
    EXPECT_NE(command.error.find("Type Polvane.exe /? for help."), std::string::npos);
    EXPECT_EQ(command.error.find('\n'), std::string::npos) << "one line: " << command.error;
  }
}

TEST(ParseCommandLine, ReadsVeryManyArgumentsToTheFirstFault) {
  Arguments many{"/set"};
  for (int i = 0; i < 10000; ++i) many.push_back(i % 2 ? "DisableVideo=0" : "PreventRun=1");
  EXPECT_EQ(ParseCommandLine(many).error.find("PreventRun is given twice"), 0u);
}

}  // namespace
}  // namespace polvane::test
