// Other tools' files read as the tools read them, checked against the tools
// themselves under Wine. Registry scripts against regedit: many small scripts are made from a
// grammar of the forms people and tools write (headers, encodings, line ends, keys, value lines,
// data of every kind, continuations, comments, blanks), each is applied by regedit /s to stored
// values, and Polvane's import of the same bytes must leave the five values as regedit did. A
// disagreement prints the script and both outcomes, and the script is kept in differential/ beside
// the test program. gpt.ini against Windows' profile reader, before and after Polvane raises its
// Version; Registry.pol's key names against the registry. POLVANE_DIFFERENTIAL=N asks for N files
// of each kind (the fuzz runs).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "rules/Ascii.h"
#include "rules/Decimal.h"
#include "rules/LocalGpo.h"
#include "rules/PolicyFiles.h"
#include "rules/RegistryPol.h"
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

int FilesToCompare(int quick) {
  const char* asked = std::getenv("POLVANE_DIFFERENTIAL");
  return asked ? std::atoi(asked) : quick;
}

TEST(ToolDifferential, RegistryScriptsAreImportedAsRegeditAppliesThem) {
  const int scripts = FilesToCompare(300);
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

// A gpt.ini as the Group Policy editor, other tools and people leave it.
std::string GptIni(std::mt19937& random) {
  const auto below = [&random](int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(random);
  };
  const auto pick = [&](std::initializer_list<const char*> choices) {
    return std::string(choices.begin()[below(static_cast<int>(choices.size()))]);
  };
  const std::string eol = pick({"\r\n", "\r\n", "\n", "\r"});
  std::vector<std::string> lines;
  if (below(10)) lines.push_back(pick({"[General]", "[General]", "[general]", " [General] "}));
  if (below(3)) lines.push_back("gPCFunctionalityVersion=2");
  if (below(5))
    lines.push_back(pick({"Version=", "Version=", "version=", "Version = ", " Version="}) +
                    std::to_string(below(4) ? below(0x20000) : below(3) << 16 | 0xFFFF));
  if (below(2)) lines.push_back("displayName=Local Group Policy");
  for (const char* names : {"gPCMachineExtensionNames=", "gPCUserExtensionNames="})
    if (below(2))
      lines.push_back(names + pick({"[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}"
                                    "{D02B1F72-3407-48AE-BA88-E8213C6761F1}]",
                                    "[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}"
                                    "{D02B1F73-3407-48AE-BA88-E8213C6761F1}]",
                                    "[{827D319E-6EAC-11D2-A4EA-00C04F79F83A}"
                                    "{803E14A0-B4FB-11D0-A0D0-00A0C90F574B}]",
                                    ""}));
  for (int extra = below(4); extra > 0; --extra)
    lines.insert(lines.begin() + below(static_cast<int>(lines.size()) + 1),
                 pick({"", "  ", "; a comment", "[Other]", "Version=9", "Other=1"}));
  std::string text = below(8) ? "" : "\xEF\xBB\xBF";
  for (const std::string& line : lines)
    text += line + (below(12) ? eol : pick({"\r\n", "\n", "\r"}));
  if (!below(6) && !text.empty()) text.resize(text.size() - 1);
  return text;
}

std::wstring ProfileString(const std::wstring& file, const wchar_t* key) {
  wchar_t value[512]{};
  GetPrivateProfileStringW(L"General", key, L"", value, 512, file.c_str());
  return value;
}

void WriteWhole(const std::wstring& path, const std::string& bytes) {
  const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(
      WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// What the profile reader finds in gpt.ini before and after Polvane raises
// one part's Version: that Version one higher, the other part's as it was,
// the registry extension and the part's tool in the part's list, every other
// line as it was; and a file of one kind of line end keeps it.
TEST(ToolDifferential, GptIniIsChangedAsWindowsProfileReaderReadsIt) {
  const std::wstring folder = ProgramFolder() + L"differential";
  CreateDirectoryW(folder.c_str(), nullptr);
  const int files = FilesToCompare(300);
  int disagreements = 0;
  for (int seed = 1; seed <= files; ++seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    const std::string before = GptIni(random);
    const bool machine = seed % 2;
    // A name of its own: the reader keeps a file it has read in a cache.
    const std::wstring path = folder + L"\\gpt-" + std::to_wstring(seed) + L"-";
    WriteWhole(path + L"before.ini", before);
    const UINT version =
        GetPrivateProfileIntW(L"General", L"Version", 0, (path + L"before.ini").c_str());
    const wchar_t* namesKey = machine ? L"gPCMachineExtensionNames" : L"gPCUserExtensionNames";
    const wchar_t* otherKey = machine ? L"gPCUserExtensionNames" : L"gPCMachineExtensionNames";
    const IniUpdate update = UpdateGptIni(Bytes(before.begin(), before.end()), machine);
    std::string differences;
    if (!update.error.empty()) {
      const std::wstring text = ProfileString(path + L"before.ini", L"Version");
      if (ParseDecimal(std::string(text.begin(), text.end())))
        differences = "Polvane refused: " + update.error + "\n";
    } else {
      const std::string after(update.bytes.begin(), update.bytes.end());
      WriteWhole(path + L"after.ini", after);
      const std::wstring was = path + L"before.ini", is = path + L"after.ini";
      const UINT raised = GetPrivateProfileIntW(L"General", L"Version", 0, is.c_str());
      const int shift = machine ? 0 : 16;
      const UINT part = (version >> shift & 0xFFFF) == 0xFFFF ? 1 : (version >> shift & 0xFFFF) + 1;
      if (raised != ((version & ~(0xFFFFu << shift)) | part << shift))
        differences +=
            "Version " + std::to_string(version) + " became " + std::to_string(raised) + "\n";
      const std::wstring names = ProfileString(is, namesKey);
      const std::wstring tool = machine ? L"{D02B1F72-3407-48AE-BA88-E8213C6761F1}"
                                        : L"{D02B1F73-3407-48AE-BA88-E8213C6761F1}";
      const std::size_t list = names.find(L"[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}");
      if (list == std::wstring::npos || names.find(tool, list) > names.find(L']', list))
        differences += "the part's list reads " + std::string(names.begin(), names.end()) + "\n";
      // (An empty gpt.ini is made anew, with its gPCFunctionalityVersion.)
      for (const wchar_t* key : {otherKey, L"displayName", L"gPCFunctionalityVersion", L"Other"})
        if (ProfileString(was, key) != ProfileString(is, key) &&
            (key != std::wstring(L"gPCFunctionalityVersion") || !ProfileString(was, key).empty()))
          differences += std::string(key, key + wcslen(key)) + " changed\n";
      for (const char* ending : {"\r\n", "\n", "\r"}) {
        const auto count = [ending](const std::string& text) {
          std::size_t found = 0;
          for (std::size_t at = 0; (at = text.find(ending, at)) != std::string::npos; ++at)
            if (std::string(ending) != "\r" || text.compare(at, 2, "\r\n") != 0)
              if (std::string(ending) != "\n" || at == 0 || text[at - 1] != '\r') ++found;
          return found;
        };
        if (count(before) == 0 && count(after) > 0 &&
            before.find_first_of("\r\n") != std::string::npos)
          differences += "a line end the file did not have was added\n";
      }
    }
    if (differences.empty()) continue;
    ++disagreements;
    ADD_FAILURE() << "gpt.ini " << seed << " (" << (machine ? "computer" : "users") << "):\n"
                  << Shown(before) << "\n"
                  << differences;
  }
  std::printf("%d gpt.ini files compared with the profile reader, %d disagreements\n", files,
              disagreements);
}

// Registry.pol names its keys as the registry does: each spelling of the
// client key's path is the client key to /gpo exactly where the registry
// opens that key by it.
TEST(ToolDifferential, RegistryPolKeyNamesAreTheKeysTheRegistryOpens) {
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kClient, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &created, nullptr),
            ERROR_SUCCESS);
  const UniqueKey client(created);
  const DWORD marker = 0x5EED;
  ASSERT_EQ(RegSetValueExW(client.Get(), L"Marker", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&marker), sizeof marker),
            ERROR_SUCCESS);
  std::mt19937 random(1);
  const auto below = [&random](int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(random);
  };
  const int spellings = FilesToCompare(300);
  int disagreements = 0;
  for (int spelling = 0; spelling < spellings; ++spelling) {
    std::string path;
    if (!below(6)) path += "\\";
    const char* names[] = {"Software", "Policies", "Microsoft", "Messenger", "Client"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
      std::string name = names[i];
      if (!below(4))
        for (char& c : name) c = static_cast<char>(below(2) ? AsciiLower(c) : c & ~0x20);
      if (!below(15)) name += below(2) ? " " : "2";
      path += name;
      if (i + 1 < std::size(names)) path += below(8) ? "\\" : "\\\\";
    }
    path += std::string(static_cast<std::size_t>(below(4) ? 0 : 1 + below(3)), '\\');
    // The registry's answer: the key it opens by the name holds the marker.
    HKEY opened = nullptr;
    DWORD found = 0, size = sizeof found;
    const bool registry =
        RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS &&
        RegQueryValueExA(opened, "Marker", nullptr, nullptr, reinterpret_cast<BYTE*>(&found),
                         &size) == ERROR_SUCCESS &&
        found == marker;
    if (opened) RegCloseKey(opened);
    // Polvane's: a record under the name configures the client key's value.
    Bytes pol = EmptyPol();
    const Bytes record = PolRecordBytes(path, "PreventRun", kRegDword, Bytes{1, 0, 0, 0});
    pol.insert(pol.end(), record.begin(), record.end());
    const bool polvane = FindPolValue(*ReadPol(pol).file, kPolicyKeyPath, "PreventRun").state ==
                         PolSetting::State::Number;
    if (registry == polvane) continue;
    ++disagreements;
    ADD_FAILURE() << path << ": the registry " << (registry ? "opens" : "does not open")
                  << " the client key by it, Polvane " << (polvane ? "does" : "does not");
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kMessenger);
  std::printf("%d key names compared with the registry, %d disagreements\n", spellings,
              disagreements);
}

}  // namespace
}  // namespace polvane::test
