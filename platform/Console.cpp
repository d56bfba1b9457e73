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
    : out_(TargetOf(Inherited(STD_OUTPUT_HANDLE))), err_(TargetOf(Inherited(STD_ERROR_HANDLE))) {
  if (out_.handle && err_.handle) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  console_.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr));
  if (!console_) return;
  if (!out_.handle) out_ = {console_.Get(), true};
  if (!err_.handle) err_ = {console_.Get(), true};
}

ConsoleOutput::Target ConsoleOutput::TargetOf(HANDLE handle) {
  DWORD mode = 0;
  return {handle, handle && GetConsoleMode(handle, &mode)};
}

void ConsoleOutput::Out(const std::string& line) {
  if (!out_.handle) {
    unprinted_ = true;
    return;
  }
  constexpr std::size_t kGatherBytes = 8192;
  gathered_ += line;
  gathered_ += "\r\n";
  if (gathered_.size() >= kGatherBytes) Flush();
}

void ConsoleOutput::Err(const std::string& line) {
  Flush();
  if (!err_.handle) {
    unprinted_ = true;
    return;
  }
  Write(err_, line + "\r\n");
}

void ConsoleOutput::Flush() {
  if (gathered_.empty()) return;
  Write(out_, gathered_);
  gathered_.clear();
}

void ConsoleOutput::Write(const Target& target, const std::string& text) {
  DWORD written = 0;
  bool whole = false;
  if (target.console) {
    const std::wstring wide = Widen(text, CP_UTF8);
    whole = WriteConsoleW(target.handle, wide.data(), static_cast<DWORD>(wide.size()), &written,
                          nullptr) &&
            written == wide.size();
  } else {
    whole =
        WriteFile(target.handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
  }
  if (!whole && writeFailure_ == ERROR_SUCCESS) writeFailure_ = LastErrorOr(ERROR_WRITE_FAULT);
}

}  // namespace polvane
