#pragma once
// Text between the program's narrow strings and the wide-character calls, in
// the code page the caller names.
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

inline std::wstring Widen(const std::string& text, UINT codePage) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  return wide;
}

}  // namespace polvane
