#pragma once

#include <QString>

#include "platform/DateTime.h"

namespace tavlor {

// A span of days shown as a time of day in the user's long time format (hours, minutes,
// seconds), as the clocks and the search time are shown. Spans of a day or more wrap around.
QString FormatTimeOfDay(TDateTime days);

}  // namespace tavlor
