#include <windows.h>

#include "platform/Console.h"
#include "program/Startup.h"
#include "ui/CommonControls.h"
#include "ui/MessageLoop.h"
#include "ui/frmMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const polvane::Command command = polvane::ParseCommandLine(polvane::ProgramArguments());
  if (!polvane::OpensWindow(command)) return polvane::RunWithoutWindow(command);
  polvane::InitControls();
  const polvane::ComApartment com;
  polvane::frmMain form(instance);
  if (const int status = polvane::Main(form, command)) return status;
  return polvane::RunMessageLoop();
}
