// The game at the board: move list, "Zuege" commands, replay, menu keys, FEN entry, the
// clipboard, saving and loading through the dialogs.

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTextBlock>
#include <QWheelEvent>

#include "UiTestSupport.h"
#include "notation/FenWriter.h"
#include "notation/MoveList.h"

namespace tavlor::testing {
namespace {

// The move list as the memo should show it.
QString ExpectedMoveList(const TChessBoard& board) {
    std::vector<std::string> lines;
    WriteMoveList(board, lines);
    QStringList expected;
    for (const std::string& line : lines)
        expected << QString::fromStdString(line);
    return expected.join('\n');
}

const std::vector<std::string> cItalian = {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "f8c5"};

TEST(Moves, MoveListFollowsMovesTakeBackRedoAndNewGame) {
    TFormFixture fixture;
    auto form = fixture.Start();
    const TChessBoard& game = *form->ChessBoard;
    for (QAction* command :
         {form->mnuTakeBackMove, form->mnuToStartMove, form->mnuDoNextMove, form->mnuToLastMove})
        command->trigger();  // an empty record: nothing happens
    EXPECT_EQ(game.PlyCount, 0);
    PlayMoves(*form, cItalian);
    form->RefreshStatus();
    EXPECT_EQ(form->memMoves->toPlainText().count('\n'), 2);  // three lines
    // Taken back and played differently before the next refresh: the same ply count.
    form->mnuTakeBackMove->trigger();
    PlayMoves(*form, {"f8e7"});
    form->RefreshStatus();
    EXPECT_EQ(form->memMoves->toPlainText(), ExpectedMoveList(game));

    struct TStep {
        QAction* Command;
        int PlyCount, HistoryTop;
    };
    const TStep steps[] = {{form->mnuTakeBackMove, 5, 6}, {form->mnuTakeBackMove, 4, 6},
                           {form->mnuDoNextMove, 5, 6},   {form->mnuToStartMove, 0, 6},
                           {form->mnuToLastMove, 6, 6},   {form->mnuDoNextMove, 6, 6},
                           {form->mnuNew, 0, 0}};
    for (const TStep& step : steps) {
        step.Command->trigger();
        form->RefreshStatus();
        EXPECT_EQ(std::pair(game.PlyCount, game.HistoryTop),
                  std::pair(step.PlyCount, step.HistoryTop));
        EXPECT_EQ(form->memMoves->toPlainText(), ExpectedMoveList(game))
            << step.Command->objectName().toStdString();
    }
}

TEST(Moves, MoveListKeepsTheLastMoveInViewAndScrolls) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    for (int round = 0; round < 15; ++round)
        PlayMoves(*form, {"b1c3", "b8c6", "c3b1", "c6b8"});
    form->RefreshStatus();
    QPlainTextEdit* memo = form->memMoves;
    ASSERT_EQ(memo->document()->blockCount(), 30);
    const auto inView = [memo](int line) {
        const QTextCursor cursor(memo->document()->findBlockByNumber(line));
        return memo->viewport()->rect().contains(memo->cursorRect(cursor));
    };
    EXPECT_TRUE(inView(29));
    EXPECT_FALSE(inView(0));
    EXPECT_TRUE(memo->isEnabled() && memo->isReadOnly());
    QScrollBar* bar = memo->verticalScrollBar();
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_GT(bar->maximum(), 0);
    const int bottom = bar->value();
    const QPointF centre = memo->viewport()->rect().center();
    QWheelEvent wheel(centre, memo->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(memo->viewport(), &wheel);
    EXPECT_LT(bar->value(), bottom);
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
    form->mnuReplayVerySlow->trigger();
    EXPECT_EQ(statusDuringReplay, " Spielwiederholung - ESCAPE beendet das Abspielen");
    EXPECT_EQ(form->StatusBarPanel->text(), "");
    EXPECT_EQ(form->ChessBoard->PlyCount, 1);  // where it stopped
    EXPECT_EQ(form->ChessBoard->HistoryTop, 6);

    form->ReplayGame(SecondsToDays(0.01));
    EXPECT_EQ(form->ChessBoard->PlyCount, 6);
    EXPECT_EQ(form->LastKey, 0);
    form->mnuNew->trigger();
    form->ReplayGame(SecondsToDays(0.01));  // an empty record ends at once
    EXPECT_EQ(form->ChessBoard->PlyCount, 0);
}

TEST(Moves, MenuShortcutsComeBeforeTheEditingKeysOfAMemo) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QPlainTextEdit* memo = form->memLeftBottomClientSend;
    PlayMoves(*form, {"e2e4", "e7e5"});
    form->pnlLeftBottomHuman->show();  // a memo that can really hold the focus
    memo->setFocus();
    memo->setPlainText("Gruss");
    QTest::keyClick(memo, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(form->ChessBoard->PlyCount, 1);
    QTest::keyClick(memo, Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->ChessBoard->PlyCount, 2);
    EXPECT_EQ(memo->toPlainText(), "Gruss");
    // In a comment being typed, Ctrl+C copies the selected text and Ctrl+V pastes text; in the
    // move list with nothing selected they copy and paste the position.
    memo->selectAll();
    QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Gruss");
    QTest::keyClick(memo, Qt::Key_End);
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), "GrussGruss");
    EXPECT_EQ(form->ChessBoard->PlyCount, 2);
    form->memMoves->setFocus();
    QTest::keyClick(form->memMoves, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), WriteFen(*form->ChessBoard));
    form->mnuNew->trigger();
    QTest::keyClick(form->memMoves, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->ChessBoard->GetSquare(5, 5), cBlackPawn);
    // Ctrl+A would select the memo's text; here it is the analysis command (cancelled at once).
    int analyses = 0;
    QObject::connect(form->mnuAnalyse, &QAction::triggered, [&] { ++analyses; });
    QTimer::singleShot(0, form.get(), [&] { form->frmShowComputerForm->btnCancel->click(); });
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(analyses, 1);
}

