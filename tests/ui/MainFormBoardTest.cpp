// The board display: orientation, square geometry, captured pieces, fitting the window, the
// piece-set chooser.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "UiTestSupport.h"
#include "notation/Fen.h"
#include "ui/Controls.h"
#include "ui/GetFiguresForm.h"

namespace tavlor::testing {
namespace {

QRgb PixelAt(const TfrmChessMainForm& form, QPoint point) {
    return form.imgMainBoard->Picture().toImage().pixel(point) & 0xFFFFFF;
}

// A pixel of the square's empty corner, where no piece covers it.
QPoint Corner(const TfrmChessMainForm& form, int file, int rank) {
    return form.SquareRect(file, rank).topLeft() + QPoint(2, 2);
}

TEST(BoardDisplay, RotationPutsA1TopRightAndKeepsTheColours) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->imgMainBoard->resize(400, 403);
    form->RedrawBoard();
    EXPECT_EQ(form->SquareWidth, 50);
    EXPECT_EQ(form->SquareHeight, 50);
    EXPECT_EQ(form->SquareRect(1, 1), QRect(0, 350, 50, 50));
    const QRgb dark = form->DarkSquareBitmap.pixel(0, 0) & 0xFFFFFF;
    const QRgb light = form->LightSquareBitmap.pixel(0, 0) & 0xFFFFFF;
    EXPECT_EQ(PixelAt(*form, {2, 352}), dark);  // A1 bottom left, dark
    EXPECT_EQ(PixelAt(*form, {2, 2}), light);   // A8 top left, light
    // The bottom three pixel rows stay unpainted.
    EXPECT_EQ(qAlpha(form->imgMainBoard->Picture().toImage().pixel(10, 401)), 0);

    form->mnuRotate->trigger();
    EXPECT_FALSE(form->WhiteAtBottom);
    EXPECT_EQ(form->SquareRect(1, 1), QRect(350, 0, 50, 50));
    EXPECT_EQ(form->SquareRect(8, 8), QRect(0, 350, 50, 50));
    EXPECT_EQ(PixelAt(*form, {352, 2}), dark);  // A1 top right, still dark
    EXPECT_EQ(PixelAt(*form, {2, 352}), dark);  // H8 bottom left, dark as well
    // The white king stands on E1, now in the top row; the picture differs from an empty square.
    const QRect e1 = form->SquareRect(5, 1);
    EXPECT_EQ(e1.top(), 0);
    EXPECT_NE(PixelAt(*form, e1.center()), PixelAt(*form, Corner(*form, 5, 1)));
    form->mnuRotate->trigger();
    EXPECT_TRUE(form->WhiteAtBottom);
}

TEST(BoardDisplay, CapturedPiecesAfterAPromotionToASecondQueen) {
    TFormFixture fixture;
    auto form = fixture.Start();
    ReadFen(*form->ChessBoard, "4k3/P7/8/8/8/8/1PPPPPPP/RNBQKBNR w KQ - 0 1");
    PlayMoves(*form, {"a7a8q"});
    form->RefreshStatus();
    // White misses one pawn and has a queen too many (which draws nothing); Black misses all
    // but the king.
    auto expectRow = [&](const std::array<TImage*, 16>& images, int square,
                         const std::vector<TPieceCode>& pieces) {
        for (std::size_t i = 0; i < images.size(); ++i) {
            const int piece = i < pieces.size() ? FigureEntry(pieces[i]) : -1;
            EXPECT_EQ(images[i]->Picture().toImage(),
                      form->SmallPicture(square, piece, QSize(20, 20)).toImage())
                << "slot " << i + 1;
        }
    };
    expectRow(form->imgWhiteCaptured, cLightSquareEntry, {cWhitePawn});
    std::vector<TPieceCode> black(8, cBlackPawn);
    black.insert(black.end(), {cBlackKnight, cBlackKnight, cBlackBishop, cBlackBishop, cBlackRook,
                               cBlackRook, cBlackQueen});
    expectRow(form->imgBlackCaptured, cDarkSquareEntry, black);
}

TEST(BoardDisplay, SideToMoveSignFollowsTheBoard) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->RefreshStatus();
    EXPECT_EQ(form->lblWhichToMove->text(), "Weiss zieht...");
    PlayMoves(*form, {"e2e4"});
    form->RefreshStatus();
    EXPECT_EQ(form->lblWhichToMove->text(), "Schwarz zieht...");
    EXPECT_EQ(form->imgWhichToMove->Picture().toImage(),
              form->SmallPicture(-1, FigureEntry(cBlackPawn), QSize(20, 20)).toImage());
}

TEST(BoardDisplay, ResizeTimerFitsTheBoardImageToMultiplesOfEight) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->show();
    for (QSize size : {QSize(701, 653), QSize(640, 600), QSize(917, 811)}) {
        form->resize(size);
        QTest::qWait(50);
        EXPECT_TRUE(form->timChessBoardRedraw->isActive());
        QTest::qWait(700);  // the fit resizes once more, which starts the timer again
        EXPECT_EQ(form->imgMainBoard->width() % 8, 0) << size.width();
        EXPECT_EQ(form->imgMainBoard->height() % 8, 0) << size.height();
        EXPECT_LE(size.width() - form->width(), 7);
        EXPECT_LE(size.height() - form->height(), 7);
        EXPECT_EQ(form->imgMainBoard->Picture().size(), form->imgMainBoard->size());
        EXPECT_EQ(form->SquareWidth, form->imgMainBoard->width() / 8);
    }
}

