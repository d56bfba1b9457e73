#pragma once
// Windows' own DLLs that only some of Polvane's work needs (the About
// window, a link, an elevation, a command line), loaded from the system
// folder when first needed rather than before the first paint.
#include <windows.h>

namespace polvane {

// The DLL, as "ole32.dll", loaded once from the system folder unless the
// process has it already; null when it cannot be.
HMODULE SystemLibrary(const wchar_t* dll);

// A function of such a DLL, or null. GetProcAddress hands back a generic
// function pointer; going through void(*)() is the conversion that says the
// real type is known.
template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
  const HMODULE library = SystemLibrary(dll);
  if (!library) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Joins the user-interface thread to a single-threaded COM apartment, as
// ShellExecute and OLE's picture loader expect it, the first time one of
// them is needed; it is left when the program ends.
void EnsureComApartment();

}  // namespace polvane