TEST(GameFiles, FenEntryTakesOnlyPlayablePositionsAndCanBeCancelled) {
    const QString cancel = TScriptedDialogs::cCancelAnswer;
    struct TCase {
        QStringList Answers;
        QString Refusal;  // empty: none
        std::int32_t PlyCount;
    };
    const TCase cases[] = {
        {{cancel}, "", 3},
        {{"x", cancel}, "unbekanntes Zeichen \"x\" in der Figurenstellung", 3},
        {{"kK6/8/8/8/8/8/8/8 w", cancel}, "Schwarz steht im Schach, obwohl Weiss am Zug ist", 3},
        {{"", "  4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1 "}, "", 1},
    };
    TFormFixture fixture;
    auto form = fixture.Start();
    PlayMoves(*form, {"e2e4", "e7e5", "g1f3"});
    for (const TCase& test : cases) {  // the game is kept until the last, a playable one
        fixture.Dialogs.Calls.clear();
        fixture.Dialogs.Answers.assign(test.Answers.begin(), test.Answers.end());
        form->mnuEnterFEN->trigger();
        const auto& calls = fixture.Dialogs.Calls;
        const std::string name = test.Answers.front().toStdString();
        EXPECT_EQ(calls.front().Text, "Die Spielstellung in der Forsyth-Edwards-Notation :");
        EXPECT_EQ(fixture.Dialogs.Messages(),
                  test.Refusal.isEmpty() ? QStringList()
                                         : QStringList{"Ungültige Spielstellung: " + test.Refusal})
            << name;
        // A refused text is offered again for correction.
        if (!test.Refusal.isEmpty()) {
            EXPECT_EQ(calls.back().Caption, test.Answers.front());
        }
        EXPECT_EQ(calls.size(), test.Answers.size() + (test.Refusal.isEmpty() ? 0 : 1));
        EXPECT_EQ(form->ChessBoard->PlyCount, test.PlyCount) << name;
    }
    EXPECT_FALSE(form->Connections[1]->LocalIsWhite);  // redrawn: the computer's slot follows
}

