#pragma once
// Numbers as text and back, in the only forms the program writes and reads.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace polvane {

inline std::string Decimal(std::int64_t number) {
  char digits[20];  // "-9223372036854775808"
  return {digits, std::to_chars(digits, digits + sizeof digits, number).ptr};
}

// The number that plain decimal digits write, up to 4294967295; nothing for
// anything else: a sign, a space, no digits at all.
inline std::optional<std::uint32_t> ParseDecimal(std::string_view digits) {
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  std::uint64_t number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (number > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(number);
}

inline constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";

// One to eight hexadecimal digits, in either case.
inline std::optional<std::uint32_t> ParseHexadecimal(std::string_view digits) {
  if (digits.empty() || digits.size() > 8 || digits.find_first_not_of(kHexDigits) != digits.npos)
    return std::nullopt;
  std::uint32_t number = 0;
  for (const char c : digits)
    number = number << 4 | static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  return number;
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
