#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "engine/Search.h"
#include "notation/MoveText.h"
#include "notation/SavedGame.h"
#include "rules/MoveGeneration.h"

namespace tavlor::fuzz {

namespace {

// Enough for two iterations of any position reached by play; a board full of queens would search
// its captures for minutes, and the stop is what the window's time limit does too.
constexpr std::uint64_t cSearchNodeLimit = 5000;

class TScratchFolder {
public:
    TScratchFolder() {
        std::string base = "/dev/shm";
        if (access(base.c_str(), W_OK) != 0) {
            const char* temp = std::getenv("TMPDIR");
            base = temp != nullptr && *temp != '\0' ? temp : "/tmp";
        }
        std::string pattern = base + "/tavlor-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) Fail("no scratch folder", pattern);
        Path = pattern;
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    ~TScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    std::string Path;
};

std::int32_t CountPieces(const TChessBoard& board, TPieceCode piece) {
    std::int32_t count = 0;
    for (std::int32_t file = 1; file <= 8; ++file)
        for (std::int32_t rank = 1; rank <= 8; ++rank)
            count += board.Board[file][rank] == piece;
    return count;
}

using TSquarePairs = std::set<std::tuple<int, int, int, int>>;

TSquarePairs RulesMoves(TChessBoard& board, bool white) {
    TMoveList list;
    std::int32_t count = 0;
    GenerateMoves(board, white ? 1 : 0, list, count);
    TSquarePairs moves;
    for (std::int32_t i = 1; i <= count; ++i)
        moves.insert({list[i].FromFile, list[i].FromRank, list[i].ToFile, list[i].ToRank});
    return moves;
}

// The search board's root moves that do not leave the own king attacked; every make and
// take-back must keep the square sets in step with the board.
TSquarePairs SearchMoves(const TChessBoard& board, bool white) {
    // PrepareSearch sets up all of it again, so one context serves every run.
    static const auto context = std::make_unique<SearchContext>();
    SearchContext& c = *context;
    PrepareSearch(c, board, white, 1, TComputerSettings{}, nullptr);
    Check(KeptStateMatchesBoard(c), "search board out of step after conversion",
          [&] { return Describe(board); });
    GenerateSearchMoves(c, 1);
    TSquarePairs moves;
    const std::int32_t mover = c.SideToMove;
    for (std::int32_t i = c.PlyEnd[-1]; i < c.PlyEnd[0]; ++i) {
        MakeSearchMove(c, i);
        const TSearchMove& move = c.MoveStack[static_cast<std::size_t>(i)];
        const TChessMove gameMove = ToGameMove(move.From, move.To, move.PromoteTo);
        Check(KeptStateMatchesBoard(c), "search board out of step after making",
              [&] { return MoveToUci(gameMove) + " in " + Describe(board); });
        const std::int32_t king = mover > 0 ? c.WhiteKingSquare : c.BlackKingSquare;
        if (!IsAttacked(c, king, -mover))
            moves.insert({gameMove.FromFile, gameMove.FromRank, gameMove.ToFile, gameMove.ToRank});
        UnmakeSearchMove(c, i);
        Check(KeptStateMatchesBoard(c), "search board out of step after taking back",
              [&] { return MoveToUci(gameMove) + " in " + Describe(board); });
    }
    return moves;
}

std::string MoveList(const TSquarePairs& moves) {
    std::string text;
    for (const auto& [fromFile, fromRank, toFile, toRank] : moves) {
        const auto u8 = [](int value) { return static_cast<std::uint8_t>(value); };
        text += MoveToUci(TChessMove{u8(fromFile), u8(fromRank), u8(toFile), u8(toRank), cEmpty});
        text += ' ';
    }
    return text;
}

}  // namespace

const std::string& ScratchFolder() {
    static const TScratchFolder folder;
    return folder.Path;
}

std::string ScratchFile(std::string_view name, std::string_view bytes) {
    std::string path = ScratchFolder() + "/" + std::string(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail("cannot write scratch file", path);
    return path;
}

void Fail(std::string_view what, std::string_view detail) {
    std::cerr << "\n*** fuzz check failed: " << what << "\n    " << detail << std::endl;
    std::abort();
}

std::string Describe(const TChessBoard& board) {
    std::string text;
    for (std::int32_t rank = 8; rank >= 1; --rank) {
        for (std::int32_t file = 1; file <= 8; ++file) {
            const TPieceCode piece = board.Board[file][rank];
            const char letter = PieceLetter(piece);
            text += piece == cEmpty      ? '.'
                    : piece > cBlackBase ? static_cast<char>(letter - 'A' + 'a')
                                         : letter;
        }
        text += rank > 1 ? '/' : ' ';
    }
    text += board.IsWhiteToMove() ? "w " : "b ";
    for (std::int32_t right = 1; right <= 4; ++right)
        text += board.CastlingRights[right] ? '1' : '0';
    text += " ep " + std::to_string(board.EnPassantPossible ? board.EnPassantFile : 0);
    text += " ply " + std::to_string(board.PlyCount);
    return text;
}

void ExercisePosition(TChessBoard& board, bool gameEndAfterEachMove) {
    const TChessBoard before = board;
    const bool white = board.IsWhiteToMove();
    // Legal play never leads to more or fewer kings, nor to a side to move that could take the
    // opposing king; only there must the two move generators agree.
    const bool playable = CountPieces(board, cWhiteKing) == 1 &&
                          CountPieces(board, cBlackKing) == 1 &&
                          !IsKingInCheck(board, white ? 0 : 1);

    const TSquarePairs rules = RulesMoves(board, white);
    static_cast<void>(RulesMoves(board, !white));
    Check(board.Board == before.Board, "move generation changed the board",
          [&] { return Describe(board); });
    for (const auto& [fromFile, fromRank, toFile, toRank] : rules) {
        const auto u8 = [](int value) { return static_cast<std::uint8_t>(value); };
        const TChessMove move{u8(fromFile), u8(fromRank), u8(toFile), u8(toRank), cEmpty};
        Check(IsOnBoard(fromFile, fromRank) && IsOnBoard(toFile, toRank),
              "generated move off the board", [&] { return Describe(board); });
        Check(IsLegalMove(board, move), "generated move refused by IsLegalMove",
              [&] { return MoveToUci(move) + " in " + Describe(board); });
        if (board.HistoryPos >= cMaxHistory) continue;
        TChessBoard after = board;
        after.HistoryTop = 0;
        Check(after.MakeMove(move), "legal move not made", [&] { return MoveToUci(move); });
        if (playable) {
            Check(!IsKingInCheck(after, white ? 1 : 0), "legal move leaves the king attacked",
                  [&] { return MoveToUci(move) + " in " + Describe(board); });
            Check(after.HasBothKings(), "legal move changed the kings",
                  [&] { return MoveToUci(move) + " in " + Describe(board); });
        }
        if (gameEndAfterEachMove) static_cast<void>(after.CheckGameEnd());
    }

    if (playable) {
        const TSquarePairs search = SearchMoves(board, white);
        if (search != rules)
            Fail("search board and rules disagree on the legal moves",
                 Describe(board) + "\n    rules:  " + MoveList(rules) +
                     "\n    search: " + MoveList(search));
    }

    const std::int32_t plies = board.PlyCount;
    const std::int32_t top = board.HistoryTop;
    static_cast<void>(board.CheckGameEnd());
    Check(board.PlyCount == plies && board.HistoryTop == top && board.Board == before.Board,
          "game-end test changed the game", [&] { return Describe(board); });

    std::uint64_t nodes = 0;
    TChessMove best{};
    const TSearchProgress stopAtLimit = [](std::int32_t& stop, std::int32_t, std::int32_t,
                                           std::uint64_t reached, std::string_view,
                                           std::string_view) {
        if (reached >= cSearchNodeLimit) stop = 1;
    };
    ComputeMove(board, white, 2, stopAtLimit, nodes, best, TComputerSettings{});
    Check(board.Board == before.Board && board.PlyCount == before.PlyCount,
          "search changed the game", [&] { return Describe(board); });
    if (playable && !rules.empty())
        Check(best.FromFile != 0 && IsLegalMove(board, best), "search gave no legal move",
              [&] { return MoveToUci(best) + " in " + Describe(board); });
    if (playable && rules.empty())
        Check(best.FromFile == 0, "search moved without a legal move",
              [&] { return Describe(board); });
}

void CheckSameGame(const TChessBoard& read, const TChessBoard& reread) {
    const auto position = [&] { return Describe(read); };
    Check(read.StartBoard == reread.StartBoard, "start position differs", position);
    Check(read.Board == reread.Board, "position differs", position);
    Check(read.PlyCount == reread.PlyCount && read.HistoryTop == reread.HistoryTop,
          "number of moves differs", position);
    for (std::int32_t ply = 1; ply <= read.PlyCount; ++ply)
        Check(SameMove(read.History[ply], reread.History[ply]) &&
                  read.History[ply].Promotion == reread.History[ply].Promotion,
              "move differs", [&] { return std::to_string(ply) + " in " + position(); });
    Check(read.StartCastlingRights == reread.StartCastlingRights &&
              read.CastlingRights == reread.CastlingRights,
          "castling rights differ", position);
    Check(read.EnPassantPossible == reread.EnPassantPossible &&
              read.EnPassantFile == reread.EnPassantFile,
          "en passant differs", position);
    Check(FormatGameTime(read.WhiteTime) == FormatGameTime(reread.WhiteTime) &&
              FormatGameTime(read.BlackTime) == FormatGameTime(reread.BlackTime),
          "clocks differ", position);
    // Comments are saved trimmed and a blank one as none, so the lines of the file compare them.
    Check(WriteGameLines(read) == WriteGameLines(reread), "the game text differs", position);
}

}  // namespace tavlor::fuzz
