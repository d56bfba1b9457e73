// Stands in for the browser in the test prefix: registered as the handler of
// http and https addresses, it appends the address it was given to
// links.log beside itself.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count < 2) return 2;
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring log(path);
  log = log.substr(0, log.find_last_of(L"\\/") + 1) + L"links.log";
  FILE* file = _wfopen(log.c_str(), L"a");
  if (!file) return 1;
  std::fwprintf(file, L"%ls\n", args[1]);
  std::fclose(file);
  LocalFree(args);
  return 0;
}
