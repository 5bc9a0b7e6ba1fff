#include "notation/Pgn.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "notation/Fen.h"
#include "notation/FenWriter.h"
#include "notation/MoveText.h"
#include "notation/San.h"
#include "platform/Win1252.h"

namespace tavlor {

namespace {

constexpr std::size_t cLineWidth = 80;
constexpr std::string_view cByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view cEnPassantMark = "e.p.";

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The words of a comment: every run of white space or control characters is one blank, so a
// comment may be wrapped at any blank and read back the same.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < text.size()) {
        while (start < text.size() && IsBlank(text[start]))
            ++start;
        std::size_t end = start;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        if (end > start) words.push_back(text.substr(start, end - start));
        start = end;
    }
    return words;
}

// ---------------------------------------------------------------------------------------------
// Writing

// Movetext filled into lines of at most 80 characters; a piece longer than a line stands alone.
class TMoveTextLines {
public:
    void Add(std::string_view piece) {
        if (LineLength > 0 && LineLength + 1 + piece.size() > cLineWidth) EndLine();
        if (LineLength > 0) {
            Text += ' ';
            ++LineLength;
        }
        Text += piece;
        LineLength += piece.size();
    }

    void EndLine() {
        if (LineLength == 0) return;
        Text += '\n';
        LineLength = 0;
    }

    // One comment at a place: several in a row are standard PGN, yet common readers refuse them.
    // A comment holding "}" cannot stand in braces; it goes after ";", which runs to the end of
    // its line, the one kind of line that may be longer than 80 characters.
    void AddComment(const std::vector<std::string_view>& words) {
        if (words.empty()) return;
        bool closing = false;
        for (std::string_view word : words)
            closing = closing || word.find('}') != std::string_view::npos;
        if (closing) {
            std::string piece = ";";
            for (std::size_t i = 0; i < words.size(); ++i)
                piece.append(i == 0 ? "" : " ").append(words[i]);
            Add(piece);
            EndLine();
            return;
        }
        for (std::size_t i = 0; i < words.size(); ++i) {
            std::string piece = i == 0 ? "{" : "";
            piece += words[i];
            if (i + 1 == words.size()) piece += '}';
            Add(piece);
        }
    }

    std::string Text;

private:
    std::size_t LineLength = 0;
};

// Tag values are quoted; a quote or backslash in them is escaped, a line break would end the tag.
std::string TagLine(std::string_view name, std::string_view value) {
    std::string line = "[";
    line.append(name).append(" \"");
    for (const char c : value) {
        if (c == '"' || c == '\\') line += '\\';
        line += c == '\n' || c == '\r' ? ' ' : c;
    }
    return line + "\"]\n";
}

std::string_view ResultText(TGameState state) {
    switch (state) {
        case TGameState::gsPlaying:
            return "*";
        case TGameState::gsWhiteMated:
            return "0-1";
        case TGameState::gsBlackMated:
            return "1-0";
        default:
            return "1/2-1/2";
    }
}

bool IsInitialStart(const TChessBoard& walker) {
    static const TChessBoard initial;
    return SameBoard(walker.StartBoard, initial.StartBoard) &&
           walker.StartCastlingRights == initial.StartCastlingRights;
}

