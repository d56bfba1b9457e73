#include "platform/Stopping.h"

#include <atomic>

namespace polvane {
namespace {

// Set from the console's own thread, read from the program's.
std::atomic<bool> stopAsked{false};

}  // namespace

void AskToStop() { stopAsked = true; }

bool StopAsked() { return stopAsked; }

}  // namespace polvane
