// The board display: orientation, captured pieces, fitting the window, the piece-set chooser.

#include <QListWidget>

#include "UiTestSupport.h"
#include "ui/GetFiguresForm.h"

namespace tavlor::testing {
namespace {

QRgb PixelAt(const TfrmChessMainForm& form, QPoint point) {
    return form.imgMainBoard->Picture().toImage().pixel(point) & 0xFFFFFF;
}

TEST(BoardDisplay, RotationPutsA1TopRightAndKeepsTheColours) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->imgMainBoard->resize(400, 403);
    form->RedrawBoard();
    const QRgb dark = form->DarkSquareBitmap.pixel(0, 0) & 0xFFFFFF;
    EXPECT_EQ(PixelAt(*form, {2, 352}), dark);  // A1 bottom left
    EXPECT_EQ(PixelAt(*form, {2, 2}), form->LightSquareBitmap.pixel(0, 0) & 0xFFFFFF);  // A8
    // The bottom three pixel rows stay unpainted.
    EXPECT_EQ(qAlpha(form->imgMainBoard->Picture().toImage().pixel(10, 401)), 0);

    form->mnuRotate->trigger();
    EXPECT_EQ(form->SquareRect(1, 1), QRect(350, 0, 50, 50));
    EXPECT_EQ(PixelAt(*form, {352, 2}), dark);  // A1 top right, still dark
    EXPECT_EQ(PixelAt(*form, {2, 352}), dark);  // H8 bottom left, dark as well
    // The white king is drawn on E1, now in the top row: its centre differs from the corner.
    const QRect e1 = form->SquareRect(5, 1);
    EXPECT_NE(PixelAt(*form, e1.center()), PixelAt(*form, e1.topLeft() + QPoint(2, 2)));
}

TEST(BoardDisplay, CapturedPiecesAndSideToMoveAfterAPromotionToASecondQueen) {
    TFormFixture fixture;
    auto form = fixture.Start();
    fixture.Dialogs.Answers = {"4k3/P7/8/8/8/8/1PPPPPPP/RNBQKBNR w KQ - 0 1"};
    form->mnuEnterFEN->trigger();
    form->RefreshStatus();  // rows drawn before: the promotion changes two counts, not their sum
    PlayMoves(*form, {"a7a8q"});
    form->RefreshStatus();
    const auto small = [&](int square, int piece) {
        return form->SmallPicture(square, piece, QSize(20, 20)).toImage();
    };
    // White misses one pawn and has a queen too many (which draws nothing); Black misses all
    // but the king.
    auto expectRow = [&](const std::array<TImage*, 16>& images, int square,
                         const std::vector<TPieceCode>& pieces) {
        for (std::size_t i = 0; i < images.size(); ++i)
            EXPECT_EQ(images[i]->Picture().toImage(),
                      small(square, i < pieces.size() ? FigureEntry(pieces[i]) : -1))
                << "slot " << i + 1;
    };
    expectRow(form->imgWhiteCaptured, cLightSquareEntry, {cWhitePawn});
    std::vector<TPieceCode> black(8, cBlackPawn);
    black.insert(black.end(), {cBlackKnight, cBlackKnight, cBlackBishop, cBlackBishop, cBlackRook,
                               cBlackRook, cBlackQueen});
    expectRow(form->imgBlackCaptured, cDarkSquareEntry, black);
    EXPECT_EQ(form->lblWhichToMove->text(), "Schwarz zieht...");
    EXPECT_EQ(form->imgWhichToMove->Picture().toImage(), small(-1, FigureEntry(cBlackPawn)));
}

TEST(BoardDisplay, ResizeTimerShrinksLowPanelsThenFitsTheBoardToMultiplesOfEight) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->pnlLeftBottomHuman->setFixedHeight(500);
    form->pnlLeftBottomComputer->setFixedHeight(500);
    // The hidden comment panel first, the computer panel at the next run, then the board.
    form->timChessBoardRedrawTimer();
    EXPECT_EQ(form->pnlLeftBottomHuman->height(), 468);
    EXPECT_EQ(form->pnlLeftBottomComputer->height(), 500);
    form->timChessBoardRedrawTimer();
    EXPECT_EQ(form->pnlLeftBottomComputer->height(), 468);
    EXPECT_TRUE(form->imgMainBoard->Picture().isNull());
    form->timChessBoardRedrawTimer();
    EXPECT_FALSE(form->imgMainBoard->Picture().isNull());

