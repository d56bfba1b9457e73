#pragma once
// The window's boxes carried across a restart as administrator: the
// arguments that open the window again as it stands, and setting the boxes
// that such a line names.
#include <string>

#include "rules/Command.h"
#include "rules/OptionPanel.h"

namespace polvane {

// The arguments that open the window again as panel stands, unsaved ticks
// and all: its scope and the five boxes' values, through /edit, and the
// user whose policies the current user's scope shows, by SID, if given.
std::string EditArguments(OptionPanel& panel, const std::string& userSid = {});

// Sets the boxes that an /edit command names, each raising its click as a
// change does.
void ApplyEdits(const WindowCommand& command, OptionPanel& panel);

}  // namespace polvane
