#include "tests/win/support/Processes.h"

#include <string>

namespace polvane::test {

ChildProcess Adopt(const PROCESS_INFORMATION& started) {
  return {UniqueKernelHandle(started.hProcess), UniqueKernelHandle(started.hThread),
          started.dwProcessId};
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

namespace {

UniqueFile InheritableFile(const std::wstring& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_TEMPORARY, nullptr));
}

std::string ContentsOf(const UniqueFile& file) {
  if (!file) return {};
  std::string text(GetFileSize(file.Get(), nullptr), '\0');
  DWORD read = 0;
  SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
  ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  text.resize(read);
  return text;
}

// Starts each command line, suspended when they are to run at once, and
// waits for each.
std::vector<ProcessResult> RunProcesses(const std::vector<std::wstring>& commandLines, HANDLE token,
                                        bool atOnce) {
  struct Started {
    UniqueFile out, err;
    ChildProcess child;
  };
  std::vector<Started> started(commandLines.size());
  for (std::size_t i = 0; i < commandLines.size(); ++i) {
    const std::wstring base = ProgramFolder() + L"process-" + std::to_wstring(i) + L"-";
    Started& one = started[i];
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    one.out = InheritableFile(base + L"out.txt");
    one.err = InheritableFile(base + L"err.txt");
    startup.hStdOutput = one.out.Get();
    startup.hStdError = one.err.Get();
    std::wstring command = commandLines[i];
    const DWORD flags = CREATE_NO_WINDOW | (atOnce ? CREATE_SUSPENDED : 0);
    PROCESS_INFORMATION process{};
    if (token ? CreateProcessAsUserW(token, nullptr, command.data(), nullptr, nullptr, TRUE, flags,
                                     nullptr, nullptr, &startup, &process)
              : CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr,
                               nullptr, &startup, &process))
      one.child = Adopt(process);
  }
  for (const Started& one : started)
    if (one.child.thread && atOnce) ResumeThread(one.child.thread.Get());
  std::vector<ProcessResult> results(started.size());
  for (std::size_t i = 0; i < started.size(); ++i) {
    const Started& one = started[i];
    if (one.child.process) {
      WaitForSingleObject(one.child.process.Get(), 30000);
      GetExitCodeProcess(one.child.process.Get(), &results[i].exitCode);
    }
    results[i].out = ContentsOf(one.out);
    results[i].err = ContentsOf(one.err);
  }
  return results;
}

}  // namespace

std::vector<ProcessResult> RunProcessesAtOnce(const std::vector<std::wstring>& commandLines,
                                              HANDLE token) {
  return RunProcesses(commandLines, token, true);
}

// Not suspended: Wine starts no program of its platform's suspended.
ProcessResult RunProcess(const std::wstring& commandLine, HANDLE token) {
  return RunProcesses({commandLine}, token, false)[0];
}

}  // namespace polvane::test