TPgnText Unwritable(std::int32_t ply, const TChessMove& move) {
    TPgnText result;
    result.Ok = false;
    std::string text = MoveToText(move);
    while (text.back() == ' ')
        text.pop_back();
    result.Message = "Die Partie kann nicht als PGN geschrieben werden: der " +
                     std::to_string(ply) + ". Halbzug (" + text +
                     ") ist in seiner Stellung nicht erlaubt.";
    return result;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading

enum class TPgnTokenKind { tkEnd, tkTag, tkComment, tkSymbol, tkNag, tkOpen, tkClose };

struct TPgnToken {
    TPgnTokenKind Kind = TPgnTokenKind::tkEnd;
    std::string_view Text;   // a symbol, a comment's text, a tag's name
    std::string_view Value;  // a tag's value, still escaped
    std::int32_t Line = 0;
};

// A fault found while reading: the line counted from 1 (0 for the text as a whole), and why.
struct TPgnFault {
    std::int32_t Line = 0;
    std::string Reason;
};

// Splits PGN text into tokens. Move number indications ("12.", "12...") come out as symbols of
// digits, their dots are passed over like white space; a line starting with "%" is skipped.
class TPgnLexer {
public:
    explicit TPgnLexer(std::string_view text) : Text(text) {}

    // The next token, or nothing with `Fault` set when the text is damaged.
    std::optional<TPgnToken> Next() {
        if (Pending) return std::exchange(Pending, std::nullopt);
        SkipSpace();
        TPgnToken token;
        token.Line = Line;
        if (Pos >= Text.size()) return token;
        const char c = Text[Pos];
        switch (c) {
            case '{':
                return BraceComment(token);
            case ';': {
                const std::size_t end = Text.find_first_of("\r\n", Pos);
                token.Kind = TPgnTokenKind::tkComment;
                token.Text =
                    Text.substr(Pos + 1, end == std::string_view::npos ? std::string_view::npos
                                                                       : end - Pos - 1);
                Pos = end == std::string_view::npos ? Text.size() : end;
                return token;
            }
            case '(':
            case ')':
                ++Pos;
                token.Kind = c == '(' ? TPgnTokenKind::tkOpen : TPgnTokenKind::tkClose;
                return token;
            case '[':
                return Tag(token);
            case '$': {
                const std::size_t end = Text.find_first_not_of("0123456789", Pos + 1);
                token.Kind = TPgnTokenKind::tkNag;
                token.Text = Text.substr(Pos, end == std::string_view::npos ? end : end - Pos);
                Pos = end == std::string_view::npos ? Text.size() : end;
                return token;
            }
            default: {
                // "e.p." after an en-passant capture, as the written notation has it; its dots
                // would otherwise split it.
                if (Text.substr(Pos).starts_with(cEnPassantMark)) {
                    token.Kind = TPgnTokenKind::tkSymbol;
                    token.Text = Text.substr(Pos, cEnPassantMark.size());
                    Pos += cEnPassantMark.size();
                    return token;
                }
                // A stray "}" or "]" is a symbol of its own, which no move reading accepts.
                const std::size_t end = Text.find_first_of(" \t\r\n\f\v{};()[]$.", Pos + 1);
                token.Kind = TPgnTokenKind::tkSymbol;
                token.Text = Text.substr(Pos, end == std::string_view::npos ? end : end - Pos);
                Pos = end == std::string_view::npos ? Text.size() : end;
                return token;
            }
        }
    }

    void PutBack(const TPgnToken& token) { Pending = token; }
    bool Failed() const { return !Fault.Reason.empty(); }

    TPgnFault Fault;

private:
    void NewLine() {
        ++Line;
        AtLineStart = true;
    }

    void SkipSpace() {
        while (Pos < Text.size()) {
            const char c = Text[Pos];
            if (c == '\n' || (c == '\r' && (Pos + 1 == Text.size() || Text[Pos + 1] != '\n'))) {
                ++Pos;
                NewLine();
            } else if (c == '%' && AtLineStart) {
                const std::size_t end = Text.find_first_of("\r\n", Pos);
                Pos = end == std::string_view::npos ? Text.size() : end;
            } else if (IsBlank(c) || c == '.') {
                ++Pos;
                AtLineStart = AtLineStart && c == '\r';
            } else {
                AtLineStart = false;
                return;
            }
        }
    }

    void CountLines(std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' ||
                (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
                ++Line;
    }

    std::optional<TPgnToken> BraceComment(TPgnToken token) {
        const std::size_t end = Text.find('}', Pos + 1);
        if (end == std::string_view::npos) {
            Fault = {Line, "ein Kommentar in geschweiften Klammern ist nicht geschlossen"};
            return std::nullopt;
        }
        token.Kind = TPgnTokenKind::tkComment;
        token.Text = Text.substr(Pos + 1, end - Pos - 1);
        CountLines(token.Text);
        Pos = end + 1;
        return token;
    }

    // [Name "value"]; the value keeps its escapes, the one tag that matters (FEN) has none.
    std::optional<TPgnToken> Tag(TPgnToken token) {
        const std::size_t start = Pos;
        std::size_t at = Pos + 1;
        const auto skip = [&] {
            while (at < Text.size() && (Text[at] == ' ' || Text[at] == '\t'))
                ++at;
        };
        skip();
        const std::size_t nameStart = at;
        while (at < Text.size() && (std::isalnum(static_cast<unsigned char>(Text[at])) ||
                                    Text[at] == '_' || Text[at] == '+' || Text[at] == '#' ||
                                    Text[at] == '=' || Text[at] == ':' || Text[at] == '-'))
            ++at;
        token.Text = Text.substr(nameStart, at - nameStart);
        skip();
        bool good = !token.Text.empty() && at < Text.size() && Text[at] == '"';
        if (good) {
            const std::size_t valueStart = ++at;
            while (at < Text.size() && Text[at] != '"' && Text[at] != '\n' && Text[at] != '\r')
                at += Text[at] == '\\' && at + 1 < Text.size() ? 2 : 1;
            good = at < Text.size() && Text[at] == '"';
            token.Value = Text.substr(valueStart, at - valueStart);
            ++at;
            skip();
            good = good && at < Text.size() && Text[at] == ']';
        }
        if (!good) {
            const std::size_t end = Text.find_first_of("\r\n", start);
            Fault = {Line, "ungültige Kopfzeile \"" +
                               std::string(Text.substr(
                                   start, end == std::string_view::npos ? end : end - start)) +
                               "\""};
            return std::nullopt;
        }
        token.Kind = TPgnTokenKind::tkTag;
        Pos = at + 1;
        return token;
    }

    std::string_view Text;
    std::size_t Pos = 0;
    std::int32_t Line = 1;
    bool AtLineStart = true;
    std::optional<TPgnToken> Pending;
};

namespace {

bool IsResult(std::string_view symbol) {
    return symbol == "1-0" || symbol == "0-1" || symbol == "1/2-1/2" || symbol == "*";
}

bool IsMoveNumber(std::string_view symbol) {
    return symbol.find_first_not_of("0123456789") == std::string_view::npos;
}

// "!", "?!" and the like written apart from their move, and "e.p.".
bool IsAnnotation(std::string_view symbol) {
    return symbol.find_first_not_of("!?") == std::string_view::npos || symbol == cEnPassantMark;
}

std::string Unescape(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        text += value[i];
    }
    return text;
}

// The full-move number of a FEN text's sixth field; 1 when it has none.
std::int32_t FenMoveNumber(std::string_view fen) {
    const std::vector<std::string_view> fields = Words(fen);
    std::int32_t number = 0;
    if (fields.size() < 6) return 1;
    for (const char c : fields[5]) {
        if (c < '0' || c > '9' || number > 100000) return 1;
        number = number * 10 + (c - '0');
    }
    return number > 0 ? number : 1;
}

// Where a game's moves stand in the text's own numbering, for the messages.
struct TMoveCounter {
    std::int32_t FirstNumber = 1;
    bool BlackFirst = false;
    std::int32_t Moves = 0;  // moves read so far

    std::string Label(std::string_view text) const {
        const std::int32_t position = Moves + (BlackFirst ? 1 : 0);
        return "Zug " + std::to_string(FirstNumber + position / 2) +
               (position % 2 == 0 ? ". \"" : "... \"") + std::string(text) + "\"";
    }
};

std::string SanFault(TSanError error, const std::string& label) {
    switch (error) {
        case TSanError::seNotAMove:
            return label + " ist kein Zug";
        case TSanError::seAmbiguous:
            return label + " ist mehrdeutig";
        case TSanError::seMissingPromotion:
            return label + ": die Umwandlungsfigur fehlt";
        default:
            return label + " ist in dieser Stellung nicht erlaubt";
    }
}

void AddComment(TChessBoard& game, std::string_view text) {
    std::string comment;
    for (std::string_view word : Words(text)) {
        if (!comment.empty()) comment += ' ';
        comment += word;
    }
    if (comment.empty()) return;
    const std::string before = game.GetComment(0, game.PlyCount);
    game.SetComment(0, game.PlyCount, before.empty() ? comment : before + ' ' + comment);
}

// The start position of a "FEN" tag, or why it cannot be one: the tag passes the checks of a
// position typed in.
std::optional<TPgnFault> SetUpFromTag(TChessBoard& game, std::string_view fen, std::int32_t line) {
    if (const std::optional<std::string> fault = FenPositionError(fen))
        return TPgnFault{line, "ungültige Spielstellung im FEN-Eintrag: " + *fault};
    ReadFen(game, fen);
    return std::nullopt;
}

// Plays the main line of a game's movetext on `game`, which may be left half-built on a fault,
// up to its result or the next game's tags; without a game the moves are passed over. After a
// refused move the rest of the game is passed over, so that a reader of many games can go on
// with the next one.
std::optional<TPgnFault> ReadMoves(TPgnLexer& lexer, TChessBoard* game, TMoveCounter& counter) {
    std::int32_t depth = 0;  // variations are passed over
    std::int32_t openedAt = 0;
    for (;;) {
        const std::optional<TPgnToken> token = lexer.Next();
        if (!token) return lexer.Fault;
        switch (token->Kind) {
            case TPgnTokenKind::tkEnd:
            case TPgnTokenKind::tkTag:
                lexer.PutBack(*token);
                if (depth > 0 && game)
                    return TPgnFault{openedAt, "eine Variante ist nicht geschlossen"};
                return std::nullopt;
            case TPgnTokenKind::tkComment:
                if (depth == 0 && game) AddComment(*game, token->Text);
                break;
            case TPgnTokenKind::tkOpen:
                if (depth++ == 0) openedAt = token->Line;
                break;
            case TPgnTokenKind::tkClose:
                depth -= depth > 0 ? 1 : 0;
                break;
            case TPgnTokenKind::tkNag:
                break;
            case TPgnTokenKind::tkSymbol: {
                if (depth > 0 || IsMoveNumber(token->Text) || IsAnnotation(token->Text)) break;
                if (IsResult(token->Text)) return std::nullopt;
                if (!game) break;
                const TSanReading reading = ReadSan(*game, token->Text);
                std::optional<TPgnFault> fault;
                if (reading.Error != TSanError::seNone) {
                    fault = {token->Line, SanFault(reading.Error, counter.Label(token->Text))};
                } else if (!game->MakeMove(reading.Move)) {
                    fault = {token->Line, "die Partie ist länger als " +
                                              std::to_string(cMaxHistory) + " Halbzüge (" +
                                              counter.Label(token->Text) + ")"};
                }
                if (fault) {
                    if (std::optional<TPgnFault> broken = ReadMoves(lexer, nullptr, counter))
                        return broken;
                    return fault;
                }
                ++counter.Moves;
                break;
            }
        }
    }
}

// Passes over the rest of a game: its tags, then its moves.
std::optional<TPgnFault> SkipGame(TPgnLexer& lexer) {
    std::optional<TPgnToken> token = lexer.Next();
    while (token && token->Kind == TPgnTokenKind::tkTag)
        token = lexer.Next();
    if (!token) return lexer.Fault;
    lexer.PutBack(*token);
    TMoveCounter counter;
    return ReadMoves(lexer, nullptr, counter);
}

// The tags and moves of the game that starts with `first` into `game`. On a fault the lexer
// stands at the start of the next game unless the text itself is damaged.
std::optional<TPgnFault> ReadGameInto(TPgnLexer& lexer, TChessBoard& game, const TPgnToken& first) {
    TMoveCounter counter;
    std::optional<TPgnToken> token = first;
    for (; token && token->Kind == TPgnTokenKind::tkTag; token = lexer.Next()) {
        if (token->Text != "FEN") continue;
        std::string fen = Unescape(token->Value);
        fen.erase(0, fen.find_first_not_of(" \t"));
        if (std::optional<TPgnFault> fault = SetUpFromTag(game, fen, token->Line)) {
            if (std::optional<TPgnFault> broken = SkipGame(lexer)) return broken;
            return fault;
        }
        counter.FirstNumber = FenMoveNumber(fen);
        counter.BlackFirst = !game.IsWhiteToMove();
    }
    if (!token) return lexer.Fault;
    lexer.PutBack(*token);
    return ReadMoves(lexer, &game, counter);
}

TGameFileStatus Unreadable(const TPgnFault& fault, const std::string& what) {
    TGameFileStatus status;
    status.Ok = false;
    status.Line = fault.Line;
    status.Message = what + " kann nicht gelesen werden" +
                     (fault.Line > 0 ? " (Zeile " + std::to_string(fault.Line) + ")" : "") + ": " +
                     fault.Reason + ".";
    return status;
}

// Strict UTF-8: a text that is not is taken for Windows-1252.
bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 1;
        char32_t code = byte;
        if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            code = byte & 0x07u;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            code = byte & 0x0Fu;
        } else if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
            code = byte & 0x1Fu;
        } else if (byte >= 0x80) {
            return false;
        }
        if (i + length > bytes.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0u) != 0x80u) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        constexpr std::array<char32_t, 5> cSmallest = {0, 0, 0x80, 0x800, 0x10000};
        if (code < cSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

}  // namespace

