#include <gtest/gtest.h>

#include "notation/MoveText.h"
#include "notation/SavedGame.h"
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
