#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/ChessMove.h"
#include "rules/IndexedFrom1.h"
#include "rules/PieceCodes.h"

namespace tavlor {

// Squares as [file][rank], both 1 to 8; file 1 is the A file, rank 1 White's back rank.
using TSquares = TIndexedFrom1<TIndexedFrom1<TPieceCode, 8>, 8>;

inline constexpr std::int32_t cMaxHistory = 1000;

// Castling right numbers as the saved game file orders them.
inline constexpr std::int32_t cBlackKingSide = 1;
inline constexpr std::int32_t cBlackQueenSide = 2;
inline constexpr std::int32_t cWhiteKingSide = 3;
inline constexpr std::int32_t cWhiteQueenSide = 4;
using TCastlingRights = TIndexedFrom1<bool, 4>;

// The end-of-game code of a position.
enum class TGameState : std::uint8_t {
    gsPlaying = 0,
    gsWhiteMated = 1,
    gsBlackMated = 2,
    gsWhiteStalemated = 3,
    gsBlackStalemated = 4,
    gsRepetition = 5,
    gsFiftyMoves = 6,
};

// German announcement of a game-end code; empty for gsPlaying.
const char* GameStateMessage(TGameState state);

// Number of missing pieces of one side, for the captured-pieces display.
struct TCapturedPieces {
    std::int32_t Pawns = 0;
    std::int32_t Queens = 0;
    std::int32_t Rooks = 0;
    std::int32_t Bishops = 0;
    std::int32_t Knights = 0;
};

// One game: its start position, the half-moves made from it, the position they lead to, clocks
// and comments. The current position is never undone move by move: it is always StartBoard with
// the first PlyCount history entries replayed, so taking back and redoing only move an index.
class TChessBoard {
public:
    TChessBoard();

    // Starts a new game in the initial position (also what the "new game" command runs).
    void Reset();

    TPieceCode GetSquare(std::int32_t file, std::int32_t rank) const { return Board[file][rank]; }
    void SetSquare(std::int32_t file, std::int32_t rank, TPieceCode piece) {
        Board[file][rank] = piece;
    }
    TPieceCode GetStartSquare(std::int32_t file, std::int32_t rank) const {
        return StartBoard[file][rank];
    }
    void SetStartSquare(std::int32_t file, std::int32_t rank, TPieceCode piece) {
        StartBoard[file][rank] = piece;
    }
    void LoadStartBoard() { Board = StartBoard; }
    void SaveBoardAsStart() { StartBoard = Board; }

    bool IsWhiteToMove() const { return PlyCount % 2 == 0; }
    const TChessMove& GetHistoryMove(std::int32_t index) const { return History[index]; }
    bool IsPromotionPending() const { return PromotionPending; }
    bool HasBothKings() const;
    TCapturedPieces CountCapturedPieces(bool white) const;

    void SetPromotionPiece(TPieceCode piece);
    void AddThinkingTime(double now);

    // Comment lists: 0 holds the player's own comments, 1 those received from the opponent.
    std::string GetComment(std::int32_t list, std::int32_t ply) const;
    void SetComment(std::int32_t list, std::int32_t ply, const std::string& text);
    void TruncateComments(std::int32_t list, std::int32_t count);
    void ClearComments();

    // Makes the move and records it. Refused, with nothing changed, when the history already
    // holds cMaxHistory half-moves or a square lies off the board (the pass record excepted).
    [[nodiscard]] bool MakeMove(const TChessMove& move);
    void TakeBackMove();
    void RedoMove();
    void GoToStart();
    void ClearGame();
    [[nodiscard]] bool AddPassMove() { return MakeMove(cPassMove); }

    // Mate, stalemate, threefold repetition or the fifty-move rule in the current position.
    TGameState CheckGameEnd();

    // Copies this game into `destination` when the board switches between opponent slots: both
    // positions, the record, the clocks, a pending promotion, the comments, and the castling
    // rights, en passant state and SpecialMove that belong to the position.
    void CopyGame(TChessBoard& destination) const;

    TSquares StartBoard{};
    TIndexedFrom1<TChessMove, cMaxHistory> History{};
    std::int32_t PlyCount = 0;
    std::int32_t HistoryPos = 0;
    std::int32_t HistoryTop = 0;
    double WhiteTime = 0;
    double BlackTime = 0;
    double LastClockTime = 0;
    bool PromotionPending = false;
    std::uint8_t PromotionFile = 0;
    std::uint8_t PromotionRank = 0;
    std::array<std::vector<std::string>, 2> Comments;
    bool EnPassantPossible = false;
    std::uint8_t EnPassantFile = 0;
    TCastlingRights CastlingRights{};
    TCastlingRights StartCastlingRights{};
    bool SpecialMove = false;
    TSquares Board{};

private:
    void ReplayTo(std::int32_t plies);
};

// True when both arrays hold the same code on every square.
inline bool SameBoard(const TSquares& a, const TSquares& b) { return a == b; }

}  // namespace tavlor
