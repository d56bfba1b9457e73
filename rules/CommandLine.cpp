#include "rules/CommandLine.h"

#include <algorithm>
#include <span>
#include <optional>

#include "rules/Ascii.h"
#include "rules/Decimal.h"
#include "rules/PolicyFiles.h"
#include "rules/PolicyTable.h"

namespace polvane {
namespace {

bool IsSwitch(const std::string& argument) {
  return argument.size() > 1 && (argument[0] == '/' || argument[0] == '-');
}

// The five value names, separated by commas; with a line break after every
// perLine names.
std::string PolicyNames(std::size_t perLine = kPolicyTable.size()) {
  std::string names;
  for (std::size_t i = 0; i < kPolicyTable.size(); ++i) {
    if (i > 0) names += i % perLine == 0 ? ",\n" : ", ";
    names += kPolicyTable[i].valueName;
  }
  return names;
}

// What a message says of a piece of the command line: the text itself, or
// that it is empty; and, where look-alike characters may have stood in for
// plain ones, that it is not plain ASCII.
std::string Shown(const std::string& text, const char* empty = "an empty argument") {
  if (text.empty()) return empty;
  if (!IsAscii(text))
    return Joined({Printable(text), " (not plain ASCII: switches and policy names are)"});
  return Printable(text);
}

enum class Kind { Window, Edit, Show, Set, Unset, Check, Export, Import, Help };

struct SwitchName {
  const char* name;
  Kind kind;
};
constexpr SwitchName kCommandSwitches[] = {
    {"show", Kind::Show},     {"set", Kind::Set},   {"unset", Kind::Unset},
    {"check", Kind::Check},   {"edit", Kind::Edit}, {"export", Kind::Export},
    {"import", Kind::Import}, {"?", Kind::Help},    {"help", Kind::Help},
};

// The scope switches a form of the command line takes. The window and /edit
// take both at once: another user's values, then every user's.
enum class Scopes { None, AllUsers, User, Either, Both };

// One form of the command line: its command switch (none for the window),
// with or without /gpo and /json, the switches it takes, and its usage row.
// The parser accepts a line only as one of these forms.
struct Form {
  Kind kind;
  bool gpo, json;
  Scopes scopes;
  bool whatIf;
  const char* usage;
  std::string_view description;  // lines separated by '\n'; empty to share the next one's
};

constexpr Form kForms[] = {
    {Kind::Window, false, false, Scopes::Both, false, "Polvane.exe", "Opens the window."},
    {Kind::Show, false, false, Scopes::Either, false, "Polvane.exe /show",
     "Prints the five values as Name=N,\nName=not set, Name=unreadable or\n"
     "Name=not a 4-byte REG_DWORD."},
    {Kind::Show, false, true, Scopes::User, false, "Polvane.exe /show /json",
     "Prints both scopes' values and the\neffective ones as one JSON object."},
    {Kind::Set, false, false, Scopes::Either, true, "Polvane.exe /set Name=0|1 [...]",
     "Writes the named values."},
    {Kind::Unset, false, false, Scopes::Either, true, "Polvane.exe /unset Name [...]",
     "Deletes the named values, leaving the\npolicies not configured."},
    {Kind::Check, false, false, Scopes::Either, false, "Polvane.exe /check Name=0|1 [...]",
     "Exits 0 when every named value is so,\n1 when any is not, printing each."},
    {Kind::Export, false, false, Scopes::Either, false, "Polvane.exe /export FILE",
     "Writes the five values to FILE: .pol\n(Registry.pol), .reg or .txt (LGPO).\n"
     "A .reg unsets what is not set; .pol\nand .txt leave it not configured."},
    {Kind::Import, false, false, Scopes::Either, true, "Polvane.exe /import FILE",
     "Applies FILE as regedit, LGPO or Group\nPolicy would, to the five values only.\n"
     "What else it holds is skipped, with a\nline per other key and its count."},
    {Kind::Show, true, false, Scopes::AllUsers, false, "Polvane.exe /gpo /show",
     "Prints the five values of the local\nGroup Policy Object as Name=N,\n"
     "Name=N where the value is not there\nyet, Name=not configured, Name=deleted\n"
     "or Name=not a 4-byte REG_DWORD."},
    {Kind::Set, true, false, Scopes::AllUsers, true, "Polvane.exe /gpo /set Name=0|1 [...]", ""},
    {Kind::Unset, true, false, Scopes::AllUsers, true, "Polvane.exe /gpo /unset Name [...]",
     "Writes the named values to the local\nGroup Policy Object, or removes them\n"
     "(not configured), and asks Windows to\napply it."},
    {Kind::Edit, false, false, Scopes::Both, false, "Polvane.exe /edit Name=0|1|2 [...]",
     "Opens the window with the named boxes\nclear (0), ticked (1) or greyed (2),\n"
     "not yet saved."},
    {Kind::Help, false, false, Scopes::None, false, "Polvane.exe /?", "Prints this help."},
};

const Form* FormOf(Kind kind, bool gpo, bool json) {
  for (const Form& form : kForms)
    if (form.kind == kind && form.gpo == gpo && form.json == json) return &form;
  return nullptr;
}

std::string_view SwitchOf(Kind kind) {
  for (const SwitchName& known : kCommandSwitches)
    if (known.kind == kind) return known.name;
  return {};
}

// Whether a form of kind goes with the switch that taken marks.
bool TakenBy(Kind kind, bool Form::*taken) {
  return std::any_of(std::begin(kForms), std::end(kForms),
                     [&](const Form& form) { return form.kind == kind && form.*taken; });
}

// The command switches of the forms that go with the switch that taken
// marks, as "/a, /b or /c".
std::string SwitchesTaking(bool Form::*taken) {
  std::vector<Kind> kinds;
  for (const Form& form : kForms)
    if (form.*taken && std::find(kinds.begin(), kinds.end(), form.kind) == kinds.end())
      kinds.push_back(form.kind);
  std::string text;
  for (std::size_t i = 0; i < kinds.size(); ++i)
    text += Joined({i == 0 ? "" : i + 1 == kinds.size() ? " or " : ", ", "/", SwitchOf(kinds[i])});
  return text;
}

bool TakesAllUsers(Scopes scopes) {
  return scopes == Scopes::AllUsers || scopes == Scopes::Either || scopes == Scopes::Both;
}
bool TakesUser(Scopes scopes) {
  return scopes == Scopes::User || scopes == Scopes::Either || scopes == Scopes::Both;
}

std::string_view ScopeUsage(Scopes scopes) {
  switch (scopes) {
    case Scopes::AllUsers:
      return " [/allusers]";
    case Scopes::User:
      return " [/user:U]";
    case Scopes::Either:
      return " [/allusers | /user:U]";
    case Scopes::Both:
      return " [/allusers] [/user:U]";
    case Scopes::None:
      break;
  }
  return "";
}

// Reads the command line one argument at a time into what it has seen so
// far; the first fault found is the one reported. Only a line with no fault
// becomes a command.
class Parser {
 public:
  Command Parse(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
      if (IsSwitch(argument))
        TakeSwitch(argument);
      else
        TakeName(argument);
      if (!error_.empty()) return CommandLineError{error_};
    }
    CheckCombination();
    if (!error_.empty()) return CommandLineError{error_};
    return Build();
  }

