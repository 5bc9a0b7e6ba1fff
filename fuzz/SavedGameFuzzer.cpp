// A saved game file as it comes from disk or from a peer, then: save it, load that again and
// compare, and everything the position feeds.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "notation/SavedGame.h"

using namespace tavlor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::InputText(data, size);
    TChessBoard board;
    const TChessBoard fresh = board;
    const TGameFileStatus status = LoadGame(board, fuzz::ScratchFile("read.TVG", bytes));
    if (!status) {
        fuzz::Check(!status.Message.empty(), "refused without a message");
        fuzz::Check(board.Board == fresh.Board && board.StartBoard == fresh.StartBoard &&
                        board.PlyCount == fresh.PlyCount && board.HistoryTop == fresh.HistoryTop &&
                        board.Comments == fresh.Comments,
                    "a damaged file changed the game", status.Message);
        return 0;
    }
    fuzz::Check(board.PlyCount == board.HistoryPos && board.PlyCount == board.HistoryTop,
                "loaded game does not stand at its end", [&] { return fuzz::Describe(board); });
    fuzz::Check(status.WhiteToMove == board.IsWhiteToMove(), "wrong side to move reported");

    const std::string copy = fuzz::ScratchFolder() + "/saved.TVG";
    fuzz::Check(static_cast<bool>(SaveGame(board, copy)), "saving failed");
    TChessBoard reread;
    const TGameFileStatus again = LoadGame(reread, copy);
    fuzz::Check(static_cast<bool>(again), "a saved game cannot be loaded", again.Message);
    fuzz::CheckSameGame(board, reread);

    fuzz::ExercisePosition(board, false);
    return 0;
}
