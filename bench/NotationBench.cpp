// Figures of the PGN layer on a file of 10,000 random legal games: writing them (SAN with its
// legality and check tests, tags, line filling) and importing the file again (reading, every move
// found among the legal ones and made on the board). Run a Release build; the figures by CPU
// time stand beside those by the clock because a busy machine lowers the latter.

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "notation/Pgn.h"
#include "platform/FileAccess.h"
#include "rules/ChessBoard.h"
#include "rules/MoveGeneration.h"

using namespace tavlor;

namespace {

constexpr double cGoalGamesPerSecond = 20000;

// Clock and CPU seconds of one stretch of work, the best of several runs.
struct TSeconds {
    double Clock = 1e9;
    double Cpu = 1e9;
};

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

template <typename Work>
TSeconds BestOfThree(Work work) {
    TSeconds best;
    for (int run = 0; run < 3; ++run) {
        const auto clockStart = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        work();
        best.Cpu = std::min(best.Cpu, CpuSeconds() - cpuStart);
        best.Clock = std::min(
            best.Clock,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - clockStart).count());
    }
    return best;
}

void PrintRate(const char* what, int games, std::size_t plies, TSeconds seconds) {
    std::printf(
        "%s: %.0f games/s, %.2f million half-moves/s; by CPU time %.0f games/s "
        "(goal >= %.0f games/s)\n",
        what, games / seconds.Clock, static_cast<double>(plies) / seconds.Clock / 1e6,
        games / seconds.Cpu, cGoalGamesPerSecond);
}

// Random legal moves until mate, stalemate or 40 to 120 half-moves (the length of most games in
// a database), promotions to a random piece.
std::vector<TChessMove> RandomGame(std::mt19937& random) {
    TChessBoard board;
    std::vector<TChessMove> moves;
    const int length = std::uniform_int_distribution<int>(40, 120)(random);
    TMoveList list;
    for (int ply = 0; ply < length; ++ply) {
        std::int32_t count = 0;
        GenerateMoves(board, board.IsWhiteToMove() ? 1 : 0, list, count);
        if (count == 0) break;
        TChessMove move = list[std::uniform_int_distribution<std::int32_t>(1, count)(random)];
        if (IsPromotionMove(board, move)) {
            constexpr TPieceCode cPieces[4] = {cWhiteQueen, cWhiteRook, cWhiteBishop, cWhiteKnight};
            move.Promotion = cPieces[random() % 4] + (board.IsWhiteToMove() ? 0 : cBlackBase);
        }
        if (!board.MakeMove(move)) break;
        moves.push_back(move);
    }
    return moves;
}

// Every tenth game carries a comment.
void Rebuild(TChessBoard& board, const std::vector<TChessMove>& moves, std::size_t game) {
    board.Reset();
    for (const TChessMove& move : moves)
        static_cast<void>(board.MakeMove(move));
    if (game % 10 == 0) board.SetComment(0, 1, "Ein Kommentar zum ersten Zug, mit Umlauten: äöü");
}

}  // namespace

int main(int argc, char** argv) {
    // A smaller count makes a quick run under a profiler.
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    std::mt19937 random(20240517);
    std::vector<std::vector<TChessMove>> records;
    std::size_t plies = 0;
    for (int i = 0; i < games; ++i) {
        records.push_back(RandomGame(random));
        plies += records.back().size();
    }

    // Export is what remains of rebuilding and writing every game once rebuilding is taken off.
    TChessBoard board;
    std::string text;
    bool written = true;
    const TSeconds rebuilding = BestOfThree([&] {
        for (std::size_t i = 0; i < records.size(); ++i)
            Rebuild(board, records[i], i);
    });
    TSeconds writing = BestOfThree([&] {
        text.clear();
        for (std::size_t i = 0; i < records.size(); ++i) {
            Rebuild(board, records[i], i);
            TPgnTags tags;
            tags.Round = std::to_string(i + 1);
            const TPgnText pgn = WritePgn(board, tags);
            written = written && pgn.Ok;
            text += pgn.Text;
        }
    });
    writing.Clock -= rebuilding.Clock;
    writing.Cpu -= rebuilding.Cpu;
    std::printf("%d random games, %.1f half-moves on average, %.1f MB of PGN\n", games,
                static_cast<double>(plies) / games, static_cast<double>(text.size()) / 1e6);
    if (!written) std::printf("(a game could not be written: the figures are wrong)\n");
    PrintRate("export", games, plies, writing);

    std::string folder = (std::filesystem::temp_directory_path() / "tavlor-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return 1;
    const std::string fileName = folder + "/games.pgn";
    if (!ReplaceFileBytes(fileName, text, nullptr, TDurability::dbAtomicOnly)) return 1;
    int imported = 0;
    std::size_t importedPlies = 0;
    const TSeconds reading = BestOfThree([&] {
        std::string bytes;
        imported = 0;
        importedPlies = 0;
        if (!ReadFileBytes(fileName, bytes)) return;
        TPgnReader reader(bytes, fileName);
        for (std::optional<TGameFileStatus> status = reader.ReadGame(board); status && *status;
             status = reader.ReadGame(board)) {
            ++imported;
            importedPlies += static_cast<std::size_t>(board.PlyCount);
        }
    });
    std::filesystem::remove_all(folder);
    if (imported != games || importedPlies != plies)
        std::printf("(%d games with %zu half-moves came back: the figures are wrong)\n", imported,
                    importedPlies);
    PrintRate("import (file read, every move checked and made)", games, plies, reading);
    std::printf("export is %.2f times as fast as import by CPU time (goal >= 1)\n",
                reading.Cpu / writing.Cpu);
    return 0;
}
