#include <gtest/gtest.h>

#include "notation/MoveText.h"
#include "notation/SavedGame.h"
#include "tests/network/NetworkTestSupport.h"

namespace tavlor {
namespace {

using testing::NetworkFolderTest;
using TStrings = std::vector<std::string>;

// Two players who found each other: Anna announced first, Bert picked her and she answered.
class PairedPlayers : public NetworkFolderTest {
protected:
    void SetUp() override {
        Anna = Announce("Anna");
        Bert = Announce("Bert");

        TReceived seen = Receive(*Anna);
        EXPECT_EQ(seen.Type, TMessageType::mtAskForPlay);
        EXPECT_EQ(seen.Lines, TStrings{"Bert"});
        seen = Receive(*Bert);
        EXPECT_EQ(seen.Type, TMessageType::mtAskForPlay);
        EXPECT_EQ(seen.Lines, TStrings{"Anna"});

        Pick(*Bert, "Anna");
        EXPECT_EQ(KeysOf(Anna->OwnSection()), TStrings{"ConfirmPlayOk"});
        seen = Receive(*Anna);
        EXPECT_EQ(seen.Type, TMessageType::mtConfirmPlayOk);
        EXPECT_EQ(seen.Lines, TStrings{"Bert hat auf die Spielanfrage reagiert."});

        Pick(*Anna, "Bert");
        seen = Receive(*Bert);
        EXPECT_EQ(seen.Type, TMessageType::mtConfirmPlayOk);
        EXPECT_EQ(seen.Lines, TStrings{"Anna hat auf die Spielanfrage reagiert."});
        EXPECT_EQ(Sections(), TStrings{});
    }

    // What the window does when its user picks a possible opponent.
    static void Pick(TChessConnection& me, const std::string& player) {
        EXPECT_EQ(me.ConnectTo(player), TConnectionState::csConnected);
        EXPECT_EQ(me.PeerName, player);
        EXPECT_EQ(me.Send({"1"}, TMessageType::mtPlayOK), TConnectionState::csSent);
        EXPECT_EQ(me.Send({ConfirmPlayLine(me.OwnName)}, TMessageType::mtConfirmPlayOk),
                  TConnectionState::csSent);
    }

