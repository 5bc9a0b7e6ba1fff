#include "ui/RtfReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>

#include "platform/Win1252.h"

namespace tavlor {

namespace {

// Groups nested deeper than this are read as if they were part of the group at this depth, so a
// hostile file cannot grow the state stack without end.
constexpr std::size_t cMaxGroupDepth = 200;

// Destinations whose text is not part of the document.
constexpr std::array<std::string_view, 28> cSkippedDestinations = {"stylesheet",
                                                                   "info",
                                                                   "pict",
                                                                   "header",
                                                                   "headerl",
                                                                   "headerr",
                                                                   "headerf",
                                                                   "footer",
                                                                   "footerl",
                                                                   "footerr",
                                                                   "footerf",
                                                                   "footnote",
                                                                   "generator",
                                                                   "listtable",
                                                                   "listoverridetable",
                                                                   "rsidtbl",
                                                                   "xmlnstbl",
                                                                   "themedata",
                                                                   "colorschememapping",
                                                                   "latentstyles",
                                                                   "datastore",
                                                                   "object",
                                                                   "fldinst",
                                                                   "filetbl",
                                                                   "revtbl",
                                                                   "pgdsctbl",
                                                                   "template",
                                                                   "nonshppict"};

// Where the text of a group goes: into the document, into one of the two tables that formats
// refer to by number, or nowhere.
enum class TDestination : std::uint8_t { Document, FontTable, ColourTable, Skipped };

// Paragraph properties, kept with the group like the character ones.
struct TParagraphFormat {
    TRtfAlignment Alignment = TRtfAlignment::Left;
    std::int32_t LeftIndent = 0;
    std::int32_t FirstLineIndent = 0;
    std::int32_t RightIndent = 0;
};

struct TGroupState {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::int32_t FontHalfPoints = 24;
    std::int32_t UnicodeSkip = 1;      // fallback characters after each \uN
    std::optional<std::int32_t> Font;  // a number of the font table; empty: the default font
    std::int32_t Colour = 0;           // an index into the colour table; 0 is the automatic one
    TParagraphFormat Paragraph;
    TDestination Destination = TDestination::Document;
};

struct TFont {
    // cppcheck-suppress unusedStructMember ; read through the font table when a run is made
    std::string Name;
    bool FixedPitch = false;
};

// A font name longer than this is cut; no real font has one.
constexpr std::size_t cMaxFontName = 64;
// Indents beyond 22 inches either way are cut to it.
constexpr std::int32_t cMaxIndent = 31680;

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

class TRtfParser {
public:
    explicit TRtfParser(std::string_view bytes) : Bytes(bytes) {}

    TRtfDocument Parse() {
        while (Pos < Bytes.size()) {
            const char c = Bytes[Pos++];
            if (c == '{') {
                OpenGroup();
            } else if (c == '}') {
                CloseGroup();
            } else if (c == '\\') {
                ControlSequence();
            } else if (c == '\r' || c == '\n' || c == '\0') {
                // line structure of the file carries no meaning
            } else {
                PlainByte(static_cast<unsigned char>(c));
            }
        }
        FlushSurrogate();
        if (!Current.Runs.empty()) Document.Paragraphs.push_back(std::move(Current));
        return std::move(Document);
    }

private:
    void OpenGroup() {
        if (Stack.size() < cMaxGroupDepth) {
            Stack.push_back(State);
        } else {
            ++OverflowDepth;
        }
    }

    void CloseGroup() {
        if (OverflowDepth > 0) {
            --OverflowDepth;
        } else if (!Stack.empty()) {
            // A font entry is a group of its own; its ";" may be missing.
            if (State.Destination == TDestination::FontTable) EndFontEntry();
            State = Stack.back();
            Stack.pop_back();
        }
        // A "}" without its "{" is ignored.
    }

