#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "notation/SavedGame.h"
#include "platform/DateTime.h"
#include "platform/FileAccess.h"
#include "rules/ChessBoard.h"

namespace tavlor {

// Portable Game Notation, the text in which chess databases, web sites and engine tools keep
// games: tag pairs, then the moves in standard algebraic notation with comments in braces.
// Text is UTF-8 here and in the files written; a file that is not UTF-8 is read as
// Windows-1252, the code page of older PGN files.

inline constexpr std::string_view cPgnUnknownDate = "????.??.??";

// The roster tags that the game does not know itself; the result comes from the game.
struct TPgnTags {
    std::string Event = "Tavlor";
    std::string Site = "?";
    std::string Date = std::string(cPgnUnknownDate);
    std::string Round = "-";
    std::string White = "?";
    std::string Black = "?";
};

// "2024.05.17" for a date-time of the program's clocks.
std::string PgnDate(TDateTime when);

// The tags a game gives by itself: the date on which its clocks last ran, if they ever did.
TPgnTags GameTags(const TChessBoard& board);

struct [[nodiscard]] TPgnText {
    bool Ok = true;
    std::string Text;     // the game, ending in an empty line
    std::string Message;  // German, when the record cannot be written as PGN

    explicit operator bool() const { return Ok; }
};

// The moves up to the current position as one PGN game: the seven roster tags, "SetUp" and
// "FEN" for a game that does not start from the initial position (a leading pass record makes
// Black the side to move there), the moves, the comments of both lists at a place as one comment
// in braces (one holding "}" after ";"), the result from the game-end state, lines of at most 80
// characters but for a ";" comment or a single word that is longer. A record holding a move that is
// not legal (only a damaged game file gives one) cannot be written; the message names it.
TPgnText WritePgn(const TChessBoard& board, const TPgnTags& tags);

// Writes the game as a PGN file, replacing an existing one only once the new one is complete.
TFileStatus SavePgn(const TChessBoard& board, const TPgnTags& tags, const std::string& fileName);

// Replaces the game with game number `game` (from 1) of a PGN text, built move by move as at the
// board, and leaves the board at its end. A "FEN" tag gives the start position; one that
// FenPositionError refuses is refused. Variations, NAGs, move numbers and annotation signs are
// passed over; the comments of the main line go to comment list 0, several at one place joined
// by a blank, each run of white space as one blank.
// An illegal, ambiguous or unreadable move, a game longer than the record holds, or damaged
// PGN leaves the board untouched; the message names the line and the move.
TGameFileStatus ReadPgn(TChessBoard& board, std::string_view text, std::int32_t game = 1);

// A position in Forsyth-Edwards notation as it is typed in: one that FenPositionError refuses
// leaves the board untouched, with "Ungültige Spielstellung: " and the reason as the message.
TGameFileStatus ReadFenPosition(TChessBoard& board, std::string_view fen);

// A position in Forsyth-Edwards notation or a PGN game, as pasted: a text whose first word holds
// a "/" (and is no result) is read by ReadFenPosition without the blanks around it; any other
// text as the first game of a PGN text. A refused text leaves the board untouched.
TGameFileStatus ReadFenOrPgn(TChessBoard& board, std::string_view text);

class TPgnLexer;

// Reads the games of a PGN text one after another, for a text of many games.
class TPgnReader {
public:
    // `text` must outlive the reader; `what` opens the messages ("Die Datei \"x.pgn\"").
    TPgnReader(std::string_view text, std::string what);
    ~TPgnReader();
    TPgnReader(const TPgnReader&) = delete;
    TPgnReader& operator=(const TPgnReader&) = delete;

    // The next game into `board` as ReadPgn reads it; nothing when no further game follows or
    // damage to the text (a comment without its end) leaves no way to tell where it starts.
    // After a refused move the next call goes on with the following game.
    std::optional<TGameFileStatus> ReadGame(TChessBoard& board);
    // Passes over the next game without playing its moves; nothing as for ReadGame.
    std::optional<TGameFileStatus> SkipGame();

    std::int32_t GamesSeen() const { return Games; }
    const std::string& What() const { return FWhat; }

private:
    std::unique_ptr<TPgnLexer> Lexer;
    std::string FWhat;
    std::int32_t Games = 0;
};

// ReadPgn on a file's text.
TGameFileStatus LoadPgn(TChessBoard& board, const std::string& fileName, std::int32_t game = 1);

}  // namespace tavlor
