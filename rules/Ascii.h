#pragma once
// Plain ASCII text: what switches, policy names and key paths are made of,
// compared without regard to case whatever the locale.
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace polvane {

constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

// Whether two names are the same, as Windows compares registry names.
inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// Whether text is prefix followed by name, ignoring case: "**del.Name".
inline bool SameIgnoringCase(std::string_view text, std::string_view prefix,
                             std::string_view name) {
  return text.size() == prefix.size() + name.size() &&
         SameIgnoringCase(text.substr(0, prefix.size()), prefix) &&
         SameIgnoringCase(text.substr(prefix.size()), name);
}

// The text without the characters of chars at either end.
inline std::string_view Trim(std::string_view text, std::string_view chars = " \t") {
  const std::size_t first = text.find_first_not_of(chars);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(chars) + 1 - first);
}

// The line of text that starts at at: its content without its break, and
// where the next line starts. A line ends at CR LF, LF or CR, as Windows'
// profile reader takes them.
struct TextLine {
  std::string_view content;
  std::size_t next;
};
inline TextLine LineAt(std::string_view text, std::size_t at) {
  const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
  const std::size_t breakSize = text.compare(end, 2, "\r\n") == 0 ? 2 : end < text.size() ? 1 : 0;
  return {text.substr(at, end - at), end + breakSize};
}

// The lines of text, without their breaks; a break at the end starts no
// further line.
inline std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < text.size();) {
    const TextLine line = LineAt(text, at);
    lines.push_back(line.content);
    at = line.next;
  }
  return lines;
}

// Whether text starts with prefix, which is then taken off it.
inline bool Consume(std::string_view& text, std::string_view prefix) {
  if (text.size() < prefix.size() ||
      std::char_traits<char>::compare(text.data(), prefix.data(), prefix.size()) != 0)
    return false;
  text.remove_prefix(prefix.size());
  return true;
}

// A key path below a root as the registry resolves it: empty names between
// backslashes, doubled or at the end, are passed over ("A\\\\B\\" is "A\\B");
// one at the start makes no key the registry opens.
inline std::optional<std::string> ResolvedKeyPath(std::string_view path) {
  if (!path.empty() && path[0] == '\\') return std::nullopt;
  std::string resolved;
  for (std::size_t start = 0; start < path.size();) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end > start)
      resolved += (resolved.empty() ? "" : "\\") + std::string(path.substr(start, end - start));
    start = end + 1;
  }
  return resolved;
}

// Whether two key paths name one key, as the registry resolves them: the
// same names, empty ones passed over. Compared name by name in place, since
// a large Registry.pol asks it of every record.
inline bool SameKeyPath(std::string_view a, std::string_view b) {
  if (a.substr(0, 1) == "\\" || b.substr(0, 1) == "\\") return false;
  for (std::size_t i = 0, j = 0;;) {
    i = std::min(a.find_first_not_of('\\', i), a.size());
    j = std::min(b.find_first_not_of('\\', j), b.size());
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    const std::size_t endA = std::min(a.find('\\', i), a.size());
    const std::size_t endB = std::min(b.find('\\', j), b.size());
    if (!SameIgnoringCase(a.substr(i, endA - i), b.substr(j, endB - j))) return false;
    i = endA;
    j = endB;
  }
}

// Whether a registry key path is path or lies below it.
inline bool IsAtOrBelow(std::string_view key, std::string_view path) {
  return key.size() >= path.size() && SameIgnoringCase(key.substr(0, path.size()), path) &&
         (key.size() == path.size() || key[path.size()] == '\\');
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
