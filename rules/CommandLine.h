#pragma once
// Polvane's command line, for scripts and deployment: what each switch asks
// for, checked whole before anything is written. Free of Windows so that it
// is tested natively. Arguments are UTF-8; switches and policy names are
// plain ASCII.
#include <string>
#include <string_view>
#include <vector>

#include "rules/Command.h"

namespace polvane {

// The arguments of a whole command line, as Windows' CommandLineToArgvW
// splits it, without the program's name: blanks separate them outside
// quotes; a run of backslashes before a quote is halved, and an odd one
// escapes the quote; in quotes, a third quote in a row stands for itself.
// The line is UTF-8: the characters that split it are all ASCII.
std::vector<std::string> SplitCommandLine(std::string_view line);
// What follows the program's name in a whole command line, as it stands.
std::string_view ArgumentsPart(std::string_view line);

// Switches start with '/' or '-'; switches and policy names are compared
// without regard to case. The whole line is read before anything is made of
// it: the result is a complete command, or the first fault found.
Command ParseCommandLine(const std::vector<std::string>& arguments);

// The text /? prints.
std::string UsageText();
// The usage for a box, where there is nowhere to print it: the commands
// only, and how to have the whole text.
std::string BriefUsageText();

}  // namespace polvane
