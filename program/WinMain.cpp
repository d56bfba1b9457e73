#include <windows.h>

#include "platform/Console.h"
#include "ui/MessageBox.h"
#include "ui/WindowServices.h"
#include "program/Startup.h"
#include "rules/CommandLine.h"
#include "ui/CommonControls.h"
#include "ui/MessageLoop.h"
#include "ui/frmMain.h"

namespace polvane {
namespace {

int RunCommandLine(const Services& services, const Command& command) {
  ConsoleOutput output;
  const int exitCode = RunWithoutWindow(services, command, output);
  // Started where nothing can be printed (a shortcut, Explorer), only the
  // help is shown, in a box short enough for any screen; everything else runs
  // unattended, and its exit code tells.
  if (std::holds_alternative<HelpCommand>(command) && output.Unprinted())
    ShowMessage(nullptr, BriefUsageText(), MB_OK | MB_ICONINFORMATION);
  return exitCode;
}

}  // namespace
}  // namespace polvane

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  polvane::SystemServices system;
  const polvane::Services services = system.Get();
  const polvane::Command command = polvane::ParseCommandLine(polvane::ProgramArguments());
  const auto* window = std::get_if<polvane::WindowCommand>(&command);
  if (!window) return polvane::RunCommandLine(services, command);
  polvane::InitControls();
  polvane::frmMain form(instance, services);
  if (const int status = form.Start(*window)) return status;
  return polvane::RunMessageLoop();
}
