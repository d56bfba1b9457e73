#include "program/Startup.h"

#include <windows.h>

#include "platform/Console.h"
#include "platform/PolicyNotice.h"
#include "platform/Shell.h"
#include "platform/SystemMessage.h"
#include "rules/Messages.h"
#include "rules/mdlMain.h"
#include "ui/frmMain.h"

namespace polvane {

void Main(frmMain& form, const Command& command) {
  // Links opened after the main window has closed get no owner; asking for
  // the handle never creates the window again.
  SetShellOwner([&form] { return form.Hwnd(); });
  form.Load();
  form.Show();
  if (command.allUsers)
    form.Option(OptionPanel::kScopeOption).SetValue(kChecked);  // its click loads every user's
  else
    form.LoadChosenScope();
  ApplyEdits(command, form);
  UpdateSubOptions(form);
}

int RunWithoutWindow(const Command& command) {
  ConsoleOutput output;
  const int exitCode = RunCommand(command, output, SystemReason);
  const bool changed = command.kind == CommandKind::Set || command.kind == CommandKind::Unset;
  if (changed && exitCode == 0) AnnouncePolicyChange();
  // Started where nothing can be printed (a shortcut, Explorer), what the
  // user asked to see, or why the command line is wrong, is shown in a box.
  // A change made unattended never waits on one: its exit code tells.
  const bool asked = command.kind == CommandKind::Show || command.kind == CommandKind::Help ||
                     command.kind == CommandKind::Invalid;
  if (asked && !output.Unwritten().empty())
    MessageBoxA(nullptr, output.Unwritten().c_str(), kProgramTitle,
                exitCode == 0 ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONERROR);
  return exitCode;
}

}  // namespace polvane
