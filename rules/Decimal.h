#pragma once
// Numbers as text without the C library's printf, which would bring its
// floating-point formatting into the program.
#include <charconv>
#include <cstdint>
#include <string>

namespace polvane {

inline std::string Decimal(std::int64_t number) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  return std::string(digits, end);
}

// Upper-case hexadecimal, padded with zeros to width digits.
inline std::string Hexadecimal(std::uint32_t number, int width) {
  char digits[8];
  const auto end = std::to_chars(digits, digits + sizeof digits, number, 16).ptr;
  std::string text(digits, end);
  for (char& c : text)
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  if (static_cast<int>(text.size()) < width)
    text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
  return text;
}

}  // namespace polvane
