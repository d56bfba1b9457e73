// The main window's commands through real clicks, keys and menu commands,
// against the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "platform/Accounts.h"
#include "rules/CommandLine.h"
#include "resources/resource.h"
#include "tests/common/CountingRegistry.h"
#include "tests/win/support/TestServices.h"
#include "tests/win/support/Finding.h"
#include "tests/win/support/Input.h"
#include "tests/win/support/PolicyKeys.h"
#include "tests/win/support/Processes.h"
#include "tests/win/support/Recorders.h"
#include "tests/win/support/Tokens.h"
#include "ui/frmMain.h"

namespace polvane::test {
namespace {

constexpr const char* kNames[] = {"PreventRun", "DisableFileTransfer", "DisablePC2PCAudio",
                                  "DisablePC2Phone", "DisableVideo"};

class Commands : public PolicyTest {
 protected:
  void SetUp() override {
    PolicyTest::SetUp();
    StorePolicy(HKEY_CURRENT_USER, "DisablePC2Phone", 1);
  }

  void Start() {
    TakeQuitRequest();  // left by an earlier test's window
    form.Start();
    SetForegroundWindow(form.Hwnd());
    PumpMessages();
  }
  void Click(CheckBox& box) { SendMessageW(box.Hwnd(), BM_CLICK, 0, 0); }
  void Menu(int id) {
    SendMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpMessages();
  }
  std::array<CheckValue, 5> Panel() {
    return {form.chkOption(0).Value(), form.chkSubOption(0).Value(), form.chkSubOption(1).Value(),
            form.chkSubOption(2).Value(), form.chkSubOption(3).Value()};
  }
  bool SubOptionsEnabled() {
    for (int i = 0; i < 4; ++i)
      if (!IsWindowEnabled(form.chkSubOption(i).Hwnd())) return false;
    return true;
  }
  bool Ended() { return TakeQuitRequest() && form.Hwnd() == nullptr; }

  TestServices services;
  frmMain form{GetModuleHandleW(nullptr), services.Get()};
};

using Values = std::array<CheckValue, 5>;

TEST_F(Commands, AllUsersThenVideoThenSaveStoresFiveMachineWideValues) {
  Start();
  Click(form.chkOption(1));
  EXPECT_EQ(Panel(), (Values{0, 0, 0, 0, 0}));  // nothing stored machine-wide
  Click(form.chkSubOption(3));
  PressKey(form.chkSubOption(3).Hwnd(), VK_RETURN);

  const DWORD expected[] = {0, 0, 0, 0, 1};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(StoredPolicy(HKEY_LOCAL_MACHINE, kNames[i]), expected[i]);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisablePC2Phone"), 1u);
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"));
  EXPECT_TRUE(IsWindow(form.Hwnd()));
  EXPECT_EQ(Panel(), (Values{0, 0, 0, 0, 1}));  // a save changes no control
}

TEST_F(Commands, SwitchingScopeReloadsAndDropsUnsavedTicks) {
  StorePolicy(HKEY_LOCAL_MACHINE, "PreventRun", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisableFileTransfer", 1);
  Start();
  Click(form.chkSubOption(0));
  Click(form.chkOption(1));
  EXPECT_EQ(Panel(), (Values{1, 1, 0, 0, 0}));
  EXPECT_FALSE(IsWindowEnabled(form.chkSubOption(2).Hwnd()));
  Click(form.chkOption(1));
  EXPECT_EQ(Panel(), (Values{0, 0, 0, 1, 0}));
  EXPECT_TRUE(SubOptionsEnabled());
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "DisableFileTransfer"));
}

TEST_F(Commands, SaveButtonAndMenuWriteTheCurrentUsersValues) {
  Start();
  Click(form.chkOption(0));
  Click(form.chkSubOption(0));  // disabled: the click changes nothing
  SendMessageW(ControlOf(form.Hwnd(), IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "PreventRun"), 1u);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisableFileTransfer"), 0u);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisablePC2Phone"), 1u);
  EXPECT_FALSE(StoredPolicy(HKEY_LOCAL_MACHINE, "PreventRun"));

  form.chkSubOption(3).SetValue(kGreyed);
  Menu(IDM_SAVE);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"), 2u);
}

