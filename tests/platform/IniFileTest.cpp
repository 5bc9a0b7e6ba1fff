#include "platform/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

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

std::string Join(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : "|") + name;
    return joined;
}

// Each operation gives a text to compare: a value, a "|"-joined list, or "ok" / the failure.
using TOperation = std::function<std::string(TIniFile&)>;

TOperation Read(std::string section, std::string key, std::string fallback = "(default)") {
    return [=](TIniFile& ini) {
        std::string value;
        const TFileStatus status = ini.ReadString(section, key, fallback, value);
        return status ? value : status.Message;
    };
}

TOperation Sections() {
    return [](TIniFile& ini) {
        std::vector<std::string> names;
        const TFileStatus status = ini.ReadSections(names);
        return status ? Join(names) : status.Message;
    };
}

TOperation Keys(std::string section) {
    return [=](TIniFile& ini) {
        std::vector<std::string> names{"stale"};
        const TFileStatus status = ini.ReadSection(section, names);
        return status ? Join(names) : status.Message;
    };
}

std::string Outcome(const TFileStatus& status) {
    return status ? "ok" : "failed";
}

TOperation Write(std::string section, std::string key, std::string value) {
    return [=](TIniFile& ini) { return Outcome(ini.WriteString(section, key, value)); };
}

TOperation Erase(std::string section) {
    return [=](TIniFile& ini) { return Outcome(ini.EraseSection(section)); };
}

TOperation Delete(std::string section, std::string key) {
    return [=](TIniFile& ini) { return Outcome(ini.DeleteKey(section, key)); };
}

struct TProfileCase {
    const char* Name;
    std::optional<std::string> Before;  // nothing: no file
    TOperation Operation;
    std::string Result;
    std::optional<std::string> After;  // nothing: no file; the same bytes as Before for reads
};

const std::string cThreeSections =
    "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\n"
    "name4=a\r\n[section2]\r\n[section3]\r\n=val5\r\n";

// clang-format off
const std::vector<TProfileCase> cReadCases = {
    {"CR only", "[s]\rk=v\rj=w", Read("s", "j"), "w", {}},
    {"LF and mixed", "[s]\nk=v\r\nj=w\n", Read("s", "j"), "w", {}},
    {"lines and names trimmed", "  [ Name ]  \r\n\t key \t=\t v a l \t\r\n", Read(" name ", "KEY "), "v a l", {}},
    {"header to last bracket", "[Se]c] tail\r\nk=1\r\n", Sections(), "Se]c", {}},
    {"bracket without close", "[s]\r\n[abc=1\r\n", Read("s", "[abc"), "1", {}},
    {"case-insensitive", cThreeSections, Read("SECTION1", "NaMe1"), "val1", {}},
    {"umlauts fold too", "[\xC4rger]\r\nk=1\r\n", Read("\xC3\xA4rger", "K"), "1", {}},
    {"first section wins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n", Read("s", "j"), "(default)", {}},
    {"first key wins", "[s]\r\nk=1\r\nK=2\r\n", Read("s", "k"), "1", {}},
    {"line without = hides later key", "[s]\r\nk\r\nk=2\r\n", Read("s", "k"), "(default)", {}},
    {"quotes removed", "[s]\r\nk=\"x\"\r\n", Read("s", "k"), "x", {}},
    {"single quotes removed", "[s]\r\nk='x'\r\n", Read("s", "k"), "x", {}},
    {"one pair only", "[s]\r\nk=\"\"x\"\"\r\n", Read("s", "k"), "\"x\"", {}},
    {"outer quotes of two", "[s]\r\nk=\"a\" \"b\"\r\n", Read("s", "k"), "a\" \"b", {}},
    {"unbalanced kept", "[s]\r\nk=\"x'\r\n", Read("s", "k"), "\"x'", {}},
    {"lone quote kept", "[s]\r\nk=\"\r\n", Read("s", "k"), "\"", {}},
    {"quotes keep blanks", "[s]\r\nk=\" padded \"\r\n", Read("s", "k"), " padded ", {}},
    {"comment line is no key", "[s]\r\n;k=1\r\n", Read("s", ";k"), "(default)", {}},
    {"hash is no comment", "[s]\r\n#k=1\r\n", Read("s", "#k"), "1", {}},
    {"semicolon inside value", "[s]\r\nk=1 ; note\r\n", Read("s", "k"), "1 ; note", {}},
    {"empty value found", "[s]\r\nk=\r\n", Read("s", "k"), "", {}},
    {"missing key", "[s]\r\nk=1\r\n", Read("s", "j"), "(default)", {}},
    {"missing section", "[s]\r\nk=1\r\n", Read("t", "k"), "(default)", {}},
    {"missing file", std::nullopt, Read("s", "k"), "(default)", std::nullopt},
    {"default loses trailing blanks only", std::nullopt, Read("s", "k", "  d  "), "  d", std::nullopt},
    {"empty key gives default", cThreeSections, Read("section1", " "), "(default)", {}},
    {"empty section gives default", "k=1\r\n[]\r\nk=2\r\n", Read("", "k"), "(default)", {}},
    {"lines before first header unseen", "k=0\r\n[s]\r\nk=1\r\n", Read("s", "k"), "1", {}},
    {"Windows-1252 value", "[s]\r\nk=\x80 \xE4\x9F\r\n", Read("s", "k"), "\xE2\x82\xAC \xC3\xA4\xC5\xB8", {}},
    {"section names in order", cThreeSections, Sections(), "section1|section2|section3", {}},
    {"duplicate sections repeated", "[a]\r\n[b]\r\n[A]\r\n", Sections(), "a|b|A", {}},
    {"empty header not listed", "x=1\r\n[]\r\n[b]\r\n", Sections(), "b", {}},
    {"no sections of a missing file", std::nullopt, Sections(), "", std::nullopt},
    {"keys skip lines without =", cThreeSections, Keys("Section1"), "name1|name2|name4", {}},
    {"keys skip comments and empty names", "[s]\r\n; c=1\r\n=v\r\nk=1\r\nk=2\r\n", Keys("s"), "k|k", {}},
    {"keys of an empty section", cThreeSections, Keys("section2"), "", {}},
    {"keys of a missing section", cThreeSections, Keys("section9"), "", {}},
};

