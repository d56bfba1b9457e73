#pragma once
// Polvane's command line, for scripts and deployment: what each switch asks
// for, checked whole before anything is written. Free of Windows so that it
// is tested natively. Arguments are UTF-8; switches and policy names are
// plain ASCII.
#include <string>
#include <vector>

#include "rules/Command.h"

namespace polvane {

// Switches start with '/' or '-'; switches and policy names are compared
// without regard to case. The whole line is read before anything is made of
// it: the result is a complete command, or the first fault found.
Command ParseCommandLine(const std::vector<std::string>& arguments);

// The text /? prints.
std::string UsageText();

}  // namespace polvane
