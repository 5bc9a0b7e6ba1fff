#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "bench/LongestGame.h"
#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "notation/SavedGame.h"
#include "platform/Win1252.h"
#include "tests/network/NetworkTestSupport.h"

namespace tavlor {
namespace {

using enum TConnectionState;
using enum TMessageType;
using testing::NetworkFolderTest;
using testing::TReceived;
using testing::TStrings;

// Two players who found each other: both announced, Bert picked Anna and she picked him back.
class PairedPlayers : public NetworkFolderTest {
protected:
    void SetUp() override {
        Anna = Announce("Anna");
        Bert = Announce("Bert");
        EXPECT_EQ(Receive(*Anna), (TReceived{mtAskForPlay, {"Bert"}}));
        EXPECT_EQ(Receive(*Bert), (TReceived{mtAskForPlay, {"Anna"}}));
        Pick(*Bert, "Anna");
        EXPECT_EQ(KeysOf(Anna->OwnSection()), TStrings{"ConfirmPlayOk"});
        EXPECT_EQ(Receive(*Anna),
                  (TReceived{mtConfirmPlayOk, {"Bert hat auf die Spielanfrage reagiert."}}));
        Pick(*Anna, "Bert");
        EXPECT_EQ(Receive(*Bert),
                  (TReceived{mtConfirmPlayOk, {"Anna hat auf die Spielanfrage reagiert."}}));
        EXPECT_EQ(Sections(), TStrings{});
    }

    // What the window does when its user picks a possible opponent.
    static void Pick(TChessConnection& me, const std::string& player) {
        EXPECT_EQ(me.ConnectTo(player), csConnected);
        EXPECT_EQ(me.Send({"1"}, mtPlayOK), csSent);
        EXPECT_EQ(me.Send({ConfirmPlayLine(me.OwnName)}, mtConfirmPlayOk), csSent);
    }

