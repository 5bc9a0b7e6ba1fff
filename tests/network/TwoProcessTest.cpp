#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "network/ChessConnection.h"
#include "notation/MoveText.h"
#include "tests/platform/TempFolder.h"

namespace tavlor {
namespace {

using testing::TTempFolder;

constexpr int cHalfMoves = 300;
constexpr auto cPollPause = std::chrono::milliseconds(2);
constexpr auto cTimeLimit = std::chrono::seconds(60);

// The knights go out and back, so every half-move is legal on both boards.
TChessMove MoveOfPly(int ply) {
    static const TChessMove cycle[] = {
        {7, 1, 6, 3, cEmpty}, {7, 8, 6, 6, cEmpty}, {6, 3, 7, 1, cEmpty}, {6, 6, 7, 8, cEmpty}};
    return cycle[ply % 4];
}

std::string CommentOfPly(int ply) {
    return "Kommentar zu Zug " + std::to_string(ply);
}

// One player's program: announces, pairs with the other as soon as it sees it, then answers
// every received move with a move and a comment, polling every few milliseconds. Returns the
// exit code; complaints go to stderr.
int PlayerProcess(const std::string& folder, bool white) {
    const char* ownName = white ? "Weiss" : "Schwarz";
    const char* otherName = white ? "Schwarz" : "Weiss";
    TChessConnection connection;
    connection.OwnName = ownName;
    if (connection.SetPath(cKindNetworkFolder, folder) != TConnectionState::csConnected) return 2;
    if (connection.Send({"1"}, TMessageType::mtAskForPlay) != TConnectionState::csSent) return 3;

    std::deque<std::pair<std::string, TMessageType>> outbox;
    const auto play = [&](int ply) {
        if (!connection.Game.MakeMove(MoveOfPly(ply))) std::fprintf(stderr, "MakeMove %d\n", ply);
        outbox.emplace_back(MoveToWireText(MoveOfPly(ply)), TMessageType::mtMove);
        outbox.emplace_back(CommentOfPly(ply), TMessageType::mtComment);
    };

    int nextPly = white ? 1 : 0;  // the next half-move expected from the other side
    bool expectComment = false;
    const int lastPly = cHalfMoves - 1;
    const auto deadline = std::chrono::steady_clock::now() + cTimeLimit;
    std::vector<std::string> lines;
    while (nextPly <= lastPly || !outbox.empty()) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "%s: time out at half-move %d\n", ownName, nextPly);
            return 4;
        }
        if (connection.Connected && white && connection.Game.PlyCount == 0) play(0);
        if (!outbox.empty()) {
            const TConnectionState state =
                connection.Send({outbox.front().first}, outbox.front().second);
            // Not yet paired (the first move can come before the other's announcement has
            // been seen) or not yet taken: try again at the next poll.
            if (state == TConnectionState::csSent)
                outbox.pop_front();
            else if (state != TConnectionState::csSending &&
                     state != TConnectionState::csNotConnected)
                return 5;
        }
        TMessageType type = TMessageType::mtUnknown;
        lines.clear();
        if (connection.Receive(lines, type) != TConnectionState::csReceived) return 6;
        if (type == TMessageType::mtAskForPlay && !connection.Connected) {
            for (const std::string& player : lines)
                if (player == otherName) connection.ConnectTo(player);
        } else if (type == TMessageType::mtMove) {
            // Every move must be the next one and must follow the comment of the one before.
            const auto move = ReceivedMove(lines, connection.Game.IsWhiteToMove());
            if (expectComment || nextPly > lastPly || !move ||
                !SameMove(*move, MoveOfPly(nextPly)) || !connection.Game.MakeMove(*move)) {
                std::fprintf(stderr, "%s: unexpected move %s at %d\n", ownName,
                             lines.empty() ? "-" : lines[0].c_str(), nextPly);
                return 7;
            }
            expectComment = true;
            if (nextPly + 1 <= lastPly) play(nextPly + 1);
        } else if (type == TMessageType::mtComment) {
            if (!expectComment || lines != std::vector<std::string>{CommentOfPly(nextPly)}) {
                std::fprintf(stderr, "%s: unexpected comment %s at %d\n", ownName,
                             lines.empty() ? "-" : lines[0].c_str(), nextPly);
                return 8;
            }
            expectComment = false;
            nextPly += 2;
        }
        std::this_thread::sleep_for(cPollPause);
    }
    return connection.Game.PlyCount == cHalfMoves ? 0 : 9;
}

// Both programs share only the transfer file; the profile layer's lock keeps their writes apart
// and the delivery rule keeps each message in the file until it has been taken.
TEST(TwoProcesses, PlayAGameWithEveryMessageOnceAndInOrder) {
    TTempFolder folder;
    pid_t players[2];
    for (int i = 0; i < 2; ++i) {
        players[i] = fork();
        ASSERT_GE(players[i], 0);
        if (players[i] == 0) _exit(PlayerProcess(folder.Path(), i == 0));
    }
    for (pid_t player : players) {
        int status = 0;
        ASSERT_EQ(waitpid(player, &status, 0), player);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

}  // namespace
}  // namespace tavlor
