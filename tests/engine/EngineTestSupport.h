#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Search.h"
#include "notation/MoveText.h"
#include "tests/rules/TestBoards.h"

namespace tavlor::test {

// A search context set up from a FEN text as ComputeMove sets it up, ready for the routines
// of one search to be called one by one.
struct TSearchFixture {
    explicit TSearchFixture(std::string_view fen, const TComputerSettings& settings = {}) {
        const TChessBoard board = test::Play(fen, {});
        PrepareSearch(C, board, board.IsWhiteToMove(), 1, settings, nullptr);
    }

    // Stack entry `index` as "e2e4" or "e7e8q".
    std::string Text(std::int32_t index) const {
        const TSearchMove& move = C.MoveStack[static_cast<std::size_t>(index)];
        return MoveToUci(ToGameMove(move.From, move.To, move.PromoteTo));
    }

    // The moves of the current ply in stack order, each followed by "/" and its ordering score
    // when that is not 0, and by a blank.
    std::string PlyMoves() const {
        std::string texts;
        for (std::int32_t i = C.PlyEnd[C.Ply - 1]; i < C.PlyEnd[C.Ply]; ++i) {
            const std::int32_t order = C.MoveStack[static_cast<std::size_t>(i)].Order;
            texts += Text(i);
            if (order != 0) texts.append("/").append(std::to_string(order));
            texts += ' ';
        }
        return texts;
    }

    // Stack index of the current ply's move with this text; -1 when there is none.
    std::int32_t Find(std::string_view uci) const {
        for (std::int32_t i = C.PlyEnd[C.Ply - 1]; i < C.PlyEnd[C.Ply]; ++i)
            if (Text(i) == uci) return i;
        return -1;
    }

    // Makes these moves inside the search, each taken from a full list of its ply.
    void Play(const std::vector<std::string_view>& moves) {
        for (std::string_view move : moves) {
            GenerateSearchMoves(C, 1);
            const std::int32_t index = Find(move);
            ASSERT_GE(index, 0) << move;
            MakeSearchMove(C, index);
        }
    }

    std::unique_ptr<SearchContext> Context = std::make_unique<SearchContext>();
    SearchContext& C = *Context;
};

}  // namespace tavlor::test
