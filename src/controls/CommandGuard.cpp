#include "controls/CommandGuard.h"

namespace nerova {

void runGuarded(const std::function<void()>& command) {
    runGuarded(Prompt::instance(), command);
}

} // namespace nerova
