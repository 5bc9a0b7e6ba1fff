// Moves made by dragging pieces with the mouse on the board image, and the promotion choice.

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>

#include "BoardTestSupport.h"
#include "notation/MoveText.h"

namespace tavlor::testing {
namespace {

TEST(MouseInput, FoolsMateByDraggingThenAPressOnlyRepeatsTheResult) {
    TBoard board;
    for (const char* move : {"f2f3", "e7e5", "g2g4", "d8h4"}) {
        board.Drag(move);
        EXPECT_TRUE(board.ShownAsRedrawn()) << move;
    }
    EXPECT_EQ(board.Messages(), QStringList{"Weiss ist matt!"});
    board.Press(board.Centre("e2"));
    EXPECT_EQ(board.Form->DragPiece, cEmpty);
    board.Release(board.Centre("e4"));
    EXPECT_EQ(board.Messages(), QStringList({"Weiss ist matt!", "Weiss ist matt!"}));
    EXPECT_EQ(board.Form->ChessBoard->PlyCount, 4);
}

TEST(MouseInput, PixelsOnBordersAndRefusedDrops) {
    // Pixel 200 is the border of files D and E and of ranks 4 and 5, pixel 300 that of ranks 2
    // and 3: the lower file or rank wins.
    struct TCase {
        QPoint Press, Release;
        const char* Made;  // empty: no move
        QString Message;
    };
    const TCase cases[] = {
        {{225, 325}, {225, 200}, "E2 - E4  ", ""},
        {{175, 325}, {200, 225}, "D2 - D4  ", ""},
        {{225, 300}, {225, 125}, "", "Ungültiger Zug!"},  // E2 to E5
        {{225, 325}, {210, 340}, "", ""},                 // back on its own square
    };
    for (const TCase& test : cases) {
        TBoard board;
        board.Drag(test.Press, test.Release);
        const TChessBoard& game = *board.Form->ChessBoard;
        EXPECT_EQ(game.HistoryTop, game.PlyCount);
        EXPECT_EQ(game.PlyCount ? MoveToText(game.History[1]) : "", test.Made);
        EXPECT_EQ(board.Messages(),
                  test.Message.isEmpty() ? QStringList() : QStringList{test.Message});
        EXPECT_TRUE(board.ShownAsRedrawn());
    }
}

TEST(MouseInput, APieceReleasedBesideTheBoardFloatsUntilDroppedOnASquare) {
    TBoard board;
    TfrmChessMainForm& form = *board.Form;
    const QImage before = board.Shown();
    board.Press(board.Centre("g1"));
    for (const QPoint pointer : {QPoint(300, 330), QPoint(150, 200), QPoint(180, 100)})
        board.MoveTo(pointer);
    // Only the emptied G1 and the piece's last spot differ: no trail of the way it floated.
    const QRect floating(180 + form.DragOffsetX, 100 + form.DragOffsetY, 50, 50);
    const QImage lifted = board.Shown();
    int changedElsewhere = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            changedElsewhere += before.pixel(x, y) != lifted.pixel(x, y) &&
                                !floating.contains(x, y) && !form.SquareRect(7, 1).contains(x, y);
    EXPECT_EQ(changedElsewhere, 0);
    EXPECT_NE(lifted.copy(floating), before.copy(floating));

    const QPoint memo = form.imgMainBoard->mapFrom(
        &form, form.memMoves->mapTo(&form, form.memMoves->rect().center()));
    for (const QPoint beside : {memo, QPoint(100, 402)}) {  // the move list, the unpainted rows
        board.MoveTo(beside);
        board.Release(beside);
        EXPECT_NE(form.DragPiece, cEmpty);
    }
    board.MoveTo(board.Centre("f3"));
    board.Press(board.Centre("f3"));  // ignored: the piece is still in the air
    board.Release(board.Centre("f3"));
    EXPECT_EQ(board.At("f3"), cWhiteKnight);
    EXPECT_TRUE(board.Messages().isEmpty());
    EXPECT_TRUE(board.ShownAsRedrawn());
}

TEST(MouseInput, PressesRefusedForTheOpponentsPiecesAndSlots) {
    struct TCase {
        std::int32_t Slot;
        bool Connected, LocalIsWhite;
        const char* Square;
    };
    for (const TCase& test :
         {TCase{0, false, true, "e7"}, TCase{0, false, true, "e4"}, TCase{1, false, false, "e2"},
          TCase{2, false, true, "e2"}, TCase{2, true, false, "e2"}}) {
        TBoard board;
        board.Form->ActiveConnection = test.Slot;
        auto& slot = board.Form->Connections[test.Slot];
        if (!slot) slot = std::make_unique<TChessConnection>();
        slot->Connected = test.Connected;
        slot->LocalIsWhite = test.LocalIsWhite;
        board.Press(board.Centre(test.Square));
        EXPECT_EQ(board.Form->DragPiece, cEmpty) << test.Slot << test.Square;
        EXPECT_TRUE(board.Dialogs.Calls.empty());
    }
}

TEST(MouseInput, PromotionOfBothColoursToEachPiece) {
    const std::array<TPieceCode, 4> pieces = {cWhiteQueen, cWhiteRook, cWhiteBishop, cWhiteKnight};
    for (const TPieceCode colour : {cEmpty, cBlackBase})
        for (int choice = 0; choice < 4; ++choice) {
            const bool white = colour == cEmpty;
            TBoard board(white ? "4k3/P7/8/8/8/8/8/4K3 w" : "4k3/8/8/8/8/8/p7/4K3 b");
            board.Dialogs.Answers = {QString::number(choice)};
            board.Drag(white ? "a7a8" : "a2a1");
            EXPECT_EQ(board.At(white ? "a8" : "a1"), pieces[choice] + colour);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(board.Dialogs.Pictures[i].toImage(),
                          board.Form->PiecePicture(pieces[i] + colour, {150, 150}).toImage());
            // The chosen piece is shown at once, not the pawn that was dragged.
            EXPECT_TRUE(board.ShownAsRedrawn()) << white << choice;
        }
}

TEST(MouseInput, AMoveAfterTakingBackEndsTheRecord) {
    TBoard board;
    PlayMoves(*board.Form, {"e2e4", "e7e5", "g1f3"});
    board.Form->mnuTakeBackMove->trigger();
    board.Form->mnuTakeBackMove->trigger();
    board.Drag("c7c5");
    board.Form->mnuDoNextMove->trigger();
    EXPECT_EQ(board.Form->ChessBoard->PlyCount, 2);
    EXPECT_EQ(board.Form->ChessBoard->HistoryTop, 2);
}

TEST(MouseInput, AFullRecordRefusesTheDroppedMoveAndKeepsEverything) {
    TBoard board;
    TChessBoard& game = *board.Form->ChessBoard;
    // Passes fill the record without a repetition; the last two plies are pawn moves, so the
    // fifty-move rule does not end the game either.
    for (int ply = 0; ply < cMaxHistory - 2; ++ply)
        ASSERT_TRUE(game.AddPassMove());
    PlayMoves(*board.Form, {"e2e3", "e7e6"});
    board.Form->RedrawBoard();
    board.Drag("d2d4");
    EXPECT_EQ(game.PlyCount, cMaxHistory);
    EXPECT_EQ(game.HistoryTop, cMaxHistory);
    ASSERT_EQ(board.Messages().size(), 1);
    EXPECT_TRUE(board.Messages().front().contains("1000"));
    EXPECT_TRUE(board.ShownAsRedrawn());
}

}  // namespace
}  // namespace tavlor::testing
