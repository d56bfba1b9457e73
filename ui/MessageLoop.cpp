#include "ui/MessageLoop.h"

#include "ui/Window.h"

namespace polvane {
namespace {

bool TranslateForWindow(MSG& msg) {
  if (!msg.hwnd) return false;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  const Window* window = Window::FromTopLevel(root);
  if (!window) return false;
  if (HACCEL shortcuts = window->Accelerators();
      shortcuts && TranslateAcceleratorW(root, shortcuts, &msg))
    return true;
  return IsDialogMessageW(root, &msg) != FALSE;
}

}  // namespace

void ProcessMessage(MSG& msg) {
  if (TranslateForWindow(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
  return static_cast<int>(msg.wParam);
}

}  // namespace polvane
