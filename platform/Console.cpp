#include "platform/Console.h"

#include "platform/Handles.h"
#include "platform/LastError.h"
#include "platform/Text.h"
#include "rules/CommandLine.h"

namespace polvane {
namespace {

// A standard handle the caller set up: a file, a pipe, a console or NUL.
HANDLE Inherited(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  if (!handle || handle == INVALID_HANDLE_VALUE) return nullptr;
  return GetFileType(handle) == FILE_TYPE_UNKNOWN ? nullptr : handle;
}

}  // namespace

// Split here rather than by shell32, which a command would load (and
// shcore, shlwapi and uxtheme with it) for this alone.
std::vector<std::string> ProgramArguments() {
  return SplitCommandLine(Narrow(GetCommandLineW(), CP_UTF8));
}

ConsoleOutput::ConsoleOutput()
    : out_(Inherited(STD_OUTPUT_HANDLE)), err_(Inherited(STD_ERROR_HANDLE)) {
  if (out_ && err_) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  console_.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr));
  if (!console_) return;
  if (!out_) out_ = console_.Get();
  if (!err_) err_ = console_.Get();
}

void ConsoleOutput::Out(const std::string& line) { Write(out_, line); }

void ConsoleOutput::Err(const std::string& line) { Write(err_, line); }

void ConsoleOutput::Write(HANDLE target, const std::string& line) {
  if (!target) {
    unprinted_ = true;
    return;
  }
  const std::string text = line + "\r\n";
  DWORD written = 0, mode = 0;
  bool whole = false;
  if (GetConsoleMode(target, &mode)) {
    const std::wstring wide = Widen(text, CP_UTF8);
    whole =
        WriteConsoleW(target, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
        written == wide.size();
  } else {
    whole = WriteFile(target, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
            written == text.size();
  }
  if (!whole && writeFailure_ == ERROR_SUCCESS) writeFailure_ = LastErrorOr(ERROR_WRITE_FAULT);
}

}  // namespace polvane
