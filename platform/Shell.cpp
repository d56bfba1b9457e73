#include "platform/Shell.h"

#include <shellapi.h>

#include "platform/SystemDll.h"

namespace polvane {

void SystemShell::OpenUrl(HWND owner, const char* address) {
  static const auto execute =
      SystemFunction<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
  EnsureComApartment();
  if (execute) execute(owner, nullptr, address, nullptr, "C:\\", SW_SHOWNORMAL);
}

}  // namespace polvane
