#include <gtest/gtest.h>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

namespace tavlor {
namespace {

bool CanPlay(TChessBoard& board, const char* uci) {
    const auto move = UciToMove(uci, board.IsWhiteToMove());
    return move && IsLegalMove(board, *move);
}

TEST(ReadFen, InitialPosition) {
    TChessBoard board;
    ASSERT_TRUE(board.MakeMove(*UciToMove("e2e4", true)));
    board.SetComment(0, 1, "alt");
    ReadFen(board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    const TChessBoard initial;
    EXPECT_TRUE(SameBoard(board.Board, initial.Board));
    EXPECT_TRUE(SameBoard(board.StartBoard, initial.Board));
    EXPECT_TRUE(board.IsWhiteToMove());
    EXPECT_EQ(board.HistoryTop, 0);
    EXPECT_EQ(board.CastlingRights, initial.CastlingRights);
    EXPECT_TRUE(board.Comments[0].empty());
}

TEST(ReadFen, SideToMoveAndPassRecord) {
    TChessBoard board;
    ReadFen(board, "4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    EXPECT_FALSE(board.IsWhiteToMove());
    EXPECT_EQ(board.HistoryTop, 1);
    EXPECT_TRUE(IsPassMove(board.GetHistoryMove(1)));
    for (int right = 1; right <= 4; ++right)
        EXPECT_FALSE(board.CastlingRights[right]);

    ReadFen(board, "8/8/8/8/8/8/8/8 w");
    EXPECT_TRUE(board.IsWhiteToMove());
    ReadFen(board, "8/8/8/8/8/8/8/8");
    EXPECT_FALSE(board.IsWhiteToMove());
    ReadFen(board, "xyz");
    EXPECT_FALSE(board.IsWhiteToMove());
    EXPECT_FALSE(board.HasBothKings());
}

TEST(ReadFen, EnPassantBecomesTheRecordedDoubleStep) {
    TChessBoard board;
    ReadFen(board, "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1");
    EXPECT_EQ(board.GetStartSquare(5, 2), cWhitePawn);
    EXPECT_EQ(board.GetSquare(5, 4), cWhitePawn);
    EXPECT_EQ(board.PlyCount, 1);
    EXPECT_TRUE(CanPlay(board, "d4e3"));

    ReadFen(board, "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_EQ(board.GetStartSquare(4, 7), cBlackPawn);
    EXPECT_EQ(board.PlyCount, 2);
    EXPECT_TRUE(IsPassMove(board.GetHistoryMove(1)));
    EXPECT_TRUE(CanPlay(board, "e5d6"));

    // Before a step that blocks a check the other side would have stood in check with the
    // stepping side to move: the step is no possible last move and is ignored.
    ReadFen(board, "k7/1b6/8/3p4/8/8/8/7K w - d6 0 1");
    EXPECT_EQ(board.GetStartSquare(4, 5), cBlackPawn);
    EXPECT_EQ(board.PlyCount, 0);

    // A square that does not match the board is ignored: no piece is lost on E2.
    ReadFen(board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq e3 0 1");
    EXPECT_EQ(board.GetSquare(5, 2), cWhitePawn);
    EXPECT_EQ(board.PlyCount, 1);
    EXPECT_TRUE(IsPassMove(board.GetHistoryMove(1)));
}

TEST(ReadFen, CastlingNeedsKingAndRookAtHome) {
    TChessBoard board;
    ReadFen(board, "r3k3/8/8/8/8/8/8/4K2R w KQkq - 0 1");
    EXPECT_TRUE(board.CastlingRights[cWhiteKingSide]);
    EXPECT_FALSE(board.CastlingRights[cWhiteQueenSide]);
    EXPECT_FALSE(board.CastlingRights[cBlackKingSide]);
    EXPECT_TRUE(board.CastlingRights[cBlackQueenSide]);
    EXPECT_EQ(board.StartCastlingRights, board.CastlingRights);
}

TEST(ReadFen, PlacementPastTheBoardIsSkipped) {
    TChessBoard board;
    ReadFen(board, "kkkkkkkkkkkk/8/8/8/8/8/8/8/8/8/PPPP w");
    for (int file = 1; file <= 8; ++file)
        EXPECT_EQ(board.GetSquare(file, 8), cBlackKing);
    int pieces = 0;
    for (int file = 1; file <= 8; ++file)
        for (int rank = 1; rank <= 7; ++rank)
            pieces += board.GetSquare(file, rank) != cEmpty;
    EXPECT_EQ(pieces, 0);
    ReadFen(board, "99999999R/8 w - z9");  // digits run past too; unknown letters are ignored
    EXPECT_TRUE(board.IsWhiteToMove());
}

// A text is playable or refused with its reason; a playable one is read by ReadFen as before.
TEST(FenPositionError, RefusesWhatCannotBePlayed) {
    const std::pair<const char*, const char*> rows[] = {
        {cStartFen.data(), nullptr},
        {"4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", nullptr},
        {"4k3/4R3/8/8/8/8/8/4K3 b", nullptr},  // the side to move may be in check
        {"4k3/8/8/8/8/8/8/4K3 w KQkq x9 99 77 Zusatz", nullptr},
        {"", "die Figurenstellung fehlt"},
        {"x", "unbekanntes Zeichen \"x\" in der Figurenstellung"},
        {"4k3/8/8/8/8/8/8/4K\303\2442 w", "unbekanntes Zeichen \"\303\244\""},
        {"8/8/8/8/8/8/8", "die Figurenstellung hat 7 statt 8 Reihen"},
        {"4k3/8/8/8/8/8/8/4K3/8 w", "die Figurenstellung hat 9 statt 8 Reihen"},
        {"4k4/8/8/8/8/8/8/4K3 w", "Reihe 8 hat 9 statt 8 Felder"},
        {"8/8/8/8/8/8/8/8 w", "Weiss hat keinen König"},
        {"4k3/8/8/8/8/8/8/3KK3 w", "Weiss hat 2 Könige"},
        {"4k2P/8/8/8/8/8/8/4K3 w", "auf H8 steht ein Bauer"},
        {"4k3/8/8/8/8/8/8/p3K3 b", "auf A1 steht ein Bauer"},
        {"kK6/8/8/8/8/8/8/8 w", "Schwarz steht im Schach, obwohl Weiss am Zug ist"},
        {"4k3/8/8/8/8/8/8/4K2r", "Weiss steht im Schach, obwohl Schwarz am Zug ist"},
    };
    for (const auto& [fen, reason] : rows) {
        const std::optional<std::string> fault = FenPositionError(fen);
        if (!reason) {
            EXPECT_FALSE(fault) << fen << ": " << fault.value_or("");
            continue;
        }
        ASSERT_TRUE(fault) << fen;
        EXPECT_NE(fault->find(reason), std::string::npos) << fen << ": " << *fault;
    }
}

}  // namespace
}  // namespace tavlor
