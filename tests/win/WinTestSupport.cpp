#include "tests/win/WinTestSupport.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <utility>

#include "platform/Accounts.h"
#include "tests/win/TestServices.h"
#include "ui/Dpi.h"
#include "ui/Layout.h"
#include "ui/MessageLoop.h"

namespace polvane::test {

// Gives the policy key a security descriptor that lets everyone in; its
// owner may always do so, whatever the key's present one says.
void OpenPolicyKeyToEveryone(HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kPolicyPath, 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  PSECURITY_DESCRIPTOR everyone = nullptr;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1,
                                                           &everyone, nullptr)) {
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, everyone);
    LocalFree(everyone);
  }
  RegCloseKey(key);
}

void DeletePolicies() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    OpenPolicyKeyToEveryone(root);
    RegDeleteTreeA(root, "Software\\Policies\\Microsoft\\Messenger");
  }
}

void StorePolicy(HKEY root, const char* name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyExA(root, kPolicyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

void DenyPolicyKey(HKEY root, bool readable) {
  StorePolicy(root, "DisableVideo", 1);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(root, kPolicyPath, 0, WRITE_DAC, &key), ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR systemOnly = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
      readable ? "D:P(A;;KA;;;SY)(A;;KR;;;WD)" : "D:P(A;;KA;;;SY)", SDDL_REVISION_1, &systemOnly,
      nullptr));
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, systemOnly), ERROR_SUCCESS);
  LocalFree(systemOnly);
  RegCloseKey(key);
}

void MakePolicyKeyUncreatable() {
  DeletePolicies();
  HKEY volatileKey = nullptr;
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\Messenger", 0, nullptr,
                      REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
      ERROR_SUCCESS);
  RegCloseKey(volatileKey);
}

std::optional<DWORD> StoredPolicy(HKEY root, const char* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueA(root, kPolicyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

namespace {

constexpr const char* kSecuredKeys[] = {"Software\\Policies", "Software\\Policies\\Microsoft",
                                        "Software\\Policies\\Microsoft\\Messenger", kPolicyPath};

std::vector<BYTE> DescriptorOf(HKEY key) {
  DWORD size = 0;
  RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, &size);
  std::vector<BYTE> descriptor(size);
  if (size == 0 || RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                     descriptor.data(), &size) != ERROR_SUCCESS)
    descriptor.clear();
  return descriptor;
}

void SetDescriptor(HKEY root, const char* path, PSECURITY_DESCRIPTOR descriptor) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, WRITE_DAC | WRITE_OWNER | READ_CONTROL,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS)
      << path;
  EXPECT_EQ(
      RegSetKeySecurity(key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor),
      ERROR_SUCCESS)
      << path;
  RegCloseKey(key);
}

}  // namespace

WindowsPolicySecurity::WindowsPolicySecurity() {
  const std::string readers[] = {"(A;CI;KR;;;" + SystemAccounts().OwnSid() + ")(A;CI;KR;;;RC)",
                                 "(A;CI;KR;;;BU)"};
  const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
  for (int i = 0; i < 2; ++i) {
    for (const char* path : kSecuredKeys) {
      HKEY key = nullptr;
      std::vector<BYTE> descriptor;
      if (RegOpenKeyExA(roots[i], path, 0, READ_CONTROL, &key) == ERROR_SUCCESS) {
        descriptor = DescriptorOf(key);
        RegCloseKey(key);
      }
      saved_.push_back({roots[i], path, std::move(descriptor)});
    }
    const std::string sddl = "O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)" + readers[i];
    PSECURITY_DESCRIPTOR windows = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                              &windows, nullptr)) {
      ADD_FAILURE() << sddl;
      continue;
    }
    for (const char* path : kSecuredKeys) SetDescriptor(roots[i], path, windows);
    LocalFree(windows);
  }
}

WindowsPolicySecurity::~WindowsPolicySecurity() {
  for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
    if (saved->descriptor.empty())
      RegDeleteTreeA(saved->root, saved->path);
    else
      SetDescriptor(saved->root, saved->path, saved->descriptor.data());
  }
}

