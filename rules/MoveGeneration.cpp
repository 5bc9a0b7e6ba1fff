#include "rules/MoveGeneration.h"

#include <array>
#include <cstdlib>

namespace tavlor {

namespace {

// The generator works on a private copy of the position with two rings of off-board squares
// around it, so no step needs a bounds test. Index = (file + 1) * 12 + rank + 1: a file step is
// 12, a rank step 1. The game board itself is never touched.
constexpr int cStride = 12;
constexpr int cCells = cStride * cStride;
constexpr TPieceCode cOffBoard = -1;  // neither empty nor a piece of either colour

constexpr int Index(int file, int rank) { return (file + 1) * cStride + rank + 1; }
constexpr int FileOf(int index) { return index / cStride - 1; }
constexpr int RankOf(int index) { return index % cStride - 1; }
constexpr int Step(int fileStep, int rankStep) { return fileStep * cStride + rankStep; }

constexpr std::array<int, 4> cBishopSteps = {Step(1, 1), Step(-1, 1), Step(-1, -1), Step(1, -1)};
constexpr std::array<int, 4> cRookSteps = {Step(1, 0), Step(-1, 0), Step(0, -1), Step(0, 1)};
constexpr std::array<int, 8> cKnightSteps = {Step(-1, -2), Step(1, -2), Step(-1, 2), Step(1, 2),
                                             Step(-2, -1), Step(2, -1), Step(-2, 1), Step(2, 1)};
constexpr std::array<int, 8> cKingSteps = {Step(-1, -1), Step(1, -1), Step(-1, 1), Step(1, 1),
                                           Step(-1, 0),  Step(1, 0),  Step(0, 1),  Step(0, -1)};

// The pieces of one side and of its opponent, as seen from the side whose king is tested.
struct TSidePieces {
    explicit TSidePieces(bool white) : White(white) {
        const TPieceCode own = white ? 0 : cBlackBase;
        const TPieceCode enemy = white ? cBlackBase : 0;
        Pawn = cWhitePawn + own;
        Knight = cWhiteKnight + own;
        Bishop = cWhiteBishop + own;
        Rook = cWhiteRook + own;
        Queen = cWhiteQueen + own;
        King = cWhiteKing + own;
        EnemyPawn = cWhitePawn + enemy;
        EnemyKnight = cWhiteKnight + enemy;
        EnemyBishop = cWhiteBishop + enemy;
        EnemyRook = cWhiteRook + enemy;
        EnemyQueen = cWhiteQueen + enemy;
        EnemyKing = cWhiteKing + enemy;
    }
    bool IsOwn(TPieceCode piece) const { return White ? IsWhitePiece(piece) : IsBlackPiece(piece); }
    bool IsEnemy(TPieceCode piece) const {
        return White ? IsBlackPiece(piece) : IsWhitePiece(piece);
    }

    bool White;
    TPieceCode Pawn, Knight, Bishop, Rook, Queen, King;
    TPieceCode EnemyPawn, EnemyKnight, EnemyBishop, EnemyRook, EnemyQueen, EnemyKing;
};

class TGenerator {
public:
    TGenerator(const TChessBoard& board, bool white) : Board(board), Side(white) {
        Cells.fill(cOffBoard);
        for (int file = 1; file <= 8; ++file)
            for (int rank = 1; rank <= 8; ++rank) {
                const TPieceCode piece = board.Board[file][rank];
                Cells[Index(file, rank)] = piece;
                if (piece == Side.King && KingCount++ == 0) KingSquare = Index(file, rank);
            }
    }

    // The check test of the position as it stands, king found in scan order.
    bool KingAttacked() const {
        if (KingCount == 1) return Attacked(KingSquare);
        if (KingCount == 0) return false;
        for (int file = 1; file <= 8; ++file)
            for (int rank = 1; rank <= 8; ++rank)
                if (Cells[Index(file, rank)] == Side.King) return Attacked(Index(file, rank));
        return false;
    }

