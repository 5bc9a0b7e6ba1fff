#pragma once

#include <array>
#include <cstdint>

#include "engine/SearchContext.h"

namespace tavlor {

// Square tables over the 120 search-board indices (0 off the board), built from the rows of one
// side: row 0 is rank 1, row 7 rank 8, columns a to h.
using TSquareTable = std::array<std::int32_t, cSearchBoardSize>;
using TRankRows = std::array<std::array<std::int32_t, 8>, 8>;

constexpr TSquareTable MakeSquareTable(const TRankRows& rows, bool mirrored) {
    TSquareTable table{};
    for (std::int32_t rank = 1; rank <= 8; ++rank)
        for (std::int32_t file = 1; file <= 8; ++file)
            table[static_cast<std::size_t>(SearchSquare(file, rank))] =
                rows[static_cast<std::size_t>(mirrored ? 8 - rank : rank - 1)]
                    [static_cast<std::size_t>(file - 1)];
    return table;
}

// Closeness to the centre: the knights, the king (in the endgame for, in the middlegame against
// it) and the move generator's centre sums all use it. Symmetric under mirroring by rank.
inline constexpr TRankRows cCentreRows = {{
    {6, 0, 12, 18, 18, 12, 0, 6},
    {6, 12, 18, 24, 24, 18, 12, 6},
    {12, 18, 24, 30, 30, 24, 18, 12},
    {18, 24, 30, 36, 36, 30, 24, 18},
    {18, 24, 30, 36, 36, 30, 24, 18},
    {12, 18, 24, 30, 30, 24, 18, 12},
    {6, 12, 18, 24, 24, 18, 12, 6},
    {6, 0, 12, 18, 18, 12, 0, 6},
}};
inline constexpr TSquareTable CentreTable = MakeSquareTable(cCentreRows, false);

// Worth of a pawn's square before the endgame, from White's side; Black uses the mirror image.
inline constexpr TRankRows cWhitePawnRows = {{
    {0, 0, 0, 0, 0, 0, 0, 0},
    {4, 4, 0, 0, 0, 6, 6, 6},
    {6, 6, 8, 8, 8, 4, 6, 6},
    {8, 8, 16, 22, 22, 4, 4, 4},
    {10, 10, 20, 26, 26, 10, 10, 10},
    {12, 12, 22, 28, 28, 14, 14, 14},
    {18, 18, 28, 32, 32, 20, 20, 20},
    {0, 0, 0, 0, 0, 0, 0, 0},
}};
inline constexpr TSquareTable WhitePawnTable = MakeSquareTable(cWhitePawnRows, false);
inline constexpr TSquareTable BlackPawnTable = MakeSquareTable(cWhitePawnRows, true);

static_assert(CentreTable[sqA1] == 6 && CentreTable[sqB1] == 0 && CentreTable[sqG8] == 0);
static_assert(CentreTable[SearchSquare(4, 4)] == 36 && CentreTable[SearchSquare(5, 5)] == 36);
static_assert(WhitePawnTable[SearchSquare(4, 7)] == 32 && BlackPawnTable[SearchSquare(4, 2)] == 32);
static_assert(WhitePawnTable[SearchSquare(6, 2)] == 6 && BlackPawnTable[SearchSquare(6, 7)] == 6);

}  // namespace tavlor
