// FEN entry, saving and loading games through the dialogs.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>

#include "UiTestSupport.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

namespace tavlor::testing {
namespace {

TEST(GameFiles, FenEntryAsksAgainAfterAnEmptyAnswer) {
    TFormFixture fixture;
    auto form = fixture.Start();
    fixture.Dialogs.Answers = {"", "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1"};
    form->mnuEnterFEN->trigger();
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 2u);
    for (const auto& call : fixture.Dialogs.Calls) {
        EXPECT_EQ(call.Kind, "input");
        EXPECT_EQ(call.Text, "Die Spielstellung in der Forsyth-Edwards-Notation :");
    }
    TChessBoard& board = *form->ChessBoard;
    EXPECT_EQ(board.PlyCount, 1);
    EXPECT_EQ(board.GetSquare(5, 4), cWhitePawn);
    EXPECT_TRUE(IsLegalMove(board, *UciToMove("d4e3", false)));
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
        ASSERT_EQ(dialogs.Calls.size(), 2u);
        EXPECT_EQ(dialogs.Calls[1].Caption, "Fehler");
        EXPECT_EQ(dialogs.Calls[1].MessageKind, mkError);
        const QString& text = dialogs.Calls[1].Text;
        EXPECT_TRUE(text.contains(test.FileName) && text.contains(test.Expected))
            << text.toStdString();
        EXPECT_EQ(form->ChessBoard->PlyCount, 2);
        EXPECT_TRUE(SameBoard(form->ChessBoard->Board, before));
    }
}

}  // namespace
}  // namespace tavlor::testing
