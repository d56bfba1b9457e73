#pragma once
// Telling running programs that the policies changed.
namespace polvane {

// Broadcasts WM_SETTINGCHANGE with "Policy", as the Group Policy engine does
// after applying policy, so that programs that watch for it read theirs
// again. A hung window holds Polvane up for a moment at most.
void AnnouncePolicyChange();

}  // namespace polvane
