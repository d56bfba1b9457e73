// The real Polvane.exe and Polvane.com, started as their own processes and
// inspected from this one.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win/support/Finding.h"
#include "tests/win/support/PolicyKeys.h"
#include "tests/win/support/Processes.h"
#include "tests/win/support/Tokens.h"

namespace polvane::test {
namespace {

std::wstring ProgramPath() { return ProgramFolder() + L"Polvane.exe"; }
std::wstring ConsoleProgramPath() { return ProgramFolder() + L"Polvane.com"; }

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search->processId || !IsWindowVisible(hwnd) || TextOf(hwnd) != L"Polvane")
    return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND MainWindowOf(DWORD processId) {
  Search search{processId, nullptr};
  EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Program : public PolicyTest {
 protected:
  void TearDown() override {
    if (process.process) TerminateProcess(process.process.Get(), 1);
    PolicyTest::TearDown();
  }

  // Starts Polvane, on token when one is given, and waits for its window.
  HWND Start(const wchar_t* arguments = L"", const std::wstring& program = ProgramPath(),
             HANDLE token = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION started{};
    if (token ? !CreateProcessAsUserW(token, nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &started)
              : !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &started))
      return nullptr;
    process = Adopt(started);
    WaitForInputIdle(process.process.Get(), 10000);
    for (int attempt = 0; attempt < 100; ++attempt) {
      if (HWND hwnd = MainWindowOf(process.id)) return hwnd;
      Sleep(50);
    }
    return nullptr;
  }

  ChildProcess process;
};

TEST_F(Program, ShowsTheCurrentUsersValuesAndEndsWhenClosed) {
  StorePolicy(HKEY_CURRENT_USER, "PreventRun", 1);
  StorePolicy(HKEY_CURRENT_USER, "DisablePC2Phone", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisableVideo", 1);
  const HWND main = Start();
  ASSERT_TRUE(main) << "no Polvane window appeared";

  const HWND fra = GetDlgItem(main, IDC_FRA_MAIN);
  const HWND master = GetDlgItem(fra, IDC_CHK_OPTION_0);
  const HWND subs[] = {
      GetDlgItem(fra, IDC_CHK_SUB_OPTION_0), GetDlgItem(main, IDC_CHK_SUB_OPTION_1),
      GetDlgItem(main, IDC_CHK_SUB_OPTION_2), GetDlgItem(main, IDC_CHK_SUB_OPTION_3)};
  EXPECT_EQ(TextOf(master), L"Disable Messenger");
  EXPECT_EQ(SendMessageW(master, BM_GETCHECK, 0, 0), BST_CHECKED);
  const LRESULT expected[] = {BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(subs[i]);
    EXPECT_EQ(SendMessageW(subs[i], BM_GETCHECK, 0, 0), expected[i]) << i;
    EXPECT_FALSE(IsWindowEnabled(subs[i])) << i;
  }
  EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_CHK_OPTION_1), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.process.Get(), 10000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.process.Get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "PreventRun"), 1u);
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"));
}

TEST_F(Program, AllUsersSwitchOpensOnEveryUsersValues) {
  StorePolicy(HKEY_LOCAL_MACHINE, "PreventRun", 1);
  StorePolicy(HKEY_CURRENT_USER, "DisableVideo", 1);
  const HWND main = Start(L"/AllUsers");
  ASSERT_TRUE(main) << "no Polvane window appeared";
  const HWND fra = GetDlgItem(main, IDC_FRA_MAIN);
  EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_CHK_OPTION_1), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(GetDlgItem(fra, IDC_CHK_OPTION_0), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_CHK_SUB_OPTION_3)));
  EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_CHK_SUB_OPTION_3), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// Started as UAC starts an administrator's programs, with Windows' security
// on the policy keys: each scope shows the shield's need at Save, and the
// refused save offers the restart. (Wine's "runas" keeps the filtered token,
// so the elevated side is tested in the process that plays UAC.)
TEST_F(Program, OnAFilteredTokenEachScopesSaveIsRefusedAndOffersTheRestart) {
  for (const wchar_t* arguments : {L"", L"/allusers"}) {
    DeletePolicies();
    const WindowsPolicySecurity security;
    const HWND main = Start(arguments, ProgramPath(), FilteredToken().Get());
    ASSERT_TRUE(main) << "no Polvane window appeared";
    SendMessageW(GetDlgItem(main, IDC_CHK_SUB_OPTION_3), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(main, IDOK), BM_CLICK, 0, 0);
    const HWND box = MessageBoxOf(process.id);
    ASSERT_TRUE(box) << "the refused save showed no box";
    EXPECT_NE(TextOf(GetDlgItem(box, 0xFFFF)).find(L"Restart Polvane as an administrator?"),
              std::wstring::npos);
    SendMessageW(box, WM_COMMAND, IDNO, 0);
    EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_CHK_SUB_OPTION_3), BM_GETCHECK, 0, 0), BST_CHECKED);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
      EXPECT_FALSE(StoredPolicy(root, "DisableVideo"));
    EXPECT_EQ(WaitForSingleObject(process.process.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(process.process.Get(), 0);
    WaitForSingleObject(process.process.Get(), 10000);
    process = {};
  }
}

