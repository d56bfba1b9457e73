#pragma once
// Windows paths, read as Windows reads them.
#include <cstddef>
#include <string_view>

namespace polvane {

// How many characters of path belong to its root, the separator after it
// included; 0 for a relative path.
//   C:\Data\x        "C:\"                      C:x     "C:"
//   \Data\x          "\"                        \\server\share\x   "\\server\share\"
//   \\?\C:\x         "\\?\C:\"                  \\?\UNC\server\share\x  "\\?\UNC\server\share\"
//   \\?\Volume{..}\x "\\?\Volume{..}\"          (\\.\ as \\?\)
std::size_t PathRootLength(std::string_view path);

// Whether the path's last name is one Windows keeps for a device in every
// folder (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$, CONOUT$),
// whatever follows it after a dot or spaces: "C:\Data\NUL.pol" is NUL.
bool NamesADevice(std::string_view path);

}  // namespace polvane