 private:
  void TakeSwitch(const std::string& argument) {
    const std::string name = AsciiLower(argument.substr(1));
    if (name.rfind("user:", 0) == 0) return TakeUser(argument.substr(6));
    bool* flag = name == "allusers" ? &allUsers_
                 : name == "json"   ? &json_
                 : name == "whatif" ? &whatIf_
                 : name == "gpo"    ? &gpo_
                                    : nullptr;
    if (flag) {
      if (*flag) return Fault({argument, " is given twice"});
      *flag = true;
      return;
    }
    const auto known = std::find_if(std::begin(kCommandSwitches), std::end(kCommandSwitches),
                                    [&name](const SwitchName& s) { return name == s.name; });
    if (known == std::end(kCommandSwitches)) return Fault({"Unknown switch ", Shown(argument)});
    if (kind_ != Kind::Window)
      return Fault({argument, " cannot be given with ", commandSwitch_,
                    ": give one of /show, /set, /unset, /check, /export, /import, /edit and /? "
                    "at a time"});
    kind_ = known->kind;
    commandSwitch_ = argument;
  }

  void TakeUser(const std::string& user) {
    if (user.empty())
      return Fault({"/user: needs a user, as /user:DOMAIN\\name or /user:S-1-5-21-..."});
    if (!user_.empty()) return Fault({"/user is given twice"});
    user_ = user;
  }

