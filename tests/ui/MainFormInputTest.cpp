// Moves made by dragging pieces with the mouse on the board image, and the promotion choice.

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "UiTestSupport.h"
#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"
#include "ui/Controls.h"

namespace tavlor::testing {
namespace {

// Records the promotion pictures besides answering from the script.
class TPromotionDialogs : public TScriptedDialogs {
public:
    int ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) override {
        Pictures = pictures;
        return TScriptedDialogs::ChoosePromotionPiece(pictures);
    }
    std::array<QPixmap, 4> Pictures;
};

// The window shown, both sides played at this board, on a 400 x 403 board image: squares of 50
// pixels and three unpainted pixel rows at the bottom.
struct TBoard {
    explicit TBoard(const char* fen = nullptr) {
        TMainFormOptions options;
        options.ProgramDir = Fixture.ProgramDir();
        options.WorkingDir = Fixture.ProgramDir();
        options.Dialogs = &Dialogs;
        Form = std::make_unique<TfrmChessMainForm>(options);
        Form->ActiveConnection = 0;
        if (fen) ReadFen(*Form->ChessBoard, fen);
        Form->imgMainBoard->setFixedSize(400, 403);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->timChessBoardRedraw->stop();
        Form->RedrawBoard();
    }

    // Mouse events as the window system delivers them, at a pixel of the board picture.
    QPoint InWindow(QPoint pixel) const {
        return Form->imgMainBoard->mapTo(Form.get(), pixel + Form->imgMainBoard->PictureOrigin());
    }
    void Press(QPoint pixel) {
        QTest::mousePress(Form->windowHandle(), Qt::LeftButton, {}, InWindow(pixel));
    }
    void MoveTo(QPoint pixel) { QTest::mouseMove(Form->windowHandle(), InWindow(pixel)); }
    void Release(QPoint pixel) {
        QTest::mouseRelease(Form->windowHandle(), Qt::LeftButton, {}, InWindow(pixel));
    }
    void Drag(QPoint from, QPoint to) {
        Press(from);
        MoveTo((from + to) / 2);
        MoveTo(to);
        Release(to);
    }
    QPoint Centre(const char* square) const {
        return Form->SquareRect(square[0] - 'a' + 1, square[1] - '0').center();
    }
    void Drag(const char* uci) { Drag(Centre(uci), Centre(uci + 2)); }

    QImage Shown() const { return Form->imgMainBoard->Picture().toImage(); }
    // What a full redraw of the current position shows.
    QImage Redrawn() {
        Form->RedrawBoard();
        return Shown();
    }
    TPieceCode At(const char* square) const {
        return Form->ChessBoard->GetSquare(square[0] - 'a' + 1, square[1] - '0');
    }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& call : Dialogs.Calls)
            if (call.Kind == "message") texts << call.Text;
        return texts;
    }

    TFormFixture Fixture;
    TPromotionDialogs Dialogs;
    std::unique_ptr<TfrmChessMainForm> Form;
};

TEST(MouseInput, FoolsMateByDraggingThenAPressOnlyRepeatsTheResult) {
    TBoard board;
    for (const char* move : {"f2f3", "e7e5", "g2g4", "d8h4"}) {
        board.Drag(move);
        EXPECT_EQ(board.Form->DragPiece, cEmpty) << move;
        // The piece put down looks exactly as a redraw of the position would show it.
        const QImage shown = board.Shown();
        EXPECT_EQ(shown, board.Redrawn()) << move;
    }
    EXPECT_EQ(board.Form->ChessBoard->PlyCount, 4);
    EXPECT_EQ(board.Messages(), QStringList{"Weiss ist matt!"});
    board.Press(board.Centre("e2"));
    EXPECT_EQ(board.Form->DragPiece, cEmpty);
    board.Release(board.Centre("e4"));
    EXPECT_EQ(board.Messages(), QStringList({"Weiss ist matt!", "Weiss ist matt!"}));
    EXPECT_EQ(board.Form->ChessBoard->PlyCount, 4);
}

