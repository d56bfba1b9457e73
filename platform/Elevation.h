#pragma once
// Whether Polvane runs with an administrator's rights, and starting it again
// with them.
#include <windows.h>

#include <string>
#include <utility>

#include "seams/Elevation.h"

namespace polvane {

class SystemElevation final : public Elevation {
 public:
  // program is the file StartElevated starts: this program's own when it is
  // empty, or Polvane.exe for a program that shows Polvane's window itself.
  explicit SystemElevation(std::wstring program = {}) : program_(std::move(program)) {}

  bool IsElevated() override;
  DWORD StartElevated(HWND owner, const std::string& arguments) override;

 private:
  std::wstring program_;
};

}  // namespace polvane
