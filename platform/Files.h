#pragma once
// Whole files for /export, /import and /gpo, named in UTF-8.
#include "rules/CommandLine.h"

namespace polvane {

class WindowsFiles final : public FileAccess {
 public:
  RegStatus Read(const std::string& path, std::vector<std::uint8_t>& bytes) override;
  // Writes a temporary file beside path, then renames it over path, so that
  // an interrupted run leaves the old file whole.
  RegStatus Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
  RegStatus MakeFolderOf(const std::string& path) override;
};

}  // namespace polvane
