#include "platform/LateBound.h"

#include <cstring>

namespace polvane {
namespace {

// The DLL, loaded from the system folder unless the process has it already.
HMODULE SystemLibrary(const char* dll) {
  if (const HMODULE loaded = GetModuleHandleA(dll)) return loaded;
  wchar_t path[MAX_PATH + 16]{};
  UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  path[length++] = L'\\';
  for (const char* c = dll; *c && length < MAX_PATH + 15; ++c) path[length++] = *c;  // ASCII
  return LoadLibraryW(path);
}

// What proc_ holds once a function was looked for and is not there.
void Missing() {}

}  // namespace

void (*LateProc::Resolve() const)() {
  if (!proc_) {
    const HMODULE library = SystemLibrary(what_);
    const auto found =
        library
            ? reinterpret_cast<void (*)()>(GetProcAddress(library, what_ + std::strlen(what_) + 1))
            : nullptr;
    proc_ = found ? found : Missing;
  }
  return proc_ == Missing ? nullptr : proc_;
}

}  // namespace polvane
