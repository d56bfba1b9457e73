#pragma once
// Plain ASCII text: what switches, policy names and key paths are made of,
// compared without regard to case whatever the locale.
#include <initializer_list>
#include <string>
#include <string_view>

namespace polvane {

inline std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

// Whether two names are the same, as Windows compares registry names.
inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return AsciiLower(a) == AsciiLower(b);
}

// The text without the characters of chars at either end.
inline std::string_view Trim(std::string_view text, std::string_view chars = " \t") {
  const std::size_t first = text.find_first_not_of(chars);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(chars) + 1 - first);
}

inline bool IsAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The text with its control characters written out as \xNN, so that a
// message stays one line whatever it quotes.
inline std::string Printable(std::string_view text) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string printable;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      printable += {'\\', 'x', kDigits[byte >> 4], kDigits[byte & 0xF]};
    else
      printable += c;
  }
  return printable;
}

// The pieces one after another: one call where a chain of + would make a
// string for each step.
inline std::string Joined(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (const std::string_view piece : pieces) text += piece;
  return text;
}

}  // namespace polvane
