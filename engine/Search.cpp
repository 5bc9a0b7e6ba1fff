// Iterative deepening with a principal-variation root, fail-soft alpha-beta below it, check and
// recapture extensions and a capture search under the horizon.

#include "engine/Search.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "engine/Profiler.h"

namespace tavlor {

namespace {

constexpr std::int32_t cAspirationMargin = 50;
constexpr std::int32_t cRecaptureMargin = 50;
constexpr std::int32_t cDeepestCaptureSearch = -5;

// Piece letters of the move text, by search piece type.
constexpr std::array<char, 7> cPieceLetters = {'.', 'B', 'T', 'L', 'S', 'D', 'K'};

char PieceLetterOf(std::int32_t code) {
    const std::int32_t type = std::abs(code);
    return type < 7 ? cPieceLetters[static_cast<std::size_t>(type)] : '.';
}

// "e2", or "--" for an index off the board.
char* AppendSquare(char* out, std::int32_t square) {
    if (IsBoardSquare(square)) {
        *out++ = static_cast<char>('a' + SquareFile(square) - 1);
        *out++ = static_cast<char>('0' + SquareRank(square));
    } else {
        *out++ = '-';
        *out++ = '-';
    }
    return out;
}

// A stop before the first usable report leaves no main line to fall back on; a move that lets
// the own king be taken is no answer either. Then the first root move that is legal is played.
bool IsLegalRootMove(SearchContext& context, std::int32_t index) {
    const std::int32_t mover = context.SideToMove;
    MakeSearchMove(context, index);
    const std::int32_t king = mover > 0 ? context.WhiteKingSquare : context.BlackKingSquare;
    const bool legal = !IsAttacked(context, king, -mover);
    UnmakeSearchMove(context, index);
    return legal;
}

bool FindStoppedSearchMove(SearchContext& context, TChessMove& bestMove) {
    const std::int32_t count = context.PlyEnd[0];
    if (context.HasFallbackMove) {
        for (std::int32_t i = 0; i < count; ++i) {
            const TSearchMove& move = context.MoveStack[static_cast<std::size_t>(i)];
            if (SameMove(ToGameMove(move.From, move.To, move.PromoteTo), context.FallbackMove) &&
                IsLegalRootMove(context, i)) {
                bestMove = context.FallbackMove;
                return true;
            }
        }
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (IsLegalRootMove(context, i)) {
            const TSearchMove& move = context.MoveStack[static_cast<std::size_t>(i)];
            bestMove = ToGameMove(move.From, move.To, move.PromoteTo);
            return true;
        }
    }
    return false;
}

// Searches root move `index` with the window (alpha, beta) of the root.
std::int32_t SearchRootMove(SearchContext& context, std::int32_t index, std::int32_t alpha,
                            std::int32_t beta, std::int32_t depth) {
    MakeSearchMove(context, index);
    const std::int32_t v = -Search(context, -beta, -alpha, depth - 1);
    UnmakeSearchMove(context, index);
    return v;
}

// Drops the root moves the caller did not name; the rest keep their generation order.
void KeepNamedRootMoves(SearchContext& context) {
    if (context.RootMoves.empty()) return;
    std::int32_t kept = 0;
    for (std::int32_t i = 0; i < context.PlyEnd[0]; ++i) {
        const TSearchMove move = context.MoveStack[static_cast<std::size_t>(i)];
        const TChessMove gameMove = ToGameMove(move.From, move.To, move.PromoteTo);
        const bool named = std::any_of(
            context.RootMoves.begin(), context.RootMoves.end(), [&](const TChessMove& wanted) {
                return SameMove(wanted, gameMove) &&
                       (wanted.Promotion == cEmpty || wanted.Promotion == gameMove.Promotion);
            });
        if (named) context.MoveStack[static_cast<std::size_t>(kept++)] = move;
    }
    context.PlyEnd[0] = kept;
    context.StackTop = kept;
}

void StoreKiller(SearchContext& context, const TSearchMove& move) {
    auto& killers = context.Killers[static_cast<std::size_t>(context.Ply)];
    killers[3] = killers[2];
    killers[2] = killers[1];
    killers[1] = killers[0];
    killers[0] = {move.From, move.To};
}

}  // namespace

std::int32_t DisplayValue(std::int32_t score) {
    if (score >= cMateFound) return ((MateScore - score - 2) / 2) * 100000 + 100000;
    if (score <= -cMateFound) return -((score + 31999) / 2) * 100000 - 100000;
    return score;
}

void UpdateMainLine(SearchContext& context, std::int32_t index) {
    const auto ply = static_cast<std::size_t>(context.Ply);
    const TSearchMove& move = context.MoveStack[static_cast<std::size_t>(index)];
    TMainLineRow& row = context.MainLineTable[ply];
    row[0] = {move.From, move.To, move.PromoteTo};
    if (ply + 1 >= context.MainLineTable.size()) {
        row[1] = {};
        return;
    }
    const TMainLineRow& next = context.MainLineTable[ply + 1];
    for (std::size_t i = 0; i + 1 < row.size(); ++i) {
        row[i + 1] = next[i];
        if (next[i].From == 0) return;
    }
    row.back() = {};
}

void ReportProgress(SearchContext& context, std::int32_t score, std::int32_t index) {
    const TSearchMove& move = context.MoveStack[static_cast<std::size_t>(index)];
    std::array<char, 8> moveText{};
    char* end = moveText.data();
    *end++ = PieceLetterOf(context.SearchBoard[static_cast<std::size_t>(move.From)]);
    end = AppendSquare(end, move.From);
    *end++ = move.Captured != 0 ? 'x' : '-';
    end = AppendSquare(end, move.To);
    if (move.PromoteTo != 0) *end++ = PieceLetterOf(move.PromoteTo);
    if (moveText[0] != '.') context.ReportedMove.assign(moveText.data(), end);

    // Row 0 is empty while a root move is being searched, so reports from inside the tree leave
    // the main line and the fallback move as the root last set them.
    const TMainLineRow& mainLine = context.MainLineTable[0];
    if (mainLine[0].From != 0 && !context.StopFlag) {
        std::array<char, static_cast<std::size_t>(cMainLineEntries) * 6> lineText{};
        char* lineEnd = lineText.data();
        for (const TMainLineMove& entry : mainLine) {
            if (entry.From == 0) break;
            lineEnd = AppendSquare(lineEnd, entry.From);
            *lineEnd++ = '-';
            lineEnd = AppendSquare(lineEnd, entry.To);
            *lineEnd++ = ' ';
        }
        context.ReportedMainLine.assign(lineText.data(), lineEnd);
        context.FallbackMove = ToGameMove(mainLine[0].From, mainLine[0].To, mainLine[0].PromoteTo);
        context.HasFallbackMove = true;
    }

    if (!context.StopFlag) context.StopValue = DisplayValue(score);
    if (context.Progress == nullptr || !*context.Progress) return;
    std::int32_t stop = 0;
    (*context.Progress)(stop, context.StopValue, context.IterationDepth, context.Nodes,
                        context.ReportedMove, context.ReportedMainLine);
    if (stop == 1) context.StopFlag = true;
}

std::int32_t Search(SearchContext& context, std::int32_t alpha, std::int32_t beta,
                    std::int32_t depth) {
    if (context.StopFlag) return context.StopValue;
    const std::int32_t ply = context.Ply;
    context.MainLineTable[static_cast<std::size_t>(ply)][0] = {};

    bool inCheck = false;
    const std::int32_t e = Evaluate(context, alpha, beta, context.SideToMove, inCheck);

    // One extension at most: a check, or a recapture on the square of the last move while the
    // score is near the window.
    if ((inCheck && ply + depth <= context.MaxPly) ||
        (ply >= 2 && ply + depth < context.MaxPly &&
         context.PlyTarget[static_cast<std::size_t>(ply)] ==
             context.PlyTarget[static_cast<std::size_t>(ply - 1)] &&
         alpha - cRecaptureMargin <= e && e <= beta + cRecaptureMargin))
        ++depth;

    if (depth <= cDeepestCaptureSearch || e == MateScore - ply || ply >= cLastPly) return e;
    // Standing pat below the horizon, and a static cut-off at depth 1 out of check.
    if (e >= beta && depth + (inCheck ? 1 : 0) <= 1) return e;

    GenerateSearchMoves(context, depth);
    const bool noMoves = context.PlyEnd[ply] == context.PlyEnd[ply - 1];
    std::int32_t best = depth > 0 ? -MateScore : e;
    std::int32_t cutMove = -1;
    std::int32_t cutValue = 0;
    for (std::int32_t i = PickNextMove(context); i >= 0 && !context.StopFlag;
         i = PickNextMove(context)) {
        MakeSearchMove(context, i);
        const std::int32_t v = -Search(context, -beta, -alpha, depth - 1);
        UnmakeSearchMove(context, i);
        if (context.StopFlag) break;
        if (v <= best) continue;
        best = v;
        if (v >= beta) {
            if (depth > 0) {
                UpdateMainLine(context, i);
                ReportProgress(context, context.RootScore, i);
            }
            cutMove = i;
            cutValue = v;
            break;
        }
        if (v > alpha) {
            if (depth > 0) UpdateMainLine(context, i);
            alpha = v;
        }
    }
    if (cutMove >= 0 && cutValue > beta)
        StoreKiller(context, context.MoveStack[static_cast<std::size_t>(cutMove)]);

    // A side without a single move is treated like one whose every move loses the king.
    const std::int32_t kingLost = -(MateScore - (ply + 1));
    if (depth > 0 && noMoves) best = kingLost;
    if (best == kingLost && !inCheck) return 0;
    return best;
}

std::int32_t SearchRoot(SearchContext& context, TChessMove& bestMove) {
    GenerateSearchMoves(context, 1);
    KeepNamedRootMoves(context);
    const std::int32_t count = context.PlyEnd[0];
    auto& moves = context.MoveStack;

    std::int32_t alpha = -MateScore;
    std::int32_t beta = MateScore;
    for (std::int32_t d = 1;; ++d) {
        if (d > 1) {
            const std::int32_t s = alpha;
            alpha = s - cAspirationMargin;
            beta = s + cAspirationMargin;
        }
        context.MaxPly = context.AbsoluteDeep ? d + 4 : d;
        context.IterationDepth = d;
        for (std::int32_t i = 0; i < count; ++i) {
            context.MainLineTable[0][0] = {};
            std::int32_t v = SearchRootMove(context, i, alpha, beta, d);
            if (context.StopFlag) break;
            if (i == 0) {
                if (v < alpha)
                    v = SearchRootMove(context, i, -MateScore, v, d);
                else if (v >= beta)
                    v = SearchRootMove(context, i, v, MateScore, d);
                alpha = v;
                beta = v + 1;
                UpdateMainLine(context, 0);
                context.RootScore = v;
                ReportProgress(context, v, 0);
            } else if (v > alpha) {
                const std::int32_t oldAlpha = alpha;
                alpha = v;
                beta = MateScore;
                v = SearchRootMove(context, i, alpha, beta, d);
                if (v > oldAlpha) {
                    alpha = v;
                    beta = v + 1;
                    UpdateMainLine(context, i);
                    context.RootScore = v;
                    ReportProgress(context, v, i);
                    const TSearchMove newBest = moves[static_cast<std::size_t>(i)];
                    for (std::int32_t k = i; k > 0; --k)
                        moves[static_cast<std::size_t>(k)] = moves[static_cast<std::size_t>(k - 1)];
                    moves[0] = newBest;
                }
            }
        }
        if (!context.StopFlag && context.IterationDone != nullptr && *context.IterationDone)
            (*context.IterationDone)(d, DisplayValue(context.RootScore), context.Nodes,
                                     context.ReportedMainLine);
        if (d >= context.MaxIterations || std::abs(alpha) >= cMateFound || context.StopFlag) break;
    }

    if (context.StopFlag) {
        FindStoppedSearchMove(context, bestMove);
    } else if (alpha > -(MateScore - 1)) {
        ReportProgress(context, alpha, 0);
        bestMove = ToGameMove(moves[0].From, moves[0].To, moves[0].PromoteTo);
    }
    context.StopFlag = false;
    return alpha;
}

void PrepareSearch(SearchContext& context, const TChessBoard& board, bool whiteToMove,
                   std::int32_t maxIterations, const TComputerSettings& settings,
                   const TSearchProgress* progress) {
    context.MaxIterations = maxIterations;
    context.Positional = !settings.MaterialOnly;
    context.AbsoluteDeep = settings.AbsoluteDeep;
    context.PieceValue = {0,
                          settings.PawnValue,
                          settings.RookValue,
                          settings.BishopValue,
                          settings.KnightValue,
                          settings.QueenValue,
                          0};
    context.EndgameThreshold = 4 * settings.RookValue + 2 * settings.BishopValue;
    InitSearchTables(context);
    ConvertPosition(context, board, whiteToMove);
    context.PlyCentreSum.fill(0);
    context.StopFlag = false;
    context.StopValue = cNoStopValue;
    context.Progress = progress;
    context.IterationDone = nullptr;
    context.RootMoves = {};
    context.ReportedMove.clear();
    context.ReportedMainLine.clear();
    context.FallbackMove = {};
    context.HasFallbackMove = false;
}

double ComputeMove(const TChessBoard& board, bool whiteToMove, std::int32_t maxIterations,
                   const TSearchProgress& progress, std::uint64_t& nodes, TChessMove& bestMove,
                   const TComputerSettings& settings) {
    return ComputeMove(board, whiteToMove, maxIterations, progress, nodes, bestMove, settings,
                       TSearchOptions{});
}

double ComputeMove(const TChessBoard& board, bool whiteToMove, std::int32_t maxIterations,
                   const TSearchProgress& progress, std::uint64_t& nodes, TChessMove& bestMove,
                   const TComputerSettings& settings, const TSearchOptions& options) {
    TProfileSection section("ComputeMove");
    auto context = std::make_unique<SearchContext>();
    PrepareSearch(*context, board, whiteToMove, maxIterations, settings, &progress);
    context->IterationDone = &options.IterationDone;
    context->RootMoves = options.RootMoves;
    context->Nodes = nodes;
    const std::int32_t score = SearchRoot(*context, bestMove);
    nodes = context->Nodes;
    return score;
}

double ComputeMove(const TChessBoard& board, bool whiteToMove, std::int32_t maxIterations,
                   const TSearchProgress& progress, std::uint64_t& nodes, TChessMove& bestMove,
                   bool positional, bool absoluteDeep, std::int32_t queenValue,
                   std::int32_t rookValue, std::int32_t knightValue, std::int32_t bishopValue,
                   std::int32_t pawnValue) {
    TComputerSettings settings;
    settings.MaterialOnly = !positional;
    settings.AbsoluteDeep = absoluteDeep;
    settings.QueenValue = queenValue;
    settings.RookValue = rookValue;
    settings.KnightValue = knightValue;
    settings.BishopValue = bishopValue;
    settings.PawnValue = pawnValue;
    return ComputeMove(board, whiteToMove, maxIterations, progress, nodes, bestMove, settings);
}

}  // namespace tavlor
