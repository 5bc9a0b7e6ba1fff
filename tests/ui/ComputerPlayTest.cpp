// Playing against the computer as a new user meets it: the name and the opponent entries,
// switching between the games, the computer's answers with their time control and stop, the
// analysis window, the refusals, and closing the window while the computer thinks.

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>

#include "UiTestSupport.h"
#include "rules/MoveGeneration.h"
#include "ui/ComputerSettings.h"

namespace tavlor::testing {
namespace {

// A move as the main line writes it ("e2-e4").
std::string AsInMainLine(const TChessMove& move) {
    const std::string uci = MoveToUci(move);
    return uci.substr(0, 2) + "-" + uci.substr(2, 2);
}

// A new user's window: no settings file, the computer as opponent, the name given when the
// window asks for it.
struct TNewUser : TBoard {
    explicit TNewUser(const QString& name = "Eva")
        : TBoard([name](TBoard& board) { board.Dialogs.NameAnswers = {name}; }),
          Game(*Form->ChessBoard) {
        EXPECT_TRUE(QTest::qWaitFor([this] { return Entries().size() == 2; }));
    }
    // The opponent menu's entries made at run time, in menu order.
    QList<QAction*> Entries() const {
        QList<QAction*> entries;
        for (QAction* action : Form->mnuOpponent->actions())
            if (action->data().isValid()) entries << action;
        return entries;
    }
    QAction* Entry(int tag) const {
        for (QAction* entry : Entries())
            if (entry->data().toInt() == tag) return entry;
        return nullptr;
    }
    bool MenusEnabled() const {
        for (QMenu* menu : {Form->mnuFile, Form->mnuMoves, Form->mnuOpponent, Form->mnuSpecial})
            if (!menu->menuAction()->isEnabled()) return false;
        return Form->mnuAnalyse->isEnabled();
    }
    QString Caption() {
        Form->timMessagesTimer();
        return Form->windowTitle();
    }
    bool Legal(const char* uci) const {
        return IsLegalMove(Game, *UciToMove(uci, Game.IsWhiteToMove()));
    }
    std::string LastMove() const { return AsInMainLine(Game.GetHistoryMove(Game.PlyCount)); }
    TChessBoard& Game;
};

std::string FirstOfMainLine() {
    return ShownMainLine.substr(0, ShownMainLine.find(' '));
}

TEST(ComputerPlay, NewUserNamesHimselfAndTheComputerAnswersAtTheDefaultDepth) {
    TNewUser user;
    TfrmChessMainForm& form = *user.Form;
    EXPECT_EQ(user.Dialogs.NamePrompts, QStringList{""});  // asked once, nothing preset
    const QList<QAction*> entries = user.Entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0]->text() + "|" + entries[1]->text(), "Eva -/- Eva|Eva -/- Fenno Drabel");
    EXPECT_FALSE(entries[0]->isChecked());
    EXPECT_TRUE(entries[1]->isChecked());
    form.repaint();
    QTest::qWait(20);
    EXPECT_EQ(user.Entries().size(), 2);  // every paint adds each caption once only
    EXPECT_EQ(user.Caption(), "Tavlor V2.0.3.1    Eva -/- Fenno Drabel");

    user.Drag("e2e4");
    EXPECT_EQ(user.Game.PlyCount, 2);
    EXPECT_EQ(ShownDepth, ComputerSettings.Strength);
    EXPECT_EQ(ShownDepth, 4);
    EXPECT_EQ(form.lblCalcDraw_->text(), QString::fromStdString(ShownMove) + " bei Tiefe 4");
    EXPECT_EQ(user.LastMove(), FirstOfMainLine());
    EXPECT_TRUE(user.MenusEnabled());
    EXPECT_FALSE(form.btnLeftBottomComputerStop->isEnabled());
    EXPECT_TRUE(user.ShownAsRedrawn());
    user.Drag("d2d4");  // White is to move again at once
    EXPECT_EQ(user.Game.PlyCount, 4);
    EXPECT_TRUE(user.Dialogs.Calls.empty());

    // A computer move after taking back ends the record.
    form.mnuTakeBackMove->trigger();
    form.mnuTakeBackMove->trigger();
    form.mnuComputerDraw->trigger();
    EXPECT_EQ(user.Game.PlyCount, 3);
    EXPECT_EQ(user.Game.HistoryTop, 3);
}

