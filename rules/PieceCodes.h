#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavlor {

// Piece codes are compared numerically all over the program (a code below cBlackBase is white),
// and saved games and network peers carry them as numbers, so they are fixed values, not an enum.
using TPieceCode = std::int32_t;

inline constexpr TPieceCode cEmpty = 0;
inline constexpr TPieceCode cBlackBase = 0x10000;

inline constexpr TPieceCode cWhitePawn = 10;
inline constexpr TPieceCode cWhiteKnight = 30;
inline constexpr TPieceCode cWhiteBishop = 40;
inline constexpr TPieceCode cWhiteRook = 50;
inline constexpr TPieceCode cWhiteQueen = 90;
inline constexpr TPieceCode cWhiteKing = 640;

inline constexpr TPieceCode cBlackPawn = cWhitePawn + cBlackBase;
inline constexpr TPieceCode cBlackKnight = cWhiteKnight + cBlackBase;
inline constexpr TPieceCode cBlackBishop = cWhiteBishop + cBlackBase;
inline constexpr TPieceCode cBlackRook = cWhiteRook + cBlackBase;
inline constexpr TPieceCode cBlackQueen = cWhiteQueen + cBlackBase;
inline constexpr TPieceCode cBlackKing = cWhiteKing + cBlackBase;

static_assert(cBlackBase == 65536);
static_assert(cBlackPawn == 65546 && cBlackKnight == 65566 && cBlackBishop == 65576);
static_assert(cBlackRook == 65586 && cBlackQueen == 65626 && cBlackKing == 66176);

// The exact comparisons the rules use; no code equals cBlackBase itself.
constexpr bool IsWhitePiece(TPieceCode piece) { return piece > cEmpty && piece < cBlackBase; }
constexpr bool IsBlackPiece(TPieceCode piece) { return piece > cBlackBase; }

// The twelve pieces in the order of the saved game file and of PieceNames.
inline constexpr std::array<TPieceCode, 12> AllPieceCodes = {
    cWhitePawn,   cBlackPawn,  cWhiteKnight, cBlackKnight, cWhiteBishop, cBlackBishop,
    cWhiteRook,   cBlackRook,  cWhiteQueen,  cBlackQueen,  cWhiteKing,   cBlackKing};

inline constexpr std::array<std::string_view, 12> PieceNames = {
    "Weisser Bauer",   "Schwarzer Bauer", "Weisser Springer", "Schwarzer Springer",
    "Weisser Läufer",  "Schwarzer Läufer", "Weisser Turm",    "Schwarzer Turm",
    "Weisse Dame",     "Schwarze Dame",   "Weisser König",    "Schwarzer König"};

// True for cEmpty and the twelve piece codes: what a square may hold.
constexpr bool IsValidSquareCode(TPieceCode code) {
    if (code == cEmpty) return true;
    for (TPieceCode piece : AllPieceCodes)
        if (piece == code) return true;
    return false;
}

// German name of a piece code; empty for cEmpty and unknown codes.
constexpr std::string_view PieceName(TPieceCode piece) {
    for (std::size_t i = 0; i < AllPieceCodes.size(); ++i)
        if (AllPieceCodes[i] == piece) return PieceNames[i];
    return {};
}

}  // namespace tavlor