  bool TakesNames() const {
    return kind_ == Kind::Set || kind_ == Kind::Unset || kind_ == Kind::Edit ||
           kind_ == Kind::Check;
  }

  // The values a Name=N may carry: /edit may grey a box too.
  std::string Values(const std::string& name) const {
    return kind_ == Kind::Edit ? Joined({name, "=0, ", name, "=1 or ", name, "=2"})
                               : Joined({name, "=0 or ", name, "=1"});
  }

  bool TakesFile() const { return kind_ == Kind::Export || kind_ == Kind::Import; }

  void TakeName(const std::string& argument) {
    if (TakesFile() && file_.empty() && !argument.empty()) {
      file_ = argument;
      return;
    }
    if (!TakesNames())
      return Fault({argument.empty() ? "Unexpected empty argument" : "Unexpected argument ",
                    argument.empty() ? "" : Shown(argument)});
    if (argument.empty()) return Fault({"An empty argument stands where a policy name belongs"});
    const bool setting = kind_ != Kind::Unset;
    const std::size_t equals = argument.find('=');
    if (setting && equals == std::string::npos)
      return Fault({Shown(argument), " has no value: write it as ", Values(Printable(argument))});
    const std::string name = setting ? argument.substr(0, equals) : argument;
    const std::optional<std::size_t> row = RowNamed(name);
    if (!row)
      return Fault({"Unknown policy name ", Shown(name, "(an empty name)"), "; the names are ",
                    PolicyNames()});
    for (const PolicyChange& named : named_)
      if (named.row == *row) return Fault({kPolicyTable[*row].valueName, " is given twice"});
    if (!setting) {
      named_.push_back({*row, std::nullopt});
      return;
    }
    const std::string value = argument.substr(equals + 1);
    const bool editing = kind_ == Kind::Edit;
    if (value != "0" && value != "1" && !(editing && value == "2"))
      return Fault({Shown(argument), ": the value must be ", editing ? "0, 1 or 2" : "0 or 1"});
    named_.push_back({*row, static_cast<std::uint32_t>(value[0] - '0')});
  }

  // What each switch may stand with, once every argument is read.
  void CheckCombination() {
    if (TakesNames() && named_.empty())
      return Fault({commandSwitch_, " needs at least one ",
                    kind_ == Kind::Unset  ? "policy name"
                    : kind_ == Kind::Edit ? "Name=0|1|2"
                                          : "Name=0|1"});
    if (TakesFile() && file_.empty())
      return Fault({commandSwitch_, " needs a file: FILE.pol, FILE.reg or FILE.txt"});
    if (TakesFile() && !FormatOfFile(file_))
      return Fault({Printable(file_),
                    ": the file's name must end in .pol (Registry.pol), .reg or .txt (LGPO)"});
    // The switches that only some forms take.
    struct Partial {
      bool Parser::*given;
      bool Form::*taken;
      const char* name;
    };
    for (const Partial& only : {Partial{&Parser::json_, &Form::json, "/json"},
                                Partial{&Parser::whatIf_, &Form::whatIf, "/whatif"},
                                Partial{&Parser::gpo_, &Form::gpo, "/gpo"}})
      if (this->*only.given && !TakenBy(kind_, only.taken))
        return Fault({only.name, " goes with ", SwitchesTaking(only.taken), " only"});
    const Form* form = FormOf(kind_, gpo_, json_);
    if (!form) return Fault({"/json cannot be given with /gpo"});
    if (allUsers_ && !TakesAllUsers(form->scopes))
      return Fault({json_ ? "/json shows both scopes: give it without /allusers"
                          : Joined({"/allusers cannot be given with ", commandSwitch_})});
    if (!user_.empty() && !TakesUser(form->scopes))
      return Fault({gpo_ ? "/user cannot be given with /gpo: the local Group Policy Object's "
                           "user part is every user's"
                         : Joined({"/user cannot be given with ", commandSwitch_})});
    if (!user_.empty() && allUsers_ && form->scopes != Scopes::Both)
      return Fault(
          {"/user cannot be given with /allusers: every user's policies belong to no one"});
  }