TEST(GameFiles, SaveAndLoadThroughTheDialogs) {
    TFormFixture fixture;
    auto form = fixture.Start();
    const QString folder = fixture.ProgramDir() + "SAVEDGAMES";
    const QString fileName = folder + "/Partie.TVG";
    PlayMoves(*form, {"e2e4", "e7e5", "g1f3"});
    const TSquares played = form->ChessBoard->Board;
    fixture.Dialogs.Answers = {fileName, fileName, ""};
    form->mnuSave->trigger();
    form->mnuNew->trigger();
    form->mnuLoad->trigger();
    form->mnuLoad->trigger();                     // cancelled
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 3u);  // no message
    for (const auto& call : fixture.Dialogs.Calls)
        EXPECT_EQ(QDir::cleanPath(call.Text), folder);  // made when it was missing
    EXPECT_EQ(fixture.Dialogs.Calls[0].Kind, "save");
    EXPECT_EQ(form->ChessBoard->PlyCount, 3);
    EXPECT_TRUE(SameBoard(form->ChessBoard->Board, played));
    EXPECT_FALSE(form->Connections[1]->LocalIsWhite);  // Black is to move in the loaded game
}

TEST(GameFiles, FailuresNameTheFileAndKeepTheGame) {
    TFormFixture fixture;
    auto form = fixture.Start();
    TScriptedDialogs& dialogs = fixture.Dialogs;
    const QString damaged = fixture.ProgramDir() + "Kaputt.TVG";
    const QString unreachable = fixture.ProgramDir() + "fehlt/Partie.TVG";
    PlayMoves(*form, {"d2d4"});
    ASSERT_TRUE(form->SaveGame(damaged));
    std::string bytes = ReadFile(damaged);
    bytes.replace(bytes.find("\r\n640\r\n"), 7, "\r\n641\r\n");  // line 12, the white king
    WriteFile(damaged, bytes);
    PlayMoves(*form, {"d7d5"});
    const TSquares before = form->ChessBoard->Board;

    struct TCase {
        QAction* Command;
        QString FileName;
        const char* Expected;  // besides the file's name
    };
    for (const TCase& test :
         {TCase{form->mnuLoad, damaged, "Zeile 12"}, TCase{form->mnuLoad, unreachable, ""},
          TCase{form->mnuSave, unreachable, ""}}) {
        dialogs.Calls.clear();
        dialogs.Answers = {test.FileName};
        test.Command->trigger();
        EXPECT_EQ(dialogs.Calls.size(), 2u);
        EXPECT_TRUE(dialogs.LastIsError(test.FileName, test.Expected));
        EXPECT_EQ(form->ChessBoard->PlyCount, 2);
        EXPECT_TRUE(SameBoard(form->ChessBoard->Board, before));
    }
}

