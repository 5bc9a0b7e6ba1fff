#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "rules/ChessBoard.h"
#include "rules/ChessMove.h"

namespace tavlor {

// Codes of the search board: a white piece is positive, the black one the same number negated,
// so that the absolute value is the piece type that indexes PieceValue.
inline constexpr std::int32_t spEmpty = 0;
inline constexpr std::int32_t spPawn = 1;
inline constexpr std::int32_t spRook = 2;
inline constexpr std::int32_t spBishop = 3;
inline constexpr std::int32_t spKnight = 4;
inline constexpr std::int32_t spQueen = 5;
inline constexpr std::int32_t spKing = 6;
inline constexpr std::int32_t spBorder = 100;

inline constexpr std::int32_t MateScore = 32000;
// Scores at or beyond this distance from 0 announce a forced mate.
inline constexpr std::int32_t cMateFound = 31950;
inline constexpr std::int32_t cMoveStackSize = 4000;
inline constexpr std::int32_t cLastPly = 76;
inline constexpr std::int32_t cPlies = cLastPly + 1;
inline constexpr std::int32_t cMainLineEntries = 78;
inline constexpr std::int32_t cSearchBoardSize = 120;
// StopValue before the first report: far outside every score, so it never passes for one.
inline constexpr std::int32_t cNoStopValue = -1073741823;

// Search-board index of file 1..8 (a..h) and rank 1..8: two border rows below and above the
// board and one border column on each side, so that no step or knight jump leaves the array.
constexpr std::int32_t SearchSquare(std::int32_t file, std::int32_t rank) {
    return 10 * (rank + 1) + file;
}
constexpr std::int32_t SquareFile(std::int32_t square) {
    return square % 10;
}
constexpr std::int32_t SquareRank(std::int32_t square) {
    return square / 10 - 1;
}
constexpr bool IsBoardSquare(std::int32_t square) {
    return square >= 21 && square <= 98 && SquareFile(square) >= 1 && SquareFile(square) <= 8;
}

inline constexpr std::int32_t sqA1 = SearchSquare(1, 1);
inline constexpr std::int32_t sqB1 = SearchSquare(2, 1);
inline constexpr std::int32_t sqC1 = SearchSquare(3, 1);
inline constexpr std::int32_t sqD1 = SearchSquare(4, 1);
inline constexpr std::int32_t sqE1 = SearchSquare(5, 1);
inline constexpr std::int32_t sqF1 = SearchSquare(6, 1);
inline constexpr std::int32_t sqG1 = SearchSquare(7, 1);
inline constexpr std::int32_t sqH1 = SearchSquare(8, 1);
inline constexpr std::int32_t sqA8 = SearchSquare(1, 8);
inline constexpr std::int32_t sqB8 = SearchSquare(2, 8);
inline constexpr std::int32_t sqC8 = SearchSquare(3, 8);
inline constexpr std::int32_t sqD8 = SearchSquare(4, 8);
inline constexpr std::int32_t sqE8 = SearchSquare(5, 8);
inline constexpr std::int32_t sqF8 = SearchSquare(6, 8);
inline constexpr std::int32_t sqG8 = SearchSquare(7, 8);
inline constexpr std::int32_t sqH8 = SearchSquare(8, 8);
static_assert(sqA1 == 21 && sqH1 == 28 && sqE1 == 25 && sqA8 == 91 && sqH8 == 98 && sqE8 == 95);

// One generated move of the search. Captured is the type of the taken piece (1 for en passant),
// PromoteTo the new piece's code with the mover's sign, EnPassant the square passed over by a
// double step or the square of the pawn taken en passant. Order is the ordering score, set to
// cPickedOrder once the picker has handed the move out.
struct TSearchMove {
    std::int32_t From = 0;
    std::int32_t To = 0;
    std::int32_t Captured = 0;
    std::int32_t PromoteTo = 0;
    std::int32_t Castle = 0;
    std::int32_t EnPassant = 0;
    std::int32_t Order = 0;
};
inline constexpr std::int32_t cPickedOrder = -32000;
inline constexpr std::int32_t cFirstPickTaken = -2;
inline constexpr std::int32_t cPicksSorted = -3;

struct TKillerMove {
    std::int32_t From = 0;
    std::int32_t To = 0;
};

// A From of 0 ends a main line.
struct TMainLineMove {
    std::int32_t From = 0;
    std::int32_t To = 0;
    std::int32_t PromoteTo = 0;
};
using TMainLineRow = std::array<TMainLineMove, cMainLineEntries>;

// The end of each ply's moves on the move stack; ply -1 stands for "before the root", so that
// the moves of ply p always run from PlyEnd[p - 1] to PlyEnd[p].
class TPlyEndArray {
public:
    std::int32_t& operator[](std::int32_t ply) { return Items[static_cast<std::size_t>(ply + 1)]; }
    std::int32_t operator[](std::int32_t ply) const {
        return Items[static_cast<std::size_t>(ply + 1)];
    }

private:
    std::array<std::int32_t, cPlies + 1> Items{};
};

// Progress report of a running search; setting `stop` to 1 ends the search. The texts stay
// valid only during the call.
using TSearchProgress =
    std::function<void(std::int32_t& stop, std::int32_t value, std::int32_t depth,
                       std::uint64_t nodes, std::string_view moveText, std::string_view mainLine)>;

// Reported once an iteration has searched every root move without being stopped: its depth, the
// shown value of its best move (as TSearchProgress gives it), the node counter and the main line.
using TIterationReport = std::function<void(std::int32_t depth, std::int32_t value,
                                            std::uint64_t nodes, std::string_view mainLine)>;

// All working state of one search: made when ComputeMove starts, thrown away when it returns.
// Everything is a fixed array so that nothing is allocated inside the tree.
struct SearchContext {
    // Settings of the call.
    std::int32_t MaxIterations = 1;
    bool Positional = true;
    bool AbsoluteDeep = false;
    std::array<std::int32_t, 7> PieceValue{};
    std::int32_t EndgameThreshold = 0;