const std::vector<TProfileCase> cWriteCases = {
    {"creates the file", std::nullopt, Write("App", "key", "string"), "ok",
     "[App]\r\nkey=string\r\n"},
    {"empty value", std::nullopt, Write("App", "key", ""), "ok", "[App]\r\nkey=\r\n"},
    {"new key after last key", "[App1]\r\nkey1=string1\r\n[App2]\r\nkey4=string4\r\n",
     Write("app1", "key2", "string2"), "ok",
     "[App1]\r\nkey1=string1\r\nkey2=string2\r\n[App2]\r\nkey4=string4\r\n"},
    {"new section at the end", "[App1]\r\nkey1=string1\r\n", Write("App3", "key5", "string5"), "ok",
     "[App1]\r\nkey1=string1\r\n[App3]\r\nkey5=string5\r\n"},
    {"existing key keeps spelling", "[s]\r\n  KeY = old \r\nz=1\r\n", Write("S", "key", "new"), "ok",
     "[s]\r\n  KeY =new\r\nz=1\r\n"},
    {"line without = gets its value", "[s]\r\nflag\r\n", Write("s", "FLAG", "1"), "ok",
     "[s]\r\nflag=1\r\n"},
    {"other bytes untouched", "; top\n[a]\nx = 1\n; note\n\n[b]\ny =  2\n", Write("a", "z", "3"), "ok",
     "; top\n[a]\nx = 1\n; note\nz=3\r\n\n[b]\ny =  2\n"},
    {"CR-only file", "[s]\rk=1\r", Write("s", "n", "2"), "ok", "[s]\rk=1\rn=2\r\n"},
    {"no final line break, key", "[s]\r\nk=1", Write("s", "n", "2"), "ok", "[s]\r\nk=1\r\nn=2\r\n"},
    {"no final line break, section", "[s]\r\nk=1", Write("t", "n", "2"), "ok",
     "[s]\r\nk=1\r\n[t]\r\nn=2\r\n"},
    {"header without line break", "[s]", Write("s", "n", "2"), "ok", "[s]\r\nn=2\r\n"},
    {"value keeps trailing blanks", "[s]\r\n", Write("s", "Move", "E2 - E4  "), "ok",
     "[s]\r\nMove=E2 - E4  \r\n"},
    {"new names keep trailing blanks", std::nullopt, Write(" Sec ", " MatQueen ", "900"), "ok",
     "[Sec ]\r\nMatQueen =900\r\n"},
    {"trailing blanks find the key", "[COMMON]\r\nMatQueen=800\r\n", Write("COMMON", "MatQueen ", "900"),
     "ok", "[COMMON]\r\nMatQueen=900\r\n"},
    {"key blanks stay on rewrite", "[COMMON]\r\nMatRook  =1\r\n", Write("COMMON", "MatRook", "475"),
     "ok", "[COMMON]\r\nMatRook  =475\r\n"},
    {"line breaks become blanks", "[s]\r\n", Write("s", "k", "a\r\nb\n[x]"), "ok",
     "[s]\r\nk=a  b [x]\r\n"},
    {"UTF-8 written as Windows-1252", std::nullopt, Write("s", "k", "\xE2\x82\xAC\xC3\xBC\xE4\xB8\xAD"),
     "ok", "[s]\r\nk=\x80\xFC?\r\n"},
    {"first of duplicate keys", "[s]\r\nk=1\r\nk=2\r\n", Write("s", "k", "3"), "ok",
     "[s]\r\nk=3\r\nk=2\r\n"},
    {"lines before first header kept", "k=0\r\n[s]\r\n", Write("s", "k", "1"), "ok",
     "k=0\r\n[s]\r\nk=1\r\n"},
    {"empty section name refused", "[s]\r\n", Write(" ", "k", "1"), "failed", "[s]\r\n"},
    {"empty key refused", std::nullopt, Write("s", "", "1"), "failed", std::nullopt},
    {"erase with comments and blanks", "[a]\r\nx=1\r\n; c\r\n\r\n[b]\r\ny=2\r\n", Erase(" A "), "ok",
     "[b]\r\ny=2\r\n"},
    {"erase last section", "[a]\r\nx=1\r\n[b]\r\ny=2", Erase("b"), "ok", "[a]\r\nx=1\r\n"},
    {"erase everything", "[a]\r\nx=1\r\n", Erase("a"), "ok", ""},
    {"erase first of duplicates", "[a]\r\nx=1\r\n[A]\r\nx=2\r\n", Erase("a"), "ok", "[A]\r\nx=2\r\n"},
    {"erase missing section", "[a]\r\n", Erase("b"), "ok", "[a]\r\n"},
    {"erase in missing file", std::nullopt, Erase("b"), "ok", ""},
    {"delete key", "[s]\r\nk=1\r\nj=2\r\n", Delete("s", "K"), "ok", "[s]\r\nj=2\r\n"},
    {"delete last key keeps header", "[App3]\r\nkey5=string5\r\n", Delete("App3", "key5"), "ok",
     "[App3]\r\n"},
    {"delete missing key", "[s]\r\nk=1\r\n", Delete("s", "x"), "ok", "[s]\r\nk=1\r\n"},
};
// clang-format on