HANDLE FilteredToken() {
  HANDLE token = nullptr, filtered = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token);
  BYTE administrators[SECURITY_MAX_SID_SIZE]{};
  DWORD size = sizeof administrators;
  CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size);
  SID_AND_ATTRIBUTES denyOnly{administrators, 0};
  EXPECT_TRUE(CreateRestrictedToken(token, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &filtered));
  CloseHandle(token);
  return filtered;
}

RunFiltered::RunFiltered() {
  const HANDLE filtered = FilteredToken();
  HANDLE impersonation = nullptr;
  DuplicateToken(filtered, SecurityImpersonation, &impersonation);
  EXPECT_TRUE(SetThreadToken(nullptr, impersonation));
  CloseHandle(impersonation);
  CloseHandle(filtered);
}

RunFiltered::~RunFiltered() { SetThreadToken(nullptr, nullptr); }

namespace {
bool g_quitRequested = false;
}

void PumpMessages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT)
      g_quitRequested = true;
    else
      ProcessMessage(msg);
  }
}

bool TakeQuitRequest() {
  PumpMessages();
  return std::exchange(g_quitRequested, false);
}

void PressKey(HWND target, UINT virtualKey, bool withControl) {
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = withControl ? 0x80 : 0;
  SetKeyboardState(keys);
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | scan << 16);
  PostMessageW(target, WM_KEYUP, virtualKey, 1 | scan << 16 | 0xC0000000u);
  PumpMessages();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

namespace {

// The first top-level window of the class whose process matches, waiting
// (up to 5 s) for one to appear.
HWND WaitForWindow(const wchar_t* className, const std::function<bool(HWND, DWORD)>& matches) {
  for (int attempt = 0; attempt < 100; ++attempt, Sleep(50)) {
    for (HWND hwnd = FindWindowW(className, nullptr); hwnd;
         hwnd = FindWindowExW(nullptr, hwnd, className, nullptr)) {
      DWORD process = 0;
      GetWindowThreadProcessId(hwnd, &process);
      if (matches(hwnd, process)) return hwnd;
    }
  }
  return nullptr;
}

}  // namespace

HWND PolvaneWindowOutside(DWORD processId) {
  return WaitForWindow(L"Polvane.frmMain", [processId](HWND hwnd, DWORD process) {
    return process != processId && IsWindowVisible(hwnd);
  });
}

HWND MessageBoxOf(DWORD processId) {
  return WaitForWindow(L"#32770",
                       [processId](HWND, DWORD process) { return process == processId; });
}

DWORD TestElevation::StartElevated(HWND owner, const std::string& arguments) {
  if (startFailure != ERROR_SUCCESS) return startFailure;
  return StartProgramElevated(owner, ProgramFolder() + L"Polvane.exe", arguments);
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

namespace {

HANDLE InheritableFile(const std::wstring& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
}

std::string ContentsOf(HANDLE file) {
  std::string text(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  text.resize(read);
  CloseHandle(file);
  return text;
}

}  // namespace

namespace {

// Starts each command line, suspended when they are to run at once, and
// waits for each.
std::vector<ProcessResult> RunProcesses(const std::vector<std::wstring>& commandLines, HANDLE token,
                                        bool atOnce) {
  struct Started {
    HANDLE out, err;
    PROCESS_INFORMATION process{};
    bool running = false;
  };
  std::vector<Started> started(commandLines.size());
  for (std::size_t i = 0; i < commandLines.size(); ++i) {
    const std::wstring base = ProgramFolder() + L"process-" + std::to_wstring(i) + L"-";
    Started& one = started[i];
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = one.out = InheritableFile(base + L"out.txt");
    startup.hStdError = one.err = InheritableFile(base + L"err.txt");
    std::wstring command = commandLines[i];
    const DWORD flags = CREATE_NO_WINDOW | (atOnce ? CREATE_SUSPENDED : 0);
    one.running = token
                      ? CreateProcessAsUserW(token, nullptr, command.data(), nullptr, nullptr, TRUE,
                                             flags, nullptr, nullptr, &startup, &one.process)
                      : CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags,
                                       nullptr, nullptr, &startup, &one.process);
  }
  for (const Started& one : started)
    if (one.running && atOnce) ResumeThread(one.process.hThread);
  std::vector<ProcessResult> results(started.size());
  for (std::size_t i = 0; i < started.size(); ++i) {
    const Started& one = started[i];
    if (one.running) {
      WaitForSingleObject(one.process.hProcess, 30000);
      GetExitCodeProcess(one.process.hProcess, &results[i].exitCode);
      CloseHandle(one.process.hThread);
      CloseHandle(one.process.hProcess);
    }
    results[i].out = ContentsOf(one.out);
    results[i].err = ContentsOf(one.err);
  }
  return results;
}

}  // namespace

std::vector<ProcessResult> RunProcessesAtOnce(const std::vector<std::wstring>& commandLines,
                                              HANDLE token) {
  return RunProcesses(commandLines, token, true);
}

// Not suspended: Wine starts no program of its platform's suspended.
ProcessResult RunProcess(const std::wstring& commandLine, HANDLE token) {
  return RunProcesses({commandLine}, token, false)[0];
}

namespace {

std::wstring SettingsLog() { return ProgramFolder() + L"settings.log"; }

}  // namespace

SettingRecorder::SettingRecorder() {
  DeleteFileW(SettingsLog().c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + ProgramFolder() + L"setting_recorder.exe\"";
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_)) {
    ADD_FAILURE() << "setting_recorder.exe did not start";
    return;
  }
  for (int attempt = 0; attempt < 200; ++attempt, Sleep(50))
    if (FindWindowW(L"PolvaneTest.SettingRecorder", nullptr)) return;
  ADD_FAILURE() << "the setting recorder's window did not appear";
}

