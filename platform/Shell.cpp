#include "platform/Shell.h"

#include <shellapi.h>

#include <utility>

namespace polvane {
namespace {

std::function<HWND()>& ShellOwner() {
  static std::function<HWND()> owner;
  return owner;
}

}  // namespace

void SetShellOwner(std::function<HWND()> owner) { ShellOwner() = std::move(owner); }

void OpenUrl(const char* address) {
  const HWND owner = ShellOwner() ? ShellOwner()() : nullptr;
  ShellExecuteA(owner, nullptr, address, nullptr, "C:\\", SW_SHOWNORMAL);
}

}  // namespace polvane
