#pragma once
// The local Group Policy Object's folder, and Windows' Group Policy engine.
#include "seams/GroupPolicy.h"

namespace polvane {

class LocalGroupPolicy final : public GroupPolicy {
 public:
  std::string Folder() override;
  // RefreshPolicyEx, once the Group Policy Client service is found running.
  Win32Error Refresh(bool machine) override;
};

}  // namespace polvane
