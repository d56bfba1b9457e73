// The real Polvane.com, the command line that scripts and prompts run: its
// exit code, what it printed, and
// the registry as reg.exe, a reader of its own, finds it.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Accounts.h"
#include "platform/Files.h"
#include "platform/LocalGroupPolicy.h"
#include "platform/Text.h"
#include "rules/CommandLine.h"
#include "rules/PolicyTable.h"
#include "seams/RegistryApi.h"
#include "rules/RegistryPol.h"
#include "tests/win/support/PolicyKeys.h"
#include "tests/win/support/Processes.h"
#include "tests/win/support/Recorders.h"
#include "tests/win/support/Tokens.h"

namespace polvane::test {
namespace {

ProcessResult Polvane(const std::wstring& arguments, HANDLE token = nullptr) {
  return RunProcess(L"\"" + ProgramFolder() + L"Polvane.com\" " + arguments, token);
}

// The policy key's values as reg.exe prints them, "Name REG_DWORD 0x1" a
// line, sorted by name; empty when the key is missing.
std::string RegQuery(const wchar_t* root) {
  const ProcessResult reg = RunProcess(std::wstring(L"reg.exe query \"") + root +
                                       L"\\Software\\Policies\\Microsoft\\Messenger\\Client\"");
  std::vector<std::string> values;
  std::size_t start = 0;
  while (start < reg.out.size()) {
    std::size_t end = reg.out.find('\n', start);
    if (end == std::string::npos) end = reg.out.size();
    std::string line = reg.out.substr(start, end - start);
    start = end + 1;
    if (line.rfind("    ", 0) != 0) continue;  // the key's name, blank lines
    std::string words;
    for (std::size_t at = 0; (at = line.find_first_not_of(" \r", at)) != std::string::npos;) {
      const std::size_t stop = line.find_first_of(" \r", at);
      words += (words.empty() ? "" : " ") + line.substr(at, stop - at);
      at = stop;
    }
    values.push_back(words + "\n");
  }
  std::sort(values.begin(), values.end());
  std::string sorted;
  for (const std::string& value : values) sorted += value;
  return sorted;
}

class CommandLine : public PolicyTest {};

// Polvane splits its own command line, so that a command loads no shell32:
// it must split as CommandLineToArgvW does, awkward lines and all.
TEST(SplitCommandLine, AgreesWithCommandLineToArgvW) {
  const wchar_t* const lines[] = {
      L"prog",
      L"prog   ",
      L"\"C:\\Program Files\\P.exe\" /set PreventRun=1",
      L"\"prog\"x y",
      L"\"unclosed",
      L"prog a\\b \"c d\" \t e\t",
      L"prog \"a\\\"b\" a\\\\\"b c\" a\\\\\\\"b",
      L"prog \"\" \"\"\"\" \"\"\"\"\"\" \"\"\"x\"\"\"",
      L"prog a\"b c\"d \"a\"\"b\" \"unclosed arg",
      L"prog trailing\\ \"\\\\\" \u00e9t\u00e9 \"\u00fc\"",
  };
  for (const wchar_t* line : lines) {
    int count = 0;
    const UniqueLocalOf<wchar_t*> owner(CommandLineToArgvW(line, &count));
    wchar_t** const split = owner.Get();
    std::vector<std::string> expected;
    for (int i = 1; i < count; ++i) expected.push_back(Narrow(split[i], CP_UTF8));
    EXPECT_EQ(SplitCommandLine(Narrow(line, CP_UTF8)), expected) << Narrow(line, CP_UTF8);
  }
}

TEST_F(CommandLine, ShowPrintsTheFiveValuesInTheWindowsOrder) {
  StorePolicy(HKEY_LOCAL_MACHINE, "PreventRun", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisableVideo", 0x80000000u);
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kPolicyPath, "DisablePC2Phone", REG_SZ, "1", 2);
  StorePolicy(HKEY_CURRENT_USER, "DisableFileTransfer", 1);

  const ProcessResult machine = Polvane(L"-SHOW /AllUsers");
  EXPECT_EQ(machine.exitCode, 0u);
  EXPECT_EQ(machine.out,
            "PreventRun=1\r\nDisableFileTransfer=not set\r\nDisablePC2PCAudio=not set\r\n"
            "DisablePC2Phone=not a 4-byte REG_DWORD\r\nDisableVideo=2147483648\r\n");
  EXPECT_EQ(machine.err, "");
  EXPECT_NE(Polvane(L"/show").out.find("DisableFileTransfer=1\r\n"), std::string::npos);
}

TEST_F(CommandLine, ShowMarksWhatCouldNotBeReadAndExitsWithTheFailuresCode) {
  DenyPolicyKey(HKEY_CURRENT_USER);
  const ProcessResult show = Polvane(L"/show");
  EXPECT_EQ(show.exitCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(
      show.out,
      "PreventRun=unreadable\r\nDisableFileTransfer=unreadable\r\nDisablePC2PCAudio=unreadable\r\n"
      "DisablePC2Phone=unreadable\r\nDisableVideo=unreadable\r\n");
  EXPECT_EQ(show.err.find("PreventRun could not be read for the current user: "), 0u) << show.err;
}

TEST_F(CommandLine, SetWritesTheNamedValuesOnlyAndUnsetDeletesThem) {
  StorePolicy(HKEY_CURRENT_USER, "DisableVideo", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisablePC2Phone", 1);
  SettingRecorder recorder;

  const ProcessResult set = Polvane(L"/set preventrun=1 DisableVideo=0 /allusers");
  EXPECT_EQ(set.exitCode, 0u);
  EXPECT_EQ(set.out, "PreventRun=1 (was not set)\r\nDisableVideo=0 (was not set)\r\n");
  EXPECT_EQ(set.err, "");
  EXPECT_EQ(
      RegQuery(L"HKLM"),
      "DisablePC2Phone REG_DWORD 0x1\nDisableVideo REG_DWORD 0x0\nPreventRun REG_DWORD 0x1\n");
  EXPECT_EQ(RegQuery(L"HKCU"), "DisableVideo REG_DWORD 0x1\n");
  EXPECT_EQ(SettingRecorder::PolicyNotices(), 1);

  // DisableFileTransfer is missing already: that is no error.
  const ProcessResult unset = Polvane(L"/unset PreventRun DisableFileTransfer /allusers");
  EXPECT_EQ(unset.exitCode, 0u);
  EXPECT_EQ(unset.out, "PreventRun not set (was 1)\r\nDisableFileTransfer not set, unchanged\r\n");
  EXPECT_EQ(unset.err, "");
  EXPECT_EQ(RegQuery(L"HKLM"), "DisablePC2Phone REG_DWORD 0x1\nDisableVideo REG_DWORD 0x0\n");
  EXPECT_EQ(RegQuery(L"HKCU"), "DisableVideo REG_DWORD 0x1\n");
  EXPECT_EQ(SettingRecorder::PolicyNotices(), 2);
}

TEST_F(CommandLine, ARefusedWriteExitsWithItsErrorCodeAfterTryingEveryValue) {
  MakePolicyKeyUncreatable();
  SettingRecorder recorder;

  const ProcessResult set = Polvane(L"/set PreventRun=1 DisableVideo=1");
  EXPECT_EQ(set.exitCode, static_cast<DWORD>(ERROR_CHILD_MUST_BE_VOLATILE));
  EXPECT_EQ(set.out, "");
  EXPECT_EQ(set.err.find("PreventRun could not be written for the current user: "), 0u) << set.err;
  EXPECT_NE(set.err.find("\r\nDisableVideo could not be written"), std::string::npos) << set.err;
  EXPECT_EQ(RegQuery(L"HKCU"), "");
  EXPECT_EQ(SettingRecorder::PolicyNotices(), 0);
}

TEST_F(CommandLine, HelpPrintsTheUsage) {
  for (const wchar_t* help : {L"/?", L"-HELP"}) {
    const ProcessResult usage = Polvane(help);
    EXPECT_EQ(usage.exitCode, 0u) << help;
    std::string lines = UsageText();
    for (std::size_t end = 0; (end = lines.find('\n', end)) != std::string::npos; end += 2)
      lines.insert(end, 1, '\r');
    EXPECT_EQ(usage.out, lines) << help;
    EXPECT_EQ(usage.err, "") << help;
  }
}

TEST_F(CommandLine, AWrongCommandLineSaysWhatIsWrongAndWritesNothing) {
  StorePolicy(HKEY_CURRENT_USER, "PreventRun", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisableVideo", 0);
  const std::string user = RegQuery(L"HKCU"), machine = RegQuery(L"HKLM");
  const std::pair<const wchar_t*, const char*> wrong[] = {
      {L"/sett PreventRun=0", "Unknown switch /sett"},
      {L"/set PreventRun=0 DisableAudio=1", "Unknown policy name DisableAudio"},
      {L"/set PreventRun=0 DisableVideo=2", "DisableVideo=2: the value must be 0 or 1"},
      {L"/set PreventRun=0 DisableVideo", "DisableVideo has no value"},
      {L"/set /allusers", "/set needs at least one Name=0|1"},
      {L"/unset", "/unset needs at least one policy name"},
      {L"/set PreventRun=0 preventrun=1", "PreventRun is given twice"},
      {L"/unset DisableVideo DISABLEVIDEO", "DisableVideo is given twice"},
      {L"/show /unset PreventRun", "/unset cannot be given with /show"},
      {L"/set PreventRun=0 /show", "/show cannot be given with /set"},
      {L"PreventRun=0", "Unexpected argument PreventRun=0"},
      {L"/edit /allusers", "/edit needs at least one Name=0|1|2"},
      {L"/edit DisableVideo=3", "DisableVideo=3: the value must be 0, 1 or 2"},
  };
  for (const auto& [arguments, what] : wrong) {
    const ProcessResult run = Polvane(arguments);
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << arguments;
    EXPECT_EQ(run.out, "") << arguments;
    EXPECT_EQ(run.err.find(what), 0u) << run.err;
    EXPECT_EQ(run.err.find("\r\n"), run.err.size() - 2) << "one line: " << run.err;
    EXPECT_NE(run.err.find("Polvane.exe /?"), std::string::npos) << run.err;
    EXPECT_EQ(RegQuery(L"HKCU"), user) << arguments;
    EXPECT_EQ(RegQuery(L"HKLM"), machine) << arguments;
  }
}

// Windows' security on the policy keys: UAC's filtered token may read but not
// change either scope, and is told so before anything is written; an
// elevated token (SYSTEM's too) changes both.
TEST_F(CommandLine, AFilteredTokenIsRefusedWith5AndWritesNothingWhereAnElevatedOneWrites) {
  const WindowsPolicySecurity security;
  StorePolicy(HKEY_CURRENT_USER, "PreventRun", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "PreventRun", 1);
  const UniqueKernelHandle filtered = FilteredToken();
  SettingRecorder recorder;
  for (const std::wstring scope : {L"", L" /allusers"}) {
    const std::string whose = scope.empty() ? "the current user" : "all users";
    for (const wchar_t* change : {L"/set DisableVideo=1", L"/unset PreventRun"}) {
      const ProcessResult refused = Polvane(change + scope, filtered.Get());
      EXPECT_EQ(refused.exitCode, static_cast<DWORD>(ERROR_ACCESS_DENIED)) << change;
      EXPECT_EQ(refused.out, "");
      EXPECT_EQ(refused.err, "Access is denied: the Messenger policies of " + whose +
                                 " are changed by an administrator (from an elevated prompt) or "
                                 "through Group Policy. Nothing was written.\r\n");
    }
    const ProcessResult show = Polvane(L"/show" + scope, filtered.Get());
    EXPECT_EQ(show.exitCode, 0u);
    EXPECT_EQ(show.out.find("PreventRun=1\r\n"), 0u);
  }
  for (const wchar_t* root : {L"HKCU", L"HKLM"})
    EXPECT_EQ(RegQuery(root), "PreventRun REG_DWORD 0x1\n");
  EXPECT_EQ(SettingRecorder::PolicyNotices(), 0);

  EXPECT_EQ(Polvane(L"/set DisableVideo=1").exitCode, 0u);
  EXPECT_EQ(Polvane(L"/unset PreventRun /allusers").exitCode, 0u);
  EXPECT_EQ(RegQuery(L"HKCU"), "DisableVideo REG_DWORD 0x1\nPreventRun REG_DWORD 0x1\n");
  EXPECT_EQ(RegQuery(L"HKLM"), "");
}

// A key whose own security refuses administrators refuses an elevated
// Polvane too, which is told so, with no advice to elevate.
TEST_F(CommandLine, AnAdministratorRefusedByTheKeysOwnSecurityIsToldSo) {
  DenyPolicyKey(HKEY_LOCAL_MACHINE, true);
  const ProcessResult refused = Polvane(L"/set PreventRun=1 /allusers");
  EXPECT_EQ(refused.exitCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(refused.err,
            "Access is denied: Polvane runs with an administrator's rights, but the security of "
            "the registry key that holds the Messenger policies of all users refuses even "
            "administrators here. Nothing was written.\r\n");
  EXPECT_EQ(StoredPolicy(HKEY_LOCAL_MACHINE, "PreventRun"), std::nullopt);
}

// A signed-in user's hive is loaded under HKEY_USERS\\<SID>; Wine has one
// account, so the test loads a stand-in for another.
TEST_F(CommandLine, UserReachesASignedInUsersPoliciesByNameOrSid) {
  const std::wstring other = L"S-1-5-21-1111-2222-3333-1001";
  const std::wstring otherKey = L"HKU\\" + other;
  ASSERT_EQ(RegSetKeyValueW(HKEY_USERS, (other + L"\\Volatile Environment").c_str(), L"USERNAME",
                            REG_SZ, L"alice", 12),
            ERROR_SUCCESS);

  const ProcessResult set = Polvane(L"/set DisableVideo=1 /user:" + other);
  EXPECT_EQ(set.exitCode, 0u) << set.err;
  EXPECT_EQ(RegQuery(otherKey.c_str()), "DisableVideo REG_DWORD 0x1\n");
  EXPECT_EQ(RegQuery(L"HKCU"), "");
  EXPECT_NE(Polvane(L"/show -USER:" + other).out.find("DisableVideo=1\r\n"), std::string::npos);
  const std::wstring file = ProgramFolder() + L"alice.reg";
  const ProcessResult exported = Polvane(L"/export \"" + file + L"\" /user:" + other);
  DeleteFileW(file.c_str());
  EXPECT_EQ(exported.out.find("The policies of S-1-5-21-1111-2222-3333-1001 were exported"), 0u)
      << exported.out;  // named as Windows names them, here by SID

  // This process's own user, by name, is the current user.
  const std::wstring own = SystemAccounts().NameOf(SystemAccounts().OwnSid());
  EXPECT_EQ(Polvane(L"/set PreventRun=1 \"/user:" + own + L"\"").exitCode, 0u) << own.c_str();
  EXPECT_EQ(RegQuery(L"HKCU"), "PreventRun REG_DWORD 0x1\n");

  struct Case {
    std::wstring user;
    DWORD exitCode;
    const char* line;
  };
  const Case unreachable[] = {
      {L"S-1-5-21-1111-2222-3333-1002", ERROR_NO_SUCH_LOGON_SESSION,
       "S-1-5-21-1111-2222-3333-1002 is not signed in on this computer"},
      {L"nobody.of.this.name", ERROR_NONE_MAPPED, "No account is named nobody.of.this.name."},
      {L"S-1-x", ERROR_INVALID_SID, "S-1-x is no valid SID"},
      {L"Administrators", ERROR_NO_SUCH_USER, "Administrators is a group, not a user"},
      {L"S-1-5-32-544", ERROR_NO_SUCH_USER, "S-1-5-32-544 is a group, not a user"},
  };
  for (const Case& c : unreachable) {
    const ProcessResult run = Polvane(L"/set PreventRun=0 /user:" + c.user);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.user.c_str();
    EXPECT_EQ(run.err.find(c.line), 0u) << run.err;
    EXPECT_EQ(run.err.find("\r\n"), run.err.size() - 2) << "one line: " << run.err;
  }
  EXPECT_EQ(RegQuery(L"HKCU"), "PreventRun REG_DWORD 0x1\n");
  EXPECT_EQ(RegQuery(otherKey.c_str()), "DisableVideo REG_DWORD 0x1\n");
  RegDeleteTreeW(HKEY_USERS, other.c_str());
}

TEST_F(CommandLine, JsonCheckAndWhatIfAnswerScriptsAndChangeNothing) {
  StorePolicy(HKEY_LOCAL_MACHINE, "PreventRun", 1);
  StorePolicy(HKEY_CURRENT_USER, "PreventRun", 0);
  StorePolicy(HKEY_CURRENT_USER, "DisableVideo", 1);
  const std::string user = RegQuery(L"HKCU"), machine = RegQuery(L"HKLM");
  SettingRecorder recorder;

  const ProcessResult json = Polvane(L"/show /json");
  EXPECT_EQ(json.exitCode, 0u);
  EXPECT_NE(json.out.find(R"(  "effective": {"PreventRun": {"value": 1, "from": "allUsers"}, )"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find(R"("DisableVideo": {"value": 1, "from": "currentUser"}})"),
            std::string::npos);

  EXPECT_EQ(Polvane(L"/check PreventRun=1 /allusers").exitCode, 0u);
  const ProcessResult differs = Polvane(L"/check PreventRun=1 DisableVideo=1");
  EXPECT_EQ(differs.exitCode, 1u);
  EXPECT_EQ(differs.out, "PreventRun is 0, not 1\r\n");

  const ProcessResult whatIf = Polvane(L"/set PreventRun=1 DisableVideo=1 /whatif");
  EXPECT_EQ(whatIf.exitCode, 0u);
  EXPECT_EQ(whatIf.out, "What if: PreventRun=1 (was 0)\r\nWhat if: DisableVideo=1 unchanged\r\n");
  EXPECT_EQ(Polvane(L"/set DisableVideo=1").out, "DisableVideo=1 unchanged\r\n");
  EXPECT_EQ(RegQuery(L"HKCU"), user);
  EXPECT_EQ(RegQuery(L"HKLM"), machine);
  EXPECT_EQ(SettingRecorder::PolicyNotices(), 0);
}

TEST_F(CommandLine, ArgumentsAreReadWideAndLinesGoOutAsUtf8) {
  // A code page's best fit would make this /set PreventRun=1.
  const ProcessResult fullwidth =
      Polvane(L"\uFF0Fset \uFF30\uFF52\uFF45\uFF56\uFF45\uFF4E\uFF54\uFF32\uFF55\uFF4E=\uFF11");
  EXPECT_EQ(fullwidth.exitCode, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(fullwidth.err.find("Unexpected argument \xef\xbc\x8fset (not plain ASCII"), 0u)
      << fullwidth.err;
  EXPECT_EQ(RegQuery(L"HKCU"), "");

  const ProcessResult zoe = Polvane(L"/show /user:Zo\u00eb");
  EXPECT_EQ(zoe.exitCode, static_cast<DWORD>(ERROR_NONE_MAPPED));
  EXPECT_EQ(zoe.err, "No account is named Zo\xc3\xab. Nothing was read or written.\r\n");
}

// Typed at a prompt in Polvane's folder, "Polvane" is the console program
// (PATHEXT puts .COM before .EXE): cmd waits for it, its lines come before
// the next command's, and its exit code is in ERRORLEVEL.
TEST_F(CommandLine, APromptWaitsForItAndKeepsItsExitCode) {
  StorePolicy(HKEY_CURRENT_USER, "DisableVideo", 1);
  std::wstring folder = ProgramFolder();
  folder.pop_back();
  const ProcessResult prompt =
      RunProcess(L"cmd.exe /v:on /c \"cd /d \"" + folder +
                 L"\" & Polvane /set Bogus=1 & echo exit=!ERRORLEVEL! & Polvane /show & "
                 L"echo exit=!ERRORLEVEL!\"");
  EXPECT_EQ(prompt.out,
            "exit=87 \r\nPreventRun=not set\r\nDisableFileTransfer=not set\r\n"
            "DisablePC2PCAudio=not set\r\nDisablePC2Phone=not set\r\nDisableVideo=1\r\n"
            "exit=0\r\n");
  EXPECT_EQ(prompt.err.find("Unknown policy name Bogus;"), 0u) << prompt.err;
}

// Started as a scheduled task or an agent may start it: standard handles of
// the caller's choosing, or none and no console.
DWORD ExitCodeWithOutputTo(const std::wstring& arguments, HANDLE out, DWORD flags) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = out;
  std::wstring command = L"\"" + ProgramFolder() + L"Polvane.com\" " + arguments;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, out != nullptr, flags, nullptr,
                      nullptr, &startup, &started))
    return GetLastError();
  const ChildProcess process = Adopt(started);
  DWORD exitCode = WAIT_TIMEOUT;
  if (WaitForSingleObject(process.process.Get(), 10000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.process.Get(), &exitCode);
  else
    TerminateProcess(process.process.Get(), 1);  // waiting on a box, as it must not
  return exitCode;
}

TEST_F(CommandLine, LostOutputIsNoSuccessAndNothingWaitsOnABox) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE reader = nullptr, writer = nullptr;
  ASSERT_TRUE(CreatePipe(&reader, &writer, &inherit, 0));
  UniqueKernelHandle read(reader);
  const UniqueKernelHandle write(writer);
  read.Reset();  // the reader is gone before anything is written
  const DWORD closed = ExitCodeWithOutputTo(L"/show", write.Get(), CREATE_NO_WINDOW);
  EXPECT_TRUE(closed == ERROR_NO_DATA || closed == ERROR_BROKEN_PIPE) << closed;

  for (const wchar_t* unattended : {L"/set Bogus=1", L"/show", L"/set"}) {
    EXPECT_EQ(ExitCodeWithOutputTo(unattended, nullptr, DETACHED_PROCESS),
              unattended == std::wstring(L"/show") ? 0u : ERROR_INVALID_PARAMETER)
        << unattended;
  }
}

// The five values as Messenger reads them: a 4-byte REG_DWORD, or nothing.
std::vector<std::optional<DWORD>> FiveValues() {
  std::vector<std::optional<DWORD>> values;
  for (const char* name : {"PreventRun", "DisableFileTransfer", "DisablePC2PCAudio",
                           "DisablePC2Phone", "DisableVideo"})
    values.push_back(StoredPolicy(HKEY_CURRENT_USER, name));
  return values;
}

// Before each file is applied: three values set, two not.
void StoreBaseline() {
  DeletePolicies();
  StorePolicy(HKEY_CURRENT_USER, "PreventRun", 1);
  StorePolicy(HKEY_CURRENT_USER, "DisableFileTransfer", 1);
  StorePolicy(HKEY_CURRENT_USER, "DisableVideo", 1);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// regedit is the reference for a registry script: each file is applied once
// by regedit /s and once by /import to the same stored values, and the five
// values must come out the same. The first file is reg export's own, of a
// tree that holds another product's default value, a REG_MULTI_SZ and a
// binary value long enough to go on over lines; the others hold what only a
// person writes.
TEST_F(CommandLine, ImportAppliesARegistryScriptAsRegeditDoes) {
  const std::wstring path = ProgramFolder() + L"script.reg";
  const std::string client =
      "[HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Messenger\\Client]";
  const std::string v5 = "Windows Registry Editor Version 5.00\r\n\r\n";
  const std::string scripts[] = {
      "",  // reg export's, made below
      v5 + "[-HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Messenger\\Client]\r\n\r\n" +
          client + "\r\n\"DisableVideo\"=dword:00000002\r\n",
      v5 + "[-HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Messenger]\r\n",
      "  REGEDIT4\r\n\r\n  " + client +
          "  \r\n  \"DisableVideo\" = dword:00000000 ; off\r\n"
          "\"PreventRun\"=hex(4):00,00,\\\r\n  00,00\r\n\"DisableFileTransfer\" = -\r\n"
          "@=\"default\"\r\n\"DisablePC2Phone\"=hex(4):1,0,0,0 ; on\r\n",
      v5 + "\"DisablePC2Phone\"=dword:00000001\r\n" + client +
          "\r\n\"DisableVideo\"=dword:100000000\r\ngarbage\r\n#\"PreventRun\"=dword:0\r\n"
          "\"DisablePC2PCAudio\"=DWORD:00000001\r\n\"DisableFileTransfer\"=dword: 0\r\n",
      "REGEDIT4 \r\n" + client + "\r\n\"PreventRun\"=dword:00000000\r\n",  // regedit refuses it
  };
  for (const std::string& script : scripts) {
    StoreBaseline();
    if (script.empty()) {
      StorePolicy(HKEY_CURRENT_USER, "PreventRun", 0);
      RegDeleteKeyValueA(HKEY_CURRENT_USER, kPolicyPath, "DisableFileTransfer");
      const char* other = "Software\\Policies\\Other Product";
      RegSetKeyValueA(HKEY_CURRENT_USER, other, nullptr, REG_SZ, "x", 2);
      RegSetKeyValueA(HKEY_CURRENT_USER, other, "List", REG_MULTI_SZ, "a\0b\0", 5);
      const std::string blob(100, '\x5A');
      RegSetKeyValueA(HKEY_CURRENT_USER, other, "Blob", REG_BINARY, blob.data(), 100);
      ASSERT_EQ(
          RunProcess(L"reg.exe export HKCU\\Software\\Policies \"" + path + L"\" /y").exitCode, 0u);
      RegDeleteTreeA(HKEY_CURRENT_USER, other);
      StoreBaseline();
    } else {
      WriteBytes(path, script);
    }
    RunProcess(L"regedit.exe /s \"" + path + L"\"");
    const std::vector<std::optional<DWORD>> byRegedit = FiveValues();
    StoreBaseline();
    const ProcessResult imported = Polvane(L"/import \"" + path + L"\"");
    EXPECT_EQ(FiveValues(), byRegedit) << script << imported.out << imported.err;
    EXPECT_EQ(imported.exitCode, script.rfind("REGEDIT4 ", 0) == 0 ? 13u : 0u) << script;
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Policies\\Other Product");
  DeleteFileW(path.c_str());
}

TEST_F(CommandLine, ExportUnsetAllAndImportGiveTheValuesBackInEveryFormat) {
  StorePolicy(HKEY_LOCAL_MACHINE, "PreventRun", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisableVideo", 0);
  const std::string stored = RegQuery(L"HKLM");
  // The last into folders that are not there yet, named as \\?\ names them.
  const std::wstring made = ProgramFolder() + L"export folder";
  for (const std::wstring& path :
       {ProgramFolder() + L"policies.pol", ProgramFolder() + L"policies.reg",
        L"\\\\?\\" + made + L"\\made\\Policies \u00e9t\u00e9.txt"}) {
    const ProcessResult exported = Polvane(L"/export \"" + path + L"\" /allusers");
    EXPECT_EQ(exported.exitCode, 0u) << exported.err;
    EXPECT_EQ(Polvane(L"/unset PreventRun DisableFileTransfer DisablePC2PCAudio DisablePC2Phone "
                      L"DisableVideo /allusers")
                  .exitCode,
              0u);
    ASSERT_EQ(RegQuery(L"HKLM"), "");
    const ProcessResult imported = Polvane(L"/import \"" + path + L"\" /allusers");
    EXPECT_EQ(imported.exitCode, 0u) << imported.err;
    EXPECT_EQ(RegQuery(L"HKLM"), stored) << imported.out;
    DeleteFileW(path.c_str());
  }
  RemoveDirectoryW((made + L"\\made").c_str());
  EXPECT_TRUE(RemoveDirectoryW(made.c_str()));

  // A file that does not parse writes nothing.
  const std::wstring broken = ProgramFolder() + L"broken.reg";
  WriteBytes(broken, "REGEDIT4 \r\n");
  const ProcessResult refused = Polvane(L"/import \"" + broken + L"\"");
  EXPECT_EQ(refused.exitCode, static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(refused.err.find("Not a registry script"), 0u) << refused.err;
  EXPECT_EQ(RegQuery(L"HKCU"), "");
  DeleteFileW(broken.c_str());

  // Nor does one larger than Polvane reads, and the line says why.
  const std::wstring large = ProgramFolder() + L"large.pol";
  {
    const UniqueFile file(CreateFileW(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end{};
    end.QuadPart = kLargestFile + 1;
    ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get()));
  }
  const ProcessResult tooLarge = Polvane(L"/import \"" + large + L"\"");
  EXPECT_EQ(tooLarge.exitCode, static_cast<DWORD>(ERROR_FILE_TOO_LARGE));
  EXPECT_NE(tooLarge.err.find(": it is larger than 64 MB, the most Polvane reads."),
            std::string::npos)
      << tooLarge.err;
  DeleteFileW(large.c_str());
}

// The local Group Policy Object's folder, removed before and after each test.
class LocalGpo : public CommandLine {
 protected:
  void SetUp() override {
    CommandLine::SetUp();
    RemoveGpo();
  }
  void TearDown() override {
    RemoveGpo();
    CommandLine::TearDown();
  }

  void RemoveGpo() {
    for (const char* folder : {"\\Machine", "\\User", ""}) {
      for (const std::wstring& file : FilesIn(folder))
        DeleteFileW(Path(folder).append(file).c_str());
      RemoveDirectoryW(Path(folder).c_str());
    }
  }

  // The files a folder of the object holds, each as "\\name".
  std::vector<std::wstring> FilesIn(const char* folder) const {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((Path(folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        files.push_back(L"\\" + std::wstring(found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
  }

  std::wstring Path(const char* inFolder) const {
    return std::wstring(folder_.begin(), folder_.end()) +
           std::wstring(inFolder, inFolder + strlen(inFolder));
  }

  Bytes FileBytes(const char* inFolder) {
    Bytes bytes;
    const std::string path = folder_ + inFolder;
    EXPECT_EQ(files_.Read(path, bytes), kSuccess) << path;
    return bytes;
  }

  void PutFile(const char* inFolder, const Bytes& bytes) {
    const std::string path = folder_ + inFolder;
    ASSERT_EQ(files_.MakeFolderOf(path), kSuccess);
    ASSERT_EQ(files_.Replace(path, bytes), kSuccess);
  }

  static PolSetting InPol(const Bytes& pol, const char* name) {
    const PolRead read = ReadPol(pol);
    return read.file ? FindPolValue(*read.file, kPolicyKeyPath, name)
                     : PolSetting{PolSetting::State::Other};
  }

  static std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

  const std::string folder_ = LocalGroupPolicy().Folder();
  WindowsFiles files_;
};

TEST_F(LocalGpo, SetWritesRegistryPolAndGptIniForEachPartAndWithoutAnEngineTheRegistry) {
  const ProcessResult machine = Polvane(L"/gpo /allusers /set PreventRun=1");
  EXPECT_EQ(machine.exitCode, 0u) << machine.err;
  EXPECT_EQ(machine.out,
            "PreventRun=1 (was not configured)\r\nNo Group Policy engine runs here to apply it, "
            "so Polvane changed the registry of all users to match.\r\n");
  const ProcessResult user = Polvane(L"/gpo /set DisableVideo=1 DisableFileTransfer=0");
  EXPECT_EQ(user.exitCode, 0u) << user.err;

  EXPECT_EQ(InPol(FileBytes("\\Machine\\Registry.pol"), "PreventRun").number, 1u);
  EXPECT_EQ(InPol(FileBytes("\\User\\Registry.pol"), "DisableVideo").number, 1u);
  EXPECT_EQ(InPol(FileBytes("\\User\\Registry.pol"), "DisableFileTransfer").state,
            PolSetting::State::Number);
  EXPECT_EQ(Text(FileBytes("\\gpt.ini")),
            "[General]\r\ngPCFunctionalityVersion=2\r\n"
            "gPCMachineExtensionNames=[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}"
            "{D02B1F72-3407-48AE-BA88-E8213C6761F1}]\r\n"
            "Version=65537\r\n"
            "gPCUserExtensionNames=[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}"
            "{D02B1F73-3407-48AE-BA88-E8213C6761F1}]\r\n");
  EXPECT_EQ(RegQuery(L"HKLM"), "PreventRun REG_DWORD 0x1\n");
  EXPECT_EQ(RegQuery(L"HKCU"), "DisableFileTransfer REG_DWORD 0x0\nDisableVideo REG_DWORD 0x1\n");
}

TEST_F(LocalGpo, AnotherProductsRecordIsKeptByteForByteAndATruncatedFileIsLeftAlone) {
  const Bytes header{'P', 'R', 'e', 'g', 1, 0, 0, 0};
  Bytes other = header;
  const Bytes record = PolRecordBytes("Software\\Policies\\Contoso\\Chat", "AutoStart", kRegDword,
                                      Bytes{1, 0, 0, 0});
  other.insert(other.end(), record.begin(), record.end());
  PutFile("\\Machine\\Registry.pol", other);

  EXPECT_EQ(Polvane(L"/gpo /allusers /set DisablePC2Phone=1").exitCode, 0u);
  const Bytes kept = FileBytes("\\Machine\\Registry.pol");
  ASSERT_GT(kept.size(), other.size());
  EXPECT_EQ(Bytes(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(other.size())), other);
  EXPECT_EQ(InPol(kept, "DisablePC2Phone").number, 1u);

  RemoveGpo();
  const Bytes truncated(other.begin(), other.end() - 3);
  PutFile("\\User\\Registry.pol", truncated);
  const ProcessResult refused = Polvane(L"/gpo /set PreventRun=1");
  EXPECT_EQ(refused.exitCode, static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, folder_ +
                             "\\User\\Registry.pol: Not a Registry.pol file: the file ends inside "
                             "a record's data at byte " +
                             std::to_string(truncated.size() - 3) + ". Nothing was written.\r\n");
  EXPECT_EQ(FileBytes("\\User\\Registry.pol"), truncated);
  EXPECT_EQ(GetFileAttributesW(Path("\\gpt.ini").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(RegQuery(L"HKCU"), "");
}

// A file of the system folder the Group Policy engine reads, read past the
// redirection that sends a 32-bit process on 64-bit Windows to SysWOW64:
// what the engine itself would find.
Bytes EngineFile(const std::wstring& inSystemFolder) {
  wchar_t windows[MAX_PATH]{};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  void* redirection = nullptr;
  const bool unredirected = Wow64DisableWow64FsRedirection(&redirection);
  const UniqueFile file(CreateFileW((windows + (L"\\System32" + inSystemFolder)).c_str(),
                                    GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
  if (unredirected) Wow64RevertWow64FsRedirection(redirection);
  Bytes bytes(1 << 20);  // more than the test writes
  DWORD read = 0;
  if (!file ||
      !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    read = 0;
  bytes.resize(read);
  return bytes;
}

// Every later change of each part, as an administrator's scripts make them,
// lands where the engine reads, on 32-bit Windows and on 64-bit Windows
// alike, and nothing goes to SysWOW64.
TEST_F(LocalGpo, RepeatedChangesOfEachPartLandInTheSystemFolderTheEngineReads) {
  for (const wchar_t* scope : {L"", L" /allusers"})
    for (const wchar_t* change :
         {L"/gpo /set PreventRun=1", L"/gpo /set PreventRun=0 DisableVideo=1",
          L"/gpo /set PreventRun=1", L"/gpo /unset DisableVideo"}) {
      const ProcessResult run = Polvane(change + std::wstring(scope));
      EXPECT_EQ(run.exitCode, 0u) << change << scope << ": " << run.err;
    }
  for (const wchar_t* part :
       {L"\\GroupPolicy\\User\\Registry.pol", L"\\GroupPolicy\\Machine\\Registry.pol"}) {
    const Bytes pol = EngineFile(part);
    EXPECT_EQ(InPol(pol, "PreventRun").state, PolSetting::State::Number) << part;
    EXPECT_EQ(InPol(pol, "PreventRun").number, 1u) << part;
    EXPECT_EQ(InPol(pol, "DisableVideo").state, PolSetting::State::NotConfigured) << part;
  }
  const std::string ini = Text(EngineFile(L"\\GroupPolicy\\gpt.ini"));
  EXPECT_NE(ini.find("\r\nVersion=262148\r\n"), std::string::npos) << ini;  // 4 and 4
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  wchar_t windows[MAX_PATH]{};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  if (wow64) {
    EXPECT_EQ(GetFileAttributesW((windows + std::wstring(L"\\SysWOW64\\GroupPolicy")).c_str()),
              INVALID_FILE_ATTRIBUTES);
  }
}

// Ctrl+C in the console of a /gpo run that waits for another run's lock ends
// it at once, saying so, with nothing written.
TEST_F(LocalGpo, CtrlCWhileWaitingForTheObjectEndsTheRunWithNothingWritten) {
  ASSERT_EQ(CreateDirectoryW(Path("").c_str(), nullptr), TRUE);
  const UniqueFile held(CreateFileW(Path("\\Polvane.lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                                    0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  ASSERT_TRUE(held);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command =
      L"\"" + ProgramFolder() + L"Polvane.com\" /gpo /set PreventRun=1 /allusers";
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                             nullptr, nullptr, &startup, &started));
  const ChildProcess run = Adopt(started);
  // Typed in the run's own console once it waits (it waits 10 s at most).
  Sleep(1000);
  FreeConsole();
  ASSERT_TRUE(AttachConsole(run.id));
  SetConsoleCtrlHandler(nullptr, TRUE);
  ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
  ASSERT_EQ(WaitForSingleObject(run.process.Get(), 5000), WAIT_OBJECT_0);
  FreeConsole();
  SetConsoleCtrlHandler(nullptr, FALSE);
  DWORD exitCode = 0;
  GetExitCodeProcess(run.process.Get(), &exitCode);
  EXPECT_EQ(exitCode, static_cast<DWORD>(ERROR_CANCELLED));
  EXPECT_EQ(FilesIn(""), std::vector<std::wstring>{L"\\Polvane.lock"});
  EXPECT_EQ(GetFileAttributesW(Path("\\Machine").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Eight runs at once, each setting another value in one part or the other:
// every run reports success, its value is in its part's Registry.pol, each
// raised its part's Version once, and no lock or temporary file is left
// behind.
TEST_F(LocalGpo, RunsAtOnceLoseNoChangeThatTheyReportAsSaved) {
  struct Run {
    bool machine;
    const char* name;
  };
  const Run runs[] = {{false, "PreventRun"},        {true, "PreventRun"},
                      {false, "DisableVideo"},      {true, "DisableFileTransfer"},
                      {false, "DisablePC2Phone"},   {true, "DisablePC2PCAudio"},
                      {false, "DisablePC2PCAudio"}, {true, "DisableVideo"}};
  std::vector<std::wstring> lines;
  for (const Run& run : runs)
    lines.push_back(L"\"" + ProgramFolder() + L"Polvane.com\" /gpo /set " +
                    std::wstring(run.name, run.name + strlen(run.name)) + L"=1" +
                    (run.machine ? L" /allusers" : L""));
  const std::vector<ProcessResult> results = RunProcessesAtOnce(lines);

  const Bytes user = FileBytes("\\User\\Registry.pol"),
              machine = FileBytes("\\Machine\\Registry.pol");
  for (std::size_t i = 0; i < std::size(runs); ++i) {
    EXPECT_EQ(results[i].exitCode, 0u) << runs[i].name << ": " << results[i].err;
    EXPECT_EQ(InPol(runs[i].machine ? machine : user, runs[i].name).number, 1u) << runs[i].name;
  }
  const std::string ini = Text(FileBytes("\\gpt.ini"));
  EXPECT_NE(ini.find("\r\nVersion=262148\r\n"), std::string::npos) << ini;  // 4 and 4
  for (const char* folder : {"", "\\Machine", "\\User"})
    EXPECT_EQ(FilesIn(folder).size(), 1u) << folder;
}

}  // namespace
}  // namespace polvane::test
