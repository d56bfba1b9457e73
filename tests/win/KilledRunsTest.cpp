// Runs of the real program killed at every point of their file work: a
// policy file must hold the whole old content or the whole new one at every
// instant, and the next run must finish what a killed one began and leave
// nothing of it behind. The test command kills a few hundred runs;
// POLVANE_SOAK=full (scripts/soak.sh) more.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/LocalGroupPolicy.h"
#include "rules/PolicyTable.h"
#include "rules/RegistryPol.h"
#include "seams/RegistryApi.h"
#include "tests/win/support/Processes.h"

namespace polvane::test {
namespace {

int Runs(int full, int quick) {
  const char* mode = std::getenv("POLVANE_SOAK");
  return mode && std::string(mode) == "full" ? full : quick;
}

std::wstring PolvaneLine(const std::wstring& arguments) {
  return L"\"" + ProgramFolder() + L"Polvane.com\" " + arguments;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts the program with nowhere to print and kills it at a point of its
// file work: just after the given count of changes in folder (a file made,
// written, renamed or deleted), then after a further delay. False where it
// ended first.
bool RunAndKillAt(const std::wstring& arguments, const std::wstring& folder, int changes,
                  double seconds) {
  const HANDLE watch = FindFirstChangeNotificationW(
      folder.c_str(), TRUE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
  if (watch == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot watch the folder: " << GetLastError();
    return false;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION started{};
  std::wstring line = PolvaneLine(arguments);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &started)) {
    ADD_FAILURE() << "could not start " << GetLastError();
    FindCloseChangeNotification(watch);
    return false;
  }
  const ChildProcess child = Adopt(started);
  bool ended = false;
  for (int seen = 0; seen < changes && !ended;) {
    const HANDLE waits[] = {watch, child.process.Get()};
    const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, 10000);
    ended = woken != WAIT_OBJECT_0;
    if (!ended && ++seen < changes) FindNextChangeNotification(watch);
  }
  FindCloseChangeNotification(watch);
  LARGE_INTEGER from{}, now{};
  QueryPerformanceCounter(&from);
  do {
    if (WaitForSingleObject(child.process.Get(), 0) == WAIT_OBJECT_0) return false;
    QueryPerformanceCounter(&now);
  } while (Seconds(from, now) < seconds);
  TerminateProcess(child.process.Get(), 9);
  WaitForSingleObject(child.process.Get(), 10000);
  return true;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return files;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

constexpr char kOtherKey[] = "Software\\Policies\\Contoso\\Chat";
constexpr char kIniHead[] =
    "[General]\r\ngPCFunctionalityVersion=2\r\ndisplayName=Local Group Policy\r\n"
    "gPCMachineExtensionNames=[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}"
    "{D02B1F72-3407-48AE-BA88-E8213C6761F1}]\r\n"
    "gPCUserExtensionNames=[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}"
    "{D02B1F73-3407-48AE-BA88-E8213C6761F1}]\r\n";

class KilledRuns : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override {
    Clear();
    // Where no Group Policy engine runs, /gpo changed the registry to match.
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
      RegDeleteTreeW(root, L"Software\\Policies\\Microsoft\\Messenger");
  }

  void Clear() {
    for (const char* part : {"\\Machine", "\\User", ""}) {
      const std::wstring folder = Wide(folder_ + part);
      for (const std::wstring& file : FilesIn(folder)) DeleteFileW((folder + L"\\" + file).c_str());
      RemoveDirectoryW(folder.c_str());
    }
  }

  Bytes Read(const std::string& inFolder) {
    Bytes bytes;
    EXPECT_EQ(files_.Read(folder_ + inFolder, bytes), kSuccess) << inFolder;
    return bytes;
  }

  void Put(const std::string& inFolder, const Bytes& bytes) {
    ASSERT_EQ(files_.MakeFolderOf(folder_ + inFolder), kSuccess);
    ASSERT_EQ(files_.Replace(folder_ + inFolder, bytes), kSuccess);
  }

  // gpt.ini's Version, or -1 where the file or the line is missing.
  long long Version() {
    const Bytes ini = Read("\\gpt.ini");
    const std::string text(ini.begin(), ini.end());
    const std::size_t at = text.find("\r\nVersion=");
    EXPECT_EQ(text.rfind(kIniHead, 0), 0u) << text;  // the other lines stay as they were
    return at == std::string::npos ? -1 : std::atoll(text.c_str() + at + 10);
  }

  const std::string folder_ = LocalGroupPolicy().Folder();
  WindowsFiles files_;
};

// Both parts hold another product's record beside Polvane's; whatever
// instant a /gpo /set is killed at, both files parse and keep that record,
// and neither half of the Version falls. The next whole run of each part
// then succeeds and leaves no file of any killed run behind.
TEST_F(KilledRuns, AGpoSetKilledAtAnyInstantLosesNothingAndTheNextRunFinishesIt) {
  Bytes pol = EmptyPol();
  const Bytes other = PolRecordBytes(kOtherKey, "AutoStart", kRegDword, Bytes{1, 0, 0, 0});
  pol.insert(pol.end(), other.begin(), other.end());
  Put("\\Machine\\Registry.pol", pol);
  Put("\\User\\Registry.pol", pol);
  const std::string ini = std::string(kIniHead) + "Version=131075\r\n";
  Put("\\gpt.ini", Bytes(ini.begin(), ini.end()));

  long long version = Version();
  const int runs = Runs(600, 160);
  int killed = 0;
  for (int run = 0; run < runs; ++run) {
    const bool machine = run % 2;
    const std::wstring value = (run / 2) % 2 ? L"1" : L"0";
    killed += RunAndKillAt(L"/gpo /set PreventRun=" + value + L" DisableVideo=" + value +
                               (machine ? L" /allusers" : L""),
                           Wide(folder_), 1 + run / 2 % 8, 0.0001 * (run * 7 % 30));
    for (const char* part : {"\\Machine\\Registry.pol", "\\User\\Registry.pol"}) {
      const PolRead read = ReadPol(Read(part));
      ASSERT_TRUE(read.file) << part << " after kill " << run << ": " << read.error;
      ASSERT_EQ(FindPolValue(*read.file, kOtherKey, "AutoStart").number, 1u) << part << run;
    }
    const long long now = Version();
    ASSERT_GE(now & 0xFFFF, version & 0xFFFF) << "the computer's Version fell at kill " << run;
    ASSERT_GE(now >> 16, version >> 16) << "the users' Version fell at kill " << run;
    version = now;
  }
  EXPECT_GT(killed, runs / 3);  // runs ended by a kill, not by themselves
  std::printf("%d /gpo /set runs, %d killed in their file work\n", runs, killed);

  for (const wchar_t* scope : {L"", L" /allusers"}) {
    const ProcessResult last =
        RunProcess(PolvaneLine(L"/gpo /set PreventRun=1" + std::wstring(scope)));
    EXPECT_EQ(last.exitCode, 0u) << last.err;
  }
  for (const char* part : {"\\Machine\\Registry.pol", "\\User\\Registry.pol"}) {
    const PolRead read = ReadPol(Read(part));
    ASSERT_TRUE(read.file);
    EXPECT_EQ(FindPolValue(*read.file, kPolicyKeyPath, "PreventRun").number, 1u) << part;
  }
  EXPECT_EQ(FilesIn(Wide(folder_)), std::vector<std::wstring>{L"gpt.ini"});
  for (const char* part : {"\\Machine", "\\User"})
    EXPECT_EQ(FilesIn(Wide(folder_ + part)), std::vector<std::wstring>{L"Registry.pol"}) << part;
}

// An /export over a file another scope's export wrote: killed at any
// instant, the file is one whole export or the other, and the next export
// leaves nothing of the killed ones beside it.
TEST_F(KilledRuns, AnExportKilledAtAnyInstantLeavesOneWholeFile) {
  const std::wstring folder = ProgramFolder() + L"killed-exports";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"\\policies.reg";
  const std::string utf8(path.begin(), path.end());
  const std::wstring line = L"/export \"" + path + L"\"";
  ASSERT_EQ(RunProcess(PolvaneLine(line + L" /allusers")).exitCode, 0u);
  Bytes machine, user;
  ASSERT_EQ(files_.Read(utf8, machine), kSuccess);
  ASSERT_EQ(RunProcess(PolvaneLine(line)).exitCode, 0u);
  ASSERT_EQ(files_.Read(utf8, user), kSuccess);
  ASSERT_NE(machine, user);

  const int runs = Runs(300, 80);
  int killed = 0;
  for (int run = 0; run < runs; ++run) {
    killed += RunAndKillAt(line + (run % 2 ? L" /allusers" : L""), folder, 1 + run / 2 % 2,
                           0.00005 * (run * 7 % 20));
    Bytes now;
    ASSERT_EQ(files_.Read(utf8, now), kSuccess) << "after kill " << run;
    ASSERT_TRUE(now == machine || now == user) << "a mixture after kill " << run;
  }
  EXPECT_GT(killed, runs / 3);
  std::printf("%d /export runs, %d killed in their file work\n", runs, killed);
  ASSERT_EQ(RunProcess(PolvaneLine(line)).exitCode, 0u);
  EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"policies.reg"});
  for (const std::wstring& file : FilesIn(folder)) DeleteFileW((folder + L"\\" + file).c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace polvane::test
