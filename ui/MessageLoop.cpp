#include "ui/MessageLoop.h"

#include "ui/Window.h"

namespace polvane {
namespace {

bool TranslateForWindow(MSG& msg) {
  if (!msg.hwnd) return false;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  const Window* window = Window::FromHwnd(root);
  if (!window) return false;
  if (HACCEL shortcuts = window->Accelerators();
      shortcuts && TranslateAcceleratorW(root, shortcuts, &msg))
    return true;
  return IsDialogMessageW(root, &msg) != FALSE;
}

}  // namespace

std::optional<int> HandleWaitingMessages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
    if (TranslateForWindow(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return std::nullopt;
}

int RunMessageLoop() {
  for (;;) {
    if (const std::optional<int> exitCode = HandleWaitingMessages()) return *exitCode;
    WaitMessage();
  }
}

}  // namespace polvane