// Started with nowhere to print (a shortcut, the Run box), /? shows its help
// in a box that fits a 1024 x 768 screen, its button and a taskbar included.
TEST_F(Program, HelpWithNowhereToPrintFitsASmallScreen) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;  // none given, and no console to attach to
  std::wstring command = L"\"" + ProgramPath() + L"\" /?";
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                             nullptr, nullptr, &startup, &started));
  process = Adopt(started);
  const HWND box = MessageBoxOf(process.id);
  ASSERT_TRUE(box) << "/? showed no box";
  RECT frame{}, button{};
  GetWindowRect(box, &frame);
  GetWindowRect(GetDlgItem(box, IDOK), &button);
  EXPECT_LE(frame.right - frame.left, 1024);
  EXPECT_LE(frame.bottom - frame.top, 768 - 48);
  EXPECT_LE(button.bottom, frame.bottom);
  EXPECT_NE(TextOf(GetDlgItem(box, 0xFFFF)).find(L"Polvane.exe /? > help.txt"), std::wstring::npos);
  SendMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForSingleObject(process.process.Get(), 10000), WAIT_OBJECT_0);
}

// Opens the About window of the program whose main window is main, and
// expects the texts of its version record there.
HWND OpenAboutWithItsTexts(HWND main, DWORD processId) {
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0), 0);
  HWND about = nullptr;
  for (int attempt = 0; attempt < 100 && !about; ++attempt, Sleep(50))
    about = FindWindowW(L"Polvane.frmAbout", L"About Polvane");
  if (!about) return nullptr;
  DWORD owner = 0;
  GetWindowThreadProcessId(about, &owner);
  EXPECT_EQ(owner, processId);
  const auto textOf = [about](int id) {
    wchar_t text[256]{};
    SendMessageW(GetDlgItem(about, id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return std::wstring(text);
  };
  EXPECT_EQ(textOf(IDC_LBL_TITLE), L"Krestel Polvane");
  EXPECT_EQ(textOf(IDC_LBL_VERSION), L"Version 1.0.4");
  EXPECT_EQ(textOf(IDC_LBL_POLVANE_WEB), L"Polvane Homepage");
  return about;
}

TEST_F(Program, HelpAboutShowsTheTextsOfItsOwnVersionRecord) {
  const HWND main = Start();
  ASSERT_TRUE(main) << "no Polvane window appeared";
  const HWND about = OpenAboutWithItsTexts(main, process.id);
  ASSERT_TRUE(about) << "no About window appeared";

  // Closing the main window leaves the program running for its About window.
  SendMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(main));
  EXPECT_TRUE(IsWindow(about));
  EXPECT_EQ(WaitForSingleObject(process.process.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  PostMessageW(about, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.process.Get(), 10000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.process.Get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
}

TEST_F(Program, AboutReadsItsVersionRecordInAFolderOfAnyName) {
  // Characters outside every ANSI code page but one, and one outside all.
  const std::wstring folder = ProgramFolder() + L"Zo\u00eb \u65e5\u672c\u8a9e";
  const std::wstring copy = folder + L"\\Polvane.exe";
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE));
  const HWND main = Start(L"", copy);
  EXPECT_TRUE(main) << "no Polvane window appeared";
  EXPECT_TRUE(main && OpenAboutWithItsTexts(main, process.id));
  TerminateProcess(process.process.Get(), 0);
  WaitForSingleObject(process.process.Get(), 10000);
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
}

std::string ManifestOf(const std::wstring& path) {
  const HMODULE image = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!image) return {};
  std::string manifest;
  if (HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)))
    manifest.assign(static_cast<const char*>(LockResource(LoadResource(image, found))),
                    SizeofResource(image, found));
  FreeLibrary(image);
  return manifest;
}

TEST_F(Program, ManifestRunsAsInvokerPerMonitorDpiAwareWithCommonControls6OnWindows7To11) {
  const std::string manifest = ManifestOf(ProgramPath());
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
            std::string::npos);
  EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  // Both programs: never redirected into the VirtualStore, made for 7 to 11.
  for (const std::string& carried : {manifest, ManifestOf(ConsoleProgramPath())}) {
    EXPECT_NE(carried.find(R"(requestedExecutionLevel level="asInvoker")"), std::string::npos);
    for (const char* os :
         {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
          "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
      EXPECT_NE(carried.find(os), std::string::npos) << os;
  }

  // This test program carries the same manifest: the controls it loaded are
  // version 6, from the side-by-side store.
  wchar_t loaded[MAX_PATH]{};
  GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), loaded, MAX_PATH);
  std::wstring path(loaded);
  for (wchar_t& c : path) c = static_cast<wchar_t>(towlower(c));
  EXPECT_NE(path.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."), std::wstring::npos)
      << loaded;
}

