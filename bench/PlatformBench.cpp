// Figures of the file layers: profile calls on a transfer file as a busy network folder holds it
// (every call reads the whole file from disk, as the program does), and saving and loading a game
// of the longest record. Run a Release build.

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/LongestGame.h"
#include "notation/SavedGame.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"
#include "rules/ChessBoard.h"

using namespace tavlor;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A connection identifier of eight capital letters and "_", then the player's name.
std::string SectionName(int player) {
    std::string name = "AAAAAAAA_Spieler " + std::to_string(player);
    for (int k = 0; k < 8; ++k)
        name[k] = static_cast<char>('A' + (player * 7 + k * 3) % 26);
    return name;
}

// 100 players' sections with the messages a section holds while they wait to be taken.
std::string TransferFileBytes() {
    std::string bytes;
    for (int i = 0; i < 100; ++i) {
        bytes.append("[").append(SectionName(i)).append("]\r\n");
        bytes += "AskForPlay=Spieler " + std::to_string(i) + "\r\n";
        bytes += "Move=E2 - E4  \r\n";
        bytes += "Comment=Ein kurzer Kommentar zum Zug " + std::to_string(i) + "\r\n";
    }
    return bytes;
}

template <typename Call>
double MicrosecondsPerCall(int calls, Call call) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i)
            call();
        best = std::min(best, SecondsSince(start) / calls);
    }
    return best * 1e6;
}

void BenchProfileCalls(const std::string& folder) {
    const std::string fileName = folder + "/TAVLOR_TRANS.FER";
    {
        TIniFile ini(fileName);
        const std::string bytes = TransferFileBytes();
        std::FILE* file = std::fopen(fileName.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        std::printf("transfer file: 100 sections, %zu bytes\n", bytes.size());
    }
    TIniFile ini(fileName, TDurability::dbAtomicOnly);
    if (ini.ReadString(SectionName(99), "Move", "") != "E2 - E4")
        std::printf("(the last section's move was not found: the figures are wrong)\n");
    std::size_t seen = 0;
    const double readString = MicrosecondsPerCall(
        2000, [&] { seen += ini.ReadString(SectionName(99), "Move", "").size(); });
    std::printf("ReadString (last section): %.1f us per call (goal < 200)\n", readString);
    std::vector<std::string> names;
    const double readSections = MicrosecondsPerCall(2000, [&] {
        static_cast<void>(ini.ReadSections(names));
        seen += names.size();
    });
    std::printf("ReadSections: %.1f us per call (goal < 200)\n", readSections);
    int counter = 0;
    const double writeString = MicrosecondsPerCall(100, [&] {
        static_cast<void>(ini.WriteString("ABCDEFGH_Bench", "Move", std::to_string(counter++)));
    });
    std::printf("WriteString (lock, temporary file, rename): %.1f us per call\n", writeString);
    if (seen == 0) std::printf("(nothing was read: the figures are wrong)\n");

    TIniFile settings(folder + "/Tavlor.INI");
    const double writeSettings = MicrosecondsPerCall(5, [&] {
        std::filesystem::remove(
            settings.FileName());  // else nothing changes and nothing is written
        static_cast<void>(WriteSettings(settings, TSettings{}));
    });
    std::printf("WriteSettings, 21 keys in one replacement written through to the disk: %.1f ms\n",
                writeSettings / 1e3);
}

void BenchSavedGame(const std::string& folder) {
    TChessBoard board = bench::LongestGame();
    board.WhiteTime = 0.0123;
    board.BlackTime = 0.0456;
    const std::string fileName = folder + "/long.TVG";
    const double save =
        MicrosecondsPerCall(20, [&] { static_cast<void>(SaveGame(board, fileName)); });
    TChessBoard loaded;
    bool good = true;
    const double load =
        MicrosecondsPerCall(20, [&] { good = LoadGame(loaded, fileName).Ok && good; });
    if (!good || loaded.PlyCount != board.PlyCount)
        std::printf("(the game did not load: the figures are wrong)\n");
    std::printf("SaveGame, %d half-moves (temporary file, fsync, rename): %.2f ms (goal < 5)\n",
                board.PlyCount, save / 1e3);
    std::printf("LoadGame, %d half-moves (read, check, replay): %.2f ms (goal < 5)\n",
                loaded.PlyCount, load / 1e3);
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavlor-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    BenchProfileCalls(pattern);
    BenchSavedGame(pattern);
    std::filesystem::remove_all(pattern);
    return 0;
}