TEST_F(Commands, ResetClearsThePanelButNotTheRegistryOrScope) {
  StorePolicy(HKEY_LOCAL_MACHINE, "PreventRun", 1);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisablePC2Phone", 1);
  Start();
  Click(form.chkOption(1));
  Click(form.chkSubOption(2));  // disabled: stays ticked
  ASSERT_EQ(Panel(), (Values{1, 0, 0, 1, 0}));
  ASSERT_FALSE(SubOptionsEnabled());
  Menu(IDM_RESET);
  EXPECT_EQ(Panel(), (Values{0, 0, 0, 0, 0}));
  EXPECT_TRUE(SubOptionsEnabled());
  EXPECT_EQ(form.chkOption(1).Value(), kChecked);
  EXPECT_EQ(StoredPolicy(HKEY_LOCAL_MACHINE, "PreventRun"), 1u);
  EXPECT_EQ(StoredPolicy(HKEY_LOCAL_MACHINE, "DisablePC2Phone"), 1u);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisablePC2Phone"), 1u);
}

TEST_F(Commands, ResetOnAClearPanelRaisesNoClick) {
  DeletePolicies();
  Start();
  // Greyed out behind the master's back: a click of the master would undo it.
  EnableWindow(form.chkSubOption(1).Hwnd(), FALSE);
  CountingRegistry& counting = services.registry;
  counting.Clear();
  Menu(IDM_RESET);
  EXPECT_FALSE(IsWindowEnabled(form.chkSubOption(1).Hwnd()));
  EXPECT_TRUE(counting.Calls().empty());
}

TEST_F(Commands, EnterPressesSaveUnlessTheFocusIsOnExit) {
  Start();
  Click(form.chkSubOption(1));
  PressKey(form.chkOption(1).Hwnd(), VK_RETURN);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisablePC2PCAudio"), 1u);

  Click(form.chkSubOption(2));
  SetFocus(ControlOf(form.Hwnd(), IDOK));
  PressKey(GetFocus(), VK_RETURN);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisablePC2Phone"), 0u);

  Click(form.chkSubOption(0));
  SetFocus(form.chkOption(0).Hwnd());
  PressKey(GetFocus(), VK_TAB);  // onto Exit, which becomes the default button
  ASSERT_EQ(GetFocus(), ControlOf(form.Hwnd(), IDCANCEL));
  PressKey(GetFocus(), VK_RETURN);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisableFileTransfer"), 0u);
}

TEST_F(Commands, EnterOnExitFocusedWithoutTheKeyboardStillPressesExit) {
  Start();
  Click(form.chkSubOption(0));
  SetFocus(ControlOf(form.Hwnd(),
                     IDCANCEL));  // as a mouse press leaves it: Save keeps the default style
  PressKey(GetFocus(), VK_RETURN);
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "DisableFileTransfer"));
}

TEST_F(Commands, EscEndsTheProgramFromAnyControlSavingNothing) {
  StorePolicy(HKEY_CURRENT_USER, "PreventRun", 1);
  Start();
  Click(form.chkOption(0));  // the sub-options come back...
  Click(form.chkSubOption(3));
  Click(form.chkOption(0));  // ...and go again; focus sits beside disabled boxes
  PressKey(form.chkOption(0).Hwnd(), VK_ESCAPE);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "PreventRun"), 1u);
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"));
}

