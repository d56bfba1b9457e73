#pragma once
// Whole files, for /export, /import and the local Group Policy Object:
// Windows' own in the program, kept in memory in tests. Paths are UTF-8.
#include <cstdint>
#include <string>
#include <vector>

#include "seams/Win32Error.h"

namespace polvane {

// The largest file Polvane reads: a policy file is a few kilobytes, and a
// Registry.pol that every product shares rarely more than a few hundred.
inline constexpr std::uint32_t kLargestFile = 64 * 1024 * 1024;

class FileAccess {
 public:
  // Reads the whole file; one larger than kLargestFile is kFileTooLarge, a
  // folder or a device kNotAFile.
  virtual Win32Error Read(const std::string& path, std::vector<std::uint8_t>& bytes) = 0;
  // Makes the file, or replaces it keeping its security and attributes; at
  // every instant the name holds the old file or the new one whole, never a
  // mixture and never nothing. A folder or a device is kNotAFile, untouched.
  virtual Win32Error Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
  // Deletes the file; one that is not there is no failure.
  virtual Win32Error Remove(const std::string& path) = 0;
  // Makes the folder a file goes in, and any folder above it that is missing.
  virtual Win32Error MakeFolderOf(const std::string& path) = 0;
  // Holds the lock file at path for this process alone until Unlock,
  // waiting a bounded time while another process holds it. The file is gone
  // once released, even when the process ends without releasing it.
  virtual Win32Error Lock(const std::string& path) = 0;
  virtual void Unlock(const std::string& path) = 0;

 protected:
  ~FileAccess() = default;
};

}  // namespace polvane