SettingRecorder::~SettingRecorder() {
  if (HWND window = FindWindowW(L"PolvaneTest.SettingRecorder", nullptr))
    PostMessageW(window, WM_CLOSE, 0, 0);
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
      TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  DeleteFileW(SettingsLog().c_str());
}

int SettingRecorder::PolicyNotices() {
  std::ifstream log(SettingsLog().c_str());
  int count = 0;
  for (std::string line; std::getline(log, line);) count += line == "Policy";
  return count;
}

namespace {

std::wstring RecorderLog() { return ProgramFolder() + L"links.log"; }

void SetDefaultValue(const std::wstring& key, const std::wstring& value) {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

LinkRecorder::LinkRecorder() {
  DeleteFileW(RecorderLog().c_str());
  const std::wstring command = L"\"" + ProgramFolder() + L"link_recorder.exe\" \"%1\"";
  for (const wchar_t* scheme : {L"http", L"https"}) {
    // Wine reads HKCR from the machine's classes only.
    const std::wstring key =
        std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command";
    wchar_t before[1024]{};
    DWORD size = sizeof before;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, before,
                     &size) == ERROR_SUCCESS)
      saved_.emplace_back(key, before);
    else
      saved_.emplace_back(key, std::nullopt);
    SetDefaultValue(key, command);
  }
}

LinkRecorder::~LinkRecorder() {
  for (const auto& [key, value] : saved_) {
    if (value)
      SetDefaultValue(key, *value);
    else
      RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr);
  }
  DeleteFileW(RecorderLog().c_str());
}

std::vector<std::string> LinkRecorder::Addresses(std::size_t count) {
  std::vector<std::string> lines;
  for (int attempt = 0; attempt < 600; ++attempt) {
    lines.clear();
    std::ifstream log(RecorderLog().c_str());
    for (std::string line; std::getline(log, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    if (lines.size() >= count) break;
    Sleep(50);
  }
  return lines;
}

void Click(HWND control) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  PumpMessages();
}

RECT ClientRectOf(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetAncestor(child, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT FromTwips(int left, int top, int width, int height, int dpi) {
  if (dpi == 0) dpi = SystemDpi();
  return {MulDiv(left, dpi, 1440), MulDiv(top, dpi, 1440), MulDiv(left + width, dpi, 1440),
          MulDiv(top + height, dpi, 1440)};
}

void ExpectRect(HWND hwnd, const RECT& expected) {
  const RECT actual = ClientRectOf(hwnd);
  EXPECT_EQ(actual.left, expected.left) << TextOf(hwnd).c_str();
  EXPECT_EQ(actual.top, expected.top) << TextOf(hwnd).c_str();
  EXPECT_EQ(actual.right, expected.right) << TextOf(hwnd).c_str();
  EXPECT_EQ(actual.bottom, expected.bottom) << TextOf(hwnd).c_str();
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256]{};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

}  // namespace polvane::test