TPgnReader::TPgnReader(std::string_view text, std::string what)
    : Lexer(std::make_unique<TPgnLexer>(
          text.starts_with(cByteOrderMark) ? text.substr(cByteOrderMark.size()) : text)),
      FWhat(std::move(what)) {}

TPgnReader::~TPgnReader() = default;

std::optional<TGameFileStatus> TPgnReader::ReadGame(TChessBoard& board) {
    if (Lexer->Failed()) return std::nullopt;
    const std::optional<TPgnToken> first = Lexer->Next();
    if (!first) return Unreadable(Lexer->Fault, FWhat);
    if (first->Kind == TPgnTokenKind::tkEnd) return std::nullopt;
    ++Games;
    TChessBoard game;
    if (const std::optional<TPgnFault> fault = ReadGameInto(*Lexer, game, *first))
        return Unreadable(*fault, FWhat);
    board = game;
    TGameFileStatus status;
    status.WhiteToMove = board.IsWhiteToMove();
    return status;
}

std::optional<TGameFileStatus> TPgnReader::SkipGame() {
    if (Lexer->Failed()) return std::nullopt;
    const std::optional<TPgnToken> first = Lexer->Next();
    if (!first) return Unreadable(Lexer->Fault, FWhat);
    if (first->Kind == TPgnTokenKind::tkEnd) return std::nullopt;
    ++Games;
    Lexer->PutBack(*first);
    if (const std::optional<TPgnFault> fault = tavlor::SkipGame(*Lexer))
        return Unreadable(*fault, FWhat);
    return TGameFileStatus{};
}

