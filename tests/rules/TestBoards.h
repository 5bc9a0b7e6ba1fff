#pragma once

#include <initializer_list>
#include <string_view>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "rules/ChessBoard.h"

namespace tavlor::test {

// A game from a FEN text (or "startpos") with the given moves in coordinates made on it;
// promotions carry their piece. Fails the test on a move that cannot be read or made.
template <class TMoves = std::initializer_list<std::string_view>>
TChessBoard Play(std::string_view fen, const TMoves& moves) {
    TChessBoard board;
    ReadFen(board, fen == "startpos" ? cStartFen : fen);
    for (const std::string_view text : moves) {
        const auto move = UciToMove(text, board.IsWhiteToMove());
        EXPECT_TRUE(move.has_value()) << text;
        if (!move) break;
        board.HistoryTop = 0;
        EXPECT_TRUE(board.MakeMove(*move)) << text;
    }
    return board;
}

inline TChessMove Move(std::string_view uci, bool white = true) {
    return UciToMove(uci, white).value();
}

}  // namespace tavlor::test
