#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// The help text is an RTF file that any word processor may have saved, so the reader takes the
// common subset (text, paragraphs, line breaks, tabs, bold, italic, underline, font size, font
// family with its pitch, text colour, alignment, paragraph indents, Windows-1252 and Unicode
// characters) and quietly skips everything else: style sheets, pictures, document information
// and unknown control words. Damaged input never fails beyond the first check: unbalanced braces
// are tolerated, nesting is capped, and the text read so far is kept.

enum class TRtfAlignment : std::uint8_t { Left, Center, Right, Justify };

// A text colour as 0xRRGGBB.
using TRtfColour = std::uint32_t;

// One stretch of text with one character format. Text is UTF-8; "\n" is a line break inside the
// paragraph and "\t" a tab.
struct TRtfRun {
    std::string Text;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::int32_t FontHalfPoints = 24;  // RTF counts font sizes in half points
    std::string FontName;              // from the font table; empty: the reader's default
    bool FixedPitch = false;           // the font table names a fixed-pitch (modern) font
    std::optional<TRtfColour> Colour;  // from the colour table; empty: the automatic colour

    bool SameFormat(const TRtfRun& other) const {
        return Bold == other.Bold && Italic == other.Italic && Underline == other.Underline &&
               FontHalfPoints == other.FontHalfPoints && FontName == other.FontName &&
               FixedPitch == other.FixedPitch && Colour == other.Colour;
    }
};

// Indents in twips (a twentieth of a point), as RTF gives them.
struct TRtfParagraph {
    TRtfAlignment Alignment = TRtfAlignment::Left;
    std::int32_t LeftIndent = 0;
    std::int32_t FirstLineIndent = 0;  // relative to the left indent; negative: hanging
    std::int32_t RightIndent = 0;
    std::vector<TRtfRun> Runs;
};

struct TRtfDocument {
    std::vector<TRtfParagraph> Paragraphs;

    // The paragraphs' text joined with "\n", formats dropped.
    std::string PlainText() const;
};

struct TRtfResult {
    bool Ok = false;
    std::string Error;  // German, for a message window; empty when Ok
    TRtfDocument Document;
};

// Reads an RTF file's bytes. Fails only when the bytes do not begin with "{\rtf".
TRtfResult ReadRtf(std::string_view bytes);

}  // namespace tavlor
