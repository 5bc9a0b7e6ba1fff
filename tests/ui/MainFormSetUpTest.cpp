// The position editor: palette, clicks on the board, "Fertig!" with its checks, "Abbruch".

#include <cctype>

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "BoardTestSupport.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

namespace tavlor::testing {
namespace {

struct TSetUp : TBoard {
    // With a record of four half-moves to keep or replace.
    explicit TSetUp(const char* fen,
                    const std::vector<std::string>& moves = {"e1d1", "e8d8", "d1e1", "d8e8"})
        : TBoard(fen) {
        PlayMoves(*Form, moves);
        Form->mnuSetUp->trigger();
    }
    void Click(const char* square) {
        Press(Centre(square));
        Release(Centre(square));
    }
    bool MenusEnabled() const {
        return Form->mnuFile->menuAction()->isEnabled() &&
               Form->mnuSpecial->menuAction()->isEnabled();
    }
};

TEST(SetUp, ClicksPutTakeAwayAndReplacePiecesWhileThePointerIsShown) {
    TSetUp setUp("q3k3/8/8/8/8/8/8/4K3 w");
    TfrmChessMainForm& form = *setUp.Form;
    EXPECT_TRUE(form.pnlRightSetUp->isVisible() && !form.pnlRightRegular->isVisible());
    EXPECT_FALSE(setUp.MenusEnabled());
    setUp.MoveTo(setUp.Centre("e4"));
    EXPECT_EQ(form.edtRightSetUpTop->text(), "Weisser Bauer -> E4");
    setUp.Click("e4");
    EXPECT_EQ(setUp.At("e4"), cWhitePawn);
    EXPECT_TRUE(setUp.ShownAsRedrawn());  // only the square was painted, as a redraw would
    setUp.Click("e4");
    EXPECT_EQ(setUp.At("e4"), cEmpty);
    form.sbtKnightWhite->click();
    setUp.Click("a8");
    EXPECT_EQ(setUp.At("a8"), cWhiteKnight);
    setUp.MoveTo({100, 402});
    EXPECT_EQ(form.edtRightSetUpTop->text(), "Weisser Springer -> ");
    const TSquares edited = form.ChessBoard->Board;
    setUp.Press({100, 402});  // on no square: nothing
    setUp.Release({100, 402});
    EXPECT_TRUE(SameBoard(form.ChessBoard->Board, edited));
    form.btnClearBoard->click();
    EXPECT_TRUE(SameBoard(form.ChessBoard->Board, TSquares{}));
}

TEST(SetUp, FertigRefusesAPositionWithoutExactlyOneKingEach) {
    for (const bool clear : {false, true}) {
        TSetUp setUp("4k3/8/8/8/8/8/8/K3K3 w");  // two white kings, or none at all
        if (clear) setUp.Form->btnClearBoard->click();
        setUp.Form->btnSetUpBoardDone->click();
        setUp.Form->mnuSetUp->trigger();  // enabled again, and checked: the same check
        EXPECT_EQ(setUp.Messages(), QStringList(2, "Ungültige Eingabe der Spielstellung!"));
        EXPECT_TRUE(setUp.Form->SetUpMode && setUp.Form->mnuSetUp->isChecked());
        EXPECT_TRUE(setUp.MenusEnabled());
    }
}

TEST(SetUp, TheLastPawnMoveMakesEnPassantPossibleAtOnce) {
    struct TCase {
        const char* Fen;
        const char *From, *Dest;
        bool BlackToMove;
        const char* Capture;  // empty: the entry is refused
    };
    const char* whiteD5BlackE5 = "4k3/8/8/3Pp3/8/8/8/4K3 w";
    const TCase cases[] = {
        {whiteD5BlackE5, "e7", "e5", false, "d5e6"},
        {"4k3/8/8/8/2Pp4/8/8/4K3 w", "C2", "C4", true, "d4c3"},
        {whiteD5BlackE5, "E9", "E5", false, ""},
        {whiteD5BlackE5, "I7", "I5", false, ""},
        {whiteD5BlackE5, "E", "E5", false, ""},
        {whiteD5BlackE5, "D7", "D5", false, ""},  // a white pawn stands there
        {whiteD5BlackE5, "E7", "E5", true, ""},   // Black's step, yet Black to move
        {whiteD5BlackE5, "E6", "E5", false, ""},  // no double step
    };
    for (const TCase& test : cases) {
        TSetUp setUp(test.Fen);
        TfrmChessMainForm& form = *setUp.Form;
        (test.BlackToMove ? form.rbtRightSetUpTopBlack : form.rbtRightSetUpTopWhite)->click();
        form.cbxEnPassant->setChecked(true);
        form.edtRightSetUpTopEnPassantFrom->setText(test.From);
        form.edtRightSetUpTopEnPassantDest->setText(test.Dest);
        form.btnSetUpBoardDone->click();
        const TChessBoard& game = *form.ChessBoard;
        const std::string name = std::string(test.From) + test.Dest;
        EXPECT_EQ(form.edtRightSetUpTopEnPassantFrom->text(), QString(test.From).toUpper());
        if (*test.Capture == '\0') {
            EXPECT_EQ(setUp.Messages(), QStringList{"Ungültige Eingabe des letzten Bauernzuges!"})
                << name;
            EXPECT_EQ(game.HistoryTop, 4);  // the old record is intact until a position is taken
            continue;
        }
        EXPECT_FALSE(form.SetUpMode) << name;
        EXPECT_EQ(game.PlyCount, test.BlackToMove ? 1 : 2) << name;
        EXPECT_EQ(IsPassMove(game.History[1]), !test.BlackToMove);
        EXPECT_NE(game.GetStartSquare(std::tolower(test.From[0]) - 'a' + 1, test.From[1] - '0'),
                  cEmpty);
        TChessBoard copy = game;
        EXPECT_TRUE(IsLegalMove(copy, *UciToMove(test.Capture, copy.IsWhiteToMove()))) << name;
    }
}

TEST(SetUp, FertigTakesSideToMoveAndOnlyCastlingWithKingAndRookAtHome) {
    TSetUp setUp("r3k3/8/8/8/8/8/8/4K2R w");
    TfrmChessMainForm& form = *setUp.Form;
    for (QCheckBox* box : {form.cbxShortCastelingWhite, form.cbxLongCastelingWhite,
                           form.cbxShortCastelingBlack, form.cbxLongCastelingBlack})
        box->setChecked(true);
    form.rbtRightSetUpTopBlack->click();
    form.btnSetUpBoardDone->click();
    const TChessBoard& game = *form.ChessBoard;
    EXPECT_TRUE(!form.SetUpMode && form.pnlRightRegular->isVisible() && setUp.MenusEnabled());
    EXPECT_EQ(game.PlyCount, 1);
    EXPECT_TRUE(IsPassMove(game.History[1]));
    for (const TCastlingRights& rights : {game.CastlingRights, game.StartCastlingRights}) {
        EXPECT_TRUE(rights[cWhiteKingSide] && rights[cBlackQueenSide]);
        EXPECT_FALSE(rights[cWhiteQueenSide] || rights[cBlackKingSide]);  // no rook on A1, H8
    }
}

TEST(SetUp, AbbruchKeepsTheEditedSquaresAndNothingElse) {
    TSetUp setUp(nullptr, {"g1f3", "g8f6", "f3g1", "f6g8"});
    TfrmChessMainForm& form = *setUp.Form;
    form.sbtQueenWhite->click();
    form.cbxShortCastelingWhite->setChecked(true);
    setUp.Click("d5");
    form.btnSetUpBoardCancel->click();
    const TChessBoard& game = *form.ChessBoard;
    EXPECT_EQ(setUp.At("d5"), cWhiteQueen);
    EXPECT_EQ(game.GetStartSquare(4, 5), cEmpty);
    EXPECT_EQ(game.HistoryTop, 4);
    EXPECT_TRUE(game.CastlingRights[cBlackQueenSide]);  // its box is unchecked, yet not taken
    EXPECT_TRUE(!form.SetUpMode && !form.mnuSetUp->isChecked() && setUp.MenusEnabled());
    // Opened again, the editor starts with the white pawn but keeps the other choices.
    form.mnuSetUp->trigger();
    EXPECT_EQ(form.SetUpPiece, cWhitePawn);
    EXPECT_TRUE(form.cbxShortCastelingWhite->isChecked());
}

}  // namespace
}  // namespace tavlor::testing
