#pragma once

#include <cstdint>

namespace tavlor {

// How the computer plays: the values the settings dialog edits and the settings file keeps,
// with the defaults of a fresh settings file. The window fills it; the search reads the depth
// it is given, MaterialOnly, AbsoluteDeep and the five values; time and mode are carried out by
// the caller through the progress callback's stop.
struct TComputerSettings {
    std::int32_t Strength = 4;  // iterations in mode cGameFixedDepth (1 to 12)
    std::int32_t Time = 10;     // seconds per move in mode cGameFixedTime (1 to 600)
    std::uint8_t Game = 1;      // cGameFixedDepth, cGameFixedTime or cGameEqualTime
    bool MaterialOnly = false;
    bool AbsoluteDeep = false;
    bool FiveMatOnly = false;  // the dialog's locked preset; nothing in the search reads it
    std::int32_t QueenValue = 900;
    std::int32_t RookValue = 475;
    std::int32_t KnightValue = 275;
    std::int32_t BishopValue = 325;
    std::int32_t PawnValue = 100;
};

inline constexpr std::uint8_t cGameFixedDepth = 1;
inline constexpr std::uint8_t cGameFixedTime = 2;
inline constexpr std::uint8_t cGameEqualTime = 3;

// Time-limited searches and analyses run this many iterations unless they are stopped first.
inline constexpr std::int32_t cOpenSearchDepth = 18;

// The iterations of a computer move: the strength at fixed depth, otherwise the open depth.
constexpr std::int32_t ComputerMoveDepth(const TComputerSettings& settings) {
    return settings.Game == cGameFixedDepth ? settings.Strength : cOpenSearchDepth;
}

}  // namespace tavlor