void RunCases(const std::vector<TProfileCase>& cases, bool reading) {
    for (const TProfileCase& row : cases) {
        SCOPED_TRACE(row.Name);
        TTempFolder folder;
        const std::string fileName = folder.File("test.ini");
        if (row.Before) WriteBytes(fileName, *row.Before);
        TIniFile ini(fileName);
        EXPECT_EQ(row.Operation(ini), row.Result);
        const std::optional<std::string> expected = reading ? row.Before : row.After;
        if (expected)
            EXPECT_EQ(ReadBytes(fileName), *expected);
        else
            EXPECT_FALSE(testing::FileExists(fileName));
    }
}

TEST(IniFile, ReadingRules) {
    RunCases(cReadCases, true);
}

TEST(IniFile, WritingRules) {
    RunCases(cWriteCases, false);
}

TEST(IniFile, WrittenFileFromScratch) {
    TTempFolder folder;
    TIniFile ini(folder.File("build.ini"));
    ASSERT_TRUE(ini.WriteString("App1", "key1", "string1"));
    ASSERT_TRUE(ini.WriteString("App1", "key2", "string2"));
    ASSERT_TRUE(ini.WriteString("App1", "key3", "string3"));
    ASSERT_TRUE(ini.WriteString("App2", "key4", "string4"));
    ASSERT_TRUE(ini.WriteString("App3", "key5", "string5"));
    EXPECT_EQ(ReadBytes(ini.FileName()),
              "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n"
              "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");
    EXPECT_EQ(ini.ReadString("APP2", "KEY4", ""), "string4");
}

TEST(IniFile, LongValueArrivesCut) {
    TTempFolder folder;
    TIniFile ini(folder.File("long.ini"));
    const std::string value(3000, 'x');
    ASSERT_TRUE(ini.WriteString("s", "k", value));
    EXPECT_EQ(ReadBytes(ini.FileName()), "[s]\r\nk=" + value + "\r\n");
    EXPECT_EQ(ini.ReadString("s", "k", ""), value.substr(0, TIniFile::cMaxValueLength));
    // The cut counts file characters, not UTF-8 bytes.
    std::string umlauts;
    for (int i = 0; i < 3000; ++i)
        umlauts += "\xC3\xA4";
    ASSERT_TRUE(ini.WriteString("s", "k", umlauts));
    EXPECT_EQ(ini.ReadString("s", "k", "").size(), 2 * TIniFile::cMaxValueLength);
}

