#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileAccess.h"
#include "platform/IniFile.h"

namespace tavlor {

// The settings file beside the program and its one section.
inline constexpr std::string_view cSettingsFileName = "Tavlor.INI";
inline constexpr std::string_view cSettingsSection = "COMMON";

// The range a computer setting must lie in; a value read from the file outside it would reach the
// search unchecked, so it is replaced by the default.
struct TSettingRange {
    std::int32_t Lowest = 0;
    std::int32_t Highest = 0;
    constexpr bool Contains(std::int64_t value) const {
        return Lowest <= value && value <= Highest;
    }
};
inline constexpr TSettingRange cStrengthRange{1, 12};
inline constexpr TSettingRange cTimeRange{1, 600};
inline constexpr TSettingRange cGameRange{1, 3};
inline constexpr TSettingRange cMaterialRange{1, 10000};

// Everything the program keeps between two runs, with the values a missing file gives. The
// window reads it once at start-up and writes it back when it closes.
struct TSettings {
    std::int32_t Width = 616;
    std::int32_t Height = 596;
    std::int32_t Top = 10;
    std::int32_t Left = 10;
    std::string BitmapSet = "USUAL";
    std::string NetworkPath;
    std::string PlayerName;
    std::int32_t LeftBottomHum = 130;    // comment panel of network play
    std::int32_t LeftBottomCom = 130;    // computer analysis panel
    std::int32_t LeftBottomClient = 56;  // received-comment box
    std::int32_t ComputerStrength = 4;   // search depth in half-moves
    std::int32_t ComputerTime = 10;      // seconds per move
    std::uint8_t ComputerGame = 1;       // search mode; the file's value keeps only its low byte
    bool MaterialOnly = false;
    bool AbsoluteDeep = false;
    bool FiveMatOnly = false;
    std::int32_t MatQueen = 900;
    std::int32_t MatRook = 475;
    std::int32_t MatKnight = 275;
    std::int32_t MatBishop = 325;
    std::int32_t MatPawn = 100;

    bool operator==(const TSettings&) const = default;
};

// Reads all keys of section COMMON; a missing file or key, a value that is not a number, or a
// computer setting outside its range gives the default. Never fails.
TSettings ReadSettings(const TIniFile& file);

// Writes all keys in their fixed order in one replacement of the file (which reaches the disk
// once, not once per key); the file is as one write per key leaves it. On failure nothing is
// written and the error names the settings file.
TFileStatus WriteSettings(TIniFile& file, const TSettings& settings);

}  // namespace tavlor
