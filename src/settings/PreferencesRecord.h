#pragma once

// The preferences record lives in prefs, which needs no widgets; this name stays for the
// code that still includes it from here.
#include "prefs/PreferencesRecord.h"
