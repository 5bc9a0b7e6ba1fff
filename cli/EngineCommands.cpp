// The engine on the command line: one search with its reports, the bench that prints the
// engine's speed and signature, and a UCI session so that chess programs can use the engine.

#include "cli/EngineCommands.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/Bench.h"
#include "engine/ComputerSettings.h"
#include "engine/Search.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

namespace tavlor::cli {

namespace {

// Deeper than any iteration can use: the tree ends at ply 76.
constexpr std::int32_t cMaxCommandDepth = 64;
constexpr std::int32_t cMinMaterialValue = 1;
constexpr std::int32_t cMaxMaterialValue = 10000;

std::optional<std::int64_t> ParseNumber(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

std::optional<std::int32_t> ParseInRange(std::string_view text, std::int32_t low,
                                         std::int32_t high) {
    const std::optional<std::int64_t> value = ParseNumber(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

bool ParseDepth(std::string_view text, std::int32_t& depth, std::ostream& err) {
    const std::optional<std::int32_t> value = ParseInRange(text, 1, cMaxCommandDepth);
    if (!value) {
        err << "Ungültige Tiefe: " << text << " (1 bis " << cMaxCommandDepth << ")\n";
        return false;
    }
    depth = *value;
    return true;
}

// "Q,R,N,B,P": the material values of queen, rook, knight, bishop and pawn.
bool ParseValues(std::string_view text, TComputerSettings& settings, std::ostream& err) {
    std::vector<std::int32_t> values;
    std::string_view rest = text;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::optional<std::int32_t> value =
            ParseInRange(rest.substr(0, comma), cMinMaterialValue, cMaxMaterialValue);
        if (!value) break;
        values.push_back(*value);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (values.size() != 5 || rest.find(',') != std::string_view::npos) {
        err << "Ungültige Materialwerte: " << text
            << " (fünf Zahlen von 1 bis 10000 für Dame, Turm, Springer, Läufer, Bauer)\n";
        return false;
    }
    settings.QueenValue = values[0];
    settings.RookValue = values[1];
    settings.KnightValue = values[2];
    settings.BishopValue = values[3];
    settings.PawnValue = values[4];
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The first line of a message, for an "info string".
std::string FirstLine(const std::ostringstream& message) {
    const std::string text = message.str();
    return std::string(TrimBlanks(std::string_view(text).substr(0, text.find('\n'))));
}

// A move record that no search writes: file 0 lies off the board.
bool IsMoveFound(const TChessMove& move) {
    return move.FromFile != 0;
}

}  // namespace

int SearchCommand(TArgs args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return UsageError(err);
    TComputerSettings settings;
    std::int32_t depth = settings.Strength;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view option = args[i];
        const bool hasValue = i + 1 < args.size();
        if (option == "--depth" && hasValue) {
            if (!ParseDepth(args[++i], depth, err)) return cExitBadInput;
        } else if (option == "--values" && hasValue) {
            if (!ParseValues(args[++i], settings, err)) return cExitBadInput;
        } else if (option == "--material-only") {
            settings.MaterialOnly = true;
        } else if (option == "--absolute-deep") {
            settings.AbsoluteDeep = true;
        } else {
            err << "Unbekannte Angabe: " << option << '\n';
            return UsageError(err);
        }
    }

    TChessBoard board;
    ReadPosition(args[0], board);
    std::int32_t lastValue = 0;
    const TSearchProgress progress = [&](std::int32_t&, std::int32_t value, std::int32_t reached,
                                         std::uint64_t nodes, std::string_view moveText,
                                         std::string_view mainLine) {
        out << "info depth " << reached << " value " << value << " nodes " << nodes << " move "
            << moveText << " mainline " << TrimBlanks(mainLine) << '\n';
        lastValue = value;
    };
    std::uint64_t nodes = 0;
    TChessMove best{};
    ComputeMove(board, board.IsWhiteToMove(), depth, progress, nodes, best, settings);
    if (!IsMoveFound(best)) {
        out << "bestmove none\n";
        return cExitOk;
    }
    out << "bestmove " << MoveToUci(best) << " value " << lastValue << " nodes " << nodes << '\n';
    return cExitOk;
}

int BenchCommand(TArgs args, std::ostream& out, std::ostream& err) {
    std::int32_t depth = cBenchDepth;
    if (args.size() == 2 && args[0] == "--depth") {
        if (!ParseDepth(args[1], depth, err)) return cExitBadInput;
    } else if (!args.empty()) {
        return UsageError(err);
    }
    std::uint64_t totalNodes = 0;
    double totalSeconds = 0;
    for (std::size_t i = 0; i < cBenchPositions.size(); ++i) {
        const TBenchResult result = RunBenchPosition(cBenchPositions[i], depth);
        totalNodes += result.Nodes;
        totalSeconds += result.Seconds;
        out << "position " << i + 1 << " " << cBenchPositions[i].Name << ": " << result.Nodes
            << " nodes " << static_cast<std::int64_t>(result.Seconds * 1000) << " ms bestmove "
            << (IsMoveFound(result.Move) ? MoveToUci(result.Move) : std::string("none")) << '\n';
    }
    const auto nps =
        totalSeconds > 0
            ? static_cast<std::uint64_t>(static_cast<double>(totalNodes) / totalSeconds)
            : 0;
    out << totalNodes << " nodes " << static_cast<std::int64_t>(totalSeconds * 1000) << " ms "
        << nps << " nps\n";
    return cExitOk;
}

namespace {

// Lines written by the search thread and the input thread must not interleave.
class TUciOutput {
public:
    explicit TUciOutput(std::ostream& out) : Out(out) {}
    void Line(const std::string& text) {
        const std::lock_guard lock(Mutex);
        Out << text << '\n' << std::flush;
    }

private:
    std::ostream& Out;
    std::mutex Mutex;
};

// The input thread numbers every line; a search started by line g stops once a "stop" or
// "quit" with a later number has arrived, so a stop that overtakes its "go" is not lost.
class TUciInput {
public:
    void Push(std::string line, bool isGo) {
        const std::lock_guard lock(Mutex);
        if (isGo) ++GoQueued;
        Lines.push_back({std::move(line), ++LineNumber});
        Ready.notify_one();
    }
    std::pair<std::string, std::int64_t> Pop() {
        std::unique_lock lock(Mutex);
        Ready.wait(lock, [&] { return !Lines.empty(); });
        auto line = std::move(Lines.front());
        Lines.pop_front();
        return line;
    }
    void RequestStop() {
        const std::lock_guard lock(Mutex);
        LastStop.store(++LineNumber);
    }
    bool StopRequestedAfter(std::int64_t line) const { return LastStop.load() > line; }
    // A "go" is waiting or running: "isready" is then answered at once.
    bool Busy() const { return GoQueued.load() != GoDone.load(); }
    void SearchDone() { ++GoDone; }

private:
    std::mutex Mutex;
    std::condition_variable Ready;
    std::deque<std::pair<std::string, std::int64_t>> Lines;
    std::int64_t LineNumber = 0;
    std::atomic<std::int64_t> LastStop{0};
    std::atomic<std::int64_t> GoQueued{0};
    std::atomic<std::int64_t> GoDone{0};
};

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

struct TUciOption {
    const char* Name;
    std::int32_t TComputerSettings::*Value;
};
constexpr std::array<TUciOption, 5> cValueOptions = {{
    {"MatQueen", &TComputerSettings::QueenValue},
    {"MatRook", &TComputerSettings::RookValue},
    {"MatNight", &TComputerSettings::KnightValue},
    {"MatBishop", &TComputerSettings::BishopValue},
    {"MatPawn", &TComputerSettings::PawnValue},
}};

// Time for one move from the clock: an even share of what is left plus most of the increment,
// never more than half of what is left.
std::int64_t MoveTimeFromClock(std::int64_t left, std::int64_t increment, std::int64_t movesToGo) {
    const std::int64_t share = left / (movesToGo > 0 ? movesToGo + 1 : 30) + increment * 3 / 4;
    return std::max<std::int64_t>(1, std::min(share, left / 2));
}

// "score cp V" or "score mate N" from the shown value.
std::string UciScore(std::int32_t value) {
    if (value >= 100000) return "mate " + std::to_string(value / 100000);
    if (value <= -100000) {
        const std::int32_t moves = -value / 100000 - 1;
        return moves == 0 ? "mate 0" : "mate -" + std::to_string(moves);  // 0: mated already
    }
    return "cp " + std::to_string(value);
}

// The main-line text names squares only; the moves are replayed to put them in coordinates,
// a pawn reaching the last rank taking the queen, the engine's first choice.
std::string UciMainLine(const TChessBoard& position, std::string_view mainLine) {
    TChessBoard board = position;
    std::string line;
    std::istringstream stream{std::string(mainLine)};
    for (std::string step; stream >> step;) {
        if (step.size() != 5 || step[2] != '-') break;
        const std::optional<TChessMove> move =
            UciToMove(step.substr(0, 2) + step.substr(3, 2), board.IsWhiteToMove());
        if (!move || !IsLegalMove(board, *move)) break;
        const bool white = board.IsWhiteToMove();
        const bool promotion = IsPromotionMove(board, *move);
        if (!board.MakeMove(*move)) break;
        if (promotion) board.SetPromotionPiece(white ? cWhiteQueen : cBlackQueen);
        if (!line.empty()) line += ' ';
        line += MoveToUci(board.GetHistoryMove(board.PlyCount));
    }
    return line;
}

class TUciSession {
public:
    TUciSession(TUciOutput& output, TUciInput& input) : Output(output), Input(input) {
        ReadPosition("startpos", Position);
    }

    // False after "quit".
    bool Handle(const std::string& line, std::int64_t lineNumber) {
        const std::vector<std::string> words = SplitWords(line);
        if (words.empty()) return true;
        const std::string& command = words[0];
        if (command == "uci") {
            Output.Line("id name Tavlor");
            Output.Line("id author Tavlor");
            for (const TUciOption& option : cValueOptions)
                Output.Line(std::string("option name ") + option.Name + " type spin default " +
                            std::to_string(TComputerSettings{}.*option.Value) + " min 1 max 10000");
            Output.Line("option name MaterialOnly type check default false");
            Output.Line("option name AbsoluteDeep type check default false");
            Output.Line("uciok");
        } else if (command == "isready") {
            Output.Line("readyok");
        } else if (command == "setoption") {
            SetOption(words);
        } else if (command == "position") {
            SetPosition(words);
        } else if (command == "go") {
            Go(words, lineNumber);
        } else if (command == "quit") {
            return false;
        }
        // "ucinewgame" needs nothing: no search keeps anything for the next one. Other input
        // is ignored, as the protocol asks.
        return true;
    }

private:
    void SetOption(const std::vector<std::string>& words) {
        if (words.size() != 5 || words[1] != "name" || words[3] != "value") return;
        const std::string& name = words[2];
        const std::string& value = words[4];
        for (const TUciOption& option : cValueOptions) {
            if (name != option.Name) continue;
            if (const auto number = ParseInRange(value, cMinMaterialValue, cMaxMaterialValue))
                Settings.*option.Value = *number;
            else
                Output.Line("info string Ungültiger Materialwert: " + value);
        }
        if (name == "MaterialOnly") Settings.MaterialOnly = value == "true";
        if (name == "AbsoluteDeep") Settings.AbsoluteDeep = value == "true";
    }

    void SetPosition(const std::vector<std::string>& words) {
        std::size_t next = 1;
        std::string fen;
        if (words.size() > 1 && words[1] == "startpos") {
            fen = "startpos";
            next = 2;
        } else if (words.size() > 1 && words[1] == "fen") {
            for (next = 2; next < words.size() && words[next] != "moves"; ++next)
                fen += (fen.empty() ? "" : " ") + words[next];
        } else {
            return;
        }
        ReadPosition(fen, Position);
        PositionProblem.clear();
        if (next >= words.size() || words[next] != "moves") return;
        const std::vector<std::string_view> moves(words.begin() + static_cast<long>(next) + 1,
                                                  words.end());
        // The game holds cMaxHistory half-moves; a longer one cannot be followed to its end, and
        // a search of the position where it stopped would answer for the wrong side.
        if (static_cast<std::size_t>(Position.PlyCount) + moves.size() >
            static_cast<std::size_t>(cMaxHistory)) {
            PositionProblem =
                "Die Partie ist zu lang: mehr als " + std::to_string(cMaxHistory) + " Halbzüge";
        } else if (std::ostringstream problem; !PlayUciMoves(Position, moves, problem)) {
            PositionProblem = FirstLine(problem);
        }
        if (!PositionProblem.empty()) Output.Line("info string " + PositionProblem);
    }

    // The limits of one "go" as the search carries them out.
    struct TGoLimits {
        std::int32_t Depth = cMaxCommandDepth;
        std::optional<std::uint64_t> Nodes;
        std::int64_t MoveTime = -1;  // milliseconds; 0 stops at the first report
        bool Infinite = false;
        std::vector<TChessMove> SearchMoves;
    };

    TGoLimits ReadGoLimits(const std::vector<std::string>& words) {
        static constexpr std::array<std::string_view, 12> keywords = {
            "searchmoves", "ponder", "wtime", "btime", "winc",     "binc",
            "movestogo",   "depth",  "nodes", "mate",  "movetime", "infinite"};
        const auto isKeyword = [](std::string_view word) {
            return std::find(keywords.begin(), keywords.end(), word) != keywords.end();
        };
        TGoLimits limits;
        const bool white = Position.IsWhiteToMove();
        std::optional<std::int64_t> clock;
        std::int64_t increment = 0;
        std::int64_t movesToGo = 0;
        bool limited = false;
        bool refused = false;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::string& key = words[i];
            if (key == "infinite") {
                limits.Infinite = limited = true;
                continue;
            }
            if (key == "searchmoves") {
                for (; i + 1 < words.size() && !isKeyword(words[i + 1]); ++i)
                    AddSearchMove(words[i + 1], limits.SearchMoves);
                continue;
            }
            if (!isKeyword(key) || key == "ponder") continue;
            const bool hasValue = i + 1 < words.size() && !isKeyword(words[i + 1]);
            const std::optional<std::int64_t> value =
                hasValue ? ParseNumber(words[i + 1]) : std::nullopt;
            if (hasValue) ++i;
            if (!value || (key == "mate" && *value < 1)) {
                Output.Line("info string Ungültige Zahl: " + key + " " +
                            (hasValue ? words[i] : std::string("fehlt")));
                refused = true;
                continue;
            }
            const bool own = key == (white ? "wtime" : "btime");
            if (own) {
                clock = *value;
            } else if (key == (white ? "winc" : "binc")) {
                increment = *value;
            } else if (key == "movestogo") {
                movesToGo = std::max<std::int64_t>(*value, 0);
            } else if (key == "depth") {
                limits.Depth =
                    std::min(limits.Depth, static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                               *value, 1, cMaxCommandDepth)));
            } else if (key == "mate") {
                // A mate in N moves lies 2N - 1 half-moves deep.
                const std::int64_t moves = std::min<std::int64_t>(*value, cMaxCommandDepth);
                limits.Depth =
                    std::min(limits.Depth, static_cast<std::int32_t>(std::min<std::int64_t>(
                                               2 * moves - 1, cMaxCommandDepth)));
            } else if (key == "nodes") {
                limits.Nodes = static_cast<std::uint64_t>(std::max<std::int64_t>(*value, 0));
            } else if (key == "movetime") {
                limits.MoveTime = std::max<std::int64_t>(*value, 0);
            }
            limited = limited || own || key == "depth" || key == "mate" || key == "nodes" ||
                      key == "movetime";
        }
        // A clock with no time left asks for a move at once.
        if (limits.MoveTime < 0 && clock)
            limits.MoveTime = *clock <= 0 ? 0 : MoveTimeFromClock(*clock, increment, movesToGo);
        if (refused && !limited) {
            limits.Depth = TComputerSettings{}.Strength;
            Output.Line("info string Suche mit der Standardtiefe " + std::to_string(limits.Depth));
        }
        return limits;
    }

    // A move of "searchmoves" counts when it is legal here; promotions need their letter.
    void AddSearchMove(std::string_view text, std::vector<TChessMove>& moves) {
        TChessBoard board = Position;
        std::ostringstream problem;
        const std::string_view one[] = {text};
        if (!PlayUciMoves(board, one, problem)) {
            Output.Line("info string " + FirstLine(problem));
            return;
        }
        moves.push_back(board.GetHistoryMove(board.PlyCount));
    }

    // One "info" line; nothing while the main line does not start with a legal move.
    bool ShowInfo(std::int32_t depth, std::int32_t value, std::uint64_t nodes, std::int64_t ms,
                  const std::string& pv) {
        if (pv.empty()) return false;
        const std::uint64_t nps = ms > 0 ? nodes * 1000 / static_cast<std::uint64_t>(ms) : 0;
        Output.Line("info depth " + std::to_string(depth) + " score " + UciScore(value) +
                    " nodes " + std::to_string(nodes) + " nps " + std::to_string(nps) + " time " +
                    std::to_string(ms) + " pv " + pv);
        return true;
    }

    void Go(const std::vector<std::string>& words, std::int64_t lineNumber) {
        const TGoLimits limits = ReadGoLimits(words);
        const bool white = Position.IsWhiteToMove();
        const auto start = std::chrono::steady_clock::now();
        const auto elapsedMs = [&] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - start)
                .count();
        };
        // The last line shown, so that the closing line repeats it with the final node count.
        struct TShown {
            std::int32_t Depth = 0;
            std::int32_t Value = 0;
            std::uint64_t Nodes = 0;
            std::string RawLine;
            std::string Pv;
        } shown;
        const auto show = [&](std::int32_t depth, std::int32_t value, std::uint64_t nodes,
                              std::string_view mainLine) {
            const std::string pv = UciMainLine(Position, mainLine);
            if (ShowInfo(depth, value, nodes, elapsedMs(), pv))
                shown = {depth, value, nodes, std::string(mainLine), pv};
        };
        TSearchOptions options;
        options.RootMoves = limits.SearchMoves;
        options.IterationDone = show;
        const TSearchProgress progress = [&](std::int32_t& stop, std::int32_t value,
                                             std::int32_t reached, std::uint64_t nodes,
                                             std::string_view, std::string_view mainLine) {
            if (Input.StopRequestedAfter(lineNumber) ||
                (limits.MoveTime >= 0 && elapsedMs() >= limits.MoveTime) ||
                (limits.Nodes && nodes >= *limits.Nodes))
                stop = 1;
            if (value != shown.Value || mainLine != shown.RawLine)
                show(reached, value, nodes, mainLine);
        };

