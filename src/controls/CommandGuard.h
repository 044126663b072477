#pragma once

#include "data/EngineError.h"
#include "prompt/Prompt.h"

#include <exception>
#include <functional>

namespace nerova {

// Runs a command reached from a signal (a button, a menu item, a list move, a window being
// shown). An engine or file error ends the command and is shown in an error box; the
// window and the program keep running, since nothing may be thrown through the event loop.
void runGuarded(const std::function<void()>& command);

// The same, showing the error through the given seam. Kept inline so that the report
// engine, which only knows the seam's interface, can guard its preview actions too.
inline void runGuarded(Prompt& prompt, const std::function<void()>& command) {
    try {
        command();
    } catch (const EngineError& e) {
        prompt.message(Prompt::Kind::Error, e.text(), {Prompt::Button::Ok});
    } catch (const std::exception& e) {
        prompt.message(Prompt::Kind::Error, QString::fromLocal8Bit(e.what()), {Prompt::Button::Ok});
    }
}

} // namespace nerova
