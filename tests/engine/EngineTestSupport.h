#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Search.h"
#include "engine/SearchContext.h"
#include "notation/Fen.h"
#include "notation/MoveText.h"

namespace tavlor::test {

// A search context set up from a FEN text as ComputeMove sets it up, ready for the routines
// of one search to be called one by one.
struct TSearchFixture {
    explicit TSearchFixture(std::string_view fen, const TComputerSettings& settings = {},
                            std::int32_t maxIterations = 1) {
        ReadFen(Board, fen == "startpos" ? cStartFen : fen);
        PrepareSearch(*Context, Board, Board.IsWhiteToMove(), maxIterations, settings, nullptr);
    }

    SearchContext& C() { return *Context; }

    // The moves of the current ply in stack order, as "e2e4" or "e7e8q".
    std::vector<std::string> PlyMoves() {
        std::vector<std::string> texts;
        for (std::int32_t i = Context->PlyEnd[Context->Ply - 1]; i < Context->PlyEnd[Context->Ply];
             ++i)
            texts.push_back(Text(i));
        return texts;
    }

    std::string Text(std::int32_t index) {
        const TSearchMove& move = Context->MoveStack[static_cast<std::size_t>(index)];
        return MoveToUci(ToGameMove(move.From, move.To, move.PromoteTo));
    }

    // Stack index of the move of the current ply with this text; -1 when there is none.
    std::int32_t Find(std::string_view uci) {
        for (std::int32_t i = Context->PlyEnd[Context->Ply - 1]; i < Context->PlyEnd[Context->Ply];
             ++i)
            if (Text(i) == uci) return i;
        return -1;
    }

    TChessBoard Board;
    std::unique_ptr<SearchContext> Context = std::make_unique<SearchContext>();
};

}  // namespace tavlor::test
