#pragma once
// Other processes: Polvane.exe and the helpers built beside the tests, run
// with their output caught.
#include <windows.h>

#include "platform/Handles.h"

#include <string>
#include <vector>

namespace polvane::test {

// A process a test started, and its first thread, closed when it goes.
struct ChildProcess {
  UniqueKernelHandle process, thread;
  DWORD id = 0;
};
// Takes what CreateProcess filled in.
ChildProcess Adopt(const PROCESS_INFORMATION& started);

// The folder this test program runs from, with its trailing separator.
std::wstring ProgramFolder();

// What a finished process left: its exit code and what it wrote to its
// standard output and error.
struct ProcessResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out, err;
};
// Runs commandLine with its output and errors redirected to files, and
// waits for it (up to 30 s); on token, when one is given.
ProcessResult RunProcess(const std::wstring& commandLine, HANDLE token = nullptr);
// Starts every command line suspended, then lets them all run at once, and
// waits for each (up to 30 s); the results are in the same order.
std::vector<ProcessResult> RunProcessesAtOnce(const std::vector<std::wstring>& commandLines,
                                              HANDLE token = nullptr);

}  // namespace polvane::test
