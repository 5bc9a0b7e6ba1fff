// Figures of the game object: perft through its own generator, and the game-end test on a full
// record. Run a Release build.

#include <chrono>
#include <cstdio>

#include "notation/Fen.h"
#include "rules/ChessBoard.h"
#include "rules/MoveGeneration.h"
#include "rules/Perft.h"

using namespace tavlor;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BenchPerft() {
    TChessBoard board;
    ReadFen(board, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    double best = 1e9;
    std::uint64_t leaves = 0;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        leaves = Perft(board, 4);
        best = std::min(best, SecondsSince(start));
    }
    std::printf("perft 4 (kiwipete): %llu leaves in %.1f ms, %.1f million leaves/s (goal >= 20)\n",
                static_cast<unsigned long long>(leaves), best * 1e3,
                static_cast<double>(leaves) / best / 1e6);
}

// A record of 1000 half-moves: the four knights walk out and back, round after round.
void BenchCheckGameEnd() {
    TChessBoard board;
    const TChessMove round[4] = {{7, 1, 6, 3, 0}, {7, 8, 6, 6, 0}, {6, 3, 7, 1, 0}, {6, 6, 7, 8, 0}};
    for (int ply = 0; ply < cMaxHistory; ++ply)
        if (!board.MakeMove(round[ply % 4])) return;
    const int calls = 2000;
    int result = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) result += static_cast<int>(board.CheckGameEnd());
    const double perCall = SecondsSince(start) / calls;
    std::printf("CheckGameEnd on %d half-moves: %.1f us per call (goal < 200), state %d\n",
                board.PlyCount, perCall * 1e6, result / calls);
}

}  // namespace

int main() {
    BenchPerft();
    BenchCheckGameEnd();
    return 0;
}
