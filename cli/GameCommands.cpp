#include "cli/GameCommands.h"

#include <ostream>
#include <string>
#include <vector>

#include "notation/MoveList.h"
#include "notation/SavedGame.h"

namespace tavlor::cli {

int SaveCommand(TArgs args, std::ostream& /*out*/, std::ostream& err) {
    if (args.size() < 2) return UsageError(err);
    TChessBoard board;
    ReadPosition(args[1], board);
    if (!PlayUciMoves(board, args.subspan(2), err)) return cExitBadInput;
    const TFileStatus status = SaveGame(board, std::string(args[0]));
    if (!status) {
        err << status.Message << '\n';
        return cExitBadInput;
    }
    return cExitOk;
}

int LoadCommand(TArgs args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return UsageError(err);
    TChessBoard board;
    const TGameFileStatus status = LoadGame(board, std::string(args[0]));
    if (!status) {
        err << status.Message << '\n';
        return cExitBadInput;
    }
    std::vector<std::string> lines;
    WriteMoveList(board, lines);
    for (const std::string& line : lines)
        out << line << '\n';
    PrintGameState(board, out);
    return cExitOk;
}

}  // namespace tavlor::cli
