#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/ChessBoard.h"

namespace tavlor {

// Standard algebraic notation, the move text of PGN files: English piece letters, the target
// square, the from-file or from-rank only where another piece of the kind could go there too,
// "x" for a capture, "=Q" for a promotion, "O-O" and "O-O-O", "+" and "#".

// The SAN of a move of the side to move, with its check or mate sign; nothing when the move is
// not legal here or a pawn reaching the last rank carries no promotion piece.
std::optional<std::string> MoveToSan(const TChessBoard& board, const TChessMove& move);

// Writes the moves of one game in order and makes each on the board, as PGN export does. From one
// move to the next it keeps where the kings stand and whether the side to move is in check, so
// that the legality test of a move and its check sign are mostly looks along the lines the move
// touches, rather than tests of the whole position.
class TSanWriter {
public:
    // The board must outlive the writer, and nothing else may move on it meanwhile.
    explicit TSanWriter(TChessBoard& board);

    // The SAN of a move of the side to move with its check or mate sign; the move has then been
    // made. Nothing, with the board unchanged, when the move is not legal here, a pawn reaching
    // the last rank carries no promotion piece, or the record is full.
    std::optional<std::string> Play(const TChessMove& move);
    // Hands the move to the other side: the pass record of a game set up with Black to move.
    [[nodiscard]] bool Pass();
    // CheckGameEnd of the position reached; the record is replayed only where a repetition or
    // the fifty-move rule could apply, or no legal move is known.
    TGameState GameEnd();

    // What the legality test knows of the king of the side to move: its square and whether it
    // is in check, or that its side has not exactly one king (then each test covers the board as
    // the move generator's does).
    struct TKingWatch {
        std::int32_t File = 0;
        std::int32_t Rank = 0;
        bool Single = false;
        std::optional<bool> InCheck;  // looked up when first needed
    };

private:
    // Notes whether the king of the side not to move is unattacked, as in any position
    // reached by a legal move; then a move's check sign needs only the lines it changed.
    void NoteWaitingSide();

    TChessBoard& Board;
    std::array<TKingWatch, 2> Kings;  // Black's, White's
    bool WaitingSideSafe = false;
    bool Mated = false;  // the last check sign was "#"
    // Half-moves since the last pawn move or capture; a large number while unknown.
    std::int32_t QuietPlies = 0;
};

enum class TSanError : std::uint8_t {
    seNone,
    seNotAMove,          // not SAN at all
    seIllegal,           // no legal move of the side to move fits
    seAmbiguous,         // more than one fits
    seMissingPromotion,  // a pawn reaches the last rank without a piece letter
};

struct TSanReading {
    TChessMove Move{};  // with its promotion piece in the mover's colour
    TSanError Error = TSanError::seNone;
};

// Reads any legal spelling of a move of the side to move: with or without disambiguation or
// "x", a full from-square ("Ng1f3", "e2-e4"), "0-0" for "O-O", "e8Q" for "e8=Q", and any of
// "+", "#", "!", "?" after it. The board is as before when the call returns.
TSanReading ReadSan(TChessBoard& board, std::string_view text);

}  // namespace tavlor
