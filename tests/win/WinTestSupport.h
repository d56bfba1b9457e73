#pragma once
// Helpers for the tests that run under Wine against the real registry,
// controls and message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace polvane::test {

inline constexpr char kPolicyPath[] = "Software\\Policies\\Microsoft\\Messenger\\Client";

// Gives the policy key a security descriptor that lets everyone in, as an
// administrator may loosen it; its owner may always do so.
void OpenPolicyKeyToEveryone(HKEY root);
// Removes the Messenger policy keys under both roots.
void DeletePolicies();

// A test that starts and ends with no Messenger policies stored.
class PolicyTest : public ::testing::Test {
 protected:
  void SetUp() override { DeletePolicies(); }
  void TearDown() override { DeletePolicies(); }
};
// Stores a REG_DWORD policy value directly, as another program would.
void StorePolicy(HKEY root, const char* name, DWORD value);
// Stores DisableVideo = 1 under root, then gives the policy key a security
// descriptor that lets only the system open it, as a hardened machine might;
// or, when readable, lets everyone read it and only the system change it.
void DenyPolicyKey(HKEY root, bool readable = false);
// Replaces the current user's Messenger policy key with a volatile one, under
// which the registry itself refuses to create the lasting policy key.
void MakePolicyKeyUncreatable();
// Reads a policy value directly; empty when missing or not a REG_DWORD.
std::optional<DWORD> StoredPolicy(HKEY root, const char* name);

// For as long as it lives, Software\Policies and the Messenger policy keys
// below it, made here as they are once any policy was applied, carry the
// security Windows gives them: SYSTEM and Administrators full control, and
// the user and RESTRICTED (in HKCU) or Users (in HKLM) read. Wine does not
// ask the parent when a key is made, so the keys must exist beforehand.
// Afterwards the keys that were there have their security back, and the
// others are gone.
class WindowsPolicySecurity {
 public:
  WindowsPolicySecurity();
  ~WindowsPolicySecurity();
  WindowsPolicySecurity(const WindowsPolicySecurity&) = delete;
  WindowsPolicySecurity& operator=(const WindowsPolicySecurity&) = delete;

 private:
  struct Saved {
    HKEY root;
    const char* path;
    std::vector<BYTE> descriptor;  // empty: the key was not there
  };
  std::vector<Saved> saved_;  // each key as it was, parents first
};

// This process's token as UAC gives it to an administrator who has not
// elevated: Administrators for deny only. The caller closes it.
HANDLE FilteredToken();

// While it lives, this thread runs on the filtered token above.
class RunFiltered {
 public:
  RunFiltered();
  ~RunFiltered();
  RunFiltered(const RunFiltered&) = delete;
  RunFiltered& operator=(const RunFiltered&) = delete;
};

// Handles every queued message through the program's own loop, noting
// rather than handling a request to end the program.
void PumpMessages();
// Whether the program asked to end since the last call.
bool TakeQuitRequest();
// Presses and releases a key as keyboard input addressed to target, held
// down with Ctrl when asked, and handles it through the program's loop.
void PressKey(HWND target, UINT virtualKey, bool withControl = false);

// The visible Polvane main window of a process other than processId,
// waiting (up to 5 s) for one to appear; null if none does.
HWND PolvaneWindowOutside(DWORD processId);
// The first message box of the process, waiting (up to 5 s) for one.
HWND MessageBoxOf(DWORD processId);

// The folder this test program runs from, with its trailing separator.
std::wstring ProgramFolder();

// What a finished process left: its exit code and what it wrote to its
// standard output and error.
struct ProcessResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out, err;
};
// Runs commandLine with its output and errors redirected to files, and
// waits for it (up to 30 s); on token, when one is given.
ProcessResult RunProcess(const std::wstring& commandLine, HANDLE token = nullptr);
// Starts every command line suspended, then lets them all run at once, and
// waits for each (up to 30 s); the results are in the same order.
std::vector<ProcessResult> RunProcessesAtOnce(const std::vector<std::wstring>& commandLines,
                                              HANDLE token = nullptr);

// Makes link_recorder.exe, built beside the tests, the program the shell
// starts for http and https addresses for as long as it lives, with an empty
// log; puts back what was registered before.
class LinkRecorder {
 public:
  LinkRecorder();
  ~LinkRecorder();
  LinkRecorder(const LinkRecorder&) = delete;
  LinkRecorder& operator=(const LinkRecorder&) = delete;

  // The addresses received so far, waiting (up to 30 s) until there are at
  // least count: the shell starts the recorder and does not wait for it.
  static std::vector<std::string> Addresses(std::size_t count);

 private:
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved_;
};

// Runs setting_recorder.exe, built beside the tests, for as long as it
// lives: a window of another process that notes every WM_SETTINGCHANGE.
class SettingRecorder {
 public:
  SettingRecorder();
  ~SettingRecorder();
  SettingRecorder(const SettingRecorder&) = delete;
  SettingRecorder& operator=(const SettingRecorder&) = delete;

  // How many WM_SETTINGCHANGE "Policy" it has received. A broadcast is sent,
  // not posted, so one made before the call has arrived.
  static int PolicyNotices();

 private:
  PROCESS_INFORMATION process_{};
};

// A left click as the mouse makes it, handled through the program's loop:
// a clickable static notifies on the press.
void Click(HWND control);

// Where a child window lies in its top-level window's client area.
RECT ClientRectOf(HWND child);
// The expected place of a control at a dpi (the system's unless given),
// given in twips.
RECT FromTwips(int left, int top, int width, int height, int dpi = 0);
// Expects hwnd to lie at expected in its top-level window's client area.
void ExpectRect(HWND hwnd, const RECT& expected);
std::wstring TextOf(HWND hwnd);

}  // namespace polvane::test