TEST(IniFile, NameListsFillTheirBuffer) {
    TTempFolder folder;
    const std::string fileName = folder.File("many.ini");
    // 999 characters plus the zero take 1000 bytes: 16 names fit, the 17th keeps what is left
    // of 16384 bytes after its zero and the closing zero, the rest is not seen.
    std::string bytes;
    std::string keys = "[keys]\r\n";
    for (int i = 0; i < 20; ++i) {
        const std::string name = std::string(1, static_cast<char>('a' + i)) + std::string(998, 'n');
        bytes += "[" + name + "]\r\n";
        keys += name + "=1\r\n";
    }
    WriteBytes(fileName, bytes + keys);
    TIniFile ini(fileName);
    for (const bool sections : {true, false}) {
        std::vector<std::string> names;
        ASSERT_TRUE(sections ? ini.ReadSections(names) : ini.ReadSection("keys", names));
        ASSERT_EQ(names.size(), 17u);
        EXPECT_EQ(names[15].size(), 999u);
        EXPECT_EQ(names[16], "q" + std::string(381, 'n'));
    }
}

TEST(IniFile, FailuresAreValuesNamingTheFile) {
    TTempFolder folder;
    // A folder where the file should be, and a file where a folder should be.
    const std::string asFolder = folder.File("folder.ini");
    ASSERT_EQ(mkdir(asFolder.c_str(), 0755), 0);
    const std::string underFile = folder.File("plain") + "/x.ini";
    WriteBytes(folder.File("plain"), "x");
    for (const std::string& name : {asFolder, underFile}) {
        SCOPED_TRACE(name);
        TIniFile ini(name);
        const TFileStatus written = ini.WriteString("s", "k", "v");
        EXPECT_FALSE(written);
        EXPECT_NE(written.Message.find("\"" + name + "\""), std::string::npos) << written.Message;
        EXPECT_NE(written.Message.find("geschrieben"), std::string::npos);
        EXPECT_FALSE(ini.EraseSection("s"));
    }
    TIniFile ini(asFolder);
    std::string value;
    const TFileStatus read = ini.ReadString("s", "k", "d", value);
    EXPECT_FALSE(read);
    EXPECT_EQ(value, "d");
    EXPECT_NE(read.Message.find("gelesen"), std::string::npos);
    EXPECT_EQ(ini.ReadString("s", "k", "d"), "d");
}

TEST(IniFile, ReplacesTheFileAndKeepsItsMode) {
    TTempFolder folder;
    const std::string fileName = folder.File("mode.ini");
    WriteBytes(fileName, "[s]\r\n");
    ASSERT_EQ(chmod(fileName.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(stat(fileName.c_str(), &before), 0);
    TIniFile ini(fileName);
    ASSERT_TRUE(ini.WriteString("s", "k", "v"));
    struct stat after {};
    ASSERT_EQ(stat(fileName.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    // An unchanged value does not rewrite the file.
    ASSERT_TRUE(ini.WriteString("s", "K", "v"));
    struct stat again {};
    ASSERT_EQ(stat(fileName.c_str(), &again), 0);
    EXPECT_EQ(again.st_ino, after.st_ino);
}

TEST(IniFile, WritesThroughASymbolicLink) {
    TTempFolder folder;
    const std::string target = folder.File("real.ini");
    const std::string link = folder.File("link.ini");
    WriteBytes(target, "[s]\r\n");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    TIniFile ini(link);
    ASSERT_TRUE(ini.WriteString("s", "k", "v"));
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadBytes(target), "[s]\r\nk=v\r\n");
}

// The predictions that let a caller compare what it sent with what a peer will read.
TEST(IniFile, ReadBackPredictions) {
    TTempFolder folder;
    TIniFile ini(folder.File("predict.ini"));
    const std::vector<std::string> texts = {"plain",
                                            "  blanks  ",
                                            "\"quoted \"",
                                            "'x'",
                                            "\"",
                                            "Zeile\r\nzwei",
                                            "\xE2\x82\xAC \xE4\xB8\xAD",
                                            std::string(2100, 'x'),
                                            "tab\t",
                                            ""};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 20));
        ASSERT_TRUE(ini.WriteString("s", "k", text));
        EXPECT_EQ(ini.ReadString("s", "k", "?"), ProfileValueReadBack(text));
        const std::string section = " Spieler " + text.substr(0, 40) + "x ";
        ASSERT_TRUE(ini.WriteString(section, "k", "1"));
        std::vector<std::string> names;
        ASSERT_TRUE(ini.ReadSections(names));
        EXPECT_EQ(names.back(), ProfileNameAsListed(section));
        ASSERT_TRUE(ini.EraseSection(section));
    }
}

struct TIntegerCase {
    const char* Text;
    std::optional<std::int32_t> Value;
};

TEST(IniFile, ProfileIntegers) {
    const std::vector<TIntegerCase> cases = {
        {"42", 42},
        {"-7", -7},
        {"+7", 7},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$10", 16},
        {"0xFFFFFFFF", -1},
        {"0x100000000", std::nullopt},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"12abc", std::nullopt},
        {"abc", std::nullopt},
        {"- 1", std::nullopt},
        {"007", 7},
    };
    for (const TIntegerCase& row : cases) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(ParseProfileInteger(row.Text), row.Value);
    }
}

}  // namespace
}  // namespace tavlor