    void ControlSequence() {
        if (Pos >= Bytes.size()) return;
        const char c = Bytes[Pos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++Pos;
            ControlSymbol(c);
            return;
        }
        std::string word;
        while (Pos < Bytes.size() && std::isalpha(static_cast<unsigned char>(Bytes[Pos])) &&
               word.size() < 32)
            word += Bytes[Pos++];
        while (Pos < Bytes.size() && std::isalpha(static_cast<unsigned char>(Bytes[Pos])))
            ++Pos;
        std::optional<std::int32_t> parameter;
        bool negative = false;
        if (Pos < Bytes.size() && Bytes[Pos] == '-' && Pos + 1 < Bytes.size() &&
            std::isdigit(static_cast<unsigned char>(Bytes[Pos + 1]))) {
            negative = true;
            ++Pos;
        }
        if (Pos < Bytes.size() && std::isdigit(static_cast<unsigned char>(Bytes[Pos]))) {
            std::int64_t value = 0;
            while (Pos < Bytes.size() && std::isdigit(static_cast<unsigned char>(Bytes[Pos]))) {
                if (value < 100000000) value = value * 10 + (Bytes[Pos] - '0');
                ++Pos;
            }
            parameter = static_cast<std::int32_t>(negative ? -value : value);
        }
        if (Pos < Bytes.size() && Bytes[Pos] == ' ') ++Pos;
        ControlWord(word, parameter);
    }

    void ControlSymbol(char c) {
        switch (c) {
            case '\\':
            case '{':
            case '}':
                Text(std::string(1, c));
                break;
            case '~':
                Text("\u00A0");
                break;
            case '_':
                Text("-");
                break;
            case '\'': {
                std::optional<int> high = Pos < Bytes.size() ? HexDigit(Bytes[Pos]) : std::nullopt;
                std::optional<int> low =
                    Pos + 1 < Bytes.size() ? HexDigit(Bytes[Pos + 1]) : std::nullopt;
                if (!high || !low) return;
                Pos += 2;
                PlainByte(static_cast<unsigned char>(*high * 16 + *low));
                break;
            }
            case '*':
                // An optional destination this reader does not know.
                State.Destination = TDestination::Skipped;
                break;
            case '\r':
            case '\n':
                Paragraph();
                break;
            default:
                break;  // "\-" optional hyphen, "\|" and others: nothing to show
        }
    }

    void ControlWord(const std::string& word, std::optional<std::int32_t> parameter) {
        const bool on = !parameter || *parameter != 0;
        if (std::find(cSkippedDestinations.begin(), cSkippedDestinations.end(), word) !=
            cSkippedDestinations.end()) {
            State.Destination = TDestination::Skipped;
            return;
        }
        if (word == "fonttbl") {
            State.Destination = TDestination::FontTable;
        } else if (word == "colortbl") {
            State.Destination = TDestination::ColourTable;
            ColourSet = false;
        } else if (State.Destination == TDestination::FontTable) {
            FontTableWord(word, parameter);
        } else if (State.Destination == TDestination::ColourTable) {
            ColourTableWord(word, parameter);
        } else if (State.Destination == TDestination::Skipped || ParagraphWord(word, parameter)) {
            // nothing of a skipped group is shown; a paragraph word is applied already
        } else if (word == "par" || word == "sect" || word == "page") {
            Paragraph();
        } else if (word == "line") {
            Text("\n");
        } else if (word == "tab") {
            Text("\t");
        } else if (word == "b") {
            State.Bold = on;
        } else if (word == "i") {
            State.Italic = on;
        } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" ||
                   word == "uldash" || word == "ulth") {
            State.Underline = on;
        } else if (word == "ulnone") {
            State.Underline = false;
        } else if (word == "fs") {
            State.FontHalfPoints = std::clamp(parameter.value_or(24), 2, 200);
        } else if (word == "f") {
            State.Font = parameter;
        } else if (word == "deff") {
            DefaultFont = parameter;
        } else if (word == "cf") {
            State.Colour = std::max(parameter.value_or(0), 0);
        } else if (word == "plain") {
            State.Bold = State.Italic = State.Underline = false;
            State.FontHalfPoints = 24;
            State.Font.reset();
            State.Colour = 0;
        } else if (word == "uc") {
            State.UnicodeSkip = std::clamp(parameter.value_or(1), 0, 10);
        } else if (word == "u" && parameter) {
            Unicode(*parameter);
        } else if (word == "emdash") {
            Text("\u2014");
        } else if (word == "endash") {
            Text("\u2013");
        } else if (word == "bullet") {
            Text("\u2022");
        } else if (word == "lquote") {
            Text("\u2018");
        } else if (word == "rquote") {
            Text("\u2019");
        } else if (word == "ldblquote") {
            Text("\u201C");
        } else if (word == "rdblquote") {
            Text("\u201D");
        }
    }

