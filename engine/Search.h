#pragma once

#include <cstdint>
#include <span>

#include "engine/ComputerSettings.h"
#include "engine/SearchContext.h"
#include "rules/ChessBoard.h"
#include "rules/ChessMove.h"

namespace tavlor {

// Finds the computer's move in the current position of `board` (which is only read) by
// iterative deepening up to `maxIterations` plies. `nodes` is increased by the number of
// evaluated positions. `bestMove` is written when the side to move has a legal move and left
// alone when it has none (mate or stalemate). `progress` is called at every report and is the
// only way to stop the search early. Returns the final root score.
double ComputeMove(const TChessBoard& board, bool whiteToMove, std::int32_t maxIterations,
                   const TSearchProgress& progress, std::uint64_t& nodes, TChessMove& bestMove,
                   bool positional, bool absoluteDeep, std::int32_t queenValue,
                   std::int32_t rookValue, std::int32_t knightValue, std::int32_t bishopValue,
                   std::int32_t pawnValue);

// The same with the material switch, the extension bound and the values taken from `settings`.
double ComputeMove(const TChessBoard& board, bool whiteToMove, std::int32_t maxIterations,
                   const TSearchProgress& progress, std::uint64_t& nodes, TChessMove& bestMove,
                   const TComputerSettings& settings);

// What a caller beyond the window may ask of one search besides the settings.
struct TSearchOptions {
    // Only these root moves are searched, matched by their squares and, where one is given, by
    // the promotion piece; empty for every move.
    std::span<const TChessMove> RootMoves;
    TIterationReport IterationDone;
};

// The same with options; without any it searches exactly as the call above.
double ComputeMove(const TChessBoard& board, bool whiteToMove, std::int32_t maxIterations,
                   const TSearchProgress& progress, std::uint64_t& nodes, TChessMove& bestMove,
                   const TComputerSettings& settings, const TSearchOptions& options);

// The score as the user sees it: unchanged, or for a mate N moves ahead N x 100000, and for
// being mated after the opponent's N-th move -(N + 1) x 100000.
std::int32_t DisplayValue(std::int32_t score);

// The steps of ComputeMove, open for tests that look inside one search. PrepareSearch fills a
// fresh context from the game (values, tables, position) so that SearchRoot can run.
void PrepareSearch(SearchContext& context, const TChessBoard& board, bool whiteToMove,
                   std::int32_t maxIterations, const TComputerSettings& settings,
                   const TSearchProgress* progress);
// Runs the iterations; writes `bestMove` as ComputeMove does and returns the root score.
std::int32_t SearchRoot(SearchContext& context, TChessMove& bestMove);
std::int32_t Search(SearchContext& context, std::int32_t alpha, std::int32_t beta,
                    std::int32_t depth);
void UpdateMainLine(SearchContext& context, std::int32_t index);
void ReportProgress(SearchContext& context, std::int32_t score, std::int32_t index);

}  // namespace tavlor
