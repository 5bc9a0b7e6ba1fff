#include "platform/Win1252.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace tavlor {
namespace {

TEST(Win1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_EQ(Utf8ToWin1252(Win1252ToUtf8(all)), all);
}

// Windows-1252 bytes and their UTF-8 text.
using TConversion = std::pair<std::string, std::string>;

TEST(Win1252, CharactersBothWays) {
    const TConversion rows[] = {
        {"\x80\x84\x93\x96\x97", "\xE2\x82\xAC\xE2\x80\x9E\xE2\x80\x9C\xE2\x80\x93\xE2\x80\x94"},
        {"\x8A\x9F", "\xC5\xA0\xC5\xB8"},
        {"\x81", "\xC2\x81"},  // unassigned: the C1 control of that number
        {"\xC4\xD6\xDC\xE4\xF6\xFC\xDF",
         "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F"},
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
    };
    for (const auto& [bytes, text] : rows) {
        EXPECT_EQ(Win1252ToUtf8(bytes), text);
        EXPECT_EQ(Utf8ToWin1252(text), bytes);
    }
}

TEST(Win1252, UnmappableAndDamagedTextBecomesQuestionMarks) {
    const TConversion rows[] = {
        {"a?b",
         "a\xE4\xB8\xAD"
         "b"},                         // CJK
        {"?", "\xF0\x9F\x98\x80"},     // emoji
        {"?", "\xC2\x85"},             // C1 control without a byte
        {"x???y", "x\xC3\xE2\x82y"},   // truncated sequences
        {"?", "\x80"},                 // stray continuation
        {"??", "\xC0\xAF"},            // overlong slash
        {"???", "\xED\xA0\x80"},       // surrogate
        {"????", "\xF4\x90\x80\x80"},  // beyond U+10FFFF
        {"?a",
         "\xFF"
         "a"},  // invalid lead
    };
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(Utf8ToWin1252(text), bytes) << bytes;
}

}  // namespace
}  // namespace tavlor