TEST(ComputerPlay, EachSlotKeepsItsGameAndPanel) {
    TNewUser user;
    TfrmChessMainForm& form = *user.Form;
    user.Drag("e2e4");
    const TSquares computerGame = user.Game.Board;
    user.Entry(0)->trigger();
    EXPECT_EQ(form.ActiveConnection, 0);
    EXPECT_EQ(user.Game.PlyCount, 0);
    EXPECT_TRUE(user.Entry(0)->isChecked());
    EXPECT_FALSE(user.Entry(1)->isChecked());
    EXPECT_TRUE(form.pnlLeftBottomHuman->isVisible());
    EXPECT_FALSE(form.pnlLeftBottomComputer->isVisible());
    EXPECT_EQ(user.Caption(), "Tavlor V2.0.3.1    Eva -/- Eva");
    user.Drag("e2e4");
    user.Drag("e7e5");  // both sides at this board, nobody answers
    EXPECT_EQ(user.Game.PlyCount, 2);

    user.Entry(1)->trigger();
    EXPECT_TRUE(user.Game.Board == computerGame);
    EXPECT_TRUE(form.pnlLeftBottomComputer->isVisible());
    EXPECT_FALSE(form.pnlLeftBottomHuman->isVisible());
    EXPECT_TRUE(user.ShownAsRedrawn());
    user.Drag("d2d4");
    EXPECT_EQ(user.Game.PlyCount, 4);
    user.Entry(0)->trigger();
    EXPECT_EQ(MoveToUci(user.Game.History[2]), "e7e5");
}

// The castling rights and the en passant chance belong to each slot's game.
TEST(ComputerPlay, CastlingAndEnPassantStayWithTheirGame) {
    TNewUser user;
    PlayMoves(*user.Form, {"e2e4", "d7d6", "e4e5", "d6d5", "g1f3", "g8f6", "f1e2", "e7e6"});
    EXPECT_TRUE(user.Legal("e1g1"));
    user.Entry(0)->trigger();
    PlayMoves(*user.Form, {"e2e4", "a7a6", "e4e5", "a6a5", "e1e2", "a5a4", "e2e1", "d7d5"});
    EXPECT_TRUE(user.Legal("e5d6"));
    user.Entry(1)->trigger();
    EXPECT_FALSE(user.Legal("e5d6"));  // Black's pawn came in two single steps
    EXPECT_TRUE(user.Legal("e1g1"));
    user.Entry(0)->trigger();
    EXPECT_TRUE(user.Legal("e5d6"));
}

TEST(ComputerPlay, AMatingMoveStartsNoSearchAndAPromotionIsTheComputers) {
    TNewUser user;
    ReadFen(user.Game, "k7/8/1K6/8/8/8/8/7R w - - 0 1");
    user.Form->RedrawBoard();
    user.Drag("h1h8");
    EXPECT_EQ(user.Game.PlyCount, 1);
    EXPECT_EQ(user.Dialogs.Messages(), QStringList{"Schwarz ist matt!"});
    EXPECT_EQ(user.Form->lblKnoten_->text(), "-/-");

    ReadFen(user.Game, "4k3/8/8/8/8/8/p7/4K3 w - - 0 1");
    user.Form->RedrawBoard();
    user.Drag("e1d2");
    EXPECT_EQ(user.Game.PlyCount, 2);
    EXPECT_EQ(user.At("a1"), cBlackQueen);
    EXPECT_EQ(user.Game.History[2].Promotion, cBlackQueen);
    EXPECT_FALSE(user.Game.IsPromotionPending());
    EXPECT_TRUE(user.ShownAsRedrawn());
    for (const auto& call : user.Dialogs.Calls)
        EXPECT_NE(call.Kind, "promotion");
}

TEST(ComputerPlay, TimeControlStopsTheSearch) {
    struct TCase {
        std::uint8_t Game;
        double BlackAhead;  // seconds Black has used more than White; -1: both clocks new
        int AtLeast;        // milliseconds
    };
    for (const TCase& test : {TCase{cGameFixedTime, 0, 950}, TCase{cGameEqualTime, -1, 0},
                              TCase{cGameEqualTime, 1.5, 1000}}) {
        TNewUser user;
        ComputerSettings.Game = test.Game;
        ComputerSettings.Time = 1;
        user.Game.WhiteTime = 0;
        user.Game.BlackTime = SecondsToDays(std::max(test.BlackAhead, 0.0));
        if (test.BlackAhead < 0) user.Game.LastClockTime = 0;
        QElapsedTimer clock;
        clock.start();
        user.Form->mnuComputerDraw->trigger();  // the computer moves for White
        EXPECT_GE(clock.elapsed(), test.AtLeast) << int(test.Game);
        EXPECT_LT(clock.elapsed(), 6000) << int(test.Game);
        EXPECT_EQ(user.Game.PlyCount, 1);
        EXPECT_EQ(user.LastMove(), FirstOfMainLine());
    }
}