    void Generate(TMoveList& list, std::int32_t& count) {
        List = &list;
        Count = &count;
        count = 0;
        TestInFull = KingAttacked();
        for (int file = 1; file <= 8; ++file)
            for (int rank = 1; rank <= 8; ++rank) {
                const int from = Index(file, rank);
                const TPieceCode piece = Cells[from];
                if (!Side.IsOwn(piece)) continue;
                if (piece == Side.Pawn)
                    PawnMoves(from, file, rank);
                else if (piece == Side.Bishop)
                    Slide(from, cBishopSteps);
                else if (piece == Side.Rook)
                    Slide(from, cRookSteps);
                else if (piece == Side.Queen) {
                    Slide(from, cBishopSteps);
                    Slide(from, cRookSteps);
                } else if (piece == Side.Knight)
                    Jump(from, cKnightSteps);
                else if (piece == Side.King)
                    KingMoves(from, file, rank);
            }
    }

private:
    bool Attacked(int king) const {
        for (int step : cRookSteps) {
            int target = king + step;
            while (Cells[target] == cEmpty) target += step;
            const TPieceCode piece = Cells[target];
            if (piece == Side.EnemyRook || piece == Side.EnemyQueen ||
                (piece == Side.EnemyKing && target == king + step))
                return true;
        }
        for (int step : cBishopSteps) {
            int target = king + step;
            while (Cells[target] == cEmpty) target += step;
            const TPieceCode piece = Cells[target];
            if (piece == Side.EnemyBishop || piece == Side.EnemyQueen ||
                (piece == Side.EnemyKing && target == king + step))
                return true;
        }
        for (int step : cKnightSteps)
            if (Cells[king + step] == Side.EnemyKnight) return true;
        const int pawnRank = Side.White ? 1 : -1;
        return Cells[king + Step(1, pawnRank)] == Side.EnemyPawn ||
               Cells[king + Step(-1, pawnRank)] == Side.EnemyPawn;
    }

    // The king was safe and a piece other than the king moves: only a slider on the line from
    // the king through the emptied square can now attack it. The move is already made on Cells.
    bool ExposedThrough(int from) const {
        const int fileStep = (FileOf(from) > FileOf(KingSquare)) - (FileOf(from) < FileOf(KingSquare));
        const int rankStep = (RankOf(from) > RankOf(KingSquare)) - (RankOf(from) < RankOf(KingSquare));
        const int fileDistance = std::abs(FileOf(from) - FileOf(KingSquare));
        const int rankDistance = std::abs(RankOf(from) - RankOf(KingSquare));
        if (fileDistance != 0 && rankDistance != 0 && fileDistance != rankDistance) return false;
        const int step = Step(fileStep, rankStep);
        int target = KingSquare + step;
        while (Cells[target] == cEmpty) target += step;
        const TPieceCode piece = Cells[target];
        if (piece == Side.EnemyQueen) return true;
        return fileStep != 0 && rankStep != 0 ? piece == Side.EnemyBishop : piece == Side.EnemyRook;
    }

    // The make-and-test of one candidate: made on the copy, tested, taken back.
    bool LeavesInCheck(int from, int to) {
        const TPieceCode moving = Cells[from];
        const TPieceCode captured = Cells[to];
        Cells[from] = cEmpty;
        Cells[to] = moving;
        bool attacked;
        if (KingCount != 1)
            attacked = KingAttacked();
        else if (moving == Side.King)
            attacked = Attacked(to);
        else if (TestInFull)
            attacked = Attacked(KingSquare);
        else
            attacked = ExposedThrough(from);
        Cells[from] = moving;
        Cells[to] = captured;
        return attacked;
    }

    void Add(int from, int to) {
        TChessMove& entry = (*List)[++*Count];
        entry.FromFile = static_cast<std::uint8_t>(FileOf(from));
        entry.FromRank = static_cast<std::uint8_t>(RankOf(from));
        entry.ToFile = static_cast<std::uint8_t>(FileOf(to));
        entry.ToRank = static_cast<std::uint8_t>(RankOf(to));
    }

    void Try(int from, int to) {
        if (*Count >= cMaxListMoves) return;  // far beyond any position; never write past the list
        if (!LeavesInCheck(from, to)) Add(from, to);
    }

    void EnPassant(int from, int file, int rank, int fileStep, int forward) {
        const int enPassantRank = Side.White ? 5 : 4;
        const int besideFile = file + fileStep;
        const int beside = from + Step(fileStep, 0);
        // The square behind the pawn must be empty too: a record made without a legality test
        // can put a piece there, and the capture would take it.
        if (!Board.EnPassantPossible || besideFile < 1 || besideFile > 8 || rank != enPassantRank ||
            Cells[beside] != Side.EnemyPawn || Board.EnPassantFile != besideFile ||
            Cells[beside + forward] != cEmpty)
            return;
        // The captured pawn leaves the rank too, so a pin along the rank is seen.
        Cells[beside] = cEmpty;
        const bool wasTestInFull = TestInFull;
        TestInFull = true;
        Try(from, beside + forward);
        TestInFull = wasTestInFull;
        Cells[beside] = Side.EnemyPawn;
    }

    void PawnMoves(int from, int file, int rank) {
        const int forward = Side.White ? 1 : -1;
        const int startRank = Side.White ? 2 : 7;
        EnPassant(from, file, rank, 1, forward);
        EnPassant(from, file, rank, -1, forward);
        if (Cells[from + forward] == cEmpty) {
            Try(from, from + forward);
            if (rank == startRank && Cells[from + 2 * forward] == cEmpty)
                Try(from, from + 2 * forward);
        }
        if (Side.IsEnemy(Cells[from + Step(1, forward)])) Try(from, from + Step(1, forward));
        if (Side.IsEnemy(Cells[from + Step(-1, forward)])) Try(from, from + Step(-1, forward));
    }