  std::vector<PolicySetting> Settings() const {
    std::vector<PolicySetting> settings;
    for (const PolicyChange& named : named_) settings.push_back({named.row, *named.value});
    return settings;
  }

  PolicyTarget Target() const {
    if (gpo_) return GpoPart{allUsers_};
    return RegistryScope{allUsers_, user_};
  }

  // The command of a line that CheckCombination found whole.
  Command Build() const {
    const RegistryScope scope{allUsers_, user_};
    switch (kind_) {
      case Kind::Window:
        return WindowCommand{scope, {}};
      case Kind::Edit:
        return WindowCommand{scope, Settings()};
      case Kind::Show:
        if (json_) return JsonCommand{user_};
        return ShowCommand{Target()};
      case Kind::Set:
      case Kind::Unset:
        return ChangeCommand{Target(), named_, whatIf_};
      case Kind::Check:
        return CheckCommand{scope, Settings()};
      case Kind::Export:
        return ExportCommand{scope, {file_, *FormatOfFile(file_)}};
      case Kind::Import:
        return ImportCommand{scope, {file_, *FormatOfFile(file_)}, whatIf_};
      case Kind::Help:
        break;
    }
    return HelpCommand{};
  }

  void Fault(std::initializer_list<std::string_view> what) {
    error_ = Joined(what);
    error_ += ". Type Polvane.exe /? for help.";
  }

  Kind kind_ = Kind::Window;
  std::string commandSwitch_;  // as it was typed
  bool allUsers_ = false, json_ = false, whatIf_ = false, gpo_ = false;
  std::string user_, file_;
  std::vector<PolicyChange> named_;  // /unset's without a number
  std::string error_;
};

constexpr std::string_view kBlanks = " \t";

}  // namespace

std::string_view ArgumentsPart(std::string_view line) {
  // The program's name runs to its closing quote, or else to a blank.
  std::size_t at = line.substr(0, 1) == "\"" ? line.find('"', 1) : line.find_first_of(kBlanks);
  at = line.find_first_not_of(kBlanks, at == line.npos ? at : at + 1);
  return at == line.npos ? std::string_view() : line.substr(at);
}

std::vector<std::string> SplitCommandLine(std::string_view whole) {
  const std::string_view line = ArgumentsPart(whole);
  std::vector<std::string> arguments;
  if (line.empty()) return arguments;
  std::size_t at = 0;
  arguments.emplace_back();
  std::size_t backslashes = 0;
  int quotes = 0;  // 1 inside quotes
  while (at < line.size()) {
    std::string& argument = arguments.back();
    const char c = line[at++];
    if ((c == ' ' || c == '\t') && quotes == 0) {
      at = line.find_first_not_of(kBlanks, at);
      if (at == line.npos) break;
      arguments.emplace_back();
      backslashes = 0;
    } else if (c != '"') {
      argument += c;
      backslashes = c == '\\' ? backslashes + 1 : 0;
    } else {
      argument.resize(argument.size() - backslashes / 2);
      if (backslashes % 2)
        argument.back() = '"';  // the odd backslash escapes it
      else
        ++quotes;
      backslashes = 0;
      for (; at < line.size() && line[at] == '"'; ++at)
        if (++quotes == 3) {
          argument += '"';
          quotes = 0;
        }
      if (quotes == 2) quotes = 0;
    }
  }
  return arguments;
}

Command ParseCommandLine(const std::vector<std::string>& arguments) {
  return Parser().Parse(arguments);
}

