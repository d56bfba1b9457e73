// Registry scripts read as regedit reads them, checked against regedit
// itself: many small scripts are made from a grammar of the forms people
// and tools write (headers, encodings, line ends, keys, value lines, data of
// every kind, continuations, comments, blanks), each is applied by
// regedit /s to stored values, and Polvane's import of the same bytes must
// leave the five values as regedit did. A disagreement prints the script
// and both outcomes, and the script is kept in differential/ beside the
// test program. POLVANE_DIFFERENTIAL=N asks for N scripts (the fuzz runs).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "rules/PolicyFiles.h"
#include "rules/PolicyTable.h"
#include "seams/RegistryApi.h"
#include "tests/win/support/Processes.h"

namespace polvane::test {
namespace {

constexpr wchar_t kMessenger[] = L"Software\\Policies\\Microsoft\\Messenger";
constexpr wchar_t kClient[] = L"Software\\Policies\\Microsoft\\Messenger\\Client";
constexpr DWORD kBaseline = 0x7A;

// What became of one of the five values.
struct Outcome {
  enum class Kind { Dword, Missing, Other } kind = Kind::Missing;
  DWORD number = 0;
  bool operator==(const Outcome&) const = default;
};

std::string Describe(const Outcome& outcome) {
  switch (outcome.kind) {
    case Outcome::Kind::Dword:
      return std::to_string(outcome.number);
    case Outcome::Kind::Missing:
      return "missing";
    case Outcome::Kind::Other:
      break;
  }
  return "another type";
}

class Grammar {
 public:
  explicit Grammar(unsigned seed) : random_(seed) {}

  // A whole script as bytes on disk.
  std::string Script() {
    const char* eol = Pick({"\r\n", "\r\n", "\n", "\r"});
    const bool mixed = Chance(10);
    std::string text = Pick({"REGEDIT4", "Windows Registry Editor Version 5.00",
                             "Windows Registry Editor Version 5.00", " REGEDIT4", "REGEDIT4 ",
                             "REGEDIT", "Windows Registry Editor Version 5.0"});
    const int items = 1 + Below(9);
    for (int item = 0; item < items; ++item) {
      text += mixed ? Pick({"\r\n", "\n", "\r"}) : eol;
      text += Item(mixed ? "\r\n" : eol);
    }
    if (!Chance(15)) text += eol;
    return Encoded(text);
  }

 private:
  bool Chance(int percent) { return Below(100) < percent; }
  int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  const char* Pick(std::initializer_list<const char*> choices) {
    return choices.begin()[Below(static_cast<int>(choices.size()))];
  }

  std::string Encoded(const std::string& text) {
    switch (Below(6)) {
      case 0: {  // UTF-16LE with its mark, as regedit writes version 5
        std::string wide = "\xFF\xFE";
        for (const char c : text) wide += std::string{c, '\0'};
        return wide;
      }
      case 1:
        return "\xEF\xBB\xBF" + text;
      default:
        return text;
    }
  }

  std::string Item(const char* eol) {
    switch (Below(12)) {
      case 0:
        return Pick({"", "   ", "\t"});
      case 1:
        return Pick({"; a comment", "# a comment", "; ends in \\", "# ends in \\", "  ;x"});
      case 2:
      case 3:
        return KeyLine();
      default:
        return ValueLine(eol);
    }
  }

  std::string KeyLine() {
    std::string root = Pick({"HKEY_CURRENT_USER", "HKEY_CURRENT_USER", "hkey_current_user", "HKCU",
                             "HKEY_LOCAL_MACHINE"});
    std::string path = Pick({"\\Software\\Policies\\Microsoft\\Messenger\\Client",
                             "\\Software\\Policies\\Microsoft\\Messenger\\Client",
                             "\\SOFTWARE\\Policies\\Microsoft\\Messenger\\client",
                             "\\Software\\Policies\\Microsoft\\Messenger",
                             "\\Software\\Policies\\Microsoft\\Messenger\\Other",
                             "\\Software\\\\Policies\\Microsoft\\Messenger\\Client",
                             "\\\\Software\\Policies\\Microsoft\\Messenger\\Client", ""});
    path += Pick({"", "", "", "\\", "\\\\", " "});
    const std::string open = Pick({"[", "[", "[", "[-", " ["});
    return open + root + path + Pick({"]", "]", "]", "", "] ; c", "]x", "]]"});
  }

  std::string Name(const char* eol) {
    if (Chance(8)) return "@";
    if (Chance(8)) return "\"Other\"";
    std::string name = kPolicyTable[static_cast<std::size_t>(Below(5))].valueName;
    if (Chance(10))
      for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (Chance(5)) return "\"" + name.substr(0, 3) + "\\" + eol + name.substr(3) + "\"";
    if (Chance(4)) return "\"" + name;  // never closed
    if (Chance(3)) return "\"" + name + "\\0\"";
    if (Chance(3)) return "\"\\" + name + "\"";
    return "\"" + name + "\"";
  }

  std::string Digits(int count) {
    std::string digits;
    for (int i = 0; i < count; ++i) digits += "0123456789abcdefABCDEF"[Below(22)];
    return digits;
  }

  // Between two bytes: a separator, or one that goes on over lines.
  std::string Separator(const char* eol) {
    if (!Chance(20)) return Pick({",", ",", ", ", " ,"});
    std::string going = Pick({",\\", ",\\", ", \\", "\\", ",\\ ; c"});
    going += eol;
    if (Chance(30)) going += std::string(Pick({"; between", "", "   ", "#x"})) + eol;
    return going + Pick({"  ", "", "\t"});
  }

