#include "platform/Shell.h"

#include <shellapi.h>

#include "platform/ComApartment.h"
#include "platform/LateBound.h"

namespace polvane {

void SystemShell::OpenUrl(HWND owner, const char* address) {
  const auto execute = late::ShellExecuteA.Get();
  EnsureComApartment();
  if (execute) execute(owner, nullptr, address, nullptr, "C:\\", SW_SHOWNORMAL);
}

}  // namespace polvane
