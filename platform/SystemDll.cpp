#include "platform/SystemDll.h"

#include <objbase.h>

#include <string>

namespace polvane {

HMODULE SystemLibrary(const wchar_t* dll) {
  if (const HMODULE loaded = GetModuleHandleW(dll)) return loaded;
  wchar_t folder[MAX_PATH]{};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
  return LoadLibraryW(path.c_str());
}

namespace {

class ComApartment {
 public:
  ComApartment() {
    static const auto initialise =
        SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    joined_ = initialise &&
              SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    static const auto uninitialise =
        SystemFunction<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    if (joined_ && uninitialise) uninitialise();
  }

 private:
  bool joined_ = false;
};

}  // namespace

void EnsureComApartment() { static const ComApartment apartment; }

}  // namespace polvane