    form->show();
    for (QSize size : {QSize(701, 653), QSize(640, 600), QSize(917, 811)}) {
        form->resize(size);
        QTest::qWait(750);  // the fit resizes once more, which starts the timer again
        EXPECT_EQ(form->imgMainBoard->width() % 8, 0) << size.width();
        EXPECT_EQ(form->imgMainBoard->height() % 8, 0) << size.height();
        EXPECT_LE(size.width() - form->width(), 7);
        EXPECT_LE(size.height() - form->height(), 7);
        EXPECT_EQ(form->imgMainBoard->Picture().size(), form->imgMainBoard->size());
        EXPECT_EQ(form->SquareWidth, form->imgMainBoard->width() / 8);
    }
}

TEST(BoardDisplay, ChooserKeepsAtMostOneEntryChecked) {
    TFormFixture fixture;
    QDir().mkpath(fixture.ProgramDir() + "IMAGES/.hidden");
    QDir().mkpath(fixture.ProgramDir() + "IMAGES/AAA");
    WriteFile(fixture.ProgramDir() + "IMAGES/readme.txt", "no set");
    TfrmGetFiguresForm chooser;
    chooser.Prepare("Bitte wählen Sie einen Figurensatz", fixture.ProgramDir(), "USUAL");
    // Each entry as its name with "+" when checked.
    auto entries = [&] {
        QStringList shown;
        for (int i = 0; i < chooser.CheckListBox->count(); ++i)
            shown << chooser.CheckListBox->item(i)->text() +
                         (chooser.CheckListBox->item(i)->checkState() == Qt::Checked ? "+" : "");
        return shown;
    };
    EXPECT_EQ(entries(), QStringList({"AAA", "MODERN", "USUAL+"}));
    chooser.CheckListBox->item(1)->setCheckState(Qt::Checked);  // a click on MODERN's box
    EXPECT_EQ(entries(), QStringList({"AAA", "MODERN+", "USUAL"}));
    chooser.CheckListBox->item(1)->setCheckState(Qt::Unchecked);  // a click on it again
    EXPECT_EQ(chooser.CheckedName(), "MODERN");
    chooser.Prepare("x", fixture.ProgramDir(), "GONE");
    EXPECT_EQ(entries(), QStringList({"AAA", "MODERN", "USUAL"}));
    EXPECT_EQ(chooser.CheckedName(), "");
}

TEST(BoardDisplay, FiguresCommandLoadsTheChosenSetAndKeepsItWhenNoneIsChecked) {
    TFormFixture fixture;
    auto form = fixture.Start();
    fixture.Dialogs.Answers = {"MODERN", ""};
    form->mnuFigures->trigger();
    EXPECT_EQ(fixture.Dialogs.Calls[0].Text, fixture.ProgramDir() + "|USUAL");
    EXPECT_EQ(form->BitmapSet, "MODERN");
    const QImage modernDark = form->DarkSquareBitmap;
    form->mnuFigures->trigger();
    EXPECT_EQ(form->BitmapSet, "MODERN");
    EXPECT_EQ(form->DarkSquareBitmap, modernDark);
    EXPECT_EQ(fixture.Dialogs.Calls.size(), 2u);  // no error message
}

TEST(BoardDisplay, PiecesWithoutPictureAreDrawnAsTheirGermanInitials) {
    const std::pair<TPieceCode, char> letters[] = {
        {cWhiteKing, 'K'},   {cBlackQueen, 'D'}, {cWhiteRook, 'T'}, {cBlackBishop, 'L'},
        {cWhiteKnight, 'S'}, {cBlackPawn, 'B'},  {cEmpty, ' '},     {cBlackBase, ' '}};
    for (const auto& [piece, letter] : letters)
        EXPECT_EQ(FallbackPieceLetter(piece), QChar(letter)) << piece;
}

TEST(BoardDisplay, PiecesAreStretchedWithoutTheTransparentColour) {
    TFormFixture fixture;
    auto form = fixture.Start();
    const QRgb key = form->imlFigure.Opaque(0).pixel(0, 149);
    const auto near = [](int a, int b) { return std::abs(a - b) < 12; };
    // An edge pixel tinted by the background colour would be opaque enough to see and close to
    // it; a clean edge is dark or transparent.
    const auto keyLike = [&](QRgb p) {
        return qAlpha(p) > 64 && near(qRed(p), qRed(key)) && near(qGreen(p), qGreen(key)) &&
               near(qBlue(p), qBlue(key));
    };
    for (int size : {40, 73, 120}) {
        const QImage piece = form->imlFigure.Stretched(0, QSize(size, size), true)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(piece.constBits());
        EXPECT_EQ(std::count_if(pixels, pixels + size * size, keyLike), 0) << size;
    }
}

}  // namespace
}  // namespace tavlor::testing
