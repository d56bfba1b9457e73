#include "platform/PolicyNotice.h"

#include <windows.h>

namespace polvane {

void AnnouncePolicyChange() {
  constexpr UINT kMillisecondsPerWindow = 500;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"),
                      SMTO_ABORTIFHUNG | SMTO_NORMAL, kMillisecondsPerWindow, &ignored);
}

}  // namespace polvane