TEST(MouseInput, ReleasePixelsDecideTheMove) {
    // Pixel 200 is the border of files D and E, and of ranks 4 and 5: the lower one wins.
    struct TCase {
        const char* From;
        QPoint Release;
        const char* Made;  // empty: no move
        int Messages;
    };
    const TCase cases[] = {
        {"e2", {225, 200}, "E2 - E4  ", 0},  // border E4/E5
        {"d2", {200, 225}, "D2 - D4  ", 0},  // border D4/E4
        {"e2", {225, 125}, "", 1},           // E5: "Ungültiger Zug!"
        {"e2", {210, 340}, "", 0},           // its own square
        {"e2", {249, 300}, "", 0},           // the border E2/E3 belongs to E2
    };
    for (const TCase& test : cases) {
        TBoard board;
        board.Drag(board.Centre(test.From), test.Release);
        const TChessBoard& game = *board.Form->ChessBoard;
        const bool made = *test.Made != '\0';
        EXPECT_EQ(game.PlyCount, made ? 1 : 0) << test.From;
        EXPECT_EQ(game.HistoryTop, made ? 1 : 0) << test.From;
        if (made) {
            EXPECT_EQ(MoveToText(game.History[1]), test.Made);
        }
        EXPECT_EQ(board.Messages().size(), test.Messages) << test.From;
        if (test.Messages) {
            EXPECT_EQ(board.Messages().front(), "Ungültiger Zug!");
        }
        EXPECT_EQ(board.Form->DragPiece, cEmpty);
        const QImage shown = board.Shown();
        EXPECT_EQ(shown, board.Redrawn()) << test.From;
    }
}

TEST(MouseInput, APieceReleasedBesideTheBoardFloatsUntilDroppedOnASquare) {
    TBoard board;
    const QImage before = board.Shown();
    board.Press(board.Centre("g1"));
    for (const QPoint pointer : {QPoint(300, 330), QPoint(150, 200), QPoint(180, 100)})
        board.MoveTo(pointer);
    // Only the emptied G1 and the piece's last spot differ: no trail of the way it floated.
    const QRect floating(180 + board.Form->DragOffsetX, 100 + board.Form->DragOffsetY, 50, 50);
    const QRect g1 = board.Form->SquareRect(7, 1);
    const QImage lifted = board.Shown();
    int changedElsewhere = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != lifted.pixel(x, y) && !floating.contains(x, y) &&
                !g1.contains(x, y))
                ++changedElsewhere;
    EXPECT_EQ(changedElsewhere, 0);
    EXPECT_NE(lifted.copy(floating), before.copy(floating));

    TfrmChessMainForm& form = *board.Form;
    const QPoint memo = form.imgMainBoard->mapFrom(
        &form, form.memMoves->mapTo(&form, form.memMoves->rect().center()));
    for (const QPoint beside : {memo, QPoint(100, 402)}) {  // the move list, the unpainted rows
        board.MoveTo(beside);
        board.Release(beside);
        EXPECT_NE(board.Form->DragPiece, cEmpty);
        EXPECT_EQ(board.Form->ChessBoard->PlyCount, 0);
    }
    board.MoveTo(board.Centre("f3"));
    board.Press(board.Centre("f3"));  // ignored: the piece is still in the air
    board.Release(board.Centre("f3"));
    EXPECT_EQ(board.At("f3"), cWhiteKnight);
    EXPECT_EQ(board.Form->DragPiece, cEmpty);
    EXPECT_TRUE(board.Messages().isEmpty());
    const QImage shown = board.Shown();
    EXPECT_EQ(shown, board.Redrawn());
}

