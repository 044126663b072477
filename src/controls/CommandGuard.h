#pragma once

#include "prompt/GuardedCommand.h"

#include <functional>

namespace nerova {

// Runs a command reached from a signal, showing its error through the process-wide seam.
void runGuarded(const std::function<void()>& command);

} // namespace nerova
