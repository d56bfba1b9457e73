#pragma once
// Text from the wide-character calls, in the code page the caller needs.
#include <windows.h>

#include <string>

namespace polvane {

inline std::string Narrow(const wchar_t* wide, UINT codePage) {
  const int size = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, wide, -1, narrow.data(), size, nullptr, nullptr);
  narrow.pop_back();  // the terminating zero
  return narrow;
}

}  // namespace polvane