    // Paragraph properties hold for the paragraphs that follow and, being properties of the
    // whole paragraph, also for the one already begun.
    bool ParagraphWord(const std::string& word, std::optional<std::int32_t> parameter) {
        TParagraphFormat& format = State.Paragraph;
        const std::int32_t indent = std::clamp(parameter.value_or(0), -cMaxIndent, cMaxIndent);
        if (word == "pard") {
            format = TParagraphFormat{};
        } else if (word == "ql") {
            format.Alignment = TRtfAlignment::Left;
        } else if (word == "qc") {
            format.Alignment = TRtfAlignment::Center;
        } else if (word == "qr") {
            format.Alignment = TRtfAlignment::Right;
        } else if (word == "qj") {
            format.Alignment = TRtfAlignment::Justify;
        } else if (word == "li") {
            format.LeftIndent = indent;
        } else if (word == "fi") {
            format.FirstLineIndent = indent;
        } else if (word == "ri") {
            format.RightIndent = indent;
        } else {
            return false;
        }
        if (!Current.Runs.empty()) ApplyParagraphFormat(Current, format);
        return true;
    }

    static void ApplyParagraphFormat(TRtfParagraph& paragraph, const TParagraphFormat& format) {
        paragraph.Alignment = format.Alignment;
        paragraph.LeftIndent = format.LeftIndent;
        paragraph.FirstLineIndent = format.FirstLineIndent;
        paragraph.RightIndent = format.RightIndent;
    }

    // "{\f1\fmodern\fprq1 Courier New;}": the number, the family class or pitch, the name.
    void FontTableWord(const std::string& word, std::optional<std::int32_t> parameter) {
        if (word == "f") {
            EndFontEntry();
            FontNumber = parameter;
        } else if (word == "fmodern") {
            FontFixedPitch = true;
        } else if (word == "fprq") {
            FontFixedPitch = parameter == 1;
        }
    }

    void EndFontEntry() {
        if (FontNumber) {
            std::string name = FontName;
            while (!name.empty() && name.back() == ' ')
                name.pop_back();
            while (!name.empty() && name.front() == ' ')
                name.erase(0, 1);
            Fonts[*FontNumber] = TFont{std::move(name), FontFixedPitch};
        }
        FontNumber.reset();
        FontName.clear();
        FontFixedPitch = false;
    }

    // "\red0\green51\blue153;": an entry ends at its ";", an empty one is the automatic colour.
    void ColourTableWord(const std::string& word, std::optional<std::int32_t> parameter) {
        const auto component = static_cast<TRtfColour>(std::clamp(parameter.value_or(0), 0, 255));
        const int shift = word == "red" ? 16 : word == "green" ? 8 : word == "blue" ? 0 : -1;
        if (shift < 0) return;
        PendingColour = (PendingColour & ~(TRtfColour{0xFF} << shift)) | component << shift;
        ColourSet = true;
    }

    void TableText(const std::string& text) {
        for (const char c : text) {
            if (State.Destination == TDestination::ColourTable && c == ';') {
                Colours.push_back(ColourSet ? std::optional(PendingColour) : std::nullopt);
                PendingColour = 0;
                ColourSet = false;
            } else if (State.Destination == TDestination::FontTable && c == ';') {
                EndFontEntry();
            } else if (State.Destination == TDestination::FontTable &&
                       FontName.size() < cMaxFontName) {
                FontName += c;
            }
        }
    }

    void Unicode(std::int32_t value) {
        char32_t code = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
        if (code >= 0xD800 && code <= 0xDBFF) {
            FlushSurrogate();
            PendingHighSurrogate = code;
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            if (PendingHighSurrogate) {
                const char32_t full =
                    0x10000 + ((PendingHighSurrogate - 0xD800) << 10) + (code - 0xDC00);
                PendingHighSurrogate = 0;
                std::string utf8;
                AppendUtf8(utf8, full);
                Text(utf8);
            } else {
                Text("\uFFFD");
            }
        } else {
            std::string utf8;
            AppendUtf8(utf8, code);
            Text(utf8);
        }
        SkipFallback(State.UnicodeSkip);
    }