    std::unique_ptr<TChessConnection> Anna;
    std::unique_ptr<TChessConnection> Bert;
};

TEST_F(PairedPlayers, MessagesWaitForDelivery) {
    EXPECT_EQ(Anna->Send({MoveToWireText({5, 2, 5, 4, cEmpty})}, mtMove), csSent);
    EXPECT_EQ(Anna->CheckDelivered(), csSending);
    // The comment must wait for the move to be taken and writes nothing meanwhile.
    EXPECT_EQ(Anna->Send({"Guter Zug"}, mtComment), csSending);
    EXPECT_EQ(KeysOf(Bert->OwnSection()), TStrings{"Move"});
    EXPECT_EQ(Receive(*Bert), (TReceived{mtMove, {"E2 - E4"}}));
    EXPECT_EQ(Anna->CheckDelivered(), csSent);
    EXPECT_EQ(Receive(*Bert), TReceived{});

    // Of several lines only the last stays. A comment the file gives back changed (or "-?-", the
    // old default of the delivery check) still counts as waiting until it has been taken.
    const std::string longComment(3000, 'a');
    const std::pair<TStrings, std::string> rows[] = {
        {{"erste", "Guter Zug"}, "Guter Zug"},
        {{"\"in Anfuehrungszeichen\""}, "in Anfuehrungszeichen"},
        {{"  Leerzeichen  "}, "Leerzeichen"},
        {{longComment}, longComment.substr(0, 2047)},
        {{"Zeile eins\r\nZeile zwei"}, "Zeile eins Zeile zwei"},
        {{"Schach \xE2\x9C\x93"}, "Schach ?"},
        {{"-?-"}, "-?-"},
    };
    for (const auto& [sent, arrived] : rows) {
        EXPECT_EQ(Anna->Send(sent, mtComment), csSent);
        EXPECT_EQ(Anna->Send({"danach"}, mtComment), csSending) << arrived;
        EXPECT_EQ(Receive(*Bert), (TReceived{mtComment, {arrived}}));
        EXPECT_EQ(Anna->CheckDelivered(), csSent);
    }
}

// The texts themselves are checked with the move texts; here one damaged text goes the whole way.
TEST_F(PairedPlayers, DamagedMoveTextIsReportedAsInvalid) {
    EXPECT_FALSE(ReceivedMove({}, true));
    ASSERT_TRUE(Ini().WriteString(Bert->OwnSection(), "Move", "I2 - E4"));
    const TReceived got = Receive(*Bert);
    EXPECT_EQ(got, (TReceived{mtMove, {"I2 - E4"}}));
    EXPECT_FALSE(ReceivedMove(got.Lines, true));
}

// The move lines of a game begin and end with blanks, and a comment may hold a "|".
TEST_F(PairedPlayers, GameTransferRejectedAndAccepted) {
    TChessBoard board;
    ASSERT_TRUE(board.MakeMove({5, 2, 5, 4, cEmpty}));
    ASSERT_TRUE(board.MakeMove({5, 7, 5, 5, cEmpty}));
    board.SetComment(0, 1, "Ein Kommentar | mit Strich \xC3\xBC");
    const TStrings game = WriteGameLines(board);
    for (TMessageType answer : {mtResetBoardReject, mtResetBoardOK}) {
        EXPECT_EQ(Anna->Send(WrapGameLines(game), mtResetBoard), csSent);
        const TReceived got = Receive(*Bert);
        EXPECT_EQ(got.Type, mtResetBoard);
        EXPECT_EQ(UnwrapGameLines(got.Lines), game);
        // The answer carries the game back; the file keeps its last line.
        EXPECT_EQ(Bert->Send(got.Lines, answer), csSent);
        EXPECT_EQ(Receive(*Anna), (TReceived{answer, {"||"}}));
    }
}

// Every message `connection` takes while `work` runs on this thread, polling as fast as it can.
std::vector<TReceived> TakenWhile(TChessConnection& connection, const std::function<void()>& work) {
    std::vector<TReceived> taken;
    std::atomic<bool> done{false};
    std::thread poller([&] {
        for (bool last = false; !last;) {
            last = done;
            TReceived got;
            if (connection.Receive(got.Lines, got.Type) == csReceived && got.Type != mtUnknown)
                taken.push_back(std::move(got));
        }
    });
    work();
    done = true;
    poller.join();
    return taken;
}

// A game written line by line was taken half-written by a receiver that polled meanwhile, and
// an answer written line by line was taken again and again by the polling sender.
TEST_F(PairedPlayers, LongestGameArrivesWholeAndItsAnswerOnceWhileThePeerPolls) {
    const TChessBoard game = bench::LongestGame();
    const TStrings lines = GameTransferLines(game);
    ASSERT_EQ(lines.size(), cMaxGameTransferLines);
    std::vector<std::chrono::milliseconds> pauses;
    Bert->GameTransferWait = std::chrono::milliseconds(1000);
    Bert->Pause = [&pauses](std::chrono::milliseconds wait) { pauses.push_back(wait); };

    const std::vector<TReceived> atBert =
        TakenWhile(*Bert, [&] { EXPECT_EQ(Anna->Send(lines, mtResetBoard), csSent); });
    ASSERT_EQ(atBert.size(), 1u);
    EXPECT_EQ(atBert[0].Type, mtResetBoard);
    EXPECT_EQ(atBert[0].Lines, lines);
    EXPECT_EQ(pauses, std::vector{std::chrono::milliseconds(1000)});
    TChessBoard board;
    const TGameFileStatus loaded = LoadTransferredGame(board, atBert[0].Lines);
    ASSERT_TRUE(loaded) << loaded.Message;
    EXPECT_EQ(board.PlyCount, cMaxHistory);
    EXPECT_EQ(WriteGameLines(board), WriteGameLines(game));

    const std::vector<TReceived> atAnna =
        TakenWhile(*Anna, [&] { EXPECT_EQ(Bert->Send(atBert[0].Lines, mtResetBoardOK), csSent); });
    EXPECT_EQ(atAnna, (std::vector<TReceived>{{mtResetBoardOK, {"||"}}}));
}

// Whoever can write to the folder can put any number of numbered lines into a section: they are
// read in one go, no further than one line beyond the longest game, and such a game is refused.
TEST_F(PairedPlayers, NumberedLinesAreReadOnceAndATooLongGameIsRefused) {
    const std::string own = "[" + Bert->OwnSection() + "]\r\n";
    // The lines reading each numbered key gives: any case, no leading zero, the first of a key,
    // up to the end mark.
    testing::WriteBytes(Folder.File(cTransferFileName),
                        own +
                            "ResetBoard_0=|a|\r\nresetboard_1=|b|\r\nResetBoard_02=|x|\r\n"
                            "ResetBoard_2=\"|c|\"\r\nRESETBOARD_2=|y|\r\n"
                            "ResetBoard_3=-/-/-\r\nResetBoard_4=|z|\r\n");
    EXPECT_EQ(Receive(*Bert), (TReceived{mtResetBoard, {"|a|", "|b|", "|c|"}}));
    std::string flood = own;
    for (int i = 0; i < 10000; ++i)
        flood += "ResetBoard_" + std::to_string(i) + "=|" + std::to_string(i) + "|\r\n";
    testing::WriteBytes(Folder.File(cTransferFileName), flood);
    const TReceived got = Receive(*Bert);
    EXPECT_EQ(got.Lines.size(), cMaxGameTransferLines + 1);
    EXPECT_EQ(Sections(), TStrings{});

    TChessBoard board;
    ASSERT_TRUE(board.MakeMove({5, 2, 5, 4, cEmpty}));
    const TStrings before = WriteGameLines(board);
    EXPECT_EQ(LoadTransferredGame(board, got.Lines).Message,
              "Das gesandte Spiel hat mehr als 2590 Zeilen und ist damit länger als jede "
              "mögliche Partie.");
    TStrings damaged = GameTransferLines(bench::LongestGame());
    damaged[90] = "|  2. G1 - I3     B8 - C6  |";
    EXPECT_FALSE(LoadTransferredGame(board, damaged));
    EXPECT_EQ(WriteGameLines(board), before);
}

// A message too large for the readers would cost every player the channel; only that message is
// refused. Anything longer than a reader takes is cut before it is written.
TEST_F(PairedPlayers, NoMessageGrowsTheFileBeyondWhatAReaderTakes) {
    const std::string file = Folder.File(cTransferFileName);
    EXPECT_EQ(Anna->Send({std::string(5000, 'a')}, mtComment), csSent);
    EXPECT_EQ(testing::ReadBytes(file).find(std::string(2048, 'a')), std::string::npos);
    EXPECT_EQ(Receive(*Bert), (TReceived{mtComment, {std::string(2047, 'a')}}));

    const std::string head = "[Fremd]\r\nx=";
    const auto room = static_cast<std::size_t>(cMaxTextFileSize) - 1000;
    testing::WriteBytes(file, head + std::string(room - head.size() - 2, 'x') + "\r\n");
    EXPECT_EQ(Anna->Send({std::string(2000, 'b')}, mtComment), csSendError);
    EXPECT_EQ(std::filesystem::file_size(file), room);
    EXPECT_EQ(Anna->Send({"E2 - E4  "}, mtMove), csSent);
    EXPECT_GT(std::filesystem::file_size(file), room);
}

// The transfer carries exactly the saved game file (a character without a Windows-1252 form is a
// "?" in both once written), and loads as that file does.
TEST(GameTransferLines, AreTheSavedGameFile) {
    TChessBoard board;
    ReadFen(board, "r3k3/P7/8/8/8/8/8/4K2R b Kq - 0 1");  // begins with the pass record
    for (const char* move : {"e8c8", "a7a8n", "d8d1"})
        ASSERT_TRUE(board.MakeMove(*UciToMove(move, board.IsWhiteToMove())));
    board.SetComment(0, 0, "  Grüße | \"x\" = [y] \u4e2d  ");
    board.WhiteTime = 0.123456789012345678;
    const TStrings lines = GameTransferLines(board);
    testing::TTempFolder folder;
    const std::string fileName = folder.File("game.TVG");
    ASSERT_TRUE(SaveGame(board, fileName));
    const auto asInFile = [](const TStrings& lines) {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += Utf8ToWin1252(line) + "\r\n";
        return bytes;
    };
    EXPECT_EQ(asInFile(UnwrapGameLines(lines)), testing::ReadBytes(fileName));

    TChessBoard fromFile;
    TChessBoard fromLines;
    const TGameFileStatus fileStatus = LoadGame(fromFile, fileName);
    const TGameFileStatus linesStatus = LoadTransferredGame(fromLines, lines);
    ASSERT_TRUE(fileStatus && linesStatus) << linesStatus.Message;
    EXPECT_EQ(linesStatus.WhiteToMove, fileStatus.WhiteToMove);
    EXPECT_EQ(asInFile(WriteGameLines(fromLines)), asInFile(WriteGameLines(fromFile)));
    EXPECT_TRUE(fromLines.Board == fromFile.Board);
}

TEST_F(PairedPlayers, GameIsTakenOnlyOnceItsFirstLineIsThere) {
    // A sender on a slow folder is still writing: lines 3 down to 1 are there, line 0 is not.
    TIniFile ini = Ini();
    for (int line = 3; line >= 1; --line)
        ASSERT_TRUE(ini.WriteString(Bert->OwnSection(), "ResetBoard_" + std::to_string(line),
                                    "|Zeile " + std::to_string(line) + "|"));
    EXPECT_EQ(Receive(*Bert), TReceived{});
    EXPECT_EQ(KeysOf(Bert->OwnSection()).size(), 3u);
    ASSERT_TRUE(ini.WriteString(Bert->OwnSection(), "ResetBoard_0", "|Zeile 0|"));
    EXPECT_EQ(Receive(*Bert),
              (TReceived{mtResetBoard, {"|Zeile 0|", "|Zeile 1|", "|Zeile 2|", "|Zeile 3|"}}));
}

// Announcements are reported in file order, a move ends the scan, and a pairing message taken
// before another player's announcement is not displaced by it.
TEST_F(NetworkFolderTest, ScanOrder) {
    const auto me = Open("Ich");
    EXPECT_EQ(Receive(*me), TReceived{});  // no file yet
    ASSERT_EQ(me->Send({"1"}, mtAskForPlay), csSent);
    const auto eva = Announce("Eva");
    ASSERT_EQ(eva->ConnectTo("Ich"), csConnected);
    ASSERT_EQ(eva->Send({"E2 - E4  "}, mtMove), csSent);
    const auto late = Announce("Spaet");
    EXPECT_EQ(Receive(*me), (TReceived{mtMove, {"E2 - E4"}}));
    ASSERT_EQ(eva->Send({ConfirmPlayLine("Eva")}, mtConfirmPlayOk), csSent);
    const auto later = Announce("Noch einer");
    EXPECT_EQ(Receive(*me),
              (TReceived{mtConfirmPlayOk, {"Eva hat auf die Spielanfrage reagiert."}}));
    EXPECT_EQ(Receive(*me), (TReceived{mtAskForPlay, {"Eva", "Spaet", "Noch einer"}}));

    // A PlayOK reports the receiver's own name and lets the scan go on.
    ASSERT_EQ(eva->Send({"1"}, mtPlayOK), csSent);
    EXPECT_EQ(Receive(*me), (TReceived{mtPlayOK, {"Ich"}}));
}

TEST_F(NetworkFolderTest, NameWithoutWindows1252FormStillFindsItsMessages) {
    const auto me = Announce("\xC5\x81ukasz ");  // "Łukasz" and a trailing blank
    const auto eva = Announce("Eva");
    ASSERT_EQ(Receive(*eva), (TReceived{mtAskForPlay, {"?ukasz"}}));
    ASSERT_EQ(eva->ConnectTo("?ukasz"), csConnected);
    ASSERT_EQ(eva->Send({"Eva"}, mtConfirmPlayOk), csSent);
    EXPECT_EQ(Receive(*me), (TReceived{mtConfirmPlayOk, {"Eva"}}));
}

}  // namespace
}  // namespace tavlor
