// Figures of network play: one poll of the transfer file when every network slot of another
// program announces itself, and a game transfer of the longest record. The window polls every
// 125 ms on its only thread, so a pass must stay short. Run a Release build; the folder lies in
// the system's temporary folder.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/LongestGame.h"
#include "network/ChessConnection.h"
#include "notation/SavedGame.h"
#include "platform/IniFile.h"

using namespace tavlor;

namespace {

constexpr int cAnnouncingPlayers = 126;
constexpr int cPasses = 200;

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Runs the call and adds its time in milliseconds to `times`.
template <typename Call>
auto Timed(std::vector<double>& times, Call call) {
    const auto start = std::chrono::steady_clock::now();
    auto result = call();
    times.push_back(MillisecondsSince(start));
    return result;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::unique_ptr<TChessConnection> Open(const std::string& folder, const std::string& player) {
    auto connection = std::make_unique<TChessConnection>();
    connection->OwnName = player;
    if (connection->SetPath(cKindNetworkFolder, folder) != TConnectionState::csConnected)
        return nullptr;
    return connection;
}

// The pending message is a move in the receiver's section, which comes last in the file, so the
// pass reads every section before it finds the move and erases the section.
void BenchReceivePass(const std::string& folder) {
    std::vector<std::unique_ptr<TChessConnection>> players;
    for (int i = 0; i < cAnnouncingPlayers; ++i) {
        players.push_back(Open(folder, "Spieler " + std::to_string(i + 1)));
        if (!players.back() ||
            players.back()->Send({"1"}, TMessageType::mtAskForPlay) != TConnectionState::csSent) {
            std::printf("the folder %s cannot be written\n", folder.c_str());
            return;
        }
    }
    const auto receiver = Open(folder, "Empfaenger");
    TChessConnection& sender = *players.front();
    if (!receiver ||
        receiver->Send({"1"}, TMessageType::mtAskForPlay) != TConnectionState::csSent ||
        sender.ConnectTo("Empfaenger") != TConnectionState::csConnected) {
        std::printf("the receiver cannot be paired\n");
        return;
    }

    // Taking the move erases the receiver's section: one replacement of the whole file. Its share
    // of the pass is measured beside it, as the erasing of a section of its own, since the disk's
    // speed varies from moment to moment.
    TIniFile file = sender.TransferFile();
    std::vector<double> withMessage;
    std::vector<double> withoutMessage;
    std::vector<double> replacements;
    std::vector<std::string> lines;
    TMessageType type = TMessageType::mtUnknown;
    for (int pass = 0; pass < cPasses; ++pass) {
        if (sender.Send({"E2 - E4  "}, TMessageType::mtMove) != TConnectionState::csSent) {
            std::printf("the move cannot be sent\n");
            return;
        }
        auto start = std::chrono::steady_clock::now();
        const TConnectionState state = receiver->Receive(lines, type);
        withMessage.push_back(MillisecondsSince(start));
        if (state != TConnectionState::csReceived || type != TMessageType::mtMove) {
            std::printf("the move did not arrive\n");
            return;
        }

        start = std::chrono::steady_clock::now();
        static_cast<void>(receiver->Receive(lines, type));
        withoutMessage.push_back(MillisecondsSince(start));

        if (!file.WriteString("Messung", "Move", "E2 - E4")) return;
        start = std::chrono::steady_clock::now();
        if (!file.EraseSection("Messung")) return;
        replacements.push_back(MillisecondsSince(start));
    }
    std::sort(replacements.begin(), replacements.end());
    std::sort(withMessage.begin(), withMessage.end());
    std::sort(withoutMessage.begin(), withoutMessage.end());
    std::printf(
        "Receive pass, %d announced players and one pending move: median %.2f ms, 90%% %.2f ms "
        "(goal < 2)\n",
        cAnnouncingPlayers, withMessage[cPasses / 2], withMessage[cPasses * 9 / 10]);
    std::printf("of which erasing the section (one file replacement): median %.2f ms\n",
                replacements[replacements.size() / 2]);
    std::printf("Receive pass, %d announced players, nothing pending: median %.2f ms (%zu names)\n",
                cAnnouncingPlayers, withoutMessage[cPasses / 2], lines.size());
    // cppcheck-suppress invalidPrintfArgType_uint ; %ju is std::uintmax_t's own conversion
    std::printf("transfer file: %ju bytes\n",
                static_cast<std::uintmax_t>(std::filesystem::file_size(sender.TransferFilePath())));
}

// Anna hands Bert the longest game and Bert answers; then Bert's section holds 10,000 numbered
// lines that someone wrote into the folder. The receiver's one-second wait is left out.
void BenchGameTransfer(const std::string& folder) {
    const auto anna = Open(folder, "Anna");
    const auto bert = Open(folder, "Bert");
    if (!anna || !bert ||
        anna->Send({"1"}, TMessageType::mtAskForPlay) != TConnectionState::csSent ||
        bert->Send({"1"}, TMessageType::mtAskForPlay) != TConnectionState::csSent ||
        anna->ConnectTo("Bert") != TConnectionState::csConnected ||
        bert->ConnectTo("Anna") != TConnectionState::csConnected) {
        std::printf("the players cannot be paired\n");
        return;
    }
    bert->GameTransferWait = std::chrono::milliseconds(0);
    const std::vector<std::string> game = GameTransferLines(bench::LongestGame());
    std::vector<double> sends;
    std::vector<double> receives;
    std::vector<double> answers;
    std::vector<std::string> lines;
    TMessageType type = TMessageType::mtUnknown;
    for (int transfer = 0; transfer < 5; ++transfer) {
        const TConnectionState sent =
            Timed(sends, [&] { return anna->Send(game, TMessageType::mtResetBoard); });
        const TConnectionState received =
            Timed(receives, [&] { return bert->Receive(lines, type); });
        if (sent != TConnectionState::csSent || received != TConnectionState::csReceived ||
            type != TMessageType::mtResetBoard || lines != game) {
            std::printf("the game did not arrive whole\n");
            return;
        }
        const TConnectionState answered =
            Timed(answers, [&] { return bert->Send(lines, TMessageType::mtResetBoardOK); });
        if (answered != TConnectionState::csSent ||
            anna->Receive(lines, type) != TConnectionState::csReceived)
            return;
    }
    std::printf(
        "Game transfer, %d half-moves (%zu lines): send %.1f ms, receive %.1f ms, "
        "answer %.1f ms (medians; goal < 100 each)\n",
        cMaxHistory, game.size(), Median(sends), Median(receives), Median(answers));

    constexpr int cFloodLines = 10000;
    std::string section = "[" + bert->OwnSection() + "]\r\n";
    for (int i = 0; i < cFloodLines; ++i)
        section += "ResetBoard_" + std::to_string(i) + "=|Zeile " + std::to_string(i) + "|\r\n";
    if (std::FILE* file = std::fopen(bert->TransferFilePath().c_str(), "wb")) {
        std::fwrite(section.data(), 1, section.size(), file);
        std::fclose(file);
    }
    std::vector<double> flood;
    const TConnectionState flooded = Timed(flood, [&] { return bert->Receive(lines, type); });
    std::printf("Receive of %d numbered lines: %.1f ms, %zu lines taken (goal < 100)\n",
                cFloodLines, flood.front(),
                flooded == TConnectionState::csReceived ? lines.size() : 0);
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavlor-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::printf("no temporary folder\n");
        return 0;
    }
    BenchReceivePass(pattern);
    BenchGameTransfer(pattern);
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return 0;
}
