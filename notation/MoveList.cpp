#include "notation/MoveList.h"

#include <cstdio>

#include "notation/MoveText.h"

namespace tavlor {

void WriteMoveList(const TChessBoard& board, std::vector<std::string>& lines) {
    for (std::int32_t i = 1; i <= board.PlyCount; i += 2) {
        char number[16];
        std::snprintf(number, sizeof number, "%3d. ", i / 2 + 1);
        std::string line = number;
        const TChessMove& white = board.GetHistoryMove(i);
        // A set-up position with Black to move opens with the pass record: keep Black's column.
        line += IsPassMove(white) ? "...      " : MoveToText(white);
        if (i + 1 <= board.PlyCount)
            line += "   " + MoveToText(board.GetHistoryMove(i + 1));
        else
            line += "   ...";
        lines.push_back(std::move(line));
    }
}

}  // namespace tavlor
