// Stands in for the browser in the test prefix: registered as the handler of
// http and https addresses, it appends the address it was given to
// links.log beside itself. Recorders started close together take turns: the
// log is opened for this process alone, and a busy log is tried again.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/Handles.h"

namespace {

polvane::UniqueFile OpenLogAlone(const std::wstring& path) {
  for (int attempt = 0; attempt < 10000; ++attempt) {
    polvane::UniqueFile log(CreateFileW(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    // Another recorder has it, or has just made it and Windows has not yet
    // let go of the new name: try again.
    const DWORD error = GetLastError();
    if (log || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) return log;
    Sleep(1);
  }
  return {};
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  const polvane::UniqueLocalOf<wchar_t*> owner(CommandLineToArgvW(GetCommandLineW(), &count));
  wchar_t** const args = owner.Get();
  if (!args || count < 2) return 2;
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring log(path);
  log = log.substr(0, log.find_last_of(L"\\/") + 1) + L"links.log";

  // The address as UTF-8, one line each.
  std::string line(static_cast<std::size_t>(
                       WideCharToMultiByte(CP_UTF8, 0, args[1], -1, nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, args[1], -1, line.data(), static_cast<int>(line.size()), nullptr,
                      nullptr);
  line.back() = '\n';  // in place of the terminating zero

  const polvane::UniqueFile file = OpenLogAlone(log);
  if (!file) return 1;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return ok && written == line.size() ? 0 : 1;
}