// A new user's window: no settings file, the computer as opponent, the name given when the
// window asks for it, the window active so that its keys reach the menus.
struct TNewPlayer : TBoard {
    TNewPlayer() : TBoard([](TBoard& board) { board.Dialogs.NameAnswers = {"Eva"}; }) {
        Form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        EXPECT_TRUE(QTest::qWaitFor([this] { return Form->PlayerName == "Eva"; }));
    }
    void Keys(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(Form.get(), key, modifiers);
    }
    // The players the PGN of the game names, "White|Black".
    QString Players() {
        Keys(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QStringList tags = QGuiApplication::clipboard()->text().split('\n');
        return tags.value(4).section('"', 1, 1) + "|" + tags.value(5).section('"', 1, 1);
    }
};

TEST(GameFiles, ClipboardTakesTheGameAndThePositionOutAndBackIn) {
    TNewPlayer user;
    TfrmChessMainForm& form = *user.Form;
    QClipboard& clipboard = *QGuiApplication::clipboard();
    user.Drag("e2e4");
    user.Drag("d2d4");  // the computer answers each
    ASSERT_EQ(form.ChessBoard->PlyCount, 4);
    const TChessBoard played = *form.ChessBoard;
    user.Keys(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QString pgn = clipboard.text();
    EXPECT_TRUE(pgn.startsWith("[Event \"Tavlor\"]\n")) << pgn.toStdString();
    EXPECT_EQ(user.Players(), "Eva|Fenno Drabel");
    user.Keys(Qt::Key_C);
    const QString fen = clipboard.text();
    EXPECT_EQ(fen.toStdString(), WriteFen(played));

    // Into a new game, from the clipboard and from a file: the record comes back, and the
    // player goes on with the side to move.
    const QString fileName = user.Fixture.ProgramDir() + "SAVEDGAMES/Partie.pgn";
    user.Dialogs.Answers = {fileName, fileName};
    form.mnuSave->trigger();
    EXPECT_EQ(ReadFile(fileName), pgn.toStdString());
    for (QAction* command : {form.mnuPaste, form.mnuLoad}) {
        form.mnuNew->trigger();
        clipboard.setText(pgn);
        if (command == form.mnuPaste)
            user.Keys(Qt::Key_V);
        else
            command->trigger();
        EXPECT_EQ(ExpectedMoveList(*form.ChessBoard), ExpectedMoveList(played));
        EXPECT_TRUE(form.Connections[1]->LocalIsWhite);
        EXPECT_TRUE(user.ShownAsRedrawn());
    }
    EXPECT_TRUE(user.Dialogs.Messages().isEmpty());
    EXPECT_EQ(user.Dialogs.FileFilters,
              QStringList({"Tavlor (*.TVG);;PGN (*.pgn)|TVG",
                           "Alle Partien (*.TVG *.pgn);;Tavlor (*.TVG);;PGN (*.pgn)"}));

    const std::pair<QString, QString> refusals[] = {
        {" \n", "Die Zwischenablage enthält keine Spielstellung und keine Partie."},
        {"Unsinn",
         "Die PGN-Partie kann nicht gelesen werden (Zeile 1): Zug 1. \"Unsinn\" ist kein "
         "Zug."},
        {"8/8/8/8/8/8/8/4K3 w - - 0 1", "Ungültige Spielstellung: Schwarz hat keinen König"},
    };
    for (const auto& [text, message] : refusals) {
        user.Dialogs.Calls.clear();
        clipboard.setText(text);
        form.mnuPaste->trigger();
        EXPECT_EQ(user.Dialogs.Messages(), QStringList{message});
        EXPECT_TRUE(ExpectedMoveList(*form.ChessBoard) == ExpectedMoveList(played))
            << text.toStdString();
    }

    // A position starts a record of its own.
    clipboard.setText("  " + fen + "\n");
    form.mnuPaste->trigger();
    EXPECT_TRUE(SameBoard(form.ChessBoard->Board, played.Board));
    EXPECT_TRUE(form.ChessBoard->IsWhiteToMove());
    EXPECT_EQ(form.ChessBoard->HistoryTop, 0);
    EXPECT_TRUE(user.ShownAsRedrawn());
}

// White and Black in the PGN: the player, and the computer on the side it played.
TEST(GameFiles, PgnNamesThePlayersOfTheGame) {
    TNewPlayer user;
    TfrmChessMainForm& form = *user.Form;
    form.mnuComputerDraw->trigger();  // the computer opens
    user.Drag("g8f6");
    ASSERT_EQ(form.ChessBoard->PlyCount, 3);
    EXPECT_EQ(user.Players(), "Fenno Drabel|Eva");

    // The player's mate ends a game the computer has no move in.
    user.Dialogs.Answers = {"6k1/5ppp/8/8/8/8/8/R3K3 w - - 0 1"};
    form.mnuEnterFEN->trigger();
    user.Drag("a1a8");
    EXPECT_EQ(user.Dialogs.Messages().last(), "Schwarz ist matt!");
    EXPECT_EQ(user.Players(), "Eva|Fenno Drabel");
    // And a game in which the computer has its move, forced here.
    user.Dialogs.Answers = {"k7/8/1K6/8/8/8/8/7R b - - 0 1"};
    form.mnuEnterFEN->trigger();
    form.mnuComputerDraw->trigger();
    user.Drag("h1h8");
    ASSERT_EQ(form.ChessBoard->CheckGameEnd(), TGameState::gsBlackMated);
    EXPECT_EQ(user.Players(), "Eva|Fenno Drabel");
}

}  // namespace
}  // namespace tavlor::testing
