#include <windows.h>

#include "program/Startup.h"
#include "ui/CommonControls.h"
#include "ui/MessageLoop.h"
#include "ui/frmMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  polvane::InitControls();
  const polvane::ComApartment com;
  polvane::frmMain form(instance);
  polvane::Main(form);
  return polvane::RunMessageLoop();
}
