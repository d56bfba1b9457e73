#include <windows.h>

#include "platform/Console.h"
#include "program/Startup.h"
#include "rules/CommandLine.h"
#include "ui/CommonControls.h"
#include "ui/MessageLoop.h"
#include "ui/frmMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const polvane::Command command = polvane::ParseCommandLine(polvane::ProgramArguments());
  if (command.kind != polvane::CommandKind::Window) return polvane::RunWithoutWindow(command);
  polvane::InitControls();
  const polvane::ComApartment com;
  polvane::frmMain form(instance);
  polvane::Main(form, command.allUsers);
  return polvane::RunMessageLoop();
}
