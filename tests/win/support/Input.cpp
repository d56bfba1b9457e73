#include "tests/win/support/Input.h"

#include <utility>

#include "ui/MessageLoop.h"

namespace polvane::test {
namespace {

bool g_quitRequested = false;

}  // namespace

void PumpMessages() {
  while (HandleWaitingMessages()) g_quitRequested = true;
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

void Click(HWND control) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  PumpMessages();
}

}  // namespace polvane::test
