// Moves made by dragging pieces with the mouse on the board image, the promotion choice, and the
// position editor (palette, clicks on the board, "Fertig!" with its checks, "Abbruch").

#include <cctype>
#include <functional>

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "UiTestSupport.h"
#include "rules/MoveGeneration.h"

namespace tavlor::testing {
namespace {

TEST(MouseInput, FoolsMateByDraggingThenAPressOnlyRepeatsTheResult) {
    TBoard board;
    for (const char* move : {"f2f3", "e7e5", "g2g4", "d8h4"}) {
        board.Drag(move);
        EXPECT_TRUE(board.ShownAsRedrawn()) << move;
    }
    EXPECT_EQ(board.Dialogs.Messages(), QStringList{"Weiss ist matt!"});
    EXPECT_EQ(board.Dialogs.Calls[0].Caption, "Information");
    board.Press(board.Centre("e2"));
    EXPECT_EQ(board.Form->DragPiece, cEmpty);
    board.Release(board.Centre("e4"));
    EXPECT_EQ(board.Dialogs.Messages(), QStringList(2, "Weiss ist matt!"));
    EXPECT_EQ(board.Form->ChessBoard->PlyCount, 4);
    board.Form->mnuTakeBackMove->trigger();
    EXPECT_TRUE(board.Form->ShowGameEnd());  // the game goes on
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
        EXPECT_EQ(game.PlyCount ? MoveToText(game.History[1]) : "", test.Made);
        EXPECT_EQ(board.Dialogs.Messages(),
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
    EXPECT_TRUE(board.Dialogs.Calls.empty());
    EXPECT_TRUE(board.ShownAsRedrawn());
}

// A command that redraws the whole board puts a floating piece back first; the next release then
// makes no move and leaves no trace of it.
TEST(MouseInput, CommandsThatRedrawEndARunningDrag) {
    const std::pair<const char*, std::function<void(TBoard&)>> commands[] = {
        {"Rotieren", [](TBoard& board) { board.Form->mnuRotate->trigger(); }},
        {"Figuren/Brett",
         [](TBoard& board) {
             board.Dialogs.Answers = {"MODERN"};
             board.Form->mnuFigures->trigger();
         }},
        {"Maximale Größe", [](TBoard& board) { board.Form->mnuMaxSize->trigger(); }},
        {"window resized",
         [](TBoard& board) {
             board.Form->resize(board.Form->size() + QSize(40, 24));
             QTest::qWait(400);
         }},
    };
    for (const auto& [name, command] : commands) {
        TBoard board;
        board.Press(board.Centre("g1"));
        board.MoveTo(board.Centre("f4"));
        command(board);
        EXPECT_EQ(board.Form->DragPiece, cEmpty) << name;
        board.MoveTo(board.Centre("e5"));
        board.Release(board.Centre("f3"));
        EXPECT_EQ(board.Form->ChessBoard->PlyCount, 0) << name;
        EXPECT_TRUE(board.ShownAsRedrawn()) << name;
        if (board.Form->mnuMaxSize->isChecked()) board.Form->mnuMaxSize->trigger();
    }
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
        // A poll of the made-up connection, which has no folder, would report a read error
        // whenever the press takes longer than the poll interval (a loaded machine).
        board.Form->timMessages->stop();
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

// The chosen piece is shown at once, not the pawn that was dragged, and the end of the game is
// judged with it on the board: White's promotion on C8 mates with a queen or rook and
// stalemates with a bishop or knight.
TEST(MouseInput, PromotionOfBothColoursToEachPieceIsShownAndAnnouncedAtOnce) {
    const std::array<TPieceCode, 4> pieces = {cWhiteQueen, cWhiteRook, cWhiteBishop, cWhiteKnight};
    const QString mate = "Schwarz ist matt!";
    const QString stalemate = "Unentschieden - Schwarz ist patt!";
    const QString announced[] = {mate, mate, stalemate, stalemate};
    for (const bool white : {true, false})
        for (int choice = 0; choice < 4; ++choice) {
            const TPieceCode colour = white ? cEmpty : cBlackBase;
            TBoard board;
            board.Dialogs.Answers = {
                white ? "k7/2P5/K7/4B3/8/8/8/8 w - - 0 1" : "4k3/8/8/8/8/8/p7/4K3 b - - 0 1",
                QString::number(choice)};
            board.Form->mnuEnterFEN->trigger();
            board.Drag(white ? "c7c8" : "a2a1");
            EXPECT_EQ(board.At(white ? "c8" : "a1"), pieces[choice] + colour);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(board.Dialogs.PromotionPictures[i].toImage(),
                          board.Form->PiecePicture(pieces[i] + colour, {150, 150}).toImage());
            EXPECT_EQ(board.Dialogs.Messages(),
                      white ? QStringList{announced[choice]} : QStringList())
                << white << choice;
            // Announced after the piece was chosen.
            EXPECT_EQ(board.Dialogs.Calls.back().Kind, white ? "message" : "promotion");
            EXPECT_TRUE(board.ShownAsRedrawn()) << white << choice;
        }
}

// While a replay runs its record stays whole: the board takes no move, the computer makes none,
// and the position editor ends the replay where it stands.
TEST(MouseInput, TheRecordStaysWholeWhileAReplayRuns) {
    const auto escape = [](TBoard& board) { QTest::keyClick(board.Form.get(), Qt::Key_Escape); };
    struct TCase {
        const char* Name;
        std::int32_t Slot;
        std::function<void(TBoard&)> During;  // Black is to move after the first half-move shown
    };
    const TCase cases[] = {
        {"drag", 0,
         [&](TBoard& board) {
             board.Drag("d7d5");
             escape(board);
         }},
        {"Computerzug", 1,
         [&](TBoard& board) {
             board.Form->mnuComputerDraw->trigger();
             escape(board);
         }},
        {"Brett aufstellen", 0, [](TBoard& board) { board.Form->mnuSetUp->trigger(); }},
    };
    for (const TCase& test : cases) {
        TBoard board;
        PlayMoves(*board.Form, {"e2e4", "e7e5", "g1f3", "b8c6"});
        board.Form->ActiveConnection = test.Slot;
        QTimer::singleShot(150, board.Form.get(), [&] { test.During(board); });
        // A replay still running then would show its next half-move first.
        QTimer::singleShot(1500, board.Form.get(), [&] { escape(board); });
        board.Form->mnuReplayFast->trigger();
        const TChessBoard& game = *board.Form->ChessBoard;
        EXPECT_EQ(std::pair(game.PlyCount, game.HistoryTop), std::pair(1, 4)) << test.Name;
        EXPECT_EQ(board.At("d7"), cBlackPawn) << test.Name;
        EXPECT_EQ(board.Form->DragPiece, cEmpty);
        if (test.Slot == 0 && !board.Form->SetUpMode) {
            board.Drag("d7d5");  // after the replay the board takes moves again
            EXPECT_EQ(std::pair(game.PlyCount, game.HistoryTop), std::pair(2, 2));
        }
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
    EXPECT_EQ(board.Dialogs.Calls.size(), 1u);
    EXPECT_TRUE(board.Dialogs.LastIsError("1000"));
    EXPECT_TRUE(board.ShownAsRedrawn());
}

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

TEST(SetUp, FertigRefusesPositionsThatCannotBePlayed) {
    const std::pair<const char*, QString> cases[] = {
        {"4k3/8/8/8/8/8/8/K3K3 w", "Ungültige Eingabe der Spielstellung!"},  // two white kings
        {"", "Ungültige Eingabe der Spielstellung!"},                        // none at all
        {"4k3/8/8/8/8/8/8/P3K3 w", "Ungültige Eingabe der Spielstellung!\nAuf A1 steht ein Bauer."},
        {"4k3/8/8/8/8/8/8/4K2r w",
         "Ungültige Eingabe der Spielstellung!\nWeiss steht im Schach, obwohl Schwarz am Zug ist."},
    };
    for (const auto& [fen, message] : cases) {
        TSetUp setUp(*fen ? fen : "4k3/8/8/8/8/8/8/4K3 w");
        if (!*fen) setUp.Form->btnClearBoard->click();
        setUp.Form->rbtRightSetUpTopBlack->click();
        setUp.Form->btnSetUpBoardDone->click();
        setUp.Form->mnuSetUp->trigger();  // enabled again, and checked: the same check
        EXPECT_EQ(setUp.Dialogs.Messages(), QStringList(2, message)) << fen;
        EXPECT_TRUE(setUp.Form->SetUpMode && setUp.Form->mnuSetUp->isChecked());
        EXPECT_TRUE(setUp.MenusEnabled());
        EXPECT_EQ(setUp.Form->ChessBoard->HistoryTop, 4);
    }
}

TEST(SetUp, TheLastPawnMoveMakesEnPassantPossibleAtOnceOrIsRefusedWithItsReason) {
    struct TCase {
        const char* Fen;
        const char *From, *Dest;
        bool BlackToMove;
        const char* Capture;  // a move the step allows; empty: the entry is refused
        QString Reason;
    };
    const char* whiteD5BlackE5 = "4k3/8/8/3Pp3/8/8/8/4K3 w";
    const QString blackStep =
        "Mit Weiss am Zug muss es ein Doppelschritt eines schwarzen Bauern "
        "von Reihe 7 nach Reihe 5 sein, zum Beispiel E7 und E5.";
    const TCase cases[] = {
        {whiteD5BlackE5, "e7", "e5", false, "d5e6", ""},
        {"4k3/8/8/8/2Pp4/8/8/4K3 w", "C2", "C4", true, "d4c3", ""},
        {whiteD5BlackE5, "E9", "E5", false, "", "\"E9\" ist kein Feld von A1 bis H8."},
        {whiteD5BlackE5, "E", "e5", false, "", "\"E\" ist kein Feld von A1 bis H8."},
        {whiteD5BlackE5, "D7", "D5", false, "", "Auf D5 steht kein schwarzer Bauer."},
        {whiteD5BlackE5, "E7", "E5", true, "",
         "Mit Schwarz am Zug muss es ein Doppelschritt eines weissen Bauern von Reihe 2 nach "
         "Reihe 4 sein, zum Beispiel E2 und E4."},
        {whiteD5BlackE5, "E6", "E5", false, "", blackStep},
        {"4k3/4p3/8/3Pp3/8/8/8/4K3 w", "E7", "E5", false, "", "E6 und E7 müssen leer sein."},
        {"k7/1b6/8/3p4/8/8/8/7K w", "D7", "D5", false, "",
         "Vor dem Doppelschritt hätte Weiss im Schach gestanden, obwohl Schwarz am Zug war."},
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
        EXPECT_EQ(form.edtRightSetUpTopEnPassantDest->text(), QString(test.Dest).toUpper());
        if (*test.Capture == '\0') {
            EXPECT_EQ(setUp.Dialogs.Messages(),
                      QStringList{"Ungültige Eingabe des letzten Bauernzuges!\n" + test.Reason})
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

TEST(SetUp, FertigNamesCastlingThatCannotApplyAndStartsANewGameWithItsClocksAtZero) {
    TSetUp setUp("r3k3/8/8/8/8/8/8/4K2R w");
    TfrmChessMainForm& form = *setUp.Form;
    form.ChessBoard->WhiteTime = SecondsToDays(75);
    for (QCheckBox* box : {form.cbxShortCastelingWhite, form.cbxLongCastelingWhite,
                           form.cbxShortCastelingBlack, form.cbxLongCastelingBlack})
        box->setChecked(true);
    form.rbtRightSetUpTopBlack->click();
    form.btnSetUpBoardDone->click();
    EXPECT_EQ(setUp.Dialogs.Messages(),
              QStringList{"Ungültige Eingabe der Rochaden!\n"
                          "Lange Rochade Weiss: König und Turm stehen nicht auf E1 und A1.\n"
                          "Kurze Rochade Schwarz: König und Turm stehen nicht auf E8 und H8."});
    EXPECT_TRUE(form.SetUpMode);
    form.cbxLongCastelingWhite->setChecked(false);
    form.cbxShortCastelingBlack->setChecked(false);
    form.btnSetUpBoardDone->click();
    const TChessBoard& game = *form.ChessBoard;
    EXPECT_TRUE(!form.SetUpMode && form.pnlRightRegular->isVisible() && setUp.MenusEnabled());
    EXPECT_EQ(game.PlyCount, 1);
    EXPECT_TRUE(IsPassMove(game.History[1]));
    for (const TCastlingRights& rights : {game.CastlingRights, game.StartCastlingRights}) {
        EXPECT_TRUE(rights[cWhiteKingSide] && rights[cBlackQueenSide]);
        EXPECT_FALSE(rights[cWhiteQueenSide] || rights[cBlackKingSide]);
    }
    EXPECT_EQ(std::pair(game.WhiteTime, game.BlackTime), std::pair(0.0, 0.0));
}

// What the editor changed goes with "Abbruch": board and record agree, so a move made from the
// position is taken back and redone without losing or conjuring a piece.
TEST(SetUp, AbbruchRestoresThePositionOfTheRecord) {
    TBoard board;
    TfrmChessMainForm& form = *board.Form;
    board.Drag("e2e4");
    const TSquares played = form.ChessBoard->Board;
    form.mnuSetUp->trigger();
    form.sbtQueenWhite->click();
    form.cbxShortCastelingWhite->setChecked(true);
    for (const char* square : {"d5", "e7"}) {  // an empty square, and one with a black pawn
        board.Press(board.Centre(square));
        board.Release(board.Centre(square));
    }
    form.btnSetUpBoardCancel->click();
    EXPECT_TRUE(SameBoard(form.ChessBoard->Board, played));
    EXPECT_TRUE(board.ShownAsRedrawn());
    EXPECT_TRUE(!form.SetUpMode && !form.mnuSetUp->isChecked());
    board.Drag("e7e5");
    const TSquares answered = form.ChessBoard->Board;
    form.mnuTakeBackMove->trigger();
    form.mnuDoNextMove->trigger();
    EXPECT_TRUE(SameBoard(form.ChessBoard->Board, answered));
    EXPECT_EQ(board.At("e5"), cBlackPawn);
    // Opened again, the editor starts with the white pawn but keeps the other choices.
    form.mnuSetUp->trigger();
    EXPECT_EQ(form.SetUpPiece, cWhitePawn);
    EXPECT_TRUE(form.cbxShortCastelingWhite->isChecked());
}

}  // namespace
}  // namespace tavlor::testing