    // The characters that stand in for a \uN for older readers: plain bytes, a \'hh each.
    void SkipFallback(std::int32_t count) {
        while (count > 0 && Pos < Bytes.size()) {
            const char c = Bytes[Pos];
            if (c == '{' || c == '}') return;
            if (c == '\\') {
                if (Pos + 3 < Bytes.size() && Bytes[Pos + 1] == '\'') {
                    Pos += 4;
                } else {
                    return;  // another control word ends the fallback early
                }
            } else if (c != '\r' && c != '\n') {
                ++Pos;
            } else {
                ++Pos;
                continue;
            }
            --count;
        }
    }

    void FlushSurrogate() {
        if (!PendingHighSurrogate) return;
        PendingHighSurrogate = 0;
        if (State.Destination == TDestination::Document) AppendToRun("\uFFFD");
    }

    void PlainByte(unsigned char byte) {
        if (byte < 0x80) {
            Text(std::string(1, static_cast<char>(byte)));
        } else {
            Text(Win1252ToUtf8(std::string(1, static_cast<char>(byte))));
        }
    }

    void Text(const std::string& utf8) {
        if (State.Destination != TDestination::Document) {
            TableText(utf8);
            return;
        }
        if (PendingHighSurrogate) FlushSurrogate();
        AppendToRun(utf8);
    }

    void AppendToRun(const std::string& utf8) {
        TRtfRun format;
        format.Bold = State.Bold;
        format.Italic = State.Italic;
        format.Underline = State.Underline;
        format.FontHalfPoints = State.FontHalfPoints;
        const std::optional<std::int32_t> fontNumber = State.Font ? State.Font : DefaultFont;
        if (fontNumber) {
            const auto font = Fonts.find(*fontNumber);
            if (font != Fonts.end()) {
                format.FontName = font->second.Name;
                format.FixedPitch = font->second.FixedPitch;
            }
        }
        if (static_cast<std::size_t>(State.Colour) < Colours.size())
            format.Colour = Colours[static_cast<std::size_t>(State.Colour)];
        if (Current.Runs.empty()) ApplyParagraphFormat(Current, State.Paragraph);
        if (Current.Runs.empty() || !Current.Runs.back().SameFormat(format)) {
            format.Text = utf8;
            Current.Runs.push_back(std::move(format));
        } else {
            Current.Runs.back().Text += utf8;
        }
    }

    void Paragraph() {
        if (State.Destination != TDestination::Document) return;
        FlushSurrogate();
        if (Current.Runs.empty()) ApplyParagraphFormat(Current, State.Paragraph);
        Document.Paragraphs.push_back(std::move(Current));
        Current = TRtfParagraph{};
    }

    std::string_view Bytes;
    std::size_t Pos = 0;
    TGroupState State;
    std::vector<TGroupState> Stack;
    std::size_t OverflowDepth = 0;
    char32_t PendingHighSurrogate = 0;
    TRtfParagraph Current;
    TRtfDocument Document;
    // The tables as read so far, and the entry being read.
    std::map<std::int32_t, TFont> Fonts;
    std::optional<std::int32_t> DefaultFont;
    std::optional<std::int32_t> FontNumber;
    std::string FontName;
    bool FontFixedPitch = false;
    std::vector<std::optional<TRtfColour>> Colours;
    TRtfColour PendingColour = 0;
    bool ColourSet = false;
};

}  // namespace

std::string TRtfDocument::PlainText() const {
    std::string text;
    for (std::size_t i = 0; i < Paragraphs.size(); ++i) {
        if (i > 0) text += '\n';
        for (const TRtfRun& run : Paragraphs[i].Runs)
            text += run.Text;
    }
    return text;
}

TRtfResult ReadRtf(std::string_view bytes) {
    TRtfResult result;
    std::size_t start = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") start = 3;  // a byte order mark some editors add
    while (start < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[start])))
        ++start;
    if (bytes.substr(start, 5) != "{\\rtf") {
        result.Error = "Der Text ist kein RTF-Dokument.";
        return result;
    }
    result.Document = TRtfParser(bytes.substr(start)).Parse();
    result.Ok = true;
    return result;
}

}  // namespace tavlor