std::string PgnDate(TDateTime when) {
    // Days from 1970-01-01 to the civil date (proleptic Gregorian calendar).
    const long long days = static_cast<long long>(std::floor(when - cUnixEpochDate)) + 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shiftedMonth = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const long long month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 1 || year > 9999) return std::string(cPgnUnknownDate);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld.%02lld.%02lld", year, month, day);
    return text;
}

TPgnTags GameTags(const TChessBoard& board) {
    TPgnTags tags;
    if (board.LastClockTime != 0 && std::isfinite(board.LastClockTime))
        tags.Date = PgnDate(board.LastClockTime);
    return tags;
}

TPgnText WritePgn(const TChessBoard& board, const TPgnTags& tags) {
    // The record is replayed from a start whose castling rights are those the FEN tag can say,
    // so that every move written is legal in the position a reader sets up. The replay needs
    // neither the comments nor the clocks of the game.
    TChessBoard walker;
    walker.StartBoard = board.StartBoard;
    walker.StartCastlingRights =
        PossibleCastlingRights(board.StartBoard, board.StartCastlingRights);
    walker.GoToStart();
    TSanWriter writer(walker);
    const bool blackFirst = board.PlyCount >= 1 && IsPassMove(board.History[1]);
    const bool setUp = blackFirst || !IsInitialStart(walker);
    if (blackFirst) {
        [[maybe_unused]] const bool made = writer.Pass();
        assert(made);
    }

    TMoveTextLines moves;
    // Both comment lists at a place become one comment, as does everything before the first move.
    std::vector<std::string> texts;
    std::vector<std::string_view> words;
    const auto addComments = [&](std::int32_t from, std::int32_t to) {
        texts.clear();
        words.clear();
        for (std::int32_t ply = from; ply <= to; ++ply)
            for (std::int32_t list = 0; list <= 1; ++list)
                if (static_cast<std::size_t>(ply) < board.Comments[list].size())
                    texts.push_back(board.GetComment(list, ply));
        for (const std::string& text : texts)
            for (std::string_view word : Words(text))
                words.push_back(word);
        moves.AddComment(words);
        return !words.empty();
    };
    bool numberBlack = addComments(0, walker.PlyCount) || blackFirst;
    for (std::int32_t ply = walker.PlyCount + 1; ply <= board.PlyCount; ++ply) {
        const TChessMove& move = board.History[ply];
        const bool whiteMoves = walker.IsWhiteToMove();
        std::optional<std::string> san;
        if (!IsPassMove(move)) san = writer.Play(move);
        if (!san) return Unwritable(ply, move);
        // "12. e4", "12... e5" or "e5", put together without allocating: it is done for every
        // half-move of every game exported.
        std::array<char, 32> piece{};
        char* end = piece.data();
        if (whiteMoves || numberBlack) {
            end = std::to_chars(end, end + 8, (ply + 1) / 2).ptr;
            const std::string_view dots = whiteMoves ? ". " : "... ";
            end = std::copy(dots.begin(), dots.end(), end);
        }
        end = std::copy_n(san->data(), std::min<std::size_t>(san->size(), 16), end);
        moves.Add(std::string_view(piece.data(), static_cast<std::size_t>(end - piece.data())));
        numberBlack = addComments(ply, ply);
    }
    const std::string_view result = ResultText(writer.GameEnd());
    moves.Add(result);
    moves.EndLine();

    TPgnText pgn;
    pgn.Text = TagLine("Event", tags.Event) + TagLine("Site", tags.Site) +
               TagLine("Date", tags.Date) + TagLine("Round", tags.Round) +
               TagLine("White", tags.White) + TagLine("Black", tags.Black) +
               TagLine("Result", result);
    if (setUp)
        pgn.Text +=
            TagLine("SetUp", "1") + TagLine("FEN", FenOf(walker.StartBoard, !blackFirst,
                                                         walker.StartCastlingRights, 0, 0, 1));
    pgn.Text += '\n' + moves.Text + '\n';
    return pgn;
}

