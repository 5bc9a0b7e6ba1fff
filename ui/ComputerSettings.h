#pragma once

#include <cstdint>
#include <string>

#include "engine/ComputerSettings.h"
#include "platform/DateTime.h"

namespace tavlor {

// NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables): the window's one computer
// opponent; its state is shared by the window's handlers and the search's progress callback.

// The computer's settings, read from the settings file at start-up and written back at close.
// Process-wide, as the search and its progress callback run inside window handlers.
inline TComputerSettings ComputerSettings;

// State of a running computer move. Plain flags: the search, its progress callback and the
// timers that stop it all run on the one user-interface thread.
inline bool ComputerThinking = false;   // exactly while the search runs
inline bool ShowInMainWindow = false;   // a computer move (true) or an analysis (false)
inline bool StopButtonPressed = false;  // the stop button, the analysis window or the time control
inline std::int32_t StopRequested = 0;  // what the progress callback hands the search: 1 stops it
inline TDateTime SearchStartTime = 0;   // monotonic

// The values of the search's last report.
inline std::int32_t ShownValue = 0;
inline std::uint64_t ShownNodes = 0;
inline std::int32_t ShownDepth = 0;
inline std::string ShownMove;
inline std::string ShownMainLine;
// NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)

}  // namespace tavlor
