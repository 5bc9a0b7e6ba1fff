#include <gtest/gtest.h>

#include "notation/Fen.h"
#include "rules/Perft.h"

namespace tavlor {
namespace {

struct TPerftRow {
    const char* Fen;
    int Depth;
    std::uint64_t Leaves;
};

// Published counts; they exercise castling, en passant (with rank pins), promotions and checks.
constexpr TPerftRow cPerftRows[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4, 197281},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
    {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
    {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
    {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3, 89890},
    // Black to move with an en-passant square: the record starts with White's double step.
    {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 3, 13160},
};

TEST(Perft, PublishedCounts) {
    for (const TPerftRow& row : cPerftRows) {
        TChessBoard board;
        ReadFen(board, row.Fen);
        const TSquares before = board.Board;
        EXPECT_EQ(Perft(board, row.Depth), row.Leaves) << row.Fen;
        EXPECT_TRUE(SameBoard(board.Board, before)) << row.Fen;
    }
}

}  // namespace
}  // namespace tavlor