TEST_F(Program, BothProgramsCarryTheirVersionRecord) {
  struct Expected {
    std::wstring path;
    const wchar_t *description, *file;
  };
  const Expected programs[] = {
      {ProgramPath(), L"Alter hidden settings for MSN Messenger", L"Polvane.exe"},
      {ConsoleProgramPath(), L"Alter hidden settings for MSN Messenger (command line)",
       L"Polvane.com"}};
  for (const Expected& program : programs) {
    const wchar_t* path = program.path.c_str();
    std::vector<BYTE> data(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_FALSE(data.empty()) << program.file;
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000004u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000004u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"CompanyName", L"Krestel"},
        {L"ProductName", L"Polvane"},
        {L"FileDescription", program.description},
        {L"FileVersion", L"1.00.0004"},
        {L"ProductVersion", L"1.00.0004"},
        {L"InternalName", L"Polvane"},
        {L"OriginalFilename", program.file},
        {L"Comments", L"Compiled 8/12/2002"},
        {L"LegalCopyright", L"Copyright (C) 2002 Krestel"}};
    for (const auto& [name, expected] : strings) {
      wchar_t* value = nullptr;
      const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
      ASSERT_TRUE(
          VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &size))
          << name;
      EXPECT_STREQ(value, expected) << program.file;
    }
  }
}

// What a program imports: its subsystem and its DLLs' names, in lower case.
struct ImportsOf {
  explicit ImportsOf(const std::wstring& path)
      : image(LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES)) {
    if (!image) return;
    const auto* base = reinterpret_cast<const BYTE*>(image);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    // The headers of the architecture this test was built for, as the program was.
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    machine = nt->FileHeader.Machine;
    subsystem = nt->OptionalHeader.Subsystem;
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name; ++entry) {
      std::string name(reinterpret_cast<const char*>(base + entry->Name));
      for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
      dlls.insert(name);
    }
  }
  ~ImportsOf() {
    if (image) FreeLibrary(image);
  }

  HMODULE image;
  WORD machine = 0, subsystem = 0;
  std::set<std::string> dlls;
};

// Polvane.exe imports the DLLs its windows use; Polvane.com imports no DLL
// of the windows at all. What either loads when first needed is in
// platform/LateBound.h.
TEST_F(Program, EachProgramImportsOnlyWhatItNeedsAtStart) {
  constexpr WORD kMachine = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
  const ImportsOf window(ProgramPath()), console(ConsoleProgramPath());
  ASSERT_TRUE(window.image && console.image);
  EXPECT_EQ(window.machine, kMachine);
  EXPECT_EQ(console.machine, kMachine);
  EXPECT_EQ(window.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  EXPECT_EQ(console.subsystem, IMAGE_SUBSYSTEM_WINDOWS_CUI);
  EXPECT_EQ(window.dlls, (std::set<std::string>{"advapi32.dll", "comctl32.dll", "gdi32.dll",
                                                "kernel32.dll", "msvcrt.dll", "ole32.dll",
                                                "oleacc.dll", "oleaut32.dll", "shell32.dll",
                                                "user32.dll", "version.dll"}));
  EXPECT_EQ(console.dlls, (std::set<std::string>{"advapi32.dll", "kernel32.dll", "msvcrt.dll"}));
}

// Scripts that call Polvane.exe keep working: it still runs a command and
// says what it did.
TEST_F(Program, TheWindowedProgramStillRunsACommand) {
  const ProcessResult set = RunProcess(L"\"" + ProgramPath() + L"\" /set DisableVideo=1");
  EXPECT_EQ(set.exitCode, 0u);
  EXPECT_EQ(set.out, "DisableVideo=1 (was not set)\r\n");
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"), 1u);
}

// A line that opens the window, given to Polvane.com, opens Polvane.exe's
// with the same arguments, and the console program returns at once.
TEST_F(Program, AWindowLineGivenToTheConsoleProgramOpensTheWindow) {
  StorePolicy(HKEY_LOCAL_MACHINE, "DisablePC2Phone", 1);
  const ProcessResult started = RunProcess(L"\"" + ConsoleProgramPath() + L"\" /allusers");
  EXPECT_EQ(started.exitCode, 0u) << started.err;
  const HWND main = PolvaneWindowOutside(GetCurrentProcessId());
  ASSERT_TRUE(main) << "no Polvane window appeared";
  DWORD id = 0;
  GetWindowThreadProcessId(main, &id);
  process.process.Reset(OpenProcess(PROCESS_ALL_ACCESS, FALSE, id));
  wchar_t image[MAX_PATH]{};
  DWORD size = MAX_PATH;
  QueryFullProcessImageNameW(process.process.Get(), 0, image, &size);
  EXPECT_NE(std::wstring(image).find(L"Polvane.exe"), std::wstring::npos) << image;
  EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_CHK_OPTION_1), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_CHK_SUB_OPTION_2), BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
}  // namespace polvane::test
