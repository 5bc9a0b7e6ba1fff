#include "engine/Bench.h"

#include <chrono>

#include "engine/Search.h"
#include "notation/Fen.h"

namespace tavlor {

TBenchResult RunBenchPosition(const TBenchPosition& position, std::int32_t depth) {
    TChessBoard board;
    ReadFen(board, position.Fen);
    const TSearchProgress noReport;
    TBenchResult result;
    const auto start = std::chrono::steady_clock::now();
    ComputeMove(board, board.IsWhiteToMove(), depth, noReport, result.Nodes, result.Move,
                TComputerSettings{});
    result.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

}  // namespace tavlor
