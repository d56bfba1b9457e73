#include "ui/WindowServices.h"

#include <shellapi.h>

#include "platform/Handles.h"
#include "platform/LastError.h"
#include "platform/ProgramVersion.h"
#include "platform/Text.h"
#include "ui/ComApartment.h"

namespace polvane {
namespace {

// How long the new process may take to be ready for input before the old one
// stops waiting for it.
constexpr DWORD kStartWaitMs = 10000;

}  // namespace

DWORD StartAsAdministrator(const std::wstring& program, HWND owner, const std::string& arguments) {
  const std::wstring parameters = Widen(arguments, CP_UTF8);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpVerb = L"runas";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  EnsureComApartment();
  if (!ShellExecuteExW(&info)) return LastErrorOr(ERROR_GEN_FAILURE);
  const UniqueKernelHandle process(info.hProcess);
  if (process) WaitForInputIdle(process.Get(), kStartWaitMs);
  return ERROR_SUCCESS;
}

void SystemShell::OpenUrl(HWND owner, const char* address) {
  EnsureComApartment();
  ShellExecuteA(owner, nullptr, address, nullptr, "C:\\", SW_SHOWNORMAL);
}

DWORD SystemElevation::StartElevated(HWND owner, const std::string& arguments) {
  return StartAsAdministrator(ProgramPath(), owner, arguments);
}

bool WindowsColours::HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace polvane