        std::uint64_t nodes = 0;
        TChessMove best{};
        if (!PositionProblem.empty()) {
            Output.Line("info string " + PositionProblem);
        } else if (!HasLegalMove(white)) {
            // Mated or stalemated: nothing to search, and GUIs read the score of the result.
            Output.Line(std::string("info depth 0 score ") +
                        (IsKingInCheck(Position, white ? 1 : 0) ? "mate 0" : "cp 0"));
        } else {
            ComputeMove(Position, white, limits.Depth, progress, nodes, best, Settings, options);
            // The last line carries the final node count.
            if (shown.Pv.empty())
                Output.Line("info nodes " + std::to_string(nodes) + " time " +
                            std::to_string(elapsedMs()));
            else if (nodes != shown.Nodes)
                ShowInfo(shown.Depth, shown.Value, nodes, elapsedMs(), shown.Pv);
        }
        // An infinite search answers only when told to stop, even when it has finished.
        while (limits.Infinite && !Input.StopRequestedAfter(lineNumber))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        // Whatever the search gave, only a legal move of the side to move goes out.
        const bool answer = IsMoveFound(best) && IsLegalMove(Position, best);
        Output.Line("bestmove " + (answer ? MoveToUci(best) : std::string("0000")));
        Input.SearchDone();
    }