  std::string Data(const char* eol) {
    switch (Below(9)) {
      case 0:
        return "-";
      case 1:
        return Pick({"\"text\"", "\"\"", "str(2):\"x\"", "\"unclosed"});
      case 2:
      case 3:
      case 4: {
        std::string dword = Pick({"dword:", "dword:", "DWORD:", "dword: "});
        dword += Digits(Chance(70) ? 8 : Below(11));
        if (Chance(8)) dword += std::string("\\") + eol + Digits(4);
        return dword;
      }
      default: {
        std::string hex = Pick({"hex(4):", "hex(4):", "hex(4):", "hex:", "hex(b):", "hex(0):",
                                "HEX(4):", "hex(04):", "hex( 4):", "hex(0x4):", "hex(4) :"});
        const int bytes = Below(7);
        for (int i = 0; i < bytes; ++i) {
          if (i) hex += Separator(eol);
          hex += Chance(5) ? Pick({"0x1", "+1", "-0", "-1", "001"})
                           : Digits(Chance(85) ? 2 : 1 + Below(3));
        }
        if (Chance(5)) hex += std::string(",\\") + eol;  // goes on to the end
        return hex;
      }
    }
  }

  std::string ValueLine(const char* eol) {
    std::string line = Chance(10) ? "  " : "";
    line += Name(eol);
    line += Pick({"=", "=", " = ", "= ", " ="});
    line += Data(eol);
    return line + Pick({"", "", "", " ; note", " x", "\t"});
  }

  std::mt19937 random_;
};

std::wstring Wide(const char* text) { return std::wstring(text, text + strlen(text)); }

void StoreBaseline() {
  RegDeleteTreeW(HKEY_CURRENT_USER, kMessenger);
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kClient, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &created, nullptr),
            ERROR_SUCCESS);
  const UniqueKey client(created);
  for (const PolicyRow& row : kPolicyTable)
    RegSetValueExW(client.Get(), Wide(row.valueName).c_str(), 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&kBaseline), sizeof kBaseline);
}

std::vector<Outcome> Stored() {
  std::vector<Outcome> outcomes;
  for (const PolicyRow& row : kPolicyTable) {
    DWORD type = 0, size = 8;
    BYTE data[8]{};
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, kClient, Wide(row.valueName).c_str(),
                                        RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) {
      outcomes.push_back({Outcome::Kind::Missing});
    } else if (status == ERROR_SUCCESS && type == REG_DWORD && size == 4) {
      DWORD number = 0;
      memcpy(&number, data, 4);
      outcomes.push_back({Outcome::Kind::Dword, number});
    } else {
      outcomes.push_back({Outcome::Kind::Other});
    }
  }
  return outcomes;
}

// What Polvane's import leaves of the baseline; where it skips a value of
// another type (its documented rule: it writes nothing Messenger cannot
// read), the row is marked so.
std::vector<Outcome> Imported(const std::string& script, std::vector<bool>& skipped) {
  const ImportedPolicies read =
      ImportPolicies(PolicyFileFormat::Reg, false, Bytes(script.begin(), script.end()));
  std::vector<Outcome> outcomes;
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
    const std::optional<std::optional<std::uint32_t>>& value = read.values[row];
    if (!read.error.empty() || !value)
      outcomes.push_back({Outcome::Kind::Dword, kBaseline});
    else if (!*value)
      outcomes.push_back({Outcome::Kind::Missing});
    else
      outcomes.push_back({Outcome::Kind::Dword, **value});
    skipped.push_back(false);
    for (const std::string& note : read.notes)
      if (note.rfind(std::string(kPolicyTable[row].valueName) + " is a", 0) == 0)
        skipped[row] = true;
  }
  return outcomes;
}

std::string Shown(const std::string& bytes) {
  std::string shown;
  for (const char c : bytes) {
    if (c == '\r')
      shown += "\\r";
    else if (c == '\n')
      shown += "\\n\n";
    else if (c == '\0')
      continue;
    else
      shown += c;
  }
  return shown;
}

TEST(RegDifferential, PolvaneImportsEveryGeneratedScriptAsRegeditApplies) {
  const char* asked = std::getenv("POLVANE_DIFFERENTIAL");
  const int scripts = asked ? std::atoi(asked) : 300;
  const std::wstring folder = ProgramFolder() + L"differential";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"\\script.reg";
  int disagreements = 0;
  for (int seed = 1; seed <= scripts; ++seed) {
    const std::string script = Grammar(static_cast<unsigned>(seed)).Script();
    {
      const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      ASSERT_TRUE(WriteFile(file.Get(), script.data(), static_cast<DWORD>(script.size()), &written,
                            nullptr));
    }
    StoreBaseline();
    RunProcess(L"regedit.exe /s \"" + path + L"\"");
    const std::vector<Outcome> byRegedit = Stored();
    std::vector<bool> skipped;
    const std::vector<Outcome> byPolvane = Imported(script, skipped);
    std::string differences;
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      // A value of another type is never written: Polvane says it skipped it.
      const bool allowed = byRegedit[row].kind == Outcome::Kind::Other
                               ? skipped[row]
                               : byRegedit[row] == byPolvane[row];
      if (!allowed)
        differences += std::string(kPolicyTable[row].valueName) + ": regedit " +
                       Describe(byRegedit[row]) + ", Polvane " + Describe(byPolvane[row]) +
                       (skipped[row] ? " (skipped)" : "") + "\n";
    }
    if (differences.empty()) continue;
    ++disagreements;
    ADD_FAILURE() << "script " << seed << ":\n" << Shown(script) << "\n" << differences;
    const std::wstring kept = folder + L"\\disagreement-" + std::to_wstring(seed) + L".reg";
    CopyFileW(path.c_str(), kept.c_str(), FALSE);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kMessenger);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kMessenger);
  std::printf("%d scripts compared with regedit, %d disagreements\n", scripts, disagreements);
}

}  // namespace
}  // namespace polvane::test
