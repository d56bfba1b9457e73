// Polvane.com, the console program: every command of Polvane.exe's command
// line, run alike, in a program that a shell waits for and whose exit code
// it keeps. A command line that opens the window starts Polvane.exe beside
// it and returns.
#include <windows.h>

#include "platform/Console.h"
#include "platform/Handles.h"
#include "platform/LastError.h"
#include "platform/ProgramVersion.h"
#include "platform/Stopping.h"
#include "platform/SystemMessage.h"
#include "platform/SystemServices.h"
#include "platform/Text.h"
#include "program/Startup.h"
#include "rules/CommandLine.h"
#include "rules/ExitCodes.h"
#include "rules/Messages.h"

namespace polvane {
namespace {

// Ctrl+C or Ctrl+Break: a run that waits for the Group Policy Object stops
// waiting, and one that writes finishes its write, so that nothing is left
// half-written; the run then ends as usual.
BOOL WINAPI OnStopKey(DWORD key) {
  if (key != CTRL_C_EVENT && key != CTRL_BREAK_EVENT) return FALSE;
  AskToStop();
  return TRUE;
}

// Polvane.exe, beside this program, with the same arguments.
int StartWindow(ConsoleOutput& output) {
  std::wstring program = ProgramPath();
  program.replace(program.size() - 4, 4, L".exe");
  const std::string arguments(ArgumentsPart(Narrow(GetCommandLineW(), CP_UTF8)));
  std::wstring line = L"\"" + program + L"\" " + Widen(arguments, CP_UTF8);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &started)) {
    const UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    return kSuccess;
  }
  const Win32Error status = LastErrorOr(ERROR_GEN_FAILURE);
  output.Err(WindowStartFailureMessage(Narrow(program.c_str(), CP_UTF8), SystemReason(status)));
  return FailureExitCode(status);
}

}  // namespace
}  // namespace polvane

int main() {
  using namespace polvane;
  SetConsoleCtrlHandler(OnStopKey, TRUE);
  SystemCommandServices system;
  ConsoleOutput output;
  const Command command = ParseCommandLine(ProgramArguments());
  if (std::holds_alternative<WindowCommand>(command)) return StartWindow(output);
  return RunWithoutWindow(system.Get(), command, output);
}