TEST_F(Commands, ExitButtonMenuAndShortcutEachCloseEveryWindow) {
  Start();
  frmMain other(GetModuleHandleW(nullptr),
                services.Get());  // stands for any other window of the program
  other.Load();
  SendMessageW(ControlOf(form.Hwnd(), IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_EQ(other.Hwnd(), nullptr);
  EXPECT_TRUE(Ended());

  frmMain second(GetModuleHandleW(nullptr), services.Get());
  second.Start();
  SendMessageW(second.Hwnd(), WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
  EXPECT_EQ(second.Hwnd(), nullptr);
  EXPECT_TRUE(TakeQuitRequest());

  frmMain third(GetModuleHandleW(nullptr), services.Get());
  third.Start();
  Click(third.chkSubOption(2));
  PressKey(third.chkSubOption(2).Hwnd(), 'Q', true);
  EXPECT_EQ(third.Hwnd(), nullptr);
  EXPECT_TRUE(TakeQuitRequest());
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisablePC2Phone"), 1u);
}

// Reads and dismisses the message box that a save shows, from inside its own
// modal loop.
struct MessageBoxWatch {
  static inline HWND owner = nullptr;
  static inline const frmMain* ownerForm = nullptr;  // when the window is yet to be made
  static inline std::wstring text;
  static inline int seen = 0;
  static inline int answer = IDOK;  // the button each box is closed with

  static BOOL CALLBACK Find(HWND hwnd, LPARAM) {
    wchar_t className[16]{};
    GetClassNameW(hwnd, className, 16);
    if (lstrcmpW(className, L"#32770") != 0 ||
        GetWindow(hwnd, GW_OWNER) != (ownerForm ? ownerForm->Hwnd() : owner))
      return TRUE;
    ++seen;
    text = TextOf(GetDlgItem(hwnd, 0xFFFF));
    PostMessageW(hwnd, WM_COMMAND, answer, 0);
    return FALSE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), Find, 0);
  }
};

// Runs action and counts the message boxes it showed over the main window.
int MessageBoxesDuring(HWND owner, const std::function<void()>& action,
                       const frmMain* ownerForm = nullptr, int answer = IDOK) {
  MessageBoxWatch::answer = answer;
  MessageBoxWatch::owner = owner;
  MessageBoxWatch::ownerForm = ownerForm;
  MessageBoxWatch::seen = 0;
  MessageBoxWatch::text.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, MessageBoxWatch::OnTimer);
  action();
  KillTimer(nullptr, timer);
  return MessageBoxWatch::seen;
}

// The window RefuseWindow refuses to make, as a desktop out of window
// handles or heap would: the main window, or, given its ID, a control of it.
int g_refusedId = 0;

LRESULT CALLBACK RefuseWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTW& made = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    wchar_t own[32]{};
    GetClassNameW(g_refusedId ? made.hwndParent : nullptr, own, 32);
    const bool main =
        !IS_INTRESOURCE(made.lpszClass) && !lstrcmpW(made.lpszClass, L"Polvane.frmMain");
    if (g_refusedId ? !lstrcmpW(own, L"Polvane.frmMain") &&
                          reinterpret_cast<INT_PTR>(made.hMenu) == g_refusedId
                    : main)
      return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Commands, AMainWindowOrAControlThatCannotBeMadeIsReportedAndEndsTheProgram) {
  for (const int refused : {0, IDOK}) {  // the window, then its Save button
    TakeQuitRequest();
    g_refusedId = refused;
    UniqueHook hook(SetWindowsHookExW(WH_CBT, RefuseWindow, nullptr, GetCurrentThreadId()));
    int status = 0;
    EXPECT_EQ(MessageBoxesDuring(nullptr, [&] { status = form.Start(); }), 1) << refused;
    hook.Reset();
    EXPECT_NE(status, 0) << refused;
    EXPECT_FALSE(form.Hwnd()) << refused;
    EXPECT_EQ(MessageBoxWatch::text.find(L"Polvane could not open its window, and ends."), 0u)
        << MessageBoxWatch::text.c_str();
  }
}

TEST_F(Commands, RefusedMachineWideSaveIsReportedAndStoresNothingElsewhere) {
  Start();
  Click(form.chkOption(1));
  Click(form.chkSubOption(3));
  CountingRegistry& refusing = services.registry;
  refusing.Clear();
  refusing.Fail(RegCall::Create, "", ERROR_ACCESS_DENIED);

  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(),
                               [&] { SendMessageW(ControlOf(form.Hwnd(), IDOK), BM_CLICK, 0, 0); }),
            1);
  const std::wstring& text = MessageBoxWatch::text;
  EXPECT_NE(text.find(L"could not be saved for all users"), std::wstring::npos) << text.c_str();
  EXPECT_NE(text.find(L"refuses even administrators here"), std::wstring::npos) << text.c_str();
  EXPECT_EQ(text.find(L"Restart"), std::wstring::npos) << "already an administrator";
  char reason[256]{};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 ERROR_ACCESS_DENIED, 0, reason, sizeof reason, nullptr);
  std::string firstLine(reason);
  firstLine = firstLine.substr(0, firstLine.find_first_of("\r\n"));
  EXPECT_NE(text.find(std::wstring(firstLine.begin(), firstLine.end())), std::wstring::npos);

  EXPECT_EQ(refusing.Count(RegCall::Create), 5);  // every row was attempted
  EXPECT_EQ(form.chkSubOption(3).Value(), kChecked);
  EXPECT_EQ(form.chkOption(1).Value(), kChecked);
  for (const char* name : kNames) {
    EXPECT_FALSE(StoredPolicy(HKEY_LOCAL_MACHINE, name)) << name;
  }
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"));
}