TEST(MouseInput, PressesThatStartNoDrag) {
    struct TCase {
        std::int32_t Slot;
        bool Connected;
        bool LocalIsWhite;
        const char* Square;
    };
    const TCase cases[] = {
        {0, false, true, "e7"},  // an opponent's piece
        {0, false, true, "e4"},  // an empty square
        {1, false, false, "e2"}, // the computer's colour
        {2, false, true, "e2"},  // a network opponent not yet connected
        {2, true, false, "e2"},  // a network opponent's colour
    };
    for (const TCase& test : cases) {
        TBoard board;
        board.Form->ActiveConnection = test.Slot;
        if (test.Slot == 2) board.Form->Connections[2] = std::make_unique<TChessConnection>();
        TChessConnection* slot = board.Form->Connections[test.Slot].get();
        if (slot) {
            slot->Connected = test.Connected;
            slot->LocalIsWhite = test.LocalIsWhite;
        }
        board.Press(board.Centre(test.Square));
        EXPECT_EQ(board.Form->DragPiece, cEmpty) << test.Slot << " " << test.Square;
        board.Release(board.Centre("e4"));
        EXPECT_EQ(board.Form->ChessBoard->PlyCount, 0);
        EXPECT_TRUE(board.Dialogs.Calls.empty());
    }
}

TEST(MouseInput, PromotionOfBothColoursToEachPiece) {
    const std::array<TPieceCode, 4> white = {cWhiteQueen, cWhiteRook, cWhiteBishop, cWhiteKnight};
    for (const bool whitePromotes : {true, false})
        for (int choice = 0; choice < 4; ++choice) {
            TBoard board(whitePromotes ? "4k3/P7/8/8/8/8/8/4K3 w - - 0 1"
                                       : "4k3/8/8/8/8/8/p7/4K3 b - - 0 1");
            board.Dialogs.Answers = {QString::number(choice)};
            board.Drag(whitePromotes ? "a7a8" : "a2a1");
            const TPieceCode colour = whitePromotes ? cEmpty : cBlackBase;
            EXPECT_EQ(board.At(whitePromotes ? "a8" : "a1"), white[choice] + colour);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(board.Dialogs.Pictures[i].toImage(),
                          board.Form->PiecePicture(white[i] + colour, QSize(150, 150)).toImage());
            // The chosen piece is shown at once, not the pawn that was dragged.
            const QImage shown = board.Shown();
            EXPECT_EQ(shown, board.Redrawn()) << whitePromotes << choice;
            EXPECT_EQ(board.Form->ChessBoard->History[board.Form->ChessBoard->PlyCount].Promotion,
                      white[choice] + colour);
        }
}

TEST(MouseInput, AMoveAfterTakingBackEndsTheRecord) {
    TBoard board;
    PlayMoves(*board.Form, {"e2e4", "e7e5", "g1f3"});
    board.Form->mnuTakeBackMove->trigger();
    board.Form->mnuTakeBackMove->trigger();
    board.Drag("c7c5");
    EXPECT_EQ(board.Form->ChessBoard->PlyCount, 2);
    EXPECT_EQ(board.Form->ChessBoard->HistoryTop, 2);
    board.Form->mnuDoNextMove->trigger();
    EXPECT_EQ(board.Form->ChessBoard->PlyCount, 2);
    EXPECT_EQ(board.At("c5"), cBlackPawn);
}

TEST(MouseInput, AFullRecordRefusesTheDroppedMoveAndKeepsEverything) {
    TBoard board;
    TChessBoard& game = *board.Form->ChessBoard;
    // Passes fill the record without a repetition; the last two plies are pawn moves, so the
    // game is not over by the fifty-move rule either.
    for (int ply = 0; ply < cMaxHistory - 2; ++ply)
        ASSERT_TRUE(game.AddPassMove());
    PlayMoves(*board.Form, {"e2e3", "e7e6"});
    board.Form->RedrawBoard();
    board.Drag("d2d4");
    EXPECT_EQ(game.PlyCount, cMaxHistory);
    EXPECT_EQ(game.HistoryTop, cMaxHistory);
    EXPECT_EQ(board.At("d2"), cWhitePawn);
    ASSERT_EQ(board.Messages().size(), 1);
    EXPECT_TRUE(board.Messages().front().contains("1000"));
    const QImage shown = board.Shown();
    EXPECT_EQ(shown, board.Redrawn());
}

}  // namespace
}  // namespace tavlor::testing
