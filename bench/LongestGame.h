#pragma once

#include "rules/ChessBoard.h"

namespace tavlor::bench {

// A record of the longest length a board holds, the four knights walking out and back, with a
// comment now and then.
inline TChessBoard LongestGame() {
    TChessBoard board;
    const TChessMove round[4] = {
        {7, 1, 6, 3, 0}, {7, 8, 6, 6, 0}, {6, 3, 7, 1, 0}, {6, 6, 7, 8, 0}};
    for (int ply = 0; ply < cMaxHistory; ++ply) {
        if (!board.MakeMove(round[ply % 4])) break;
        if (ply % 10 == 0) board.SetComment(ply % 20 == 0 ? 0 : 1, ply, "Kommentar zum Zug");
    }
    return board;
}

}  // namespace tavlor::bench
