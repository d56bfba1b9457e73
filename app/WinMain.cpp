#include <windows.h>

#include "app/Startup.h"
#include "ui/CommonControls.h"
#include "ui/MessageLoop.h"
#include "ui/frmMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  polvane::InitControls();
  polvane::frmMain form(instance);
  polvane::Main(form);
  return polvane::RunMessageLoop();
}