    // The search board and the move data.
    std::array<std::int32_t, cSearchBoardSize> SearchBoard{};
    std::array<std::int32_t, cSearchBoardSize> TouchCount{};
    std::array<bool, 2> Castled{};  // [0] White, [1] Black
    std::int32_t WhiteKingSquare = sqE1;
    std::int32_t BlackKingSquare = sqE8;
    std::int32_t SideToMove = 1;
    std::int32_t Ply = 0;
    // The pieces of the board once more as sets of squares, by colour ([0] White) and type, and
    // all of one colour: kept beside the board by make and take-back (engine/SquareSets.h).
    std::array<std::array<std::uint64_t, 7>, 2> PieceBits{};
    std::array<std::uint64_t, 2> ColourBits{};
    std::array<TSearchMove, cMoveStackSize> MoveStack{};
    std::int32_t StackTop = 0;

    // Per-ply values, indexed by the ply 0..76.
    TPlyEndArray PlyEnd;
    std::array<std::int32_t, cPlies> PlyCentreSum{};
    std::array<std::int32_t, cPlies> PlyTarget{};
    std::array<std::int32_t, cPlies> PlyEnPassant{};
    std::array<std::int32_t, cPlies> PlyMaterial{};
    std::array<std::int32_t, cPlies> PlyPhase{};
    // The picker's first answer at each ply, found while the list was made; cFirstPickTaken
    // once it has been given out, cPicksSorted once the rest are in PickList.
    std::array<std::int32_t, cPlies> PlyFirstPick{};
    // From the second pick on: the ply's remaining moves in picking order, stored beside their
    // stack entries, and how far the picker has got.
    std::array<std::int32_t, cMoveStackSize> PickList{};
    std::array<std::int32_t, cPlies> PlyPickCursor{};
    std::array<std::int32_t, cPlies> PlyPickEnd{};
    std::array<std::array<TKillerMove, 4>, cPlies> Killers{};
    std::array<TMainLineRow, cPlies> MainLineTable{};

    // The running search.
    std::int32_t MaxPly = 0;
    std::int32_t IterationDepth = 0;
    std::int32_t RootScore = 0;
    bool StopFlag = false;
    std::int32_t StopValue = cNoStopValue;
    std::uint64_t Nodes = 0;
    const TSearchProgress* Progress = nullptr;
    const TIterationReport* IterationDone = nullptr;
    // Only these root moves are searched; empty for all of them.
    std::span<const TChessMove> RootMoves;
    std::string ReportedMove;
    std::string ReportedMainLine;
    TChessMove FallbackMove{};
    bool HasFallbackMove = false;
};

inline constexpr std::int32_t ColourIndex(std::int32_t side) {
    return side > 0 ? 0 : 1;
}

// The search board and its moves.
void InitSearchTables(SearchContext& context);
void ConvertPosition(SearchContext& context, const TChessBoard& board, bool whiteToMove);
void GenerateSearchMoves(SearchContext& context, std::int32_t depth);
std::int32_t PickNextMove(SearchContext& context);
void MakeSearchMove(SearchContext& context, std::int32_t index);
void UnmakeSearchMove(SearchContext& context, std::int32_t index);
bool IsAttacked(const SearchContext& context, std::int32_t square, std::int32_t colour);
// What make and take-back keep beside the board - the square sets, the material from the
// mover's view, the phase - agrees with a recount of the board.
bool KeptStateMatchesBoard(const SearchContext& context);

// The static score of the position at the context's ply, from the side to move's view.
std::int32_t Evaluate(SearchContext& context, std::int32_t alpha, std::int32_t beta,
                      std::int32_t side, bool& inCheck);

// A main-line entry or search move in the game's move format.
TChessMove ToGameMove(std::int32_t from, std::int32_t to, std::int32_t promoteTo);

}  // namespace tavlor
