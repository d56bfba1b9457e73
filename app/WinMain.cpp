#include <windows.h>
#include <commctrl.h>

#include "app/Startup.h"
#include "ui/MessageLoop.h"
#include "ui/frmMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  polvane::frmMain form(instance);
  polvane::Main(form);
  return polvane::RunMessageLoop();
}
