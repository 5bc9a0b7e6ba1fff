#include "platform/Win1252.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavlor {
namespace {

TEST(Win1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const std::string text = Win1252ToUtf8(all);
    EXPECT_EQ(Utf8ToWin1252(text), all);
    EXPECT_EQ(Win1252ToUtf8(Utf8ToWin1252(text)), text);
}

struct TConversionCase {
    const char* Name;
    std::string Bytes;  // Windows-1252
    std::string Text;   // UTF-8
};

TEST(Win1252, CharactersBothWays) {
    const std::vector<TConversionCase> cases = {
        {"ASCII", "Tavlor V2.0.3.1", "Tavlor V2.0.3.1"},
        {"euro", "\x80", "\xE2\x82\xAC"},
        {"quotes and dashes", "\x84\x93\x96\x97",
         "\xE2\x80\x9E\xE2\x80\x9C\xE2\x80\x93\xE2\x80\x94"},
        {"S caron and Y diaeresis", "\x8A\x9F", "\xC5\xA0\xC5\xB8"},
        {"unassigned byte", "\x81", "\xC2\x81"},
        {"umlauts", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF",
         "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F"},
        {"no-break space and y diaeresis", "\xA0\xFF", "\xC2\xA0\xC3\xBF"},
    };
    for (const TConversionCase& row : cases) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(Win1252ToUtf8(row.Bytes), row.Text);
        EXPECT_EQ(Utf8ToWin1252(row.Text), row.Bytes);
    }
}

TEST(Win1252, UnmappableAndDamagedTextBecomesQuestionMarks) {
    const std::vector<TConversionCase> cases = {
        {"CJK", "a?b",
         "a\xE4\xB8\xAD"
         "b"},
        {"emoji", "?", "\xF0\x9F\x98\x80"},
        {"C1 control without a byte", "?", "\xC2\x85"},
        {"truncated sequence", "x?", "x\xC3"},
        {"truncated three bytes", "??y", "\xE2\x82y"},
        {"stray continuation", "?", "\x80"},
        {"overlong slash", "??", "\xC0\xAF"},
        {"overlong three bytes", "???", "\xE0\x80\xAF"},
        {"surrogate", "???", "\xED\xA0\x80"},
        {"beyond U+10FFFF", "????", "\xF4\x90\x80\x80"},
        {"invalid lead", "?a",
         "\xFF"
         "a"},
    };
    for (const TConversionCase& row : cases) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(Utf8ToWin1252(row.Text), row.Bytes);
    }
}

}  // namespace
}  // namespace tavlor
