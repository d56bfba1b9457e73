#pragma once
// A request to stop, from Ctrl+C in the console program's console, which
// a wait honours at its next step.
namespace polvane {

void AskToStop();
bool StopAsked();

}  // namespace polvane
