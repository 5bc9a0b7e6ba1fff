#include <gtest/gtest.h>

#include "notation/Fen.h"
#include "notation/MoveList.h"
#include "notation/MoveText.h"

namespace tavlor {
namespace {

TEST(MoveText, NineCharacters) {
    struct TRow {
        TChessMove Move;
        const char* Text;
    };
    const TRow rows[] = {
        {{5, 2, 5, 4, cEmpty}, "E2 - E4  "},
        {{5, 1, 7, 1, cEmpty}, "E1 - G1  "},
        {{5, 7, 5, 8, cWhiteQueen}, "E7 - E8 Q"},
        {{2, 2, 1, 1, cBlackKnight}, "B2 - A1 N"},
        {cPassMove, "A0 - A0  "},
        {{0, 9, 9, 0, 12345}, "?9 - ?0  "},  // damaged records never index past the letters
    };
    for (const TRow& row : rows) EXPECT_EQ(MoveToText(row.Move), row.Text);
    EXPECT_EQ(PieceLetter(cBlackKing), 'K');
    EXPECT_EQ(PieceLetter(cEmpty), ' ');
    EXPECT_EQ(PieceLetter(cBlackBase), ' ');
}

TEST(WireTextToMove, ReadsAndRefusesDamagedTexts) {
    struct TRow {
        const char* Text;
        bool White;
        bool Valid;
        TChessMove Move;
    };
    const TRow rows[] = {
        {"E2 - E4  ", true, true, {5, 2, 5, 4, cEmpty}},
        {"E2 - E4", true, true, {5, 2, 5, 4, cEmpty}},  // trailing blanks dropped on the wire
        {"E7 - E8 Q", true, true, {5, 7, 5, 8, cWhiteQueen}},
        {"E2 - E1 Q", false, true, {5, 2, 5, 1, cBlackQueen}},
        {"E7 - E8 X", true, true, {5, 7, 5, 8, cEmpty}},
        // A pawn never becomes a king or stays a pawn.
        {"E7 - E8 K", true, true, {5, 7, 5, 8, cEmpty}},
        {"A0 - A0", true, true, cPassMove},
        {"I2 - E4", true, false, {}},
        {"e2 - e4", true, false, {}},
        {"E9 - E4", true, false, {}},
        {"E2 - E", true, false, {}},
        {"", true, false, {}},
    };
    for (const TRow& row : rows) {
        const auto move = WireTextToMove(row.Text, row.White);
        ASSERT_EQ(move.has_value(), row.Valid) << row.Text;
        if (!move) continue;
        EXPECT_TRUE(SameMove(*move, row.Move)) << row.Text;
        EXPECT_EQ(move->Promotion, row.Move.Promotion) << row.Text;
    }
}

TEST(UciText, RoundTrip) {
    for (const char* text : {"e2e4", "a7a8q", "h2h1n", "e1g1"}) {
        const auto move = UciToMove(text, text[1] != '2' || text[3] != '1');
        ASSERT_TRUE(move) << text;
        EXPECT_EQ(MoveToUci(*move), text);
    }
    for (const char* text : {"e2e9", "i2i4", "e7e8k", "e2e4qq", "e2"}) EXPECT_FALSE(UciToMove(text, true)) << text;
}

TEST(WriteMoveList, ColumnsPassRecordAndMissingBlackMove) {
    TChessBoard board;
    std::vector<std::string> lines;
    WriteMoveList(board, lines);
    EXPECT_TRUE(lines.empty());

    for (const char* move : {"e2e4", "e7e5", "g1f3"})
        ASSERT_TRUE(board.MakeMove(*UciToMove(move, board.IsWhiteToMove())));
    WriteMoveList(board, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"  1. E2 - E4     E7 - E5  ", "  2. G1 - F3     ..."}));

    board.TakeBackMove();  // moves on the redo chain are not listed
    lines.clear();
    WriteMoveList(board, lines);
    EXPECT_EQ(lines.size(), 1u);

    ReadFen(board, "4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    ASSERT_TRUE(board.MakeMove(*UciToMove("e8d8", false)));
    lines.clear();
    WriteMoveList(board, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"  1. ...         E8 - D8  "}));
}

TEST(WriteMoveList, NumbersRightAligned) {
    TChessBoard board;
    const char* shuffle[4] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (int ply = 0; ply < 19; ++ply)
        ASSERT_TRUE(board.MakeMove(*UciToMove(shuffle[ply % 4], board.IsWhiteToMove())));
    std::vector<std::string> lines;
    WriteMoveList(board, lines);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[9], " 10. F3 - G1     ...");
}

}  // namespace
}  // namespace tavlor
