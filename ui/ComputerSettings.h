#pragma once

#include "engine/ComputerSettings.h"

namespace tavlor {

// The computer's settings, read from the settings file at start-up and written back at close.
// Process-wide, as the search and its progress callback run inside window handlers.
inline TComputerSettings ComputerSettings;

// State of a running computer move.
inline bool ComputerThinking = false;
inline bool ShowInMainWindow = false;
inline bool StopButtonPressed = false;

}  // namespace tavlor
