#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "network/ChessConnection.h"
#include "notation/MoveText.h"
#include "tests/platform/TempFolder.h"

namespace tavlor {
namespace {

using enum TConnectionState;
using enum TMessageType;

constexpr int cHalfMoves = 300;

// The knights go out and back, a game of any length.
TChessMove MoveOfPly(int ply) {
    static const TChessMove cycle[] = {
        {7, 1, 6, 3, cEmpty}, {7, 8, 6, 6, cEmpty}, {6, 3, 7, 1, cEmpty}, {6, 6, 7, 8, cEmpty}};
    return cycle[ply % 4];
}

// One player's program: announces, pairs with the other as soon as it sees it, then answers
// every received move with a move and a comment, polling every 2 ms. Returns the exit code: 0
// when every move and comment of the other arrived once and in order.
int PlayerProcess(const std::string& folder, bool white) {
    TChessConnection connection;
    connection.OwnName = white ? "Weiss" : "Schwarz";
    const std::string otherName = white ? "Schwarz" : "Weiss";
    if (connection.SetPath(cKindNetworkFolder, folder) != csConnected ||
        connection.Send({"1"}, mtAskForPlay) != csSent)
        return 2;

    const auto comment = [](int ply) {
        return std::string("Kommentar ").append(std::to_string(ply));
    };
    std::vector<std::string> expected;  // the other's moves (as the file gives them) and comments
    for (int ply = white ? 1 : 0; ply < cHalfMoves; ply += 2)
        expected.insert(expected.end(),
                        {MoveToWireText(MoveOfPly(ply)).substr(0, 7), comment(ply)});
    std::vector<std::string> received;
    std::deque<std::pair<std::string, TMessageType>> outbox;
    int ownPly = white ? 0 : 1;
    const auto play = [&] {
        outbox.emplace_back(MoveToWireText(MoveOfPly(ownPly)), mtMove);
        outbox.emplace_back(comment(ownPly), mtComment);
        ownPly += 2;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (received.size() < expected.size() || !outbox.empty()) {
        if (std::chrono::steady_clock::now() > deadline) return 3;
        if (connection.Connected && ownPly == 0) play();
        if (!outbox.empty()) {
            // Not yet paired (the first move can come before the other's announcement has been
            // seen) or not yet taken: try again at the next poll.
            const TConnectionState state =
                connection.Send({outbox.front().first}, outbox.front().second);
            if (state == csSent)
                outbox.pop_front();
            else if (state != csSending && state != csNotConnected)
                return 4;
        }
        TMessageType type = mtUnknown;
        std::vector<std::string> lines;
        if (connection.Receive(lines, type) != csReceived) return 5;
        if (type == mtAskForPlay && !connection.Connected &&
            std::find(lines.begin(), lines.end(), otherName) != lines.end())
            connection.ConnectTo(otherName);
        if (type == mtMove || type == mtComment)
            received.push_back(lines.empty() ? "-" : lines.front());
        if (type == mtMove && ownPly < cHalfMoves) play();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return received == expected ? 0 : 6;
}

// Both programs share only the transfer file; the profile layer's lock keeps their writes apart
// and the delivery rule keeps each message in the file until it has been taken.
TEST(TwoProcesses, PlayAGameWithEveryMessageOnceAndInOrder) {
    testing::TTempFolder folder;
    pid_t players[2];
    for (int i = 0; i < 2; ++i) {
        players[i] = fork();
        ASSERT_GE(players[i], 0);
        if (players[i] == 0) _exit(PlayerProcess(folder.Path(), i == 0));
    }
    for (pid_t player : players) {
        int status = 0;
        ASSERT_EQ(waitpid(player, &status, 0), player);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
}

}  // namespace
}  // namespace tavlor
