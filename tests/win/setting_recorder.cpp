// Stands in for a program that watches for policy changes: a hidden window
// that appends the text of every WM_SETTINGCHANGE it receives to
// settings.log beside itself, until it is sent WM_CLOSE.
#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace {

std::wstring LogPath() {
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"settings.log";
}

void Append(const wchar_t* text) {
  const polvane::UniqueFile log(CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!log) return;
  char line[256]{};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text, -1, line, sizeof line - 1, nullptr, nullptr);
  line[size > 0 ? size - 1 : 0] = '\n';
  DWORD written = 0;
  WriteFile(log.Get(), line, static_cast<DWORD>(size > 0 ? size : 1), &written, nullptr);
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTINGCHANGE)
    Append(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"(none)");
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.lpszClassName = L"PolvaneTest.SettingRecorder";
  RegisterClassW(&wc);
  CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance,
                nullptr);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
