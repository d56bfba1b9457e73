#pragma once
// The token UAC gives an administrator who has not elevated.
#include "platform/Handles.h"

namespace polvane::test {

// This process's token as UAC gives it to an administrator who has not
// elevated: Administrators for deny only.
UniqueKernelHandle FilteredToken();

// While it lives, this thread runs on the filtered token above.
class RunFiltered {
 public:
  RunFiltered();
  ~RunFiltered();
  RunFiltered(const RunFiltered&) = delete;
  RunFiltered& operator=(const RunFiltered&) = delete;
};

}  // namespace polvane::test