TFileStatus SavePgn(const TChessBoard& board, const TPgnTags& tags, const std::string& fileName) {
    const TPgnText pgn = WritePgn(board, tags);
    if (!pgn) return TFileStatus{false, 0, pgn.Message};
    return ReplaceFileBytes(fileName, pgn.Text);
}

namespace {

// Game number `number` of the text, or why it cannot be read.
TGameFileStatus ReadPgnAs(TChessBoard& board, std::string_view text, std::int32_t number,
                          std::string what) {
    TPgnReader reader(text, std::move(what));
    std::optional<TGameFileStatus> status = TGameFileStatus{};
    for (std::int32_t index = 1; index < number && status && *status; ++index)
        status = reader.SkipGame();
    if (status && *status) status = reader.ReadGame(board);
    if (status) return *status;
    const std::string reason = reader.GamesSeen() == 0
                                   ? "keine PGN-Partie gefunden"
                                   : "es gibt keine Partie " + std::to_string(number) + ", nur " +
                                         std::to_string(reader.GamesSeen());
    return Unreadable({0, reason}, reader.What());
}

}  // namespace

TGameFileStatus ReadPgn(TChessBoard& board, std::string_view text, std::int32_t game) {
    return ReadPgnAs(board, text, game, "Die PGN-Partie");
}

