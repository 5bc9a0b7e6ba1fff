#pragma once

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

// The SAN without the check sign, for a writer that makes the move itself afterwards. The board
// is changed only for the legality tests and is as before when the call returns.
std::optional<std::string> MoveToSanBody(TChessBoard& board, const TChessMove& move);

// "#" when the side to move is mated, "+" when it is in check, else empty.
std::string_view CheckSign(TChessBoard& board);

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
