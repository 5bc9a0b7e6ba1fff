#include "notation/SavedGame.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "platform/IniFile.h"
#include "platform/Win1252.h"
#include "rules/MoveGeneration.h"

namespace tavlor {

namespace {

constexpr std::string_view cTrue = "TRUE";
constexpr std::string_view cFalse = "FALSE";
constexpr std::string_view cNoMove = "...";
constexpr std::size_t cBlockLines = 5;

// Blanks and control characters at both ends go, as the program always trimmed its texts.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

// One comment line of the game text: a line break inside the comment would shift every later
// block, so each becomes a blank.
std::string CommentLine(const TChessBoard& board, std::int32_t list, std::int32_t ply) {
    const std::string comment = board.GetComment(list, ply);
    std::string line;
    line.reserve(comment.size());
    for (std::size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') continue;
        line += comment[i] == '\r' || comment[i] == '\n' ? ' ' : comment[i];
    }
    return std::string(Trim(line));
}

void AddCommentLines(const TChessBoard& board, std::int32_t ply, std::vector<std::string>& lines) {
    lines.push_back(CommentLine(board, 0, ply));
    lines.push_back(CommentLine(board, 0, ply + 1));
    lines.push_back(CommentLine(board, 1, ply));
    lines.push_back(CommentLine(board, 1, ply + 1));
}

// A fault found while reading: the line as an index into the lines read, and why.
struct TReadError {
    std::size_t Index = 0;
    std::string Reason;
};

using TReadResult = std::optional<TReadError>;

TReadError Fault(std::size_t index, std::string reason) {
    return {index, std::move(reason)};
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    return quoted.append(text).append("\"");
}

// The character at a 1-based position of a move line; a line cut short reads as blanks.
char At(std::string_view line, std::size_t position) {
    return position <= line.size() ? line[position - 1] : ' ';
}

int FileOfLetter(char letter) {
    const std::size_t found = std::string_view("ABCDEFGH").find(letter);
    return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

int RankOfDigit(char digit) {
    return digit >= '0' && digit <= '8' ? digit - '0' : -1;
}

// The move whose from-square stands at `column`; its to-square follows five characters later and
// the promotion letter eight. The promotion piece takes the colour of the mover of that column.
std::optional<TChessMove> ReadMoveAt(std::string_view line, std::size_t column, bool white) {
    const int fromFile = FileOfLetter(At(line, column));
    const int fromRank = RankOfDigit(At(line, column + 1));
    const int toFile = FileOfLetter(At(line, column + 5));
    const int toRank = RankOfDigit(At(line, column + 6));
    if (fromFile == 0 || fromRank < 0 || toFile == 0 || toRank < 0) return std::nullopt;
    const auto u8 = [](int value) { return static_cast<std::uint8_t>(value); };
    TChessMove move{u8(fromFile), u8(fromRank), u8(toFile), u8(toRank), cEmpty};
    if (!HasValidSquares(move)) return std::nullopt;
    const char letter = At(line, column + 8);
    if (letter != ' ') {
        move.Promotion = PromotionPieceOfLetter(letter, white);
        if (move.Promotion == cEmpty) return std::nullopt;
    }
    return move;
}

// Makes one move of the game text if the rules allow it. The pass record may stand only as the
// first half-move, where it hands a set-up position to Black. A promotion letter of a move that
// promotes nothing is dropped; a promoting move needs a queen, rook, bishop or knight.
TReadResult MakeReadMove(TChessBoard& game, TChessMove move, std::size_t index) {
    const bool legal = IsPassMove(move) ? game.PlyCount == 0 : IsLegalMove(game, move);
    if (!legal) return Fault(index, "regelwidriger Zug " + Quoted(MoveToText(move)));
    const bool promotes = !IsPassMove(move) && IsPromotionMove(game, move);
    if (!promotes) move.Promotion = cEmpty;
    const TPieceCode colour = game.IsWhiteToMove() ? cEmpty : cBlackBase;
    const bool knownPiece =
        move.Promotion == colour + cWhiteQueen || move.Promotion == colour + cWhiteRook ||
        move.Promotion == colour + cWhiteBishop || move.Promotion == colour + cWhiteKnight;
    if (promotes && !knownPiece)
        return Fault(index, "Umwandlung ohne gültige Figur " + Quoted(MoveToText(move)));
    if (!game.MakeMove(move))
        return Fault(index, "mehr als " + std::to_string(cMaxHistory) + " Halbzüge");
    return std::nullopt;
}

// Makes the moves of one move line; tells in `complete` whether it held Black's move too.
TReadResult ReadMoveLine(TChessBoard& game, const std::vector<std::string>& lines,
                         std::size_t index, bool& complete) {
    const std::string_view line = lines[index];
    const std::optional<TChessMove> first = ReadMoveAt(line, 6, true);
    if (!first) return Fault(index, "ungültiger Zug " + Quoted(line));
    std::optional<TChessMove> second;
    complete = FileOfLetter(At(line, 18)) != 0;
    if (complete) {
        second = ReadMoveAt(line, 18, false);
        if (!second) return Fault(index, "ungültiger Zug " + Quoted(line));
    } else if (line.size() < 20 || line.substr(17, 3) != cNoMove) {
        return Fault(index, "ungültiger Zug " + Quoted(line));
    }
    if (TReadResult fault = MakeReadMove(game, *first, index)) return fault;
    if (second) return MakeReadMove(game, *second, index);
    return std::nullopt;
}

// Reads the game text starting at `first` into `game`, which may be left half-built on a fault.
TReadResult ReadGameTextInto(TChessBoard& game, const std::vector<std::string>& lines,
                             std::size_t first) {
    game.ClearComments();
    game.History.Fill(TChessMove{});
    game.GoToStart();
    game.HistoryTop = 0;
    bool blackMissing = false;
    std::int32_t block = 0;
    for (std::size_t group = first;; group += cBlockLines, ++block) {
        if (group >= lines.size())
            return Fault(group, "der Schlussblock " + Quoted(cFinalComments) + " fehlt");
        if (group + cBlockLines > lines.size()) return Fault(lines.size(), "die Zeile fehlt");
        const bool closing = Trim(lines[group]) == cFinalComments;
        if (!closing) {
            // Only the last move line may lack Black's move.
            if (blackMissing)
                return Fault(group,
                             "Zug nach einer unvollständigen Zugzeile " + Quoted(lines[group]));
            bool complete = true;
            if (TReadResult fault = ReadMoveLine(game, lines, group, complete)) return fault;
            blackMissing = !complete;
        }
        game.SetComment(0, 2 * block, lines[group + 1]);
        game.SetComment(0, 2 * block + 1, lines[group + 2]);
        game.SetComment(1, 2 * block, lines[group + 3]);
        game.SetComment(1, 2 * block + 1, lines[group + 4]);
        if (closing) {
            for (std::size_t rest = group + cBlockLines; rest < lines.size(); ++rest)
                if (!Trim(lines[rest]).empty())
                    return Fault(rest, "Text nach dem Schlussblock " + Quoted(lines[rest]));
            break;
        }
    }
    game.LastClockTime = 0;
    return std::nullopt;
}

std::optional<std::int32_t> ReadNumber(std::string_view line) {
    return ParseProfileInteger(Trim(line));
}

// Any ordinary decimal or scientific notation, with a point or (as a German system writes it)
// a comma.
std::optional<double> ReadTime(std::string_view line) {
    std::string text(Trim(line));
    for (char& c : text)
        if (c == ',') c = '.';
    if (!text.empty() && text.front() == '+') text.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

TReadResult ReadHeaderInto(TChessBoard& game, const std::vector<std::string>& lines) {
    if (lines.size() < static_cast<std::size_t>(cGameHeaderLines))
        return Fault(lines.size(), "die Zeile fehlt");
    game.ClearComments();
    game.ClearGame();
    game.HistoryTop = 0;

    std::size_t index = 1;  // line 1, the title, says nothing about the game
    for (TPieceCode code : AllPieceCodes) {
        // Another program's piece codes would turn every square into something else.
        if (ReadNumber(lines[index]) != code)
            return Fault(index, "unbekannter Figurencode " + Quoted(lines[index]));
        ++index;
    }
    game.EnPassantPossible = lines[index++] == cTrue;
    const std::optional<std::int32_t> enPassantFile = ReadNumber(lines[index]);
    if (!enPassantFile || *enPassantFile < 0 || *enPassantFile > 8)
        return Fault(index, "ungültige En-passant-Linie " + Quoted(lines[index]));
    game.EnPassantFile = static_cast<std::uint8_t>(*enPassantFile);
    ++index;
    for (std::int32_t right = 1; right <= 4; ++right)
        game.StartCastlingRights[right] = lines[index++] == cTrue;
    for (std::int32_t file = 1; file <= 8; ++file)
        for (std::int32_t rank = 1; rank <= 8; ++rank) {
            const std::optional<std::int32_t> code = ReadNumber(lines[index]);
            if (!code || !IsValidSquareCode(*code))
                return Fault(index, "ungültiger Feldinhalt " + Quoted(lines[index]));
            game.StartBoard[file][rank] = *code;
            ++index;
        }
    game.StartCastlingRights = PossibleCastlingRights(game.StartBoard, game.StartCastlingRights);
    for (double* clock : {&game.WhiteTime, &game.BlackTime}) {
        const std::optional<double> time = ReadTime(lines[index]);
        if (!time) return Fault(index, "ungültige Zeitangabe " + Quoted(lines[index]));
        *clock = *time;
        ++index;
    }
    return std::nullopt;
}

TGameFileStatus Damaged(const TReadError& fault, const std::string& what) {
    TGameFileStatus status;
    status.Ok = false;
    status.Line = static_cast<std::int32_t>(fault.Index) + 1;
    status.Message =
        what + " ist beschädigt (Zeile " + std::to_string(status.Line) + "): " + fault.Reason + ".";
    return status;
}

TGameFileStatus Loaded(TChessBoard& board, const TChessBoard& game) {
    board = game;
    TGameFileStatus status;
    status.WhiteToMove = board.IsWhiteToMove();
    return status;
}

// A file that neither begins with the program's title nor holds its piece codes is no saved game
// at all; naming a damaged line of it would mislead.
bool IsGameFile(const std::vector<std::string>& lines) {
    if (!lines.empty() && Trim(lines[0]).substr(0, 6) == "Tavlor") return true;
    for (std::size_t i = 0; i < AllPieceCodes.size(); ++i)
        if (i + 1 >= lines.size() || ReadNumber(lines[i + 1]) != AllPieceCodes[i]) return false;
    return true;
}

// The start position must be playable, with Black to move when the game begins with the pass
// record; otherwise a legal move could take a king.
TReadResult CheckStartPosition(const TChessBoard& game, const std::vector<std::string>& lines) {
    constexpr std::size_t cFirstMoveLine = cGameHeaderLines;
    constexpr std::size_t cFirstSquareLine = 19;
    const std::optional<TChessMove> first =
        cFirstMoveLine < lines.size() ? ReadMoveAt(lines[cFirstMoveLine], 6, true) : std::nullopt;
    TChessBoard start = game;
    start.LoadStartBoard();
    if (std::optional<std::string> fault = PositionError(start, !(first && IsPassMove(*first))))
        return Fault(cFirstSquareLine, "ungültige Ausgangsstellung: " + *fault);
    return std::nullopt;
}

// Reads header and game text into a copy of the board; the board takes it only when all is good.
TGameFileStatus ReadGame(TChessBoard& board, const std::vector<std::string>& lines,
                         const std::string& what) {
    if (!IsGameFile(lines)) {
        TGameFileStatus status;
        status.Ok = false;
        status.Message = what + " ist keine Tavlor-Partie.";
        return status;
    }
    TChessBoard game = board;
    TReadResult fault = ReadHeaderInto(game, lines);
    if (!fault) fault = CheckStartPosition(game, lines);
    if (!fault) fault = ReadGameTextInto(game, lines, static_cast<std::size_t>(cGameHeaderLines));
    return fault ? Damaged(*fault, what) : Loaded(board, game);
}

}  // namespace

std::string FormatGameTime(double days) {
    if (!std::isfinite(days)) days = 0;
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.14E", std::fabs(days));
    const std::string_view text = digits;
    const std::size_t mark = text.find('E');
    const int exponent = std::atoi(digits + mark + 1);
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
    std::string result = days < 0 ? "-" : " ";
    return result.append(text.substr(0, mark)).append(tail);
}

void WriteGameText(const TChessBoard& board, std::vector<std::string>& lines) {
    std::int32_t ply = 1;
    for (; ply <= board.PlyCount; ply += 2) {
        char number[16];
        std::snprintf(number, sizeof number, "%3d. ", (ply + 1) / 2);
        std::string line = number + MoveToText(board.History[ply]) + "   ";
        line += ply + 1 <= board.PlyCount ? MoveToText(board.History[ply + 1]) : cNoMove;
        lines.push_back(std::move(line));
        AddCommentLines(board, ply - 1, lines);
    }
    lines.emplace_back(cFinalComments);
    AddCommentLines(board, ply - 1, lines);
}

TGameFileStatus ReadGameText(TChessBoard& board, const std::vector<std::string>& lines) {
    TChessBoard game = board;
    if (TReadResult fault = ReadGameTextInto(game, lines, 0))
        return Damaged(*fault, "Der Spieltext");
    return Loaded(board, game);
}

std::vector<std::string> WriteGameLines(const TChessBoard& board) {
    std::vector<std::string> lines;
    lines.emplace_back(cGameFileTitle);
    for (TPieceCode code : AllPieceCodes)
        lines.push_back(std::to_string(code));
    lines.emplace_back(board.EnPassantPossible ? cTrue : cFalse);
    lines.push_back(std::to_string(board.EnPassantFile));
    for (std::int32_t right = 1; right <= 4; ++right)
        lines.emplace_back(board.StartCastlingRights[right] ? cTrue : cFalse);
    for (std::int32_t file = 1; file <= 8; ++file)
        for (std::int32_t rank = 1; rank <= 8; ++rank)
            lines.push_back(std::to_string(board.StartBoard[file][rank]));
    lines.push_back(FormatGameTime(board.WhiteTime));
    lines.push_back(FormatGameTime(board.BlackTime));
    WriteGameText(board, lines);
    return lines;
}

TGameFileStatus ReadGameLines(TChessBoard& board, const std::vector<std::string>& lines) {
    return ReadGame(board, lines, "Die Spieldaten");
}

TFileStatus SaveGame(const TChessBoard& board, const std::string& fileName) {
    std::string bytes;
    for (const std::string& line : WriteGameLines(board)) {
        bytes += Utf8ToWin1252(line);
        bytes += "\r\n";
    }
    return ReplaceFileBytes(fileName, bytes);
}

TGameFileStatus LoadGame(TChessBoard& board, const std::string& fileName) {
    std::string bytes;
    if (const TFileStatus read = ReadFileBytes(fileName, bytes); !read) {
        TGameFileStatus status;
        status.Ok = false;
        status.Message = read.Message;
        return status;
    }
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(bytes))
        lines.push_back(Win1252ToUtf8(line));
    return ReadGame(board, lines, "Die Datei \"" + fileName + "\"");
}

}  // namespace tavlor
