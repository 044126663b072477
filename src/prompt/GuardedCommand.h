#pragma once

#include "prompt/Prompt.h"

#include <exception>
#include <functional>

namespace nerova {

// Runs a command reached from a signal (a button, a menu item, a list move, a window being
// shown). An error ends the command and is shown in an error box through the given seam;
// the window and the program keep running, since nothing may be thrown through the event
// loop. The engine's errors carry their text for the user as what() in UTF-8, so the seam
// needs to know no error type of theirs.
inline void runGuarded(Prompt& prompt, const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        prompt.message(Prompt::Kind::Error, QString::fromUtf8(e.what()), {Prompt::Button::Ok});
    }
}

} // namespace nerova
