#include <charconv>
#include <ostream>

#include "cli/Commands.h"
#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"
#include "rules/Perft.h"

namespace tavlor::cli {

void ReadPosition(std::string_view fen, TChessBoard& board) {
    ReadFen(board, fen == "startpos" ? cStartFen : fen);
}

bool PlayUciMoves(TChessBoard& board, TArgs moves, std::ostream& err) {
    for (std::string_view text : moves) {
        const bool white = board.IsWhiteToMove();
        const std::optional<TChessMove> move = UciToMove(text, white);
        if (!move || !IsLegalMove(board, *move)) {
            err << "Ungültiger Zug: " << text << '\n';
            return false;
        }
        const bool promotion = IsPromotionMove(board, *move);
        if (promotion != (move->Promotion != cEmpty)) {
            err << "Ungültiger Zug: " << text
                << (promotion ? " (die Umwandlungsfigur fehlt)" : " (keine Umwandlung)") << '\n';
            return false;
        }
        // The piece is chosen after the move, as at the board.
        TChessMove made = *move;
        made.Promotion = cEmpty;
        board.HistoryTop = 0;
        if (!board.MakeMove(made)) {
            err << "Zug nicht ausgeführt: " << text << " (die Partie hat schon " << cMaxHistory
                << " Halbzüge)\n";
            return false;
        }
        if (board.IsPromotionPending()) board.SetPromotionPiece(move->Promotion);
    }
    return true;
}

void PrintGameState(TChessBoard& board, std::ostream& out) {
    const TGameState state = board.CheckGameEnd();
    out << static_cast<int>(state);
    if (state != TGameState::gsPlaying) out << ' ' << GameStateMessage(state);
    out << '\n';
}

int MovesCommand(TArgs args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return UsageError(err);
    TChessBoard board;
    ReadPosition(args[0], board);
    TMoveList list;
    std::int32_t count = 0;
    GenerateMoves(board, board.IsWhiteToMove() ? 1 : 0, list, count);
    for (std::int32_t i = 1; i <= count; ++i) out << MoveToText(list[i]) << '\n';
    return cExitOk;
}

int PerftCommand(TArgs args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2 && !(args.size() == 3 && args[2] == "--divide")) return UsageError(err);
    int depth = 0;
    const auto [end, error] = std::from_chars(args[1].data(), args[1].data() + args[1].size(), depth);
    if (error != std::errc{} || end != args[1].data() + args[1].size() || depth < 0) {
        err << "Ungültige Tiefe: " << args[1] << '\n';
        return cExitBadInput;
    }
    TChessBoard board;
    ReadPosition(args[0], board);
    if (args.size() == 2 || depth == 0) {
        out << "Nodes searched: " << Perft(board, depth) << '\n';
        return cExitOk;
    }

    std::uint64_t total = 0;
    for (const TPerftEntry& entry : PerftDivide(board, depth)) {
        out << MoveToUci(entry.Move) << ": " << entry.Leaves << '\n';
        total += entry.Leaves;
    }
    out << "\nNodes searched: " << total << '\n';
    return cExitOk;
}

int StateCommand(TArgs args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return UsageError(err);
    TChessBoard board;
    ReadPosition(args[0], board);
    if (!PlayUciMoves(board, args.subspan(1), err)) return cExitBadInput;
    PrintGameState(board, out);
    return cExitOk;
}

}  // namespace tavlor::cli
