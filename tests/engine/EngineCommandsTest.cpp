#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/cli/RunCli.h"

namespace tavlor::test {
namespace {

// The lines of `seen` that start with `prefix`.
std::vector<std::string> LinesOf(const std::string& seen, std::string_view prefix = "") {
    std::vector<std::string> lines;
    std::istringstream stream(seen);
    for (std::string line; std::getline(stream, line);)
        if (line.starts_with(prefix)) lines.push_back(line);
    return lines;
}

// The tool run in-process: its exit code, what it printed line by line, and its errors.
struct TCommandRun {
    explicit TCommandRun(const cli::TRun& run)
        : Code(run.Code), Lines(LinesOf(run.Out)), Errors(run.Err) {}
    int Code;
    std::vector<std::string> Lines;
    std::string Errors;
};

TCommandRun RunTool(std::vector<std::string_view> args) {
    return TCommandRun(cli::RunCli(std::move(args)));
}

TEST(EngineCommandsTest, SearchPrintsEveryReportAndTheBestMove) {
    const TCommandRun run =
        RunTool({"search", "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "--depth", "3"});
    ASSERT_EQ(run.Code, 0) << run.Errors;
    ASSERT_GE(run.Lines.size(), 2u);
    EXPECT_EQ(run.Lines.front(), "info depth 1 value 507 nodes 1 move Td1-c1 mainline d1-c1");
    EXPECT_EQ(run.Lines.back(), "bestmove d1d8 value 100000 nodes 33");

    // With the queen worth less than a pawn the pawn takes the knight instead, even though the
    // queen takes back.
    const char* fen = "4k3/8/8/3q1n2/4P3/8/8/4K3 w - - 0 1";
    EXPECT_EQ(RunTool({"search", fen, "--depth", "1"}).Lines.back().substr(0, 13), "bestmove e4d5");
    const TCommandRun cheapQueen = RunTool(
        {"search", fen, "--depth", "1", "--material-only", "--values", "50,475,275,325,100"});
    EXPECT_EQ(cheapQueen.Lines.back().substr(0, 13), "bestmove e4f5");
    EXPECT_EQ(RunTool({"search", "startpos", "--depth", "2", "--absolute-deep"}).Code, 0);
    EXPECT_EQ(RunTool({"search", "5Q1k/8/6K1/8/8/8/8/8 b - - 0 1"}).Lines.back(), "bestmove none");
}

TEST(EngineCommandsTest, BadArgumentsAreRefusedInGerman) {
    const std::pair<std::vector<std::string_view>, const char*> rows[] = {
        {{"search", "startpos", "--depth", "0"}, "Ungültige Tiefe: 0"},
        {{"search", "startpos", "--values", "900,475"}, "Ungültige Materialwerte: 900,475"},
        {{"search", "startpos", "--values", "900,475,275,325,100,1"}, "Ungültige Materialwerte"},
        {{"search", "startpos", "--fast"}, "Unbekannte Angabe: --fast"},
        {{"search"}, "Aufruf:"},
        {{"uci", "extra"}, "Aufruf:"},
    };
    for (const auto& [args, message] : rows) {
        const TCommandRun run = RunTool(args);
        EXPECT_EQ(run.Code, 2) << message;
        EXPECT_NE(run.Errors.find(message), std::string::npos) << run.Errors;
    }
}

TEST(EngineCommandsTest, BenchListsEveryPositionAndTheTotal) {
    const TCommandRun run = RunTool({"bench", "--depth", "2"});
    ASSERT_EQ(run.Lines.size(), 11u);
    unsigned long long nodes = 0, sum = 0, ms = 0, nps = 0;
    for (std::size_t i = 0; i < 10; ++i) {
        const std::string format = "position " + std::to_string(i + 1) + " %*[a-z]: %llu nodes";
        EXPECT_EQ(std::sscanf(run.Lines[i].c_str(), format.c_str(), &nodes), 1) << run.Lines[i];
        EXPECT_NE(run.Lines[i].find(" ms bestmove "), std::string::npos) << run.Lines[i];
        sum += nodes;
    }
    EXPECT_EQ(std::sscanf(run.Lines[10].c_str(), "%llu nodes %llu ms %llu nps", &nodes, &ms, &nps),
              3)
        << run.Lines[10];
    EXPECT_EQ(nodes, sum);
}

// `tavlor-cli uci` as a child process with its standard input and output on pipes. It runs
// under `timeout`, so that an engine that hangs ends and fails the test instead of blocking it.
class TUciProcess {
public:
    TUciProcess() {
        signal(SIGPIPE, SIG_IGN);
        int input[2];
        if (pipe(input) != 0) return;
        fcntl(input[1], F_SETFD, FD_CLOEXEC);  // else the engine would never see its input end
        Output = popen(
            ("exec timeout 60 '" TAVLOR_CLI_PATH "' uci <&" + std::to_string(input[0])).c_str(),
            "r");
        close(input[0]);
        Input = fdopen(input[1], "w");
    }
    ~TUciProcess() { Finish(); }

    bool Started() const { return Input != nullptr && Output != nullptr; }

    void Send(const std::string& lines) {
        std::fputs((lines + "\n").c_str(), Input);
        std::fflush(Input);
    }

    // Reads lines up to the first that begins with `prefix` and returns
    // it; "" when the output ends first. An empty prefix reads to the end.
    std::string WaitFor(std::string_view prefix) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, Output) != nullptr) {
            std::string line(buffer);
            if (line.ends_with('\n')) line.pop_back();
            Seen += line + "\n";
            if (!prefix.empty() && line.starts_with(prefix)) return line;
        }
        return "";
    }

