#pragma once

#include <cstdint>

namespace tavlor {

// A point in time or a duration as a number of days: 1.0 is 24 hours, the fraction is the time
// of day. Points count from 1899-12-30 0:00 local time, the origin that saved games and peers
// share; clocks and time controls only ever subtract two of them.
using TDateTime = double;

inline constexpr TDateTime cOneDay = 1.0;
inline constexpr TDateTime cOneHour = cOneDay / 24;
inline constexpr TDateTime cOneMinute = cOneDay / (24 * 60);
inline constexpr TDateTime cOneSecond = cOneDay / (24 * 60 * 60);
inline constexpr TDateTime cOneMillisecond = cOneSecond / 1000;

// The day number of 1970-01-01.
inline constexpr TDateTime cUnixEpochDate = 25569.0;

constexpr TDateTime SecondsToDays(double seconds) {
    return seconds * cOneSecond;
}
constexpr double DaysToSeconds(TDateTime days) {
    return days / cOneSecond;
}

// The current local date and time.
TDateTime Now();

// A day count that never jumps (no clock setting, no daylight-saving change), from an arbitrary
// origin; the right base for measuring how long something took.
TDateTime MonotonicNow();

// Pauses the calling thread; a count of 0 or less returns at once.
void Sleep(std::int32_t milliseconds);

}  // namespace tavlor