    template <std::size_t N>
    void Slide(int from, const std::array<int, N>& steps) {
        for (int step : steps) {
            int target = from + step;
            for (; Cells[target] == cEmpty; target += step) Try(from, target);
            if (Side.IsEnemy(Cells[target])) Try(from, target);
        }
    }

    void Jump(int from, const std::array<int, 8>& steps) {
        for (int step : steps) {
            const TPieceCode target = Cells[from + step];
            if (target == cEmpty || Side.IsEnemy(target)) Try(from, from + step);
        }
    }

    // Castling needs the king on the E file, the squares between empty, and the king safe on its
    // own square and on the squares it crosses and reaches; the B-file square may be attacked.
    // Play clears a right once king or rook leaves home, but a loaded start position may keep a
    // right without them, and castling would then move a rook that is not there: so king and
    // rook must stand at home as well.
    void KingMoves(int from, int file, int rank) {
        Jump(from, cKingSteps);
        if (file != 5 || rank != (Side.White ? 1 : 8)) return;
        const int kingSide = Side.White ? cWhiteKingSide : cBlackKingSide;
        const int queenSide = Side.White ? cWhiteQueenSide : cBlackQueenSide;
        if (Board.CastlingRights[kingSide] && Cells[Index(8, rank)] == Side.Rook &&
            Cells[Index(6, rank)] == cEmpty && Cells[Index(7, rank)] == cEmpty &&
            SafePath(from, {5, 6, 7}, rank))
            Add(from, Index(7, rank));
        if (Board.CastlingRights[queenSide] && Cells[Index(1, rank)] == Side.Rook &&
            Cells[Index(4, rank)] == cEmpty && Cells[Index(3, rank)] == cEmpty &&
            Cells[Index(2, rank)] == cEmpty && SafePath(from, {5, 4, 3}, rank))
            Add(from, Index(3, rank));
    }

    bool SafePath(int from, const std::array<int, 3>& files, int rank) {
        if (*Count >= cMaxListMoves) return false;
        for (int file : files)
            if (LeavesInCheck(from, Index(file, rank))) return false;
        return true;
    }

    const TChessBoard& Board;
    TSidePieces Side;
    std::array<TPieceCode, cCells> Cells{};
    int KingSquare = 0;
    int KingCount = 0;
    // Set while the king is attacked, and for en passant, which empties a third square: then a
    // move is tested against every attacker, not only along the line it opens.
    bool TestInFull = false;
    TMoveList* List = nullptr;
    std::int32_t* Count = nullptr;
};

bool IsSide(std::uint8_t white) { return white == 0 || white == 1; }

}  // namespace

bool IsKingInCheck(const TChessBoard& board, std::uint8_t white) {
    if (!IsSide(white)) return false;
    return TGenerator(board, white == 1).KingAttacked();
}

bool LeavesKingInCheck(TChessBoard& board, const TMoveList& list, std::int32_t index,
                       std::uint8_t white) {
    const TChessMove& move = list[index];
    if (!IsOnBoard(move.FromFile, move.FromRank) || !IsOnBoard(move.ToFile, move.ToRank))
        return IsKingInCheck(board, white);
    TPieceCode& from = board.Board[move.FromFile][move.FromRank];
    TPieceCode& to = board.Board[move.ToFile][move.ToRank];
    const TPieceCode moving = from;
    const TPieceCode captured = to;
    from = cEmpty;
    to = moving;
    const bool attacked = IsKingInCheck(board, white);
    from = moving;
    to = captured;
    return attacked;
}

void GenerateMoves(TChessBoard& board, std::uint8_t white, TMoveList& list, std::int32_t& count) {
    count = 0;
    if (!IsSide(white)) return;
    TGenerator(board, white == 1).Generate(list, count);
}

bool IsLegalMove(TChessBoard& board, const TChessMove& move) {
    if (!IsOnBoard(move.FromFile, move.FromRank) || !IsOnBoard(move.ToFile, move.ToRank))
        return false;
    const TPieceCode piece = board.GetSquare(move.FromFile, move.FromRank);
    if (piece == cEmpty) return false;
    const bool white = piece < cBlackBase;
    if (white != board.IsWhiteToMove()) return false;
    TMoveList list;
    std::int32_t count = 0;
    GenerateMoves(board, white ? 1 : 0, list, count);
    for (std::int32_t i = 1; i <= count; ++i)
        if (SameMove(list[i], move)) return true;
    return false;
}

bool IsPromotionMove(const TChessBoard& board, const TChessMove& move) {
    if ((move.ToRank != 8 && move.ToRank != 1) || !IsOnBoard(move.FromFile, move.FromRank))
        return false;
    const TPieceCode piece = board.GetSquare(move.FromFile, move.FromRank);
    return (piece == cWhitePawn && move.ToRank == 8) || (piece == cBlackPawn && move.ToRank == 1);
}

}  // namespace tavlor