namespace {

// A command or switch of the usage, and what it does in lines set in a
// column of their own; a row without a description shares the next one's.
struct UsageRow {
  std::string_view name;
  std::string_view switches, moreSwitches;  // what a command takes, which a box leaves out
  std::string_view description;             // lines separated by '\n'
};

constexpr UsageRow kSwitchRows[] = {
    {"/allusers", "", "",
     "every user of this computer (HKEY_LOCAL_MACHINE) instead of the\n"
     "current user (HKEY_CURRENT_USER)."},
    {"/user:U", "", "",
     "in place of the current user, the signed-in user U, given as\n"
     "DOMAIN\\name, name or SID (HKEY_USERS\\<SID>)."},
    {"/whatif", "", "", "prints what /set, /unset or /import would change, and changes\nnothing."},
    {"/gpo", "", "",
     "the local Group Policy Object, %SystemRoot%\\System32\\GroupPolicy:\n"
     "its computer part with /allusers, else its user part, which\n"
     "applies to every user of this computer."},
};

constexpr char kUsageIntro[] =
    "Polvane switches the Messenger client policies, REG_DWORD values under\n"
    "Software\\Policies\\Microsoft\\Messenger\\Client.\n\n";

// Each row indented by two, its description from column on: beside the
// name where the name leaves room, else below it.
std::string Columns(std::span<const UsageRow> rows, std::size_t column) {
  std::string text;
  for (const UsageRow& row : rows) {
    std::size_t lineStart = text.size();
    text += "  ";
    text += row.name;
    text += row.switches;
    text += row.moreSwitches;
    bool lineStarts = true;
    for (const char c : row.description) {
      if (lineStarts) {
        if (text.size() - lineStart >= column) text += '\n', lineStart = text.size();
        text.resize(lineStart + column, ' ');
        lineStarts = false;
      }
      if (c == '\n') lineStart = text.size() + 1, lineStarts = true;
      text += c;
    }
    text += '\n';
  }
  return text;
}

std::vector<UsageRow> CommandRows() {
  std::vector<UsageRow> rows;
  for (const Form& form : kForms)
    rows.push_back(
        {form.usage, ScopeUsage(form.scopes), form.whatIf ? " [/whatif]" : "", form.description});
  return rows;
}

}  // namespace

std::string BriefUsageText() {
  std::string text = kUsageIntro;
  for (const Form& form : kForms) text += Joined({"  ", form.usage, "\n"});
  return text +
         "\nMost take /allusers (every user) or /user:U; /set, /unset and /import take /whatif.\n\n"
         "Polvane.exe /? > help.txt writes the whole help to help.txt: what each does, the "
         "switches and the exit codes.\n";
}

std::string UsageText() {
  const std::string names = PolicyNames(3) + ".";
  const UsageRow nameRow[] = {{"Name", "", "", names}};
  return Joined({kUsageIntro, Columns(CommandRows(), 42), "\n", Columns(kSwitchRows, 13),
                 Columns(nameRow, 13),
                 "\n"
                 "/set and /unset print a line for each value: Name=N (was ...), Name not set\n"
                 "(was ...), or, where it is so already and is left untouched, unchanged.\n"
                 "Windows lets only administrators change policies, in either scope: /set\n"
                 "and /unset need an elevated prompt, SYSTEM, or Group Policy.\n"
                 "Switches may start with / or -; switches and names may be in any case.\n"
                 "Exit codes: 0 success; 1 /check found a value that differs; 5 Windows\n"
                 "refused access; 13 a file to read is no policy file (it does not parse,\n"
                 "is empty, or is a folder or a device); 32 another Polvane is changing the\n"
                 "local Group Policy Object; 87 the command line is wrong; 222 the file to\n"
                 "write is a folder or a device; 223 a file is, or would grow, over 64 MB;\n"
                 "299 the local Group Policy Object was written, but the registry, which\n"
                 "stands in for the engine where none runs, was not; 1312 U is not signed\n"
                 "in; 1317 U is a group; 1332 no account is named U; 1337 U is no valid SID;\n"
                 "otherwise the Windows error code of the first failure, an output that\n"
                 "could not be written among them, as 0x8007xxxx where its number is one of\n"
                 "these. With 5, 13, 32, 87, 222, 223 and U's codes, nothing is written.\n"});
}

}  // namespace polvane