TEST(ComputerPlay, StopButtonPlaysTheMainLineAndNothingElseRunsMeanwhile) {
    TNewUser user;
    TfrmChessMainForm& form = *user.Form;
    ComputerSettings.Strength = 12;
    QGuiApplication::clipboard()->setText("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    PlayMoves(form, {"e2e4", "e7e5"});
    form.RedrawBoard();
    bool during = false;
    QTimer::singleShot(400, &form, [&] {
        during = ComputerThinking;
        EXPECT_FALSE(user.MenusEnabled());
        EXPECT_TRUE(form.btnLeftBottomComputerStop->isEnabled());
        EXPECT_NE(form.lblKnoten_->text(), "-/-");  // the panel follows the search
        user.Press(user.Centre("d2"));              // White is to move, but not the user
        EXPECT_EQ(form.DragPiece, cEmpty);
        user.Release(user.Centre("d4"));
        QTest::keyClick(&form, Qt::Key_Backspace, Qt::ControlModifier);  // no taking back
        QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);          // nor pasting
        QTest::mouseClick(form.btnLeftBottomComputerStop, Qt::LeftButton);
    });
    QElapsedTimer clock;
    clock.start();
    form.mnuComputerDraw->trigger();
    EXPECT_TRUE(during);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(user.Game.PlyCount, 3);
    EXPECT_EQ(user.LastMove(), FirstOfMainLine());
    EXPECT_TRUE(user.MenusEnabled());
    EXPECT_FALSE(form.btnLeftBottomComputerStop->isEnabled());
}

TEST(ComputerPlay, AnalysisWindowPlaysOnlyAfterItsGoButton) {
    enum class TEnd { GoWhileSearching, GoAfterMate, Cancel, CloseBox };
    struct TCase {
        TEnd End;
        int Slot;
        std::int32_t PliesAfter;
    };
    for (const TCase& test : {TCase{TEnd::GoWhileSearching, 1, 2}, TCase{TEnd::GoAfterMate, 0, 1},
                              TCase{TEnd::Cancel, 1, 0}, TCase{TEnd::CloseBox, 0, 0}}) {
        TNewUser user;
        TfrmChessMainForm& form = *user.Form;
        TfrmShowComputerForm& window = *form.frmShowComputerForm;
        user.Entry(test.Slot)->trigger();
        if (test.End == TEnd::GoAfterMate) {
            ReadFen(user.Game, "k7/8/1K6/8/8/8/8/7R w - - 0 1");
            form.RedrawBoard();
        }
        ComputerSettings.Game = cGameFixedTime;
        ComputerSettings.Time = 1;
        std::string analysed;
        QTimer::singleShot(
            test.End == TEnd::GoAfterMate        ? 100
            : test.End == TEnd::GoWhileSearching ? 1500
                                                 : 300,
            &form, [&] {
                EXPECT_EQ(ComputerSettings.Game, cGameFixedDepth);  // not stopped by the time
                EXPECT_TRUE(window.isVisible());
                EXPECT_EQ(ComputerThinking, test.End != TEnd::GoAfterMate);
                analysed = FirstOfMainLine();
                if (test.End == TEnd::CloseBox)
                    window.close();
                else
                    (test.End == TEnd::Cancel ? window.btnCancel : window.btnGo)->click();
            });
        form.mnuAnalyse->trigger();
        EXPECT_EQ(ComputerSettings.Game, cGameFixedTime);
        EXPECT_FALSE(window.isVisible());
        if (test.End == TEnd::GoAfterMate) {
            EXPECT_EQ(window.lblWert_->text(), "Schwarz ist Matt in 1 Zügen!");
        }
        // The move is played by a timer; in the computer's game the computer answers it. A piece
        // picked up meanwhile is put back.
        if (test.End == TEnd::GoAfterMate) user.Press(user.Centre("b6"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return user.Game.PlyCount == test.PliesAfter; }, 3000));
        QTest::qWait(200);
        EXPECT_EQ(user.Game.PlyCount, test.PliesAfter) << int(test.End);
        if (test.PliesAfter > 0) {
            EXPECT_EQ(AsInMainLine(user.Game.History[1]), analysed);
        }
        EXPECT_EQ(form.DragPiece, cEmpty);
        EXPECT_TRUE(user.ShownAsRedrawn());
        // The next analysis starts with no result: closed by its close box, it plays nothing.
        QTimer::singleShot(300, &window, [&] { window.close(); });
        form.mnuAnalyse->trigger();
        QTest::qWait(300);
        EXPECT_EQ(user.Game.PlyCount, test.PliesAfter) << int(test.End);
    }
}

