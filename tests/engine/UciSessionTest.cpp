#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

namespace tavlor::test {
namespace {

// tavlor-cli uci as a child process with its standard input and output on pipes.
class TUciProcess {
public:
    TUciProcess() {
        int toChild[2];
        int fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) return;
        Pid = fork();
        if (Pid == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            close(toChild[0]);
            close(toChild[1]);
            close(fromChild[0]);
            close(fromChild[1]);
            execl(TAVLOR_CLI_PATH, TAVLOR_CLI_PATH, "uci", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        Input = toChild[1];
        Output = fromChild[0];
    }
    ~TUciProcess() {
        if (Input >= 0) close(Input);
        if (Output >= 0) close(Output);
        if (Pid > 0 && !Exited) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
    }

    bool Started() const { return Pid > 0 && Input >= 0; }

    void CloseInput() {
        close(Input);
        Input = -1;
    }

    void Send(const std::string& line) {
        const std::string text = line + "\n";
        ASSERT_EQ(write(Input, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // Reads lines until one begins with `prefix`; every line read is kept in Lines. Nothing
    // when the program has not written such a line within the time.
    std::optional<std::string> WaitFor(const std::string& prefix, int timeoutMs = 20000) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            for (std::size_t end; (end = Pending.find('\n')) != std::string::npos;) {
                std::string line = Pending.substr(0, end);
                Pending.erase(0, end + 1);
                Lines.push_back(line);
                if (line.rfind(prefix, 0) == 0) return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) return std::nullopt;
            pollfd ready{Output, POLLIN, 0};
            if (poll(&ready, 1, static_cast<int>(left)) <= 0) return std::nullopt;
            char buffer[4096];
            const ssize_t count = read(Output, buffer, sizeof buffer);
            if (count <= 0) return std::nullopt;
            Pending.append(buffer, static_cast<std::size_t>(count));
        }
    }

    // The exit code once the program has ended by itself; -1 when it has not within the time.
    int WaitForExit(int timeoutMs = 10000) {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            int status = 0;
            if (waitpid(Pid, &status, WNOHANG) == Pid) {
                Exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }

    std::vector<std::string> Lines;

private:
    pid_t Pid = -1;
    int Input = -1;
    int Output = -1;
    bool Exited = false;
    std::string Pending;
};

bool AnyLineContains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

TEST(UciSessionTest, AFullSessionThroughPipes) {
    TUciProcess engine;
    ASSERT_TRUE(engine.Started());

    engine.Send("uci");
    ASSERT_TRUE(engine.WaitFor("uciok"));
    EXPECT_TRUE(AnyLineContains(engine.Lines, "id name Tavlor"));
    EXPECT_TRUE(AnyLineContains(engine.Lines,
                                "option name MatQueen type spin default 900 min 1 max 10000"));
    EXPECT_TRUE(AnyLineContains(engine.Lines, "option name AbsoluteDeep type check"));
    engine.Send("isready");
    ASSERT_TRUE(engine.WaitFor("readyok"));

    // A game position: the answer is a legal move there.
    engine.Send("ucinewgame");
    engine.Send("position startpos moves e2e4 e7e5");
    engine.Send("go depth 3");
    const auto best = engine.WaitFor("bestmove ");
    ASSERT_TRUE(best);
    EXPECT_TRUE(AnyLineContains(engine.Lines, "info depth 3 score cp "));
    EXPECT_TRUE(AnyLineContains(engine.Lines, " pv "));
    TChessBoard board;
    ReadFen(board, cStartFen);
    for (const char* text : {"e2e4", "e7e5"}) {
        board.HistoryTop = 0;
        ASSERT_TRUE(board.MakeMove(*UciToMove(text, board.IsWhiteToMove())));
    }
    const auto move = UciToMove(best->substr(9), board.IsWhiteToMove());
    ASSERT_TRUE(move) << *best;
    EXPECT_TRUE(IsLegalMove(board, *move)) << *best;

    // A mate in one is announced as such.
    engine.Lines.clear();
    engine.Send("position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
    engine.Send("go wtime 60000 btime 60000");
    EXPECT_EQ(engine.WaitFor("bestmove "), "bestmove d1d8");
    EXPECT_TRUE(AnyLineContains(engine.Lines, "score mate 1 "));
    EXPECT_TRUE(AnyLineContains(engine.Lines, " pv d1d8"));

    // An endless search answers "isready" while it runs and ends with "stop".
    engine.Lines.clear();
    engine.Send("position startpos");
    engine.Send("go infinite");
    usleep(200000);
    engine.Send("isready");
    ASSERT_TRUE(engine.WaitFor("readyok"));
    EXPECT_FALSE(AnyLineContains(engine.Lines, "bestmove"));
    engine.Send("stop");
    const auto stopped = engine.WaitFor("bestmove ");
    ASSERT_TRUE(stopped);
    EXPECT_NE(*stopped, "bestmove 0000");

    engine.Send("quit");
    EXPECT_EQ(engine.WaitForExit(), 0);
}

TEST(UciSessionTest, MovetimeStopsTheSearchAndEndOfInputEndsTheSession) {
    TUciProcess engine;
    ASSERT_TRUE(engine.Started());
    engine.Send(
        "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    const auto start = std::chrono::steady_clock::now();
    engine.Send("go movetime 300");
    ASSERT_TRUE(engine.WaitFor("bestmove ", 20000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    // A mated side has no move.
    engine.Send("position fen 5Q1k/8/6K1/8/8/8/8/8 b - - 0 1");
    engine.Send("go depth 2");
    EXPECT_EQ(engine.WaitFor("bestmove "), "bestmove 0000");

    // The end of the input stops even an endless search and ends the session.
    engine.Send("go infinite");
    engine.CloseInput();
    EXPECT_EQ(engine.WaitFor("bestmove ").has_value(), true);
    EXPECT_EQ(engine.WaitForExit(), 0);
}

}  // namespace
}  // namespace tavlor::test
