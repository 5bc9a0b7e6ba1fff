// The game record at the board: move list, "Zuege" commands, replay, end of the game.

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "UiTestSupport.h"
#include "notation/MoveList.h"
#include "notation/MoveText.h"

namespace tavlor::testing {
namespace {

QStringList ExpectedMoveList(const TChessBoard& board) {
    std::vector<std::string> lines;
    WriteMoveList(board, lines);
    QStringList expected;
    for (const std::string& line : lines)
        expected << QString::fromStdString(line);
    return expected;
}

QStringList ShownMoveList(const TfrmChessMainForm& form) {
    const QString text = form.memMoves->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

const std::vector<std::string> cItalian = {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "f8c5"};

TEST(Moves, MoveListFollowsMovesTakeBackAndRedo) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->RefreshStatus();
    EXPECT_TRUE(ShownMoveList(*form).isEmpty());
    PlayMoves(*form, cItalian);
    form->RefreshStatus();
    EXPECT_EQ(ShownMoveList(*form).size(), 3);
    form->mnuTakeBackMove->trigger();  // redraws; the computer's slot follows the side to move
    EXPECT_FALSE(form->Connections[1]->LocalIsWhite);
    form->mnuDoNextMove->trigger();
    EXPECT_TRUE(form->Connections[1]->LocalIsWhite);
    EXPECT_EQ(ShownMoveList(*form), ExpectedMoveList(*form->ChessBoard));

    struct TStep {
        QAction* Command;
        int PlyCount;
    };
    for (const TStep& step : {TStep{form->mnuTakeBackMove, 5}, TStep{form->mnuTakeBackMove, 4},
                              TStep{form->mnuDoNextMove, 5}, TStep{form->mnuToStartMove, 0},
                              TStep{form->mnuToLastMove, 6}, TStep{form->mnuDoNextMove, 6}}) {
        step.Command->trigger();
        form->RefreshStatus();
        EXPECT_EQ(form->ChessBoard->PlyCount, step.PlyCount);
        EXPECT_EQ(ShownMoveList(*form), ExpectedMoveList(*form->ChessBoard))
            << step.Command->objectName().toStdString();
    }
    EXPECT_EQ(form->ChessBoard->HistoryTop, 6);
}

TEST(Moves, MoveListShowsARecordChangedBetweenTwoRefreshes) {
    TFormFixture fixture;
    auto form = fixture.Start();
    PlayMoves(*form, {"e2e4", "e7e5"});
    form->RefreshStatus();
    // Taken back and played differently before the next refresh: the same ply count.
    form->mnuTakeBackMove->trigger();
    PlayMoves(*form, {"c7c5"});
    form->RefreshStatus();
    EXPECT_EQ(ShownMoveList(*form), ExpectedMoveList(*form->ChessBoard));
    EXPECT_TRUE(ShownMoveList(*form).front().contains("C7 - C5"));
}

TEST(Moves, StartAndEndOfTheRecordAndNewGame) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->mnuTakeBackMove->trigger();  // at the start: nothing happens
    form->mnuToStartMove->trigger();
    form->mnuDoNextMove->trigger();
    form->mnuToLastMove->trigger();
    EXPECT_EQ(form->ChessBoard->PlyCount, 0);
    PlayMoves(*form, cItalian);
    form->mnuToStartMove->trigger();
    EXPECT_EQ(form->ChessBoard->PlyCount, 0);
    EXPECT_EQ(form->ChessBoard->GetSquare(5, 2), cWhitePawn);
    form->mnuToLastMove->trigger();
    EXPECT_EQ(form->ChessBoard->PlyCount, 6);
    form->mnuNew->trigger();
    EXPECT_EQ(form->ChessBoard->PlyCount, 0);
    EXPECT_EQ(form->ChessBoard->HistoryTop, 0);
}

TEST(Moves, ReplayStopsAtEscapeAndRunsAgainAfterwards) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->show();
    PlayMoves(*form, cItalian);
    QString statusDuringReplay;
    QTimer::singleShot(150, form.get(), [&] {
        statusDuringReplay = form->StatusBarPanel->text();
        QTest::keyClick(form->memLeftBottomClientSend, Qt::Key_Escape);
    });
    QElapsedTimer clock;
    clock.start();
    form->mnuReplayVerySlow->trigger();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(statusDuringReplay, " Spielwiederholung - ESCAPE beendet das Abspielen");
    EXPECT_EQ(form->StatusBarPanel->text(), "");
    EXPECT_EQ(form->LastKey, cVirtualKeyEscape);
    EXPECT_EQ(form->ChessBoard->PlyCount, 1);  // where it stopped
    EXPECT_EQ(form->ChessBoard->HistoryTop, 6);

