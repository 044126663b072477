#pragma once

// The colour list is an entry control like the others; this name stays for the code that
// still includes it from here.
#include "controls/ColorComboBox.h"