TEST(ComputerPlay, ComputerCommandsRefusedWhereTheyMeanCheating) {
    struct TCase {
        int Slot;
        bool Analyse;
        QString Message;
    };
    for (const TCase& test : {TCase{0, false, "Bitte verwenden Sie die Analysefunktion!!"},
                              TCase{2, false, "Nein, es wird nicht gemogelt! :o)"},
                              TCase{2, true, "Nein, es wird nicht gemogelt! :o)"}}) {
        TBoard board;
        TfrmChessMainForm& form = *board.Form;
        form.Connections[2] = std::make_unique<TChessConnection>();
        form.ActiveConnection = test.Slot;
        (test.Analyse ? form.mnuAnalyse : form.mnuComputerDraw)->trigger();
        ASSERT_EQ(board.Dialogs.Calls.size(), 1u);
        EXPECT_EQ(board.Dialogs.Calls[0].Text, test.Message);
        EXPECT_EQ(board.Dialogs.Calls[0].Caption, "Tavlor V2.0.3.1");
        EXPECT_EQ(board.Dialogs.Calls[0].MessageKind, mkPlain);
        EXPECT_EQ(form.ChessBoard->PlyCount, 0);
        EXPECT_FALSE(form.frmShowComputerForm->isVisible());
    }
}

TEST(ComputerPlay, ClosingWhileTheComputerThinksStopsItAndWritesTheSettings) {
    enum class TWhen { ComputerMove, AnalysisSearch, AnalysisShown, Quit };
    for (const TWhen when :
         {TWhen::ComputerMove, TWhen::AnalysisSearch, TWhen::AnalysisShown, TWhen::Quit}) {
        TNewUser user;
        TfrmChessMainForm& form = *user.Form;
        ComputerSettings.Strength = when == TWhen::AnalysisShown ? 1 : 12;
        ComputerSettings.Game = cGameFixedTime;  // an analysis leaves it as it was
        if (when == TWhen::AnalysisShown) ReadFen(user.Game, "k7/8/1K6/8/8/8/8/7R w - - 0 1");
        QTimer::singleShot(300, &form, [&] {
            if (when == TWhen::Quit)
                QCoreApplication::quit();
            else
                form.close();
            EXPECT_TRUE(form.isVisible());  // not while the search's frames are live
        });
        QElapsedTimer clock;
        clock.start();
        if (when == TWhen::Quit) {
            QTimer::singleShot(0, &form, [&] { form.mnuComputerDraw->trigger(); });
            QTimer safety;
            safety.setSingleShot(true);
            QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
            safety.start(20000);
            EXPECT_EQ(QApplication::exec(), 0);
        } else {
            (when == TWhen::ComputerMove ? form.mnuComputerDraw : form.mnuAnalyse)->trigger();
        }
        EXPECT_LT(clock.elapsed(), 10000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }));
        EXPECT_EQ(user.Game.PlyCount, 0) << int(when);
        EXPECT_FALSE(form.frmShowComputerForm->isVisible());
        const std::string ini = ReadFile(user.Fixture.IniFileName());
        EXPECT_NE(ini.find("PLAYERNAME=Eva\r\n"), std::string::npos) << int(when);
        EXPECT_NE(ini.find("COMPUTERGAME=2\r\n"), std::string::npos) << int(when);
    }
}

TEST(ComputerPlay, NewNameRenamesTheEntriesAndIsAskedForUntilGiven) {
    TNewUser user;
    user.Entry(0)->trigger();
    user.Dialogs.NameAnswers = {"", "Jan & Ida"};
    user.Form->mnuEnterName->trigger();
    EXPECT_EQ(user.Dialogs.NamePrompts, QStringList({"", "Eva", ""}));
    user.Form->repaint();
    QTest::qWait(20);
    const QList<QAction*> entries = user.Entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(TfrmChessMainForm::EntryCaption(entries[0]), "Jan & Ida -/- Jan & Ida");
    EXPECT_EQ(TfrmChessMainForm::EntryCaption(entries[1]), "Jan & Ida -/- Fenno Drabel");
    EXPECT_TRUE(entries[0]->isChecked());
    EXPECT_FALSE(entries[1]->isChecked());
    EXPECT_EQ(user.Caption(), "Tavlor V2.0.3.1    Jan & Ida -/- Jan & Ida");
}

TEST(ComputerPlay, SelfPlayRunsUntilTheGameEnds) {
    TBoard board("k7/8/1K6/8/8/8/8/7R w - - 0 1");
    board.Form->ActiveConnection = 1;
    board.Form->mnuComputerPlayAgainstHimself->trigger();
    EXPECT_EQ(board.Form->ChessBoard->PlyCount, 1);
    EXPECT_EQ(board.Dialogs.Messages(), QStringList{"Schwarz ist matt!"});
}

}  // namespace
}  // namespace tavlor::testing
