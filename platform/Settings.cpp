#include "platform/Settings.h"

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tavlor {

namespace {

using TSettingField = std::variant<std::int32_t TSettings::*, std::string TSettings::*,
                                   std::uint8_t TSettings::*, bool TSettings::*>;

struct TSettingKey {
    std::string_view Key;
    TSettingField Field;
    std::optional<TSettingRange> Range = std::nullopt;
};

// The keys in the order they are read and written. Peers and older files know the material keys
// with their blanks, so the names are nine characters each.
const std::array<TSettingKey, 21> cSettingKeys = {{
    {"WIDTH", &TSettings::Width},
    {"HEIGHT", &TSettings::Height},
    {"TOP", &TSettings::Top},
    {"LEFT", &TSettings::Left},
    {"BITMAPS", &TSettings::BitmapSet},
    {"NETWORK", &TSettings::NetworkPath},
    {"PLAYERNAME", &TSettings::PlayerName},
    {"LEFTBOTTOMHUM", &TSettings::LeftBottomHum},
    {"LEFTBOTTOMCOM", &TSettings::LeftBottomCom},
    {"LEFTBOTTOMCLIENT", &TSettings::LeftBottomClient},
    {"COMPUTERSTRENGTH", &TSettings::ComputerStrength, cStrengthRange},
    {"COMPUTERTIME", &TSettings::ComputerTime, cTimeRange},
    {"COMPUTERGAME", &TSettings::ComputerGame, cGameRange},
    {"MATERIALONLY", &TSettings::MaterialOnly},
    {"ABSOLUTEDEEP", &TSettings::AbsoluteDeep},
    {"FIVEMATONLY", &TSettings::FiveMatOnly},
    {"MatQueen ", &TSettings::MatQueen, cMaterialRange},
    {"MatRook  ", &TSettings::MatRook, cMaterialRange},
    {"MatNight ", &TSettings::MatKnight, cMaterialRange},
    {"MatBishop", &TSettings::MatBishop, cMaterialRange},
    {"MatPawn  ", &TSettings::MatPawn, cMaterialRange},
}};

struct TReadKey {
    const TIniFile& File;
    std::string_view Key;
    const std::optional<TSettingRange>& Range;
    TSettings& Settings;

    void operator()(std::int32_t TSettings::*field) const {
        const std::int32_t value = File.ReadInteger(cSettingsSection, Key, Settings.*field);
        if (!Range || Range->Contains(value)) Settings.*field = value;
    }
    void operator()(std::string TSettings::*field) const {
        Settings.*field = File.ReadString(cSettingsSection, Key, Settings.*field);
    }
    void operator()(std::uint8_t TSettings::*field) const {
        const std::int32_t value = File.ReadInteger(cSettingsSection, Key, Settings.*field);
        const auto low = static_cast<std::uint8_t>(value & 0xFF);
        if (!Range || Range->Contains(low)) Settings.*field = low;
    }
    void operator()(bool TSettings::*field) const {
        Settings.*field = File.ReadBool(cSettingsSection, Key, Settings.*field);
    }
};

// A setting as the file holds it: integers in decimal, booleans as "1" and "0".
struct TValueText {
    const TSettings& Settings;

    std::string operator()(std::int32_t TSettings::*field) const {
        return std::to_string(Settings.*field);
    }
    std::string operator()(std::string TSettings::*field) const { return Settings.*field; }
    std::string operator()(std::uint8_t TSettings::*field) const {
        return std::to_string(Settings.*field);
    }
    std::string operator()(bool TSettings::*field) const { return Settings.*field ? "1" : "0"; }
};

}  // namespace

TSettings ReadSettings(const TIniFile& file) {
    TSettings settings;
    for (const TSettingKey& key : cSettingKeys)
        std::visit(TReadKey{file, key.Key, key.Range, settings}, key.Field);
    return settings;
}

TFileStatus WriteSettings(TIniFile& file, const TSettings& settings) {
    std::vector<TIniEntry> entries;
    entries.reserve(cSettingKeys.size());
    for (const TSettingKey& key : cSettingKeys)
        entries.push_back({std::string(key.Key), std::visit(TValueText{settings}, key.Field)});
    return file.WriteStrings(cSettingsSection, entries);
}

}  // namespace tavlor
