#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavlor {

// A process-wide table of named sections: how often each ran and how long it took in all.
// Times are date-time values in days, as the clocks of the game count them.
struct TProfileEntry {
    std::string Name;  // up to cProfileNameLength characters; empty marks a free entry
    double StartTime = 0;
    double TotalTime = 0;
    std::int32_t Calls = 0;
};

inline constexpr std::int32_t cProfileEntries = 128;
inline constexpr std::size_t cProfileNameLength = 128;
using TProfileTable = std::array<TProfileEntry, cProfileEntries>;

// The table itself, for the report and for tests. Not to be used while sections run on another
// thread.
TProfileTable& ProfileTable();

// Empties every entry, as at program start.
void ClearProfile();

// Starts a measurement of the named section, taking the first free entry for a new name; when
// all 128 entries are in use a new name is not recorded.
void ProfileStart(std::string_view name);

// Ends the measurement of the named section: adds the time since its start and counts the call.
// A section that was never started is ignored.
void ProfileStop(std::string_view name);

// One line per named entry: "<Name> : <seconds, two decimals> sec. - <Calls> calls" and CR LF.
std::string ProfileText();

// Measures the section for the lifetime of the object.
class TProfileSection {
public:
    explicit TProfileSection(std::string_view name) : Name(name) { ProfileStart(Name); }
    ~TProfileSection() { ProfileStop(Name); }
    TProfileSection(const TProfileSection&) = delete;
    TProfileSection& operator=(const TProfileSection&) = delete;

private:
    std::string_view Name;
};

}  // namespace tavlor
