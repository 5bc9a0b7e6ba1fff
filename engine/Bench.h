#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "rules/ChessMove.h"

namespace tavlor {

// A fixed set of positions searched to a fixed depth with the default settings. The total node
// count is the engine's signature: any change to the search or the evaluation changes it.
struct TBenchPosition {
    std::string_view Name;
    std::string_view Fen;
};

inline constexpr std::array<TBenchPosition, 10> cBenchPositions = {{
    {"opening", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"},
    {"opening", "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"},
    {"middlegame", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"},
    {"middlegame", "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10"},
    {"middlegame", "r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 b - - 0 8"},
    {"tactical", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1"},
    {"tactical", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"},
    {"endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1"},
    {"endgame", "8/8/1p1k4/1P6/2K5/8/8/8 w - - 0 1"},
    {"endgame", "6k1/5p2/6p1/8/7p/8/6PP/6K1 b - - 0 1"},
}};

inline constexpr std::int32_t cBenchDepth = 6;

struct TBenchResult {
    std::uint64_t Nodes = 0;
    TChessMove Move{};
    double Seconds = 0;
};

// Searches one position of the set to `depth` iterations with the default settings.
TBenchResult RunBenchPosition(const TBenchPosition& position, std::int32_t depth);

}  // namespace tavlor