    std::unique_ptr<TChessConnection> Anna;
    std::unique_ptr<TChessConnection> Bert;
};

TEST_F(PairedPlayers, MovesAndCommentsWaitForDelivery) {
    EXPECT_EQ(Anna->Send({MoveToWireText({5, 2, 5, 4, cEmpty})}, TMessageType::mtMove),
              TConnectionState::csSent);
    EXPECT_EQ(Anna->PeerState(), TConnectionState::csSending);
    EXPECT_EQ(Anna->CheckDelivered(), TConnectionState::csSending);
    // The comment must wait for the move to be taken and writes nothing meanwhile.
    EXPECT_EQ(Anna->Send({"Guter Zug"}, TMessageType::mtComment), TConnectionState::csSending);
    EXPECT_EQ(KeysOf(Bert->OwnSection()), TStrings{"Move"});

    TReceived got = Receive(*Bert);
    EXPECT_EQ(got.Type, TMessageType::mtMove);
    EXPECT_EQ(got.Lines, TStrings{"E2 - E4"});
    const auto move = ReceivedMove(got.Lines, true);
    ASSERT_TRUE(move);
    EXPECT_TRUE(SameMove(*move, {5, 2, 5, 4, cEmpty}));
    EXPECT_EQ(Anna->CheckDelivered(), TConnectionState::csSent);
    EXPECT_EQ(Anna->PeerState(), TConnectionState::csWaitingForAnswer);
    EXPECT_EQ(Receive(*Bert).Type, TMessageType::mtUnknown);

    EXPECT_EQ(Anna->Send({"Guter Zug"}, TMessageType::mtComment), TConnectionState::csSent);
    got = Receive(*Bert);
    EXPECT_EQ(got.Type, TMessageType::mtComment);
    EXPECT_EQ(got.Lines, TStrings{"Guter Zug"});

    // A promotion arrives in the colour of the side to move on the receiving board.
    EXPECT_EQ(Bert->Send({MoveToWireText({5, 7, 5, 8, cWhiteQueen})}, TMessageType::mtMove),
              TConnectionState::csSent);
    got = Receive(*Anna);
    EXPECT_EQ(got.Lines, TStrings{"E7 - E8 Q"});
    EXPECT_EQ(ReceivedMove(got.Lines, false)->Promotion, cBlackQueen);
    EXPECT_EQ(ReceivedMove(got.Lines, true)->Promotion, cWhiteQueen);

    // Only the last line of a message stays.
    EXPECT_EQ(Anna->Send({"erste", "zweite"}, TMessageType::mtComment), TConnectionState::csSent);
    EXPECT_EQ(Receive(*Bert).Lines, TStrings{"zweite"});
}

TEST_F(PairedPlayers, CommentsThatTheFileWouldChangeStillWaitForDelivery) {
    const std::string longComment(3000, 'a');
    const std::string comments[] = {"\"in Anfuehrungszeichen\"", "  Leerzeichen  ",     longComment,
                                    "Zeile eins\r\nZeile zwei",  "Schach \xE2\x9C\x93", "-?-"};
    const std::string arrived[] = {
        "in Anfuehrungszeichen", "Leerzeichen", longComment.substr(0, 2047),
        "Zeile eins Zeile zwei", "Schach ?",    "-?-"};
    for (std::size_t i = 0; i < std::size(comments); ++i) {
        EXPECT_EQ(Anna->Send({comments[i]}, TMessageType::mtComment), TConnectionState::csSent);
        EXPECT_EQ(Anna->CheckDelivered(), TConnectionState::csSending) << i;
        EXPECT_EQ(Anna->Send({"danach"}, TMessageType::mtComment), TConnectionState::csSending);
        const TReceived got = Receive(*Bert);
        EXPECT_EQ(got.Lines, TStrings{arrived[i]});
        EXPECT_EQ(Anna->CheckDelivered(), TConnectionState::csSent);
    }
}

TEST_F(PairedPlayers, DamagedMoveTextIsReportedAsInvalid) {
    for (const char* text : {"Z2 - E4", "E0 - E4", "E2 - E9", "E2"}) {
        ASSERT_TRUE(Ini().WriteString(Bert->OwnSection(), "Move", text));
        const TReceived got = Receive(*Bert);
        EXPECT_EQ(got.Type, TMessageType::mtMove);
        EXPECT_FALSE(ReceivedMove(got.Lines, true)) << text;
    }
}

// A saved game whose move lines begin and end with blanks, with comments in both lists.
TChessBoard SampleGame() {
    TChessBoard board;
    for (const TChessMove& move : {TChessMove{5, 2, 5, 4, cEmpty}, TChessMove{5, 7, 5, 5, cEmpty},
                                   TChessMove{7, 1, 6, 3, cEmpty}})
        EXPECT_TRUE(board.MakeMove(move));
    board.SetComment(0, 1, "Ein Kommentar | mit Strich");
    board.SetComment(1, 2, "Antwort \xC3\xBC");
    board.WhiteTime = 0.001;
    return board;
}

TEST_F(PairedPlayers, GameTransferAccepted) {
    const TStrings game = WriteGameLines(SampleGame());
    EXPECT_EQ(Anna->Send(WrapGameLines(game), TMessageType::mtResetBoard),
              TConnectionState::csSent);
    EXPECT_EQ(Anna->PeerState(), TConnectionState::csUnknown);
    EXPECT_EQ(Anna->CheckDelivered(), TConnectionState::csSent);

    TReceived got = Receive(*Bert);
    EXPECT_EQ(got.Type, TMessageType::mtResetBoard);
    EXPECT_EQ(Sections(), TStrings{});
    const TStrings loaded = UnwrapGameLines(got.Lines);
    EXPECT_EQ(loaded, game);
    TChessBoard board;
    ASSERT_TRUE(ReadGameLines(board, loaded));
    EXPECT_EQ(board.PlyCount, 3);
    EXPECT_EQ(board.Board, SampleGame().Board);
    for (int list = 0; list <= 1; ++list)
        for (int ply = 0; ply <= 4; ++ply)
            EXPECT_EQ(board.GetComment(list, ply), SampleGame().GetComment(list, ply));
    EXPECT_EQ(board.GetComment(0, 1), "Ein Kommentar | mit Strich");

    EXPECT_EQ(Bert->Send(loaded, TMessageType::mtResetBoardOK), TConnectionState::csSent);
    got = Receive(*Anna);
    EXPECT_EQ(got.Type, TMessageType::mtResetBoardOK);
    EXPECT_EQ(got.Lines, TStrings{""});  // the last line of the game
}

TEST_F(PairedPlayers, GameTransferRejected) {
    TStrings game = WriteGameLines(SampleGame());
    game.back() = "letzte Zeile";
    ASSERT_EQ(Anna->Send(WrapGameLines(game), TMessageType::mtResetBoard),
              TConnectionState::csSent);
    TReceived got = Receive(*Bert);
    ASSERT_EQ(got.Type, TMessageType::mtResetBoard);
    EXPECT_EQ(Bert->Send(got.Lines, TMessageType::mtResetBoardReject), TConnectionState::csSent);
    got = Receive(*Anna);
    EXPECT_EQ(got.Type, TMessageType::mtResetBoardReject);
    EXPECT_EQ(got.Lines, TStrings{"|letzte Zeile|"});
}

TEST_F(PairedPlayers, GameIsTakenOnlyOnceItsFirstLineIsThere) {
    // A sender on a slow folder is still writing: lines 3 down to 1 are there, line 0 is not.
    TIniFile ini = Ini();
    for (int line = 3; line >= 1; --line)
        ASSERT_TRUE(ini.WriteString(Bert->OwnSection(), "ResetBoard_" + std::to_string(line),
                                    "|Zeile " + std::to_string(line) + "|"));
    EXPECT_EQ(Receive(*Bert).Type, TMessageType::mtUnknown);
    EXPECT_EQ(KeysOf(Bert->OwnSection()).size(), 3u);

    ASSERT_TRUE(ini.WriteString(Bert->OwnSection(), "ResetBoard_0", "|Zeile 0|"));
    const TReceived got = Receive(*Bert);
    EXPECT_EQ(got.Type, TMessageType::mtResetBoard);
    EXPECT_EQ(UnwrapGameLines(got.Lines), (TStrings{"Zeile 0", "Zeile 1", "Zeile 2", "Zeile 3"}));
}

TEST_F(PairedPlayers, EmptyGameErasesButIsNeverSeen) {
    ASSERT_EQ(Anna->Send({"E2 - E4  "}, TMessageType::mtMove), TConnectionState::csSent);
    EXPECT_EQ(Anna->Send({}, TMessageType::mtResetBoard), TConnectionState::csSent);
    EXPECT_EQ(KeysOf(Bert->OwnSection()), TStrings{});
    EXPECT_EQ(Receive(*Bert).Type, TMessageType::mtUnknown);
}

TEST_F(NetworkFolderTest, UnpairedConnectionSendsOnlyAnnouncementsAndPairing) {
    const auto me = Announce("Tom");
    for (TMessageType type : {TMessageType::mtMove, TMessageType::mtComment,
                              TMessageType::mtResetBoard, TMessageType::mtResetBoardOK})
        EXPECT_EQ(me->Send({"x"}, type), TConnectionState::csNotConnected);
    EXPECT_EQ(Sections(), TStrings{me->OwnSection()});
    EXPECT_EQ(KeysOf(me->OwnSection()), TStrings{"AskForPlay"});
}

TEST_F(NetworkFolderTest, AnnouncementsAreReportedInFileOrder) {
    const auto me = Open("Ich");
    EXPECT_EQ(Receive(*me).Type, TMessageType::mtUnknown);  // no file yet

    const auto carla = Announce("Carla");
    const auto anton = Announce("Anton");
    ASSERT_EQ(me->Send({"1"}, TMessageType::mtAskForPlay), TConnectionState::csSent);
    const auto berta = Announce("Berta");
    const TReceived got = Receive(*me);
    EXPECT_EQ(got.Type, TMessageType::mtAskForPlay);
    EXPECT_EQ(got.Lines, (TStrings{"Carla", "Anton", "Berta"}));
}

TEST_F(NetworkFolderTest, MoveEndsTheScanAndAnnouncementsKeepPairingMessages) {
    const auto me = Announce("Ich");
    const auto eva = Announce("Eva");
    ASSERT_EQ(eva->ConnectTo("Ich"), TConnectionState::csConnected);
    ASSERT_EQ(eva->Send({"E2 - E4  "}, TMessageType::mtMove), TConnectionState::csSent);
    const auto late = Announce("Spaet");
    TReceived got = Receive(*me);
    EXPECT_EQ(got.Type, TMessageType::mtMove);  // Eva's announcement came first, then the move
    EXPECT_EQ(got.Lines, TStrings{"E2 - E4"});

    // A confirmation that precedes another player's announcement in the file is not lost.
    ASSERT_EQ(eva->Send({ConfirmPlayLine("Eva")}, TMessageType::mtConfirmPlayOk),
              TConnectionState::csSent);
    const auto later = Announce("Noch einer");
    got = Receive(*me);
    EXPECT_EQ(got.Type, TMessageType::mtConfirmPlayOk);
    EXPECT_EQ(got.Lines, TStrings{"Eva hat auf die Spielanfrage reagiert."});
    got = Receive(*me);
    EXPECT_EQ(got.Type, TMessageType::mtAskForPlay);
    EXPECT_EQ(got.Lines, (TStrings{"Eva", "Spaet", "Noch einer"}));

    // A PlayOK reports the receiver's own name and lets the scan go on.
    ASSERT_EQ(eva->Send({"1"}, TMessageType::mtPlayOK), TConnectionState::csSent);
    got = Receive(*me);
    EXPECT_EQ(got.Type, TMessageType::mtPlayOK);
    EXPECT_EQ(got.Lines, TStrings{"Ich"});
}

TEST_F(NetworkFolderTest, KeyAfterAnErasingKeyReadsItsDefault) {
    const auto me = Announce("Ich");
    const auto eva = Announce("Eva");
    TIniFile ini = Ini();
    ASSERT_TRUE(ini.EraseSection(me->OwnSection()));
    ASSERT_TRUE(ini.WriteString(me->OwnSection(), "PlayOK", "1"));
    ASSERT_TRUE(ini.WriteString(me->OwnSection(), "Move", "E2 - E4"));
    const TReceived got = Receive(*me);
    EXPECT_EQ(got.Type, TMessageType::mtMove);
    EXPECT_EQ(got.Lines, TStrings{""});
    EXPECT_FALSE(ReceivedMove(got.Lines, true));
    EXPECT_EQ(Sections(), TStrings{eva->OwnSection()});
}

TEST_F(NetworkFolderTest, NameWithoutWindows1252FormStillFindsItsMessages) {
    const auto me = Announce("\xC5\x81ukasz ");  // "Łukasz" and a trailing blank
    const auto eva = Announce("Eva");
    TReceived got = Receive(*eva);
    ASSERT_EQ(got.Lines, TStrings{"?ukasz"});
    ASSERT_EQ(eva->ConnectTo("?ukasz"), TConnectionState::csConnected);
    ASSERT_EQ(eva->Send({"E2 - E4  "}, TMessageType::mtMove), TConnectionState::csSent);

    got = Receive(*me);
    EXPECT_EQ(got.Type, TMessageType::mtMove);
    EXPECT_EQ(got.Lines, TStrings{"E2 - E4"});
}

}  // namespace
}  // namespace tavlor
