// The command line's parsing, case by case: what a script may type, and
// what it is told when the line is wrong.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rules/CommandLine.h"
#include "rules/PolicyTable.h"

namespace polvane::test {
namespace {

using Arguments = std::vector<std::string>;

// A command as one line of words, to compare whole.
struct Describe {
  std::string operator()(const WindowCommand& c) const {
    return "window" + Of(c.scope) + Of(c.edits);
  }
  std::string operator()(const ShowCommand& c) const { return "show" + Of(c.target); }
  std::string operator()(const JsonCommand& c) const {
    return "json" + Of(RegistryScope{false, c.user});
  }
  std::string operator()(const CheckCommand& c) const {
    return "check" + Of(c.scope) + Of(c.expected);
  }
  std::string operator()(const ChangeCommand& c) const {
    return "change" + Of(c.target) + Of(c.changes) + (c.whatIf ? " whatif" : "");
  }
  std::string operator()(const ExportCommand& c) const {
    return "export" + Of(c.scope) + Of(c.file);
  }
  std::string operator()(const ImportCommand& c) const {
    return "import" + Of(c.scope) + Of(c.file) + (c.whatIf ? " whatif" : "");
  }
  std::string operator()(const HelpCommand&) const { return "help"; }
  std::string operator()(const CommandLineError& c) const { return "error: " + c.message; }

  static std::string Of(const RegistryScope& scope) {
    return (scope.allUsers ? " allusers" : "") + (scope.user.empty() ? "" : " user=" + scope.user);
  }
  static std::string Of(const PolicyTarget& target) {
    const auto* part = std::get_if<GpoPart>(&target);
    return !part           ? Of(std::get<RegistryScope>(target))
           : part->machine ? " gpo-machine"
                           : " gpo-users";
  }
  static std::string Of(const PolicyFile& file) {
    constexpr const char* kFormats[] = {" pol", " reg", " lgpo"};
    return " " + file.path + kFormats[static_cast<int>(file.format)];
  }
  // Name=N for a value, Name alone for none.
  template <class Named>
  static std::string Of(const std::vector<Named>& named) {
    std::string words;
    for (const Named& one : named) {
      const std::optional<std::uint32_t> value = one.value;
      words += " " + std::string(kPolicyTable[one.row].valueName) +
               (value ? "=" + std::to_string(*value) : "");
    }
    return words;
  }
};

TEST(ParseCommandLine, AcceptsEachFormInAnyCaseAndOrder) {
  const std::pair<Arguments, std::string> cases[] = {
      {{}, "window"},
      {{"-ALLUSERS"}, "window allusers"},
      {{"/show", "/allusers"}, "show allusers"},
      {{"/Json", "-show"}, "json"},
      {{"/set", "preventrun=1", "DISABLEVIDEO=0"}, "change PreventRun=1 DisableVideo=0"},
      {{"/whatif", "/unset", "DisablePC2Phone"}, "change DisablePC2Phone whatif"},
      {{"/check", "DisableFileTransfer=1", "/allusers"}, "check allusers DisableFileTransfer=1"},
      {{"/edit", "DisablePC2PCAudio=2"}, "window DisablePC2PCAudio=2"},
      {{"/allusers", "/edit", "PreventRun=0", "/user:S-1-5-21-1-2-3-1001"},
       "window allusers user=S-1-5-21-1-2-3-1001 PreventRun=0"},
      {{"/import", "Policies.POL", "/whatif"}, "import Policies.POL pol whatif"},
      {{"/export", "p.txt", "/user:alice"}, "export user=alice p.txt lgpo"},
      {{"/gpo", "/allusers", "/set", "PreventRun=1"}, "change gpo-machine PreventRun=1"},
      {{"/gpo", "/unset", "DisableVideo", "/whatif"}, "change gpo-users DisableVideo whatif"},
      {{"-GPO", "/show"}, "show gpo-users"},
      {{"/?"}, "help"},
      {{"-HELP"}, "help"},
      // A user's name is theirs to spell: only the switch must be plain.
      {{"/show", "/USER:CONTOSO\\Zo\xc3\xab"}, "show user=CONTOSO\\Zo\xc3\xab"},
  };
  for (const auto& [arguments, expected] : cases)
    EXPECT_EQ(std::visit(Describe{}, ParseCommandLine(arguments)), expected);
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
    const auto* error = std::get_if<CommandLineError>(&command);
    ASSERT_TRUE(error) << expected << ": " << std::visit(Describe{}, command);
    EXPECT_EQ(error->message.find(expected), 0u) << error->message;
    EXPECT_NE(error->message.find("Type Polvane.exe /? for help."), std::string::npos);
    EXPECT_EQ(error->message.find('\n'), std::string::npos) << "one line: " << error->message;
  }
}

TEST(ParseCommandLine, ReadsVeryManyArgumentsToTheFirstFault) {
  Arguments many{"/set"};
  for (int i = 0; i < 10000; ++i) many.push_back(i % 2 ? "DisableVideo=0" : "PreventRun=1");
  EXPECT_EQ(
      std::get<CommandLineError>(ParseCommandLine(many)).message.find("PreventRun is given twice"),
      0u);
}

// The README gives the help as the command reference: word for word what
// /? prints.
TEST(UsageText, IsTheReadmesCommandReference) {
  std::ifstream file(std::string(POLVANE_SOURCE_DIR) + "/README.md");
  std::stringstream readme;
  readme << file.rdbuf();
  const std::string text = readme.str();
  const std::size_t start = text.find("```\nPolvane switches");
  ASSERT_NE(start, std::string::npos) << "the README holds no help block";
  const std::size_t end = text.find("```", start + 4);
  EXPECT_EQ(text.substr(start + 4, end - start - 4), UsageText());
}

}  // namespace
}  // namespace polvane::test
