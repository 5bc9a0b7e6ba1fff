// Move texts as peers send them and as chess programs give coordinates, one per line: each read,
// written again, and made on a board when it is legal there.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

using namespace tavlor;

namespace {

bool SameRecord(const TChessMove& a, const TChessMove& b) {
    return SameMove(a, b) && a.Promotion == b.Promotion;
}

void Play(TChessBoard& board, const TChessMove& move, std::string_view text) {
    if (!IsLegalMove(board, move)) return;
    const bool white = board.IsWhiteToMove();
    const bool promotion = IsPromotionMove(board, move);
    board.HistoryTop = 0;
    if (!board.MakeMove(move)) return;
    if (promotion)
        board.SetPromotionPiece(move.Promotion != cEmpty ? move.Promotion
                                : white                  ? cWhiteQueen
                                                         : cBlackQueen);
    fuzz::Check(board.HasBothKings(), "a move changed the kings", text);
    fuzz::Check(!IsKingInCheck(board, white ? 1 : 0), "a legal move left the king attacked", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest = fuzz::InputText(data, size);
    TChessBoard board;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const bool white = board.IsWhiteToMove();

        if (const std::optional<TChessMove> move = WireTextToMove(line, white)) {
            const std::string text = MoveToWireText(*move);
            fuzz::Check(text.size() == 9, "move text not nine characters", text);
            const std::optional<TChessMove> again = WireTextToMove(text, white);
            fuzz::Check(again && SameRecord(*again, *move), "move text does not read back", text);
            if (!IsPassMove(*move)) Play(board, *move, line);
        }
        if (const std::optional<TChessMove> move = UciToMove(line, white)) {
            const std::string text = MoveToUci(*move);
            const std::optional<TChessMove> again = UciToMove(text, white);
            fuzz::Check(again && SameRecord(*again, *move), "coordinates do not read back", text);
            Play(board, *move, line);
        }
    }
    static_cast<void>(board.CheckGameEnd());
    return 0;
}
