// A FEN text as a user types or pastes it, then everything the position feeds.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "notation/Fen.h"

using namespace tavlor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::InputText(data, size);
    TChessBoard board;
    ReadFen(board, text);
    fuzz::Check(board.PlyCount == board.HistoryPos && board.PlyCount <= 2 &&
                    board.HistoryTop == board.PlyCount,
                "FEN record is not a fresh one", [&] { return fuzz::Describe(board); });
    for (std::int32_t file = 1; file <= 8; ++file)
        for (std::int32_t rank = 1; rank <= 8; ++rank)
            fuzz::Check(IsValidSquareCode(board.Board[file][rank]), "FEN put an unknown code",
                        [&] { return fuzz::Describe(board); });
    fuzz::ExercisePosition(board, true);
    return 0;
}