TGameFileStatus ReadFenPosition(TChessBoard& board, std::string_view fen) {
    if (const std::optional<std::string> fault = FenPositionError(fen))
        return TGameFileStatus{false, 0, "Ungültige Spielstellung: " + *fault};
    ReadFen(board, fen);
    TGameFileStatus status;
    status.WhiteToMove = board.IsWhiteToMove();
    return status;
}

TGameFileStatus ReadFenOrPgn(TChessBoard& board, std::string_view text) {
    const std::vector<std::string_view> words = Words(text);
    // A PGN may open with a tag, a comment or an escape line, any of which may hold a "/".
    const bool fen = !words.empty() && words.front().find('/') != std::string_view::npos &&
                     !IsResult(words.front()) &&
                     words.front().find_first_of("[{;%") != 0;
    if (!fen) return ReadPgn(board, text);
    const char* const start = words.front().data();
    return ReadFenPosition(
        board, std::string_view(start, static_cast<std::size_t>(words.back().data() +
                                                                words.back().size() - start)));
}

TGameFileStatus LoadPgn(TChessBoard& board, const std::string& fileName, std::int32_t game) {
    std::string bytes;
    if (const TFileStatus read = ReadFileBytes(fileName, bytes); !read)
        return TGameFileStatus{false, 0, read.Message};
    if (!IsUtf8(bytes)) bytes = Win1252ToUtf8(bytes);
    return ReadPgnAs(board, bytes, game, "Die Datei \"" + fileName + "\"");
}

}  // namespace tavlor