    form->ReplayGame(SecondsToDays(0.01));
    EXPECT_EQ(form->ChessBoard->PlyCount, 6);
    EXPECT_EQ(form->LastKey, 0);
}

TEST(Moves, ReplayOfAnEmptyRecordEnds) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->ReplayGame(SecondsToDays(0.02));
    EXPECT_EQ(form->ChessBoard->PlyCount, 0);
}

TEST(Moves, KeyPreviewSeesKeysOfEveryControl) {
    TFormFixture fixture;
    auto form = fixture.Start();
    const std::vector<std::pair<Qt::Key, int>> keys = {{Qt::Key_Escape, 27}, {Qt::Key_A, 'A'},
                                                       {Qt::Key_7, '7'},     {Qt::Key_F1, 0x70},
                                                       {Qt::Key_Return, 13}, {Qt::Key_Left, 0x25}};
    for (const auto& [key, code] : keys) {
        QTest::keyClick(form->memLeftBottomClientSend, key);
        EXPECT_EQ(form->LastKey, code) << key;
    }
}

TEST(Moves, MenuShortcutsComeBeforeTheEditingKeysOfAMemo) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    PlayMoves(*form, {"e2e4", "e7e5"});
    form->pnlLeftBottomHuman->show();  // a memo that can really hold the focus
    form->memLeftBottomClientSend->setFocus();
    form->memLeftBottomClientSend->setPlainText("Gruss");
    QTest::keyClick(form->memLeftBottomClientSend, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(form->ChessBoard->PlyCount, 1);
    QTest::keyClick(form->memLeftBottomClientSend, Qt::Key_Backspace,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->ChessBoard->PlyCount, 2);
    EXPECT_EQ(form->memLeftBottomClientSend->toPlainText(), "Gruss");
    // Ctrl+A would select the memo's text; here it is the analysis command.
    int analyses = 0;
    QObject::connect(form->mnuAnalyse, &QAction::triggered, [&] { ++analyses; });
    QTest::keyClick(form->memLeftBottomClientSend, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(analyses, 1);
}

TEST(Moves, EndOfTheGameIsAnnouncedThroughTheDialogs) {
    TFormFixture fixture;
    auto form = fixture.Start();
    PlayMoves(*form, {"f2f3", "e7e5", "g2g4"});
    EXPECT_TRUE(fixture.Dialogs.Calls.empty());
    const auto mate = UciToMove("d8h4", false);
    form->ChessBoard->HistoryTop = 0;
    EXPECT_FALSE(form->DoMoveAndCheckEnd(*mate));
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Caption, "Information");
    EXPECT_EQ(fixture.Dialogs.Calls[0].Text, "Weiss ist matt!");
    EXPECT_EQ(fixture.Dialogs.Calls[0].MessageKind, mkInformation);
    EXPECT_FALSE(form->ShowGameEnd());  // asked again, announced again
    EXPECT_EQ(fixture.Dialogs.Calls.size(), 2u);
    form->mnuTakeBackMove->trigger();
    EXPECT_TRUE(form->ShowGameEnd());
    EXPECT_EQ(fixture.Dialogs.Calls.size(), 2u);
}

TEST(Moves, AFullRecordRefusesTheNextMoveWithAMessage) {
    TFormFixture fixture;
    auto form = fixture.Start();
    TChessBoard& board = *form->ChessBoard;
    const std::array<const char*, 4> shuffle = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (int ply = 0; ply < cMaxHistory; ++ply)
        ASSERT_TRUE(board.MakeMove(*UciToMove(shuffle[ply % 4], board.IsWhiteToMove())));
    EXPECT_FALSE(form->DoMoveAndCheckEnd(*UciToMove("e2e4", true)));
    EXPECT_EQ(board.PlyCount, cMaxHistory);
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Caption, "Fehler");
    EXPECT_TRUE(fixture.Dialogs.Calls[0].Text.contains("1000"));
}

}  // namespace
}  // namespace tavlor::testing
