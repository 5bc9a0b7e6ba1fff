// A profile (INI) file as another program or a person left it: every section, key and value read,
// the settings read, then written to a fresh file and read again, and one value of the file
// itself rewritten without disturbing any other.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"

using namespace tavlor;

namespace {

// Enough to reach every part of the small files the fuzzer makes without reading each one
// a thousand times.
constexpr std::size_t cMaxSections = 8;
constexpr std::size_t cMaxKeys = 16;
// Every write rewrites the file; a few values show whether they come back.
constexpr std::size_t cMaxWrittenValues = 6;

using TEntries = std::vector<std::tuple<std::string, std::string, std::string>>;

// Every (section, key, value) that the first section and the first key of each name give.
TEntries ReadEntries(const TIniFile& file) {
    std::vector<std::string> sections;
    fuzz::Check(static_cast<bool>(file.ReadSections(sections)), "sections unreadable");
    TEntries entries;
    std::vector<std::string> keys;
    std::string value;
    for (std::size_t s = 0; s < sections.size() && s < cMaxSections; ++s) {
        fuzz::Check(static_cast<bool>(file.ReadSection(sections[s], keys)), "keys unreadable");
        for (std::size_t k = 0; k < keys.size() && k < cMaxKeys; ++k) {
            // The profile calls take names as C strings: a name with a zero byte can be listed
            // but never asked for, and the layer writes the byte as a blank.
            if (sections[s].find('\0') != std::string::npos ||
                keys[k].find('\0') != std::string::npos)
                continue;
            fuzz::Check(static_cast<bool>(file.ReadString(sections[s], keys[k], "", value)),
                        "value unreadable");
            fuzz::Check(value.size() <= 4 * TIniFile::cMaxValueLength, "value too long");
            entries.emplace_back(sections[s], keys[k], value);
            static_cast<void>(file.ReadInteger(sections[s], keys[k], 7));
        }
    }
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::InputText(data, size);
    TIniFile file(fuzz::ScratchFile("read.INI", bytes));
    const TEntries entries = ReadEntries(file);

    // The settings as the program keeps them survive a write and a read.
    const TSettings settings = ReadSettings(file);
    TIniFile fresh(fuzz::ScratchFile("fresh.INI", ""));
    fuzz::Check(static_cast<bool>(WriteSettings(fresh, settings)), "settings not written");
    TSettings expected = settings;
    for (std::string* text : {&expected.BitmapSet, &expected.NetworkPath, &expected.PlayerName})
        *text = ProfileValueReadBack(*text);
    fuzz::Check(ReadSettings(fresh) == expected, "settings differ after writing");

    // Each value read, written under a key of the program's own, reads back as the profile layer
    // promises.
    for (std::size_t i = 0; i < entries.size() && i < cMaxWrittenValues; ++i) {
        const std::string& value = std::get<2>(entries[i]);
        const std::string key = "Key" + std::to_string(i);
        fuzz::Check(static_cast<bool>(fresh.WriteString("Values", key, value)), "not written");
        fuzz::Check(fresh.ReadString("Values", key, "") == ProfileValueReadBack(value),
                    "value differs after writing", value);
    }

    // Rewriting one value keeps every other entry as it was; another spelling of the same key
    // (names match without regard to case) reads the new value.
    if (entries.empty()) return 0;
    const auto& [section, key, value] = entries.front();
    fuzz::Check(static_cast<bool>(file.WriteString(section, key, "Tavlor")), "rewrite failed");
    fuzz::Check(file.ReadString(section, key, "") == "Tavlor", "rewritten value differs", key);
    for (const auto& [otherSection, otherKey, otherValue] : entries) {
        const std::string now = file.ReadString(otherSection, otherKey, "");
        if (now == otherValue || now == "Tavlor") continue;
        // NOLINTNEXTLINE(performance-inefficient-string-concatenation): once, before the abort
        const auto change = otherSection + " / " + otherKey + ": " + otherValue + " -> " + now;
        fuzz::Fail("rewriting one value changed another", change);
    }
    return 0;
}
