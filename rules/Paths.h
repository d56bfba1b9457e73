#pragma once
// The part of a Windows path that names where it starts (a drive, a share,
// a volume) rather than a folder, so that making the folders of a path
// starts after it.
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

}  // namespace polvane
