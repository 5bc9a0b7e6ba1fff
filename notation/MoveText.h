#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/ChessMove.h"
#include "rules/PieceCodes.h"

namespace tavlor {

// "P", "N", "B", "R", "Q" or "K" for either colour; a blank for anything else.
char PieceLetter(TPieceCode piece);

// The piece of a letter in the given colour; cEmpty for any other letter.
TPieceCode PieceOfLetter(char letter, bool white);

// The piece a pawn becomes for "Q", "R", "B" or "N" in the given colour; cEmpty for any other
// letter, a king or a pawn included.
TPieceCode PromotionPieceOfLetter(char letter, bool white);

// The nine-character move text: "E2 - E4  ", "E7 - E8 Q", the pass record "A0 - A0  ".
std::string MoveToText(const TChessMove& move);

// The same text as a network move message carries it.
inline std::string MoveToWireText(const TChessMove& move) { return MoveToText(move); }

// Reads a move text (trailing blanks may be missing). The promotion letter gives the piece in the
// colour of the side to move on the receiving board; a letter that names no promotion piece is
// ignored. A damaged text (a file letter outside A to H, a rank outside 1 to 8) gives nothing;
// "A0 - A0" is the pass record.
std::optional<TChessMove> WireTextToMove(std::string_view text, bool whiteToMove);

// Coordinates as chess programs exchange them: "e2e4", "e7e8q". The pass record is "0000".
std::string MoveToUci(const TChessMove& move);

// Reads "e2e4" or "e7e8q" (promotion letter in the mover's colour); nothing when malformed.
std::optional<TChessMove> UciToMove(std::string_view text, bool whiteToMove);

}  // namespace tavlor
