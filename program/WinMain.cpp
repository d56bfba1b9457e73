#include <windows.h>

#include "platform/Console.h"
#include "platform/SystemServices.h"
#include "program/Startup.h"
#include "rules/CommandLine.h"
#include "ui/CommonControls.h"
#include "ui/MessageLoop.h"
#include "ui/frmMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  polvane::SystemServices system;
  const polvane::Services services = system.Get();
  const polvane::Command command = polvane::ParseCommandLine(polvane::ProgramArguments());
  const auto* window = std::get_if<polvane::WindowCommand>(&command);
  if (!window) return polvane::RunWithoutWindow(services, command);
  polvane::InitControls();
  polvane::frmMain form(instance, services);
  if (const int status = form.Start(*window)) return status;
  return polvane::RunMessageLoop();
}