TEST_F(Commands, SaveTheRealRegistryRefusesIsReported) {
  MakePolicyKeyUncreatable();
  Start();
  Click(form.chkSubOption(1));
  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(), [&] { PressKey(GetFocus(), VK_RETURN); }), 1);
  EXPECT_NE(MessageBoxWatch::text.find(L"could not be saved for the current user"),
            std::wstring::npos);
  EXPECT_FALSE(StoredPolicy(HKEY_CURRENT_USER, "DisablePC2PCAudio"));
  EXPECT_EQ(form.chkSubOption(1).Value(), kChecked);
}

TEST_F(Commands, OneFailedValueIsReportedOnceForTheCurrentUser) {
  Start();
  services.registry.Fail(RegCall::Set, "DisablePC2PCAudio", ERROR_WRITE_FAULT);
  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(), [&] { Menu(IDM_SAVE); }), 1);
  EXPECT_NE(MessageBoxWatch::text.find(L"for the current user"), std::wstring::npos);
  EXPECT_EQ(MessageBoxWatch::text.find(L"administrator"), std::wstring::npos);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"), 0u);  // later rows still written
}

// A value another program changed since the window showed it is never
// overwritten unasked: Save names it, and Cancel writes nothing, No shows
// what is stored, Yes writes the window's values. Where nothing changed
// behind it, or only to what Save writes anyway, Save asks nothing.
TEST_F(Commands, SaveAsksBeforeOverwritingAChangeMadeBehindTheWindow) {
  StorePolicy(HKEY_CURRENT_USER, "DisableVideo", 1);
  Start();
  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(), [&] { Menu(IDM_SAVE); }), 0);
  const auto polvane = [](const wchar_t* arguments) {
    return RunProcess(L"\"" + ProgramFolder() + L"Polvane.exe\" " + arguments).exitCode;
  };
  ASSERT_EQ(polvane(L"/set PreventRun=1 DisableFileTransfer=1 DisablePC2Phone=1"), 0u);

  EXPECT_EQ(MessageBoxesDuring(
                form.Hwnd(), [&] { Menu(IDM_SAVE); }, nullptr, IDCANCEL),
            1);
  const std::wstring& text = MessageBoxWatch::text;
  EXPECT_NE(text.find(L"PreventRun is now 1; Save would write 0."), std::wstring::npos)
      << text.c_str();
  EXPECT_NE(text.find(L"DisableFileTransfer is now 1; Save would write 0."), std::wstring::npos);
  EXPECT_EQ(text.find(L"DisablePC2Phone"), std::wstring::npos) << "unchanged since the load";
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "PreventRun"), 1u);

  EXPECT_EQ(MessageBoxesDuring(
                form.Hwnd(), [&] { Menu(IDM_SAVE); }, nullptr, IDNO),
            1);
  EXPECT_EQ(Panel(), (Values{kChecked, kChecked, kUnchecked, kChecked, kChecked}));
  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(), [&] { Menu(IDM_SAVE); }), 0);  // shown now

  ASSERT_EQ(polvane(L"/set DisableVideo=0"), 0u);
  EXPECT_EQ(MessageBoxesDuring(
                form.Hwnd(), [&] { Menu(IDM_SAVE); }, nullptr, IDYES),
            1);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "DisableVideo"), 1u);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "PreventRun"), 1u);
}

TEST_F(Commands, SuccessfulSaveShowsNothing) {
  Start();
  // A message box would run its own modal loop, where the watch finds it.
  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(), [&] { Menu(IDM_SAVE); }), 0);
  EXPECT_EQ(StoredPolicy(HKEY_CURRENT_USER, "PreventRun"), 0u);
}

