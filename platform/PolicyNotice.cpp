#include "platform/PolicyNotice.h"

#include <windows.h>

#include "platform/LateBound.h"

namespace polvane {

void AnnouncePolicyChange() {
  constexpr UINT kMillisecondsPerWindow = 500;
  const auto send = late::SendMessageTimeoutW.Get();
  if (!send) return;
  DWORD_PTR ignored = 0;
  send(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"),
       SMTO_ABORTIFHUNG | SMTO_NORMAL, kMillisecondsPerWindow, &ignored);
}

}  // namespace polvane
