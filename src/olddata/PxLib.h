#pragma once

// pxlib's header declares its C functions without C linkage, so C++ needs it wrapped.
extern "C" {
#include <paradox.h>
}