TEST(BoardDisplay, ResizeTimerShrinksBottomPanelsOfALowWindow) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->pnlLeftBottomHuman->setFixedHeight(500);
    form->pnlLeftBottomComputer->setFixedHeight(500);
    ASSERT_EQ(form->height(), 596);
    // The hidden comment panel first, the computer panel at the next run, then the board.
    form->timChessBoardRedrawTimer();
    EXPECT_EQ(form->pnlLeftBottomHuman->height(), 468);
    EXPECT_EQ(form->pnlLeftBottomComputer->height(), 500);
    EXPECT_TRUE(form->imgMainBoard->Picture().isNull());
    form->timChessBoardRedrawTimer();
    EXPECT_EQ(form->pnlLeftBottomComputer->height(), 468);
    EXPECT_TRUE(form->imgMainBoard->Picture().isNull());
    form->timChessBoardRedrawTimer();
    EXPECT_FALSE(form->imgMainBoard->Picture().isNull());
}

TEST(BoardDisplay, ChooserKeepsAtMostOneEntryChecked) {
    TFormFixture fixture;
    QDir().mkpath(fixture.ProgramDir() + "IMAGES/.hidden");
    QDir().mkpath(fixture.ProgramDir() + "IMAGES/AAA");
    WriteFile(fixture.ProgramDir() + "IMAGES/readme.txt", "no set");
    TfrmGetFiguresForm chooser;
    chooser.Prepare("Bitte wählen Sie einen Figurensatz", fixture.ProgramDir(), "USUAL");
    QStringList names;
    for (int i = 0; i < chooser.CheckListBox->count(); ++i)
        names << chooser.CheckListBox->item(i)->text();
    EXPECT_EQ(names, QStringList({"AAA", "MODERN", "USUAL"}));
    EXPECT_EQ(chooser.CheckedName(), "USUAL");
    auto checkedCount = [&] {
        int count = 0;
        for (int i = 0; i < chooser.CheckListBox->count(); ++i)
            count += chooser.CheckListBox->item(i)->checkState() == Qt::Checked;
        return count;
    };
    chooser.CheckListBox->item(1)->setCheckState(Qt::Checked);  // a click on MODERN's box
    EXPECT_EQ(checkedCount(), 1);
    EXPECT_EQ(chooser.CheckedName(), "MODERN");
    chooser.CheckListBox->item(1)->setCheckState(Qt::Unchecked);  // a click on it again
    EXPECT_EQ(chooser.CheckedName(), "MODERN");
    chooser.Prepare("x", fixture.ProgramDir(), "GONE");
    EXPECT_EQ(checkedCount(), 0);
    EXPECT_EQ(chooser.CheckedName(), "");
}

TEST(BoardDisplay, FiguresCommandLoadsTheChosenSetAndKeepsItWhenNoneIsChecked) {
    TFormFixture fixture;
    auto form = fixture.Start();
    fixture.Dialogs.Answers = {"MODERN", ""};
    form->mnuFigures->trigger();
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Caption, "Bitte wählen Sie einen Figurensatz");
    EXPECT_EQ(fixture.Dialogs.Calls[0].Text, fixture.ProgramDir() + "|USUAL");
    EXPECT_EQ(form->BitmapSet, "MODERN");
    const QImage modernDark = form->DarkSquareBitmap;
    form->mnuFigures->trigger();
    EXPECT_EQ(form->BitmapSet, "MODERN");
    EXPECT_EQ(form->imlFigure.Count(), 14);
    EXPECT_EQ(form->DarkSquareBitmap, modernDark);
    EXPECT_EQ(fixture.Dialogs.Calls.size(), 2u);  // no error message
}

TEST(BoardDisplay, PiecesAreStretchedWithoutTheTransparentColour) {
    TFormFixture fixture;
    auto form = fixture.Start();
    const QRgb key = form->imlFigure.Opaque(0).pixel(0, 149) & 0xFFFFFF;
    for (int size : {40, 73, 120}) {
        const QImage piece = form->imlFigure.Stretched(0, QSize(size, size), true)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        int keyLike = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = piece.pixel(x, y);
                // An edge pixel tinted by the background colour would be opaque enough to see
                // and close to it; a clean edge is dark or transparent.
                if (qAlpha(pixel) > 64 && std::abs(qRed(pixel) - qRed(key)) < 12 &&
                    std::abs(qGreen(pixel) - qGreen(key)) < 12 &&
                    std::abs(qBlue(pixel) - qBlue(key)) < 12)
                    ++keyLike;
            }
        EXPECT_EQ(keyLike, 0) << size;
    }
}

}  // namespace
}  // namespace tavlor::testing
