// The floor for a command: a console program that only opens the client
// key and prints the five values as Polvane's /show does, importing
// kernel32 and advapi32 alone.
#include <windows.h>

#include <string>

int main() {
  const wchar_t* const names[] = {L"PreventRun", L"DisableFileTransfer", L"DisablePC2PCAudio",
                                  L"DisablePC2Phone", L"DisableVideo"};
  HKEY key = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Messenger\\Client", 0,
                KEY_QUERY_VALUE, &key);
  std::string text;
  for (const wchar_t* name : names) {
    DWORD value = 0, size = sizeof value, type = 0;
    const bool set =
        key &&
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == 0 &&
        type == REG_DWORD && size == 4;
    for (const wchar_t* c = name; *c; ++c) text += static_cast<char>(*c);
    text += set ? "=" + std::to_string(value) + "\r\n" : "=not set\r\n";
  }
  if (key) RegCloseKey(key);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
            nullptr);
  return 0;
}
