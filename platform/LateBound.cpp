#include "platform/LateBound.h"

#include <string>

namespace polvane {
namespace {

// The DLL, loaded from the system folder unless the process has it already.
HMODULE SystemLibrary(const wchar_t* dll) {
  if (const HMODULE loaded = GetModuleHandleW(dll)) return loaded;
  wchar_t folder[MAX_PATH]{};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
  return LoadLibraryW(path.c_str());
}

}  // namespace

void (*LateProc::Resolve() const)() {
  if (!tried_) {
    tried_ = true;
    if (const HMODULE library = SystemLibrary(dll_))
      proc_ = reinterpret_cast<void (*)()>(GetProcAddress(library, name_));
  }
  return proc_;
}

}  // namespace polvane
