#include "cli/NotationCommands.h"

#include <charconv>
#include <ostream>
#include <string>

#include "notation/FenWriter.h"
#include "notation/Pgn.h"
#include "notation/SavedGame.h"

namespace tavlor::cli {

namespace {

int Failed(const std::string& message, std::ostream& err) {
    err << message << '\n';
    return cExitBadInput;
}

}  // namespace

int FenCommand(TArgs args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return UsageError(err);
    TChessBoard board;
    ReadPosition(args[0], board);
    if (!PlayUciMoves(board, args.subspan(1), err)) return cExitBadInput;
    out << WriteFen(board) << '\n';
    return cExitOk;
}

int PgnCommand(TArgs args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return UsageError(err);
    TChessBoard board;
    if (const TGameFileStatus loaded = LoadGame(board, std::string(args[0])); !loaded)
        return Failed(loaded.Message, err);
    const TPgnText pgn = WritePgn(board, GameTags(board));
    if (!pgn) return Failed(pgn.Message, err);
    out << pgn.Text;
    return cExitOk;
}

int ImportCommand(TArgs args, std::ostream& /*out*/, std::ostream& err) {
    std::int32_t game = 1;
    if (args.size() == 4 && args[2] == "--game") {
        const std::string_view text = args[3];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), game);
        if (error != std::errc{} || end != text.data() + text.size() || game < 1)
            return Failed("Ungültige Partienummer: " + std::string(text), err);
    } else if (args.size() != 2) {
        return UsageError(err);
    }
    TChessBoard board;
    if (const TGameFileStatus loaded = LoadPgn(board, std::string(args[0]), game); !loaded)
        return Failed(loaded.Message, err);
    if (const TFileStatus saved = SaveGame(board, std::string(args[1])); !saved)
        return Failed(saved.Message, err);
    return cExitOk;
}

}  // namespace tavlor::cli
