#include "platform/IniFile.h"
#include "platform/Win1252.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/platform/TempFolder.h"

namespace tavlor {
namespace {

using testing::ReadBytes;
using testing::TTempFolder;
using testing::WriteBytes;

// Each operation gives a text to compare: a value, a "|"-joined name list, "ok" or "failed".
using TOperation = std::function<std::string(TIniFile&)>;

std::string Outcome(const TFileStatus& status) {
    return status ? "ok" : "failed";
}

TOperation Read(std::string section, std::string key, std::string fallback = "(default)") {
    return [=](TIniFile& ini) { return ini.ReadString(section, key, fallback); };
}

// The section names, or the key names of `section`.
TOperation Names(std::optional<std::string> section = std::nullopt) {
    return [=](TIniFile& ini) {
        std::vector<std::string> names{"stale"};
        EXPECT_TRUE(section ? ini.ReadSection(*section, names) : ini.ReadSections(names));
        std::string joined;
        for (const std::string& name : names)
            joined += (joined.empty() ? "" : "|") + name;
        return joined;
    };
}

TOperation Write(std::string section, std::string key, std::string value) {
    return [=](TIniFile& ini) { return Outcome(ini.WriteString(section, key, value)); };
}

TOperation Erase(std::string section) {
    return [=](TIniFile& ini) { return Outcome(ini.EraseSection(section)); };
}

struct TProfileCase {
    const char* Name;
    std::optional<std::string> Before;  // nothing: no file
    TOperation Operation;
    std::string Result;
    std::optional<std::string> After = std::nullopt;  // nothing: as before
};

// clang-format off
const std::vector<TProfileCase> cProfileCases = {
    {"CR only", "[s]\rk=v\rj=w", Read("s", "j"), "w"},
    {"trimmed, any case", "  [ Name ]  \r\n\t key \t=\t v a l \t\r\n", Read(" name ", "KEY "), "v a l"},
    {"umlauts fold too", "[\xC4rger]\r\nk=1\r\n", Read("\xC3\xA4rger", "K"), "1"},
    {"header to last bracket", "[Se]c] tail\r\nk=1\r\n", Names(), "Se]c"},
    {"bracket without close", "[s]\r\n[abc=1\r\n", Read("s", "[abc"), "1"},
    {"first section wins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n", Read("s", "j"), "(default)"},
    {"first key wins", "[s]\r\nk=1\r\nK=2\r\n", Read("s", "k"), "1"},
    {"line without = hides later key", "[s]\r\nk\r\nk=2\r\n", Read("s", "k"), "(default)"},
    {"quotes keep blanks", "[s]\r\nk=' padded '\r\n", Read("s", "k"), " padded "},
    {"one pair only", "[s]\r\nk=\"\"x\"\"\r\n", Read("s", "k"), "\"x\""},
    {"unbalanced kept", "[s]\r\nk=\"x'\r\n", Read("s", "k"), "\"x'"},
    {"comment line is no key", "[s]\r\n;k=1\r\n", Read("s", ";k"), "(default)"},
    {"only ; at the start comments", "[s]\r\n#k=1 ; note\r\n", Read("s", "#k"), "1 ; note"},
    {"empty value found", "[s]\r\nk=\r\n", Read("s", "k"), ""},
    {"missing key", "[s]\r\nk=1\r\n", Read("s", "j"), "(default)"},
    {"missing file, default cut", std::nullopt, Read("s", "k", "  d  "), "  d"},
    {"empty section gives default", "k=1\r\n[]\r\nk=2\r\n", Read("", "k"), "(default)"},
    {"lines before first header unseen", "k=0\r\n[s]\r\nk=1\r\n", Read("s", "k"), "1"},
    {"value cut to 2047 characters", "[s]\r\nk=" + std::string(3000, '\xE4') + "\r\n", Read("s", "k"), Win1252ToUtf8(std::string(2047, '\xE4'))},
    {"Windows-1252 value", "[s]\r\nk=\x80 \xE4\x9F\r\n", Read("s", "k"), "\xE2\x82\xAC \xC3\xA4\xC5\xB8"},
    {"sections in order, duplicates too", "[a]\r\n[b]\r\n[A]\r\n", Names(), "a|b|A"},
    {"empty header not listed", "x=1\r\n[]\r\n[b]\r\n", Names(), "b"},
    {"keys: only lines with = and a name", "[s]\r\nk=1\r\nflag\r\n; c=1\r\n=v\r\nk=2\r\n[t]\r\nj=1\r\n", Names("S"), "k|k"},

    {"creates the file", std::nullopt, Write("App", "key", "v"), "ok", "[App]\r\nkey=v\r\n"},
    {"new key after last key", "[a]\r\nk=1\r\n[b]\r\nk=4\r\n", Write("A", "n", "2"), "ok", "[a]\r\nk=1\r\nn=2\r\n[b]\r\nk=4\r\n"},
    {"new section at the end", "[a]\r\nk=1\r\n", Write("b", "n", "2"), "ok", "[a]\r\nk=1\r\n[b]\r\nn=2\r\n"},
    {"existing key keeps spelling", "[s]\r\n  KeY = old \r\nz=1\r\n", Write("S", "key", "new"), "ok", "[s]\r\n  KeY =new\r\nz=1\r\n"},
    {"line without = gets its value", "[s]\r\nflag\r\n", Write("s", "FLAG", "1"), "ok", "[s]\r\nflag=1\r\n"},
    {"other bytes untouched", "; top\n[a]\nx = 1\n; note\n\n[b]\ny =  2\n", Write("a", "z", "3"), "ok", "; top\n[a]\nx = 1\n; note\nz=3\r\n\n[b]\ny =  2\n"},
    {"CR-only file", "[s]\rk=1\r", Write("s", "n", "2"), "ok", "[s]\rk=1\rn=2\r\n"},
    {"no final line break, section", "[s]\r\nk=1", Write("t", "n", "2"), "ok", "[s]\r\nk=1\r\n[t]\r\nn=2\r\n"},
    {"long value written whole", std::nullopt, Write("s", "k", std::string(3000, 'x')), "ok", "[s]\r\nk=" + std::string(3000, 'x') + "\r\n"},
    {"value keeps trailing blanks", "[s]\r\n", Write("s", "Move", "E2 - E4  "), "ok", "[s]\r\nMove=E2 - E4  \r\n"},
    {"new names keep trailing blanks", std::nullopt, Write(" Sec ", " MatQueen ", "9"), "ok", "[Sec ]\r\nMatQueen =9\r\n"},
    {"trailing blanks find the key", "[C]\r\nMatQueen=8\r\n", Write("C", "MatQueen ", "9"), "ok", "[C]\r\nMatQueen=9\r\n"},
    {"line breaks become blanks", "[s]\r\n", Write("s", "k", "a\r\nb\n[x]"), "ok", "[s]\r\nk=a  b [x]\r\n"},
    {"written as Windows-1252", std::nullopt, Write("s", "k", "\xE2\x82\xAC\xC3\xBC\xE4\xB8\xAD"), "ok", "[s]\r\nk=\x80\xFC?\r\n"},
    {"first of duplicate keys", "[s]\r\nk=1\r\nk=2\r\n", Write("s", "k", "3"), "ok", "[s]\r\nk=3\r\nk=2\r\n"},
    {"lines before first header kept", "k=0\r\n[s]\r\n", Write("s", "k", "1"), "ok", "k=0\r\n[s]\r\nk=1\r\n"},
    {"empty section name refused", "[s]\r\n", Write(" ", "k", "1"), "failed"},
    {"erase with comments and blanks", "[a]\r\nx=1\r\n; c\r\n\r\n[b]\r\ny=2\r\n", Erase(" A "), "ok", "[b]\r\ny=2\r\n"},
    {"erase last section", "[a]\r\nx=1\r\n[b]\r\ny=2", Erase("b"), "ok", "[a]\r\nx=1\r\n"},
    {"erase first of duplicates", "[a]\r\nx=1\r\n[A]\r\nx=2\r\n", Erase("a"), "ok", "[A]\r\nx=2\r\n"},
    {"erase missing section", "[a]\r\n", Erase("b"), "ok"},
    {"delete key", "[s]\r\nk=1\r\nj=2\r\n", [](TIniFile& ini) { return Outcome(ini.DeleteKey("s", "K")); }, "ok", "[s]\r\nj=2\r\n"},
};
// clang-format on

TEST(IniFile, ProfileRules) {
    for (const TProfileCase& row : cProfileCases) {
        SCOPED_TRACE(row.Name);
        TTempFolder folder;
        const std::string fileName = folder.File("test.ini");
        if (row.Before) WriteBytes(fileName, *row.Before);
        TIniFile ini(fileName);
        EXPECT_EQ(row.Operation(ini), row.Result);
        if (const auto after = row.After ? row.After : row.Before)
            EXPECT_EQ(ReadBytes(fileName), *after);
        else
            EXPECT_FALSE(testing::FileExists(fileName));
    }
}

// One locked replacement must leave exactly what erasing the section (for ReplaceSection) and
// writing the entries one by one leave, so that peers cannot tell the two apart.
TEST(IniFile, BatchWritesLeaveWhatSingleWritesLeave) {
    struct TRow {
        const char* Name;
        std::string Before;
        std::string Section;
        std::vector<TIniEntry> Entries;
    };
    // clang-format off
    const TRow rows[] = {
        {"no file, a key twice", "", "s", {{"k", "1"}, {" K ", "a\r\nb \xE4\xB8\xAD"}, {"j", "3"}}},
        {"section moves to the end", "[s]\r\nold=1\r\n[t]\r\nx=2", "S", {{"k", "1"}, {"j", " 2 "}}},
        {"no entries", "[s]\r\nk=1\r\n[t]\r\n", "s", {}},
        {"a second section of the name takes the entries",
         "[s]\r\nk=1\r\n[S]\r\n  K = 7 \r\nflag\r\nz=1\r\n\r\n[t]\r\n", "s",
         {{"k", "2"}, {"n", "3"}, {"FLAG", "4"}, {"z", "1"}, {"m", "5"}}},
        {"into a last section without final line break", "[s]\r\n[s]\r\nz=1", "s", {{"n", "3"}, {"z", "2"}}},
    };
    // clang-format on
    for (const TRow& row : rows)
        for (const bool erase : {true, false}) {
            SCOPED_TRACE(std::string(row.Name) + (erase ? ", replaced" : ", written"));
            TTempFolder folder;
            const std::string batch = folder.File("batch.ini");
            const std::string single = folder.File("single.ini");
            if (!row.Before.empty()) {
                WriteBytes(batch, row.Before);
                WriteBytes(single, row.Before);
            }
            TIniFile ini(batch);
            ASSERT_TRUE(erase ? ini.ReplaceSection(row.Section, row.Entries)
                              : ini.WriteStrings(row.Section, row.Entries));
            TIniFile one(single);
            if (erase) {
                ASSERT_TRUE(one.EraseSection(row.Section));
            }
            for (const TIniEntry& entry : row.Entries)
                ASSERT_TRUE(one.WriteString(row.Section, entry.Key, entry.Value));
            EXPECT_EQ(ReadBytes(batch), ReadBytes(single));
        }

    // A nameless key refuses the whole write: the section is not erased either.
    TTempFolder folder;
    const std::string fileName = folder.File("kept.ini");
    WriteBytes(fileName, "[s]\r\nk=1\r\n");
    TIniFile ini(fileName);
    EXPECT_FALSE(ini.ReplaceSection("s", {{"j", "2"}, {" ", "3"}}));
    EXPECT_FALSE(ini.WriteStrings("s", {{"j", "2"}, {"", "3"}}));
    EXPECT_EQ(ReadBytes(fileName), "[s]\r\nk=1\r\n");
}

// Only a reader's share of a value is worth writing; what it reads back stays the same.
TEST(IniFile, ValuesCutToWhatAReaderKeeps) {
    const std::string a2047(2047, 'a');
    const std::string a3000(3000, 'a');
    const std::pair<std::string, std::string> rows[] = {
        {"  \"" + a2047 + "\"  ", "  \"" + a2047 + "\"  "},
        {"   " + a3000 + "   ", a2047},
        {"'" + a3000 + "'", "'" + a2047 + "'"},
        {"\xC3\xA4" + a3000, "\xC3\xA4" + a2047.substr(1)},
    };
    for (const auto& [value, cut] : rows) {
        EXPECT_EQ(ProfileValueCutToReadLimit(value), cut) << value.size();
        EXPECT_EQ(ProfileValueReadBack(cut), ProfileValueReadBack(value)) << value.size();
    }
}

// Anyone who can write to a shared folder can put a FIFO where a profile file is expected.
TEST(IniFile, NonRegularFilesAreRefusedWithoutWaiting) {
    TTempFolder folder;
    const std::string fifo = folder.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    TIniFile ini(fifo);
    std::string bytes;
    for (const auto& call : std::vector<std::function<TFileStatus()>>{
             [&] { return ini.ReadString("s", "k", "d", bytes); },
             [&] { return ini.WriteString("s", "k", "v"); },
             [&] { return ReadFileBytes(fifo, bytes); }}) {
        TFileStatus status;
        ASSERT_TRUE(testing::ReturnsWithoutWaitingOn(fifo, [&] { status = call(); }));
        EXPECT_NE(status.Message.find("keine gewöhnliche Datei"), std::string::npos)
            << status.Message;
    }
}

// The file may grow up to the size its readers take, not a byte further, and a refused write
// leaves it as it was. (Files of this size are slow on some machines: few operations here.)
TEST(IniFile, NoWriteMakesTheFileTooLargeToRead) {
    TTempFolder folder;
    const std::string fileName = folder.File("large.ini");
    const std::string head = "[s]\r\nk=";
    const auto limit = static_cast<std::size_t>(cMaxTextFileSize);
    const std::string bytes = head + std::string(limit - 4 - head.size() - 2, 'x') + "\r\n";
    WriteBytes(fileName, bytes);
    TIniFile ini(fileName, TDurability::dbAtomicOnly);
    const TFileStatus beyond = ini.WriteString("s", "g", "1");  // "g=1\r\n": one byte beyond
    EXPECT_FALSE(beyond);
    EXPECT_NE(beyond.Message.find("zu groß"), std::string::npos) << beyond.Message;
    EXPECT_EQ(std::filesystem::file_size(fileName), limit - 4);
    EXPECT_TRUE(ini.WriteString("s", "g", ""));  // "g=\r\n": exactly the limit
    std::vector<std::string> keys;
    EXPECT_TRUE(ini.ReadSection("s", keys));
    EXPECT_EQ(keys, (std::vector<std::string>{"k", "g"}));
    // A file beyond the limit (written by something else) is refused, not read.
    WriteBytes(fileName, bytes + "12345");
    EXPECT_FALSE(ini.ReadSection("s", keys));
}

// A writer killed between creating its temporary file and renaming it leaves the file behind in
// a shared folder; the next write removes it once it is a minute old, and nothing else.
TEST(IniFile, StaleTemporaryFilesAreRemoved) {
    TTempFolder folder;
    const std::string fileName = folder.File("shared.ini");
    const auto make = [&](const std::string& name, int ageSeconds) {
        const std::string path = folder.File(name);
        WriteBytes(path, "[s]\r\n");
        const timespec times[2] = {{time(nullptr) - ageSeconds, 0},
                                   {time(nullptr) - ageSeconds, 0}};
        EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        return path;
    };
    const std::string stale = make(".shared.ini.4711-3-99.tmp", 120);
    const std::vector<std::string> kept = {
        make(".shared.ini.4711-4-99.tmp", 5),   // a writer at work
        make(".other.ini.4711-3-99.tmp", 120),  // another file's
        make(".shared.ini.backup.tmp", 120),    // not one of ours
        make("shared.ini.4711-3-99.tmp", 120),
    };
    ASSERT_TRUE(TIniFile(fileName).WriteString("s", "k", "v"));
    EXPECT_FALSE(testing::FileExists(stale));
    for (const std::string& path : kept)
        EXPECT_TRUE(testing::FileExists(path)) << path;
}

TEST(IniFile, NameListsFillTheirBuffer) {
    TTempFolder folder;
    const std::string fileName = folder.File("many.ini");
    // 999 characters plus the zero take 1000 bytes: 16 names fit, the 17th keeps what is left
    // of 16384 bytes after its zero and the closing zero, the rest is not seen.
    std::string bytes;
    for (char first = 'a'; first < 'u'; ++first)
        bytes.append("[").append(1, first).append(998, 'n').append("]\r\n");
    WriteBytes(fileName, bytes);
    std::vector<std::string> names;
    ASSERT_TRUE(TIniFile(fileName).ReadSections(names));
    ASSERT_EQ(names.size(), 17u);
    EXPECT_EQ(names[15].size(), 999u);
    EXPECT_EQ(names[16], std::string("q").append(381, 'n'));
}

TEST(IniFile, FailuresAreValuesNamingTheFile) {
    TTempFolder folder;
    // A folder where the file should be, and a file where a folder should be.
    const std::string asFolder = folder.File("folder.ini");
    ASSERT_EQ(mkdir(asFolder.c_str(), 0755), 0);
    WriteBytes(folder.File("plain"), "x");
    for (const std::string& name : {asFolder, folder.File("plain") + "/x.ini"}) {
        const TFileStatus written = TIniFile(name).WriteString("s", "k", "v");
        EXPECT_FALSE(written);
        EXPECT_NE(written.Message.find("\"" + name + "\" kann nicht geschrieben"),
                  std::string::npos)
            << written.Message;
    }
    std::string value;
    const TFileStatus read = TIniFile(asFolder).ReadString("s", "k", "d", value);
    EXPECT_FALSE(read);
    EXPECT_EQ(value, "d");
    EXPECT_NE(read.Message.find("gelesen"), std::string::npos);
}

// A write replaces the file (a reader never sees half of it), keeps its mode, writes through a
// symbolic link instead of replacing the link, and leaves the file alone when nothing changes.
TEST(IniFile, ReplacesTheFileKeepingModeAndLink) {
    TTempFolder folder;
    const std::string target = folder.File("real.ini");
    const std::string link = folder.File("link.ini");
    WriteBytes(target, "[s]\r\n");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    const auto info = [](const std::string& name) {
        struct stat result {};
        EXPECT_EQ(lstat(name.c_str(), &result), 0);
        return result;
    };
    const ino_t before = info(target).st_ino;
    TIniFile ini(link);
    ASSERT_TRUE(ini.WriteString("s", "k", "v"));
    EXPECT_EQ(ReadBytes(target), "[s]\r\nk=v\r\n");
    EXPECT_TRUE(S_ISLNK(info(link).st_mode));
    const struct stat after = info(target);
    EXPECT_NE(after.st_ino, before);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    ASSERT_TRUE(ini.WriteString("s", "K", "v"));
    EXPECT_EQ(info(target).st_ino, after.st_ino);
}

TEST(IniFile, ProfileIntegers) {
    // clang-format off
    const std::pair<const char*, std::optional<std::int32_t>> rows[] = {
        {"42", 42}, {"-7", -7}, {"+7", 7}, {"007", 7}, {"0x1F", 31}, {"0X1f", 31}, {"$10", 16},
        {"0xFFFFFFFF", -1}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"0x100000000", std::nullopt}, {"2147483648", std::nullopt}, {"", std::nullopt},
        {"0x", std::nullopt}, {"12abc", std::nullopt}, {"- 1", std::nullopt},
    };
    // clang-format on
    for (const auto& [text, value] : rows)
        EXPECT_EQ(ParseProfileInteger(text), value) << text;
}

}  // namespace
}  // namespace tavlor