TEST_F(Commands, UnreadableValuesAreReportedAtStartAndOnEachSwitchToTheirScope) {
  DenyPolicyKey(HKEY_CURRENT_USER);
  StorePolicy(HKEY_LOCAL_MACHINE, "DisableFileTransfer", 1);
  EXPECT_EQ(MessageBoxesDuring(
                nullptr, [&] { Start(); }, &form),
            1);
  EXPECT_NE(MessageBoxWatch::text.find(L"could not be read for the current user"),
            std::wstring::npos)
      << MessageBoxWatch::text.c_str();
  EXPECT_EQ(Panel(), (Values{0, 0, 0, 0, 0}));

  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(), [&] { Click(form.chkOption(1)); }), 0);
  EXPECT_EQ(Panel(), (Values{0, 1, 0, 0, 0}));  // every user's values read well
  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(), [&] { Click(form.chkOption(1)); }), 1);
  EXPECT_EQ(Panel(), (Values{0, 0, 0, 0, 0}));
}

TEST_F(Commands, ASavedChangeIsAnnouncedToRunningProgramsAndARefusedOneIsNot) {
  SettingRecorder recorder;
  Start();
  Menu(IDM_SAVE);
  EXPECT_EQ(SettingRecorder::PolicyNotices(), 1);

  MakePolicyKeyUncreatable();
  EXPECT_EQ(MessageBoxesDuring(form.Hwnd(), [&] { Menu(IDM_SAVE); }), 1);
  EXPECT_EQ(SettingRecorder::PolicyNotices(), 1);
}

// Windows keeps Software\\Policies for administrators in both scopes, unless
// an administrator has loosened a key's security.
TEST_F(Commands, SaveShowsTheShieldWhereThePolicyKeysKeepThisTokenFromSaving) {
  struct Case {
    bool loosened, filteredToken, shield;
  };
  const Case cases[] = {{false, false, false}, {false, true, true}, {true, true, false}};
  for (const Case& c : cases) {
    const WindowsPolicySecurity security;
    if (c.loosened) {
      for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) OpenPolicyKeyToEveryone(root);
    }
    std::optional<RunFiltered> filtered;
    if (c.filteredToken) filtered.emplace();
    const ShieldRecorder shields;
    Start();
    EXPECT_EQ(ShieldRecorder::Shows(ControlOf(form.Hwnd(), IDOK)), c.shield)
        << c.loosened << c.filteredToken;
    Click(form.chkOption(1));
    EXPECT_EQ(ShieldRecorder::Shows(ControlOf(form.Hwnd(), IDOK)), c.shield)
        << c.loosened << c.filteredToken;
    form.Destroy();
  }
}

