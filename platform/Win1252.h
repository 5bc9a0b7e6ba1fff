#pragma once

#include <string>
#include <string_view>

namespace tavlor {

// The settings file, the transfer file and saved games are Windows-1252 on disk because copies of
// the program on other machines share them; inside the program all text is UTF-8.

// Every byte has a character: the five bytes that Windows-1252 leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the C1 control characters of the same number, as Windows maps them,
// so that any file survives a round trip unchanged.
std::string Win1252ToUtf8(std::string_view bytes);

// A character without a Windows-1252 form becomes "?"; so does every byte of a damaged UTF-8
// sequence (overlong forms, surrogates, truncated sequences, stray continuation bytes).
std::string Utf8ToWin1252(std::string_view text);

// Appends the UTF-8 form of one code point (up to U+10FFFF).
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace tavlor
