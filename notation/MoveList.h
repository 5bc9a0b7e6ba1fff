#pragma once

#include <string>
#include <vector>

#include "rules/ChessBoard.h"

namespace tavlor {

// Appends one line per full move of the moves up to the current position:
// "  1. E2 - E4     E7 - E5  ", a pass record shows as "...", a missing Black move as "...".
void WriteMoveList(const TChessBoard& board, std::vector<std::string>& lines);

}  // namespace tavlor