    bool HasLegalMove(bool white) {
        TMoveList legal;
        std::int32_t count = 0;
        GenerateMoves(Position, white ? 1 : 0, legal, count);
        return count > 0;
    }

    TUciOutput& Output;
    TUciInput& Input;
    TChessBoard Position;
    // Why the last "position" could not be set up as the GUI sent it; a search then gives no move.
    std::string PositionProblem;
    TComputerSettings Settings;
};

}  // namespace

void RunUciSession(std::istream& in, std::ostream& out) {
    TUciOutput output(out);
    TUciInput input;
    std::thread reader([&] {
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::vector<std::string> words = SplitWords(line);
            const std::string command = words.empty() ? "" : words[0];
            if (command == "stop" || command == "quit") input.RequestStop();
            if (command == "quit") break;
            if (command == "stop") continue;
            if (command == "isready" && input.Busy()) {
                output.Line("readyok");
                continue;
            }
            input.Push(line, command == "go");
        }
        // The end of the input ends the session like "quit", a running search included.
        input.RequestStop();
        input.Push("quit", false);
    });
    TUciSession session(output, input);
    while (true) {
        const auto [line, number] = input.Pop();
        if (!session.Handle(line, number)) break;
    }
    reader.join();
}

int UciCommand(TArgs args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) return UsageError(err);
    RunUciSession(std::cin, out);
    return cExitOk;
}

}  // namespace tavlor::cli
