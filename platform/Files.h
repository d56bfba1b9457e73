#pragma once
// Whole files for /export, /import and /gpo, named in UTF-8.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Handles.h"
#include "seams/FileAccess.h"

namespace polvane {

class WindowsFiles final : public FileAccess {
 public:
  Win32Error Read(const std::string& path, std::vector<std::uint8_t>& bytes) override;
  // Writes a file of a name no other run uses beside the file a path names
  // in the end (through a symbolic link, its target), with that file's
  // security and attributes, then renames it over that file in one step, so
  // that a run killed at any instant leaves the old file or the new one
  // whole. Clears what earlier runs that ended half way left beside it. A
  // folder or a device is kNotAFile, and is not touched.
  Win32Error Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
  Win32Error Remove(const std::string& path) override;
  Win32Error MakeFolderOf(const std::string& path) override;
  // Opens the lock file unshared and deleted on close, trying again for up
  // to ten seconds while another process has it open. One lock at a time.
  Win32Error Lock(const std::string& path) override;
  void Unlock(const std::string& path) override;

 private:
  std::string lockPath_;
  UniqueFile lock_;
};

}  // namespace polvane
