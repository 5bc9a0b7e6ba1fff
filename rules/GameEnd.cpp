#include "rules/ChessBoard.h"
#include "rules/MoveGeneration.h"

namespace tavlor {

// Repetitions and the plies since the last pawn move or capture are counted in one forward
// replay of the record instead of walking back move by move, which would replay the game once
// per ply. The replay ends at the current ply, leaving the board exactly as the walk would.
TGameState TChessBoard::CheckGameEnd() {
    const bool white = IsWhiteToMove();
    {
        TMoveList list;
        std::int32_t count = 0;
        GenerateMoves(*this, white ? 1 : 0, list, count);
        if (count == 0) {
            if (IsKingInCheck(*this, white ? 1 : 0))
                return white ? TGameState::gsWhiteMated : TGameState::gsBlackMated;
            return white ? TGameState::gsWhiteStalemated : TGameState::gsBlackStalemated;
        }
    }

    const bool testRepetition = HistoryTop >= 6;
    const bool testFiftyMoves = HistoryTop >= 100;
    const std::int32_t plies = PlyCount;
    if ((!testRepetition && !testFiftyMoves) || plies == 0) {
        // Nothing to replay: the start position counts once, and no half-move has been made.
        return TGameState::gsPlaying;
    }

    const TSquares current = Board;
    int matches = 0;
    std::int32_t lastPawnMoveOrCapture = 0;
    GoToStart();
    if (white && SameBoard(Board, current)) ++matches;
    while (PlyCount < plies) {
        const TChessMove& next = History[PlyCount + 1];
        if (!IsPassMove(next)) {
            const TPieceCode moving = Board[next.FromFile][next.FromRank];
            if (moving == cWhitePawn || moving == cBlackPawn ||
                Board[next.ToFile][next.ToRank] != cEmpty)
                lastPawnMoveOrCapture = PlyCount + 1;
        }
        [[maybe_unused]] bool made = MakeMove(next);
        assert(made);
        if (IsWhiteToMove() == white && SameBoard(Board, current)) ++matches;
    }

    if (testRepetition && matches >= 3) return TGameState::gsRepetition;
    if (testFiftyMoves && plies - lastPawnMoveOrCapture >= 100) return TGameState::gsFiftyMoves;
    return TGameState::gsPlaying;
}

}  // namespace tavlor
