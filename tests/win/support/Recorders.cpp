#include "tests/win/support/Recorders.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "tests/win/support/Processes.h"

namespace polvane::test {

namespace {

std::wstring SettingsLog() { return ProgramFolder() + L"settings.log"; }

}  // namespace

SettingRecorder::SettingRecorder() {
  DeleteFileW(SettingsLog().c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + ProgramFolder() + L"setting_recorder.exe\"";
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    ADD_FAILURE() << "setting_recorder.exe did not start";
    return;
  }
  process_ = Adopt(started);
  for (int attempt = 0; attempt < 200; ++attempt, Sleep(50))
    if (FindWindowW(L"PolvaneTest.SettingRecorder", nullptr)) return;
  ADD_FAILURE() << "the setting recorder's window did not appear";
}

SettingRecorder::~SettingRecorder() {
  if (HWND window = FindWindowW(L"PolvaneTest.SettingRecorder", nullptr))
    PostMessageW(window, WM_CLOSE, 0, 0);
  if (process_.process && WaitForSingleObject(process_.process.Get(), 10000) != WAIT_OBJECT_0)
    TerminateProcess(process_.process.Get(), 1);
  DeleteFileW(SettingsLog().c_str());
}

namespace {

std::map<HWND, bool> g_shields;

LRESULT CALLBACK NoteShield(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == BCM_SETSHIELD)
    g_shields[sent->hwnd] = sent->lParam != 0;
  if (code == HC_ACTION && sent->message == WM_NCDESTROY) g_shields.erase(sent->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

ShieldRecorder::ShieldRecorder()
    : hook_(SetWindowsHookExW(WH_CALLWNDPROC, NoteShield, nullptr, GetCurrentThreadId())) {
  EXPECT_TRUE(hook_);
}

ShieldRecorder::~ShieldRecorder() { g_shields.clear(); }

bool ShieldRecorder::Shows(HWND button) {
  const auto shield = g_shields.find(button);
  return shield != g_shields.end() && shield->second;
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

}  // namespace polvane::test
