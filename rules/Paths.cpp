#include "rules/Paths.h"

#include "rules/Ascii.h"

namespace polvane {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The length of path up to and with the separator after the next count
// components from start, or the whole path where it ends first.
std::size_t AfterComponents(std::string_view path, std::size_t start, int count) {
  std::size_t end = start;
  for (; count > 0 && end < path.size(); --count) {
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end < path.size()) ++end;
  }
  return end;
}

bool HasDrive(std::string_view path, std::size_t at) {
  return path.size() > at + 1 && path[at + 1] == ':' && AsciiLower(path[at]) >= 'a' &&
         AsciiLower(path[at]) <= 'z';
}

}  // namespace

std::size_t PathRootLength(std::string_view path) {
  const bool twoSeparators = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  if (twoSeparators && path.size() >= 4 && (path[2] == '?' || path[2] == '.') &&
      IsSeparator(path[3])) {
    const std::string_view rest = path.substr(4);
    if (rest.size() >= 4 && SameIgnoringCase(rest.substr(0, 3), "UNC") && IsSeparator(rest[3]))
      return AfterComponents(path, 8, 2);  // \\?\UNC\server\share\ .
    return AfterComponents(path, 4, 1);    // \\?\C:\ or \\?\Volume{...}\ .
  }
  if (twoSeparators) return AfterComponents(path, 2, 2);  // \\server\share\ .
  if (HasDrive(path, 0)) return path.size() > 2 && IsSeparator(path[2]) ? 3 : 2;
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

bool NamesADevice(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/:");
  std::string_view name = path.substr(slash == std::string_view::npos ? 0 : slash + 1);
  name = Trim(name.substr(0, name.find('.')), " ");
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (SameIgnoringCase(name, device)) return true;
  // COM0 and LPT0 are no devices; the superscript digits of Windows 11 are
  // not ASCII and are left to Windows.
  return name.size() == 4 &&
         (SameIgnoringCase(name.substr(0, 3), "COM") ||
          SameIgnoringCase(name.substr(0, 3), "LPT")) &&
         name[3] >= '1' && name[3] <= '9';
}

}  // namespace polvane
