#pragma once
// The system's description of an error: FormatMessage's in the program, a
// fixed text in tests.
#include <functional>
#include <string>

#include "seams/Win32Error.h"

namespace polvane {

using ReasonOf = std::function<std::string(Win32Error)>;

}  // namespace polvane