// A standard user elevates with an administrator's credentials: the new
// Polvane runs as that administrator and is handed the user's SID.
TEST_F(Commands, AnotherAccountsElevatedPolvaneShowsAndSavesTheNamedUsersPolicies) {
  const std::string user = SystemAccounts().OwnSid();
  services.accounts.ownSid = "S-1-5-21-0-0-0-500";
  TakeQuitRequest();
  ASSERT_EQ(form.Start(std::get<WindowCommand>(
                ParseCommandLine({"/edit", "DisableVideo=1", "/user:" + user}))),
            0);
  EXPECT_EQ(TextOf(form.Hwnd()), L"Polvane - " + SystemAccounts().NameOf(user));
  EXPECT_EQ(Panel(), (Values{0, 0, 0, 1, 1}));

  CountingRegistry& counting = services.registry;
  counting.Clear();
  Menu(IDM_SAVE);
  ASSERT_EQ(counting.Count(RegCall::Create), 5);
  for (const RecordedCall& call : counting.Calls()) {
    EXPECT_TRUE(call.call != RegCall::Create || call.root != kCurrentUser);
  }
  DWORD video = 0, size = sizeof video;
  EXPECT_EQ(RegGetValueA(HKEY_USERS, (user + "\\" + kPolicyPath).c_str(), "DisableVideo",
                         RRF_RT_REG_DWORD, nullptr, &video, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(video, 1u);

  Click(form.chkOption(1));
  EXPECT_EQ(TextOf(form.Hwnd()), L"Polvane");  // every user's, no one user's
}

// Windows' own security on the policy keys, and this thread on the token UAC
// gives an administrator who has not elevated.
class Restart : public Commands {
 protected:
  // The scope's stored settings show DisableVideo; the user ticks "Disable
  // file transfer" and saves.
  void SaveRefused(int answer, bool allUsers = true) {
    filtered.reset();
    DeletePolicies();
    security.emplace();
    StorePolicy(allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, "DisableVideo", 1);
    filtered.emplace();
    Start();
    if (allUsers) Click(form.chkOption(1));
    Click(form.chkSubOption(0));
    boxes = MessageBoxesDuring(
        form.Hwnd(), [&] { Menu(IDM_SAVE); }, nullptr, answer);
  }

  std::optional<WindowsPolicySecurity> security;
  std::optional<RunFiltered> filtered;  // ends before the security goes back
  int boxes = 0;
};

// The process's own token is an elevated administrator's, as the new
// Polvane's is once UAC has said yes.
TEST_F(Restart, YesStartsPolvaneAsAdministratorWithTheUnsavedTicksAndItSavesThemInEitherScope) {
  for (const bool allUsers : {false, true}) {
    const HKEY saved = allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    SaveRefused(IDYES, allUsers);
    EXPECT_EQ(boxes, 1);
    EXPECT_NE(MessageBoxWatch::text.find(L"Restart Polvane as an administrator?"),
              std::wstring::npos)
        << MessageBoxWatch::text.c_str();
    EXPECT_TRUE(Ended());
    EXPECT_FALSE(StoredPolicy(saved, "DisableFileTransfer"));  // nothing was written

    const HWND other = PolvaneWindowOutside(GetCurrentProcessId());
    ASSERT_TRUE(other) << "no elevated Polvane window appeared";
    DWORD processId = 0;
    GetWindowThreadProcessId(other, &processId);
    const UniqueKernelHandle process(
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
    const HWND fra = GetDlgItem(other, IDC_FRA_MAIN);
    const auto check = [](HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0); };
    EXPECT_EQ(check(GetDlgItem(other, IDC_CHK_OPTION_1)), allUsers ? BST_CHECKED : BST_UNCHECKED);
    EXPECT_EQ(check(GetDlgItem(fra, IDC_CHK_OPTION_0)), BST_UNCHECKED);
    EXPECT_EQ(check(GetDlgItem(fra, IDC_CHK_SUB_OPTION_0)), BST_CHECKED);
    EXPECT_EQ(check(GetDlgItem(other, IDC_CHK_SUB_OPTION_3)), BST_CHECKED);
    EXPECT_EQ(TextOf(other), L"Polvane");  // the same account

    SendMessageW(GetDlgItem(other, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(StoredPolicy(saved, "DisableFileTransfer"), 1u);
    EXPECT_EQ(StoredPolicy(saved, "DisableVideo"), 1u);
    EXPECT_FALSE(
        StoredPolicy(allUsers ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, "DisableFileTransfer"));
    PostMessageW(other, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.Get(), 10000), WAIT_OBJECT_0);
  }
}

TEST_F(Restart, NoOrADeclinedPromptKeepsTheWindowAndItsTicks) {
  struct Case {
    int answer;
    DWORD startFailure;
    int boxes;  // the failure, and whatever followed it
  };
  const Case cases[] = {{IDNO, ERROR_FILE_NOT_FOUND, 1},    // nothing is started: that would say so
                        {IDYES, ERROR_CANCELLED, 1},        // the user said no to UAC
                        {IDYES, ERROR_FILE_NOT_FOUND, 2}};  // the start failed, and says why
  for (const Case& c : cases) {
    services.elevation.startFailure = c.startFailure;
    SaveRefused(c.answer);
    EXPECT_EQ(boxes, c.boxes) << c.answer << " " << c.startFailure;
    if (c.boxes == 2) {
      EXPECT_NE(MessageBoxWatch::text.find(L"could not be started as an administrator"),
                std::wstring::npos);
    }
    EXPECT_FALSE(TakeQuitRequest());
    ASSERT_TRUE(form.Hwnd());
    EXPECT_EQ(Panel(), (Values{0, 1, 0, 0, 1}));
    EXPECT_EQ(form.chkOption(1).Value(), kChecked);
    form.Destroy();
    TakeQuitRequest();
  }
}

}  // namespace
}  // namespace polvane::test
