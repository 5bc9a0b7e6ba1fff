#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileAccess.h"

namespace tavlor {

// Profile ("INI") access to one file, read and written the way the Windows profile calls do it,
// because the settings file and the network transfer file are shared with copies of the program
// on other machines and edited by hand.
//
// Every call reads the whole file (and a write rewrites it); nothing is cached, since peers write
// the same file between two calls. A call holds an advisory lock on the file meanwhile (shared to
// read, exclusive to change it) and replaces the file atomically, so two programs never lose each
// other's writes and a crash never leaves half a file.
//
// Reading: lines end at CR, LF or CRLF and are trimmed; "[name]" starts a section (the name runs to
// the last "]"); "key=value" with both sides trimmed; one pair of matching quotes around a value
// is removed; ";" lines are comments; names are compared trimmed and without regard to case, and
// the first match wins. Writing changes only the line it edits (or adds one) and keeps every other
// byte: an existing key keeps its spelling, a new key follows the last line of its section, a new
// section goes to the end; new lines end in CRLF.
//
// Names and values are UTF-8 here and Windows-1252 in the file. A missing file reads as empty; a
// name that is not a regular file (a FIFO, a device, a folder) is refused without waiting on it.
// No write makes the file larger than cMaxTextFileSize, the most any reader takes.

// One key and its value.
struct TIniEntry {
    std::string Key;
    std::string Value;

    bool operator==(const TIniEntry&) const = default;
};

class TIniFile {
public:
    // A value arrives with at most this many characters (the profile calls' 2048-byte buffer).
    static constexpr std::size_t cMaxValueLength = 2047;
    // A list of names, each ended by a zero byte plus one closing zero, fills at most this many
    // bytes; the name that does not fit is cut and later names are not seen.
    static constexpr std::size_t cNameListBufferSize = 16384;

    // A settings file should survive a power failure once written (dbOnDisk); a file that peers
    // rewrite many times a second only needs readers never to see half of it (dbAtomicOnly).
    explicit TIniFile(std::string fileName, TDurability durability = TDurability::dbOnDisk)
        : FFileName(std::move(fileName)), FDurability(durability) {}

    const std::string& FileName() const { return FFileName; }
    TDurability Durability() const { return FDurability; }

    // The section names in file order, duplicates included.
    TFileStatus ReadSections(std::vector<std::string>& sections) const;
    // The key names of the first section of that name; empty if there is none.
    TFileStatus ReadSection(std::string_view section, std::vector<std::string>& keys) const;
    // The value, or `defaultValue` (without its trailing blanks) if section or key is missing.
    TFileStatus ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::string& value) const;
    // The same, giving the default also when the file cannot be read.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Every "key=value" line of the first section of that name, in file order, duplicates
    // included, each value as ReadString gives it; one read of the file for all of them.
    TFileStatus ReadSectionValues(std::string_view section, std::vector<TIniEntry>& entries) const;

    // Creates or replaces the key, creating section and file as needed. Line breaks in any of the
    // three texts would inject lines into the file and are written as blanks.
    TFileStatus WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Writes the entries into the section in one locked replacement of the file, leaving it byte
    // for byte as one WriteString per entry would. A nameless key or section writes nothing.
    TFileStatus WriteStrings(std::string_view section, const std::vector<TIniEntry>& entries);
    // Erases the first section of that name and writes the entries into a section of that name,
    // all in one locked replacement of the file: readers see the old section or the whole new one,
    // and the file ends up byte for byte as EraseSection and one WriteString per entry leave it.
    // Without entries it only erases. A nameless key or section writes nothing and fails.
    TFileStatus ReplaceSection(std::string_view section, const std::vector<TIniEntry>& entries);
    // Removes the first line of that key; a missing key or file is no failure.
    TFileStatus DeleteKey(std::string_view section, std::string_view key);
    // Removes the first section of that name: its header and every line up to the next header.
    TFileStatus EraseSection(std::string_view section);

    // Integers as Delphi programs store them: decimal, or hexadecimal after "0x"; a missing key
    // or a value that is not a 32-bit number gives the default.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    TFileStatus WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    // Any integer but 0 is true; written as "1" or "0".
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    TFileStatus WriteBool(std::string_view section, std::string_view key, bool value);

private:
    // Reads the file under a shared lock; a missing file gives empty bytes.
    TFileStatus Load(std::string& bytes) const;
    // Reads, edits and replaces the file under an exclusive lock. `edit` changes the bytes and
    // tells whether it changed anything; an unchanged file is not rewritten.
    TFileStatus Update(const std::function<bool(std::string& bytes)>& edit);
    TFileStatus WriteEntries(std::string_view section, const std::vector<TIniEntry>& entries,
                             bool eraseFirst);
    // Reads the file once and hands every "key=value" line of the first section of that name to
    // `visit`, with the key and the value as the file holds them (trimmed, Windows-1252).
    TFileStatus ForEachValueLine(
        std::string_view section,
        const std::function<void(std::string_view key, std::string_view value)>& visit) const;

    std::string FFileName;
    TDurability FDurability;
};

// What ReadString gives back for a value that WriteString wrote: one line, trimmed, one pair of
// enclosing quotes removed, cut to cMaxValueLength, characters without a Windows-1252 form as "?".
std::string ProfileValueReadBack(std::string_view value);

// A value cut so that it holds no more than a reader keeps (cMaxValueLength characters after
// the blanks and one pair of quotes that reading removes); a value within that comes back as it
// is. Writing more only makes the file larger.
std::string ProfileValueCutToReadLimit(std::string_view value);

// How a section or key name that was written shows in ReadSections and ReadSection: trimmed, with
// characters without a Windows-1252 form as "?".
std::string ProfileNameAsListed(std::string_view name);

// Reads an integer the way ReadInteger does: an optional sign, then decimal digits or "0x" (or
// Delphi's "$") and up to 32 bits of hexadecimal digits; nothing when the text is not one.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

}  // namespace tavlor