    bool Saw(std::string_view text) const { return Seen.find(text) != std::string::npos; }

    // Closes the input, reads the rest of the output and returns the exit code.
    int Finish() {
        if (!Started()) return -1;
        std::fclose(Input);
        WaitFor("");
        const int status = pclose(Output);
        Input = Output = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Seen;  // every line read, each followed by a newline

private:
    FILE* Input = nullptr;
    FILE* Output = nullptr;
};

TEST(EngineCommandsTest, UciSessionThroughPipes) {
    TUciProcess engine;
    ASSERT_TRUE(engine.Started());
    engine.Send("uci");
    ASSERT_NE(engine.WaitFor("uciok"), "");
    EXPECT_TRUE(engine.Saw("id name Tavlor"));
    EXPECT_TRUE(engine.Saw("option name MatQueen type spin default 900 min 1 max 10000"));

    // A game in which Black mates at once, on the clock.
    engine.Send("isready\nucinewgame\nposition startpos moves f2f3 e7e5 g2g4");
    engine.Send("go wtime 60000 btime 60000");
    EXPECT_NE(engine.WaitFor("readyok"), "");
    EXPECT_EQ(engine.WaitFor("bestmove "), "bestmove d8h4");
    EXPECT_TRUE(engine.Saw("score mate 1 "));
    EXPECT_TRUE(engine.Saw(" pv d8h4"));

    engine.Send("position fen 5Q1k/8/6K1/8/8/8/8/8 b - - 0 1\ngo depth 2");
    EXPECT_EQ(engine.WaitFor("bestmove "), "bestmove 0000");

    const auto start = std::chrono::steady_clock::now();
    engine.Send("position startpos\ngo movetime 300");
    EXPECT_NE(engine.WaitFor("bestmove "), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(engine.Saw(" score cp "));

    // An endless search answers "isready" while it runs and its move only after "stop".
    engine.Send("position startpos\ngo infinite");
    usleep(200000);
    engine.Seen.clear();
    engine.Send("isready");
    EXPECT_NE(engine.WaitFor("readyok"), "");
    EXPECT_FALSE(engine.Saw("bestmove"));
    engine.Send("stop");
    const std::string stopped = engine.WaitFor("bestmove ");
    EXPECT_TRUE(stopped.size() > 9 && stopped != "bestmove 0000") << stopped;

    // "quit" ends even an endless search, and so does the end of the input.
    engine.Send("go infinite\nquit");
    EXPECT_NE(engine.WaitFor("bestmove "), "");
    EXPECT_EQ(engine.Finish(), 0);
    TUciProcess closed;
    closed.Send("go infinite");
    EXPECT_EQ(closed.Finish(), 0);
    EXPECT_TRUE(closed.Saw("bestmove "));
}

std::uint64_t NodesOf(const std::string& info) {
    const std::size_t at = info.find(" nodes ");
    return at == std::string::npos ? 0 : std::stoull(info.substr(at + 7));
}

// What other chess programs sent when they drove the engine, one exchange per row: the engine
// must answer every "go" with a move of the side to move (or 0000 when it cannot follow the
// game), within its limits, and say why it refuses anything.
TEST(EngineCommandsTest, UciLimitsRefusalsAndReports) {
    std::string longGame = "position startpos moves";
    for (int ply = 0; ply <= 1000; ++ply) {
        static const char* const shuffle[] = {" g1f3", " g8f6", " f3g1", " f6g8"};
        longGame += shuffle[ply % 4];
    }
    struct TRow {
        std::string Commands;
        std::vector<std::string> Answer;  // the bestmove line must be one of these
        std::vector<std::string> Seen;    // texts every one of which the output holds
    };
    const TRow rows[] = {
        {"position startpos\ngo nodes 20000", {}, {}},
        {"position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\ngo mate 1",
         {"bestmove d1d8"},
         {"score mate 1 "}},
        {"position startpos\ngo depth abc", {}, {"info string Ungültige Zahl: depth abc"}},
        {"position startpos\ngo nodes", {}, {"info string Ungültige Zahl: nodes fehlt"}},
        {"position startpos\ngo wtime -500 btime 1000", {}, {}},
        {"position startpos moves e2e4\ngo wtime 1000 btime 0", {}, {}},
        {longGame + "\ngo depth 1",
         {"bestmove 0000"},
         {"info string Die Partie ist zu lang: mehr als 1000 Halbzüge"}},
        {"position startpos moves e2e4 e2e4\ngo depth 1",
         {"bestmove 0000"},
         {"info string Ungültiger Zug: e2e4"}},
        {"position fen 4k3/8/8/8/8/8/4r3/4K3 w - - 0 1\ngo depth 2", {"bestmove e1e2"}, {}},
        {"position startpos\ngo depth 3 searchmoves h2h3 a2a3 e2e5",
         {"bestmove h2h3", "bestmove a2a3"},
         {"info string Ungültiger Zug: e2e5"}},
    };
    TUciProcess engine;
    ASSERT_TRUE(engine.Started());
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Commands.substr(0, 80));
        engine.Seen.clear();
        const auto start = std::chrono::steady_clock::now();
        engine.Send(row.Commands);
        const std::string answer = engine.WaitFor("bestmove ");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        ASSERT_NE(answer, "");
        if (!row.Answer.empty()) {
            EXPECT_NE(std::find(row.Answer.begin(), row.Answer.end(), answer), row.Answer.end())
                << answer;
        }
        for (const std::string& text : row.Seen)
            EXPECT_TRUE(engine.Saw(text)) << engine.Seen;
        // No score without a legal first move: no empty main line, no "mate 0" for a side that
        // can still move.
        for (const std::string& info : LinesOf(engine.Seen, "info depth ")) {
            EXPECT_FALSE(info.ends_with(" pv") || info.find(" pv ") == std::string::npos) << info;
            EXPECT_EQ(info.find("mate 0 "), std::string::npos) << info;
        }
    }

    // A line at the end of every iteration and a closing one with the final node count; the
    // node limit is kept to within one report.
    engine.Seen.clear();
    engine.Send("position startpos\ngo depth 3");
    ASSERT_NE(engine.WaitFor("bestmove "), "");
    const std::vector<std::string> infos = LinesOf(engine.Seen, "info depth ");
    for (const char* depth : {"info depth 1 ", "info depth 2 ", "info depth 3 "})
        EXPECT_FALSE(LinesOf(engine.Seen, depth).empty()) << depth;
    ASSERT_FALSE(infos.empty());
    for (const std::string& info : infos)
        EXPECT_LE(NodesOf(info), NodesOf(infos.back()));
    engine.Seen.clear();
    engine.Send("go nodes 20000");
    ASSERT_NE(engine.WaitFor("bestmove "), "");
    const std::uint64_t nodes = NodesOf(LinesOf(engine.Seen, "info depth ").back());
    EXPECT_GE(nodes, 20000u);
    EXPECT_LT(nodes, 200000u);
}

}  // namespace
}  // namespace tavlor::test
