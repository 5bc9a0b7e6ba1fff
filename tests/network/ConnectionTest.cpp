#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "tests/network/NetworkTestSupport.h"

namespace tavlor {
namespace {

using testing::NetworkFolderTest;

static_assert(sizeof(TConnectionState) == 1 && sizeof(TMessageType) == 1);

TEST(NetworkCodes, NamesOfStatesAndMessageTypes) {
    const char* states[] = {"Unbekannt",         "Sende Daten",
                            "Empfange Daten",    "Verbindungsaufbau",
                            "Verbindungsabbau",  "Warte auf Antwort",
                            "Sendefehler",       "Empfangsfehler",
                            "Verbindungsfehler", "Verbindungsabbaufehler",
                            "Nicht verbunden",   "Verbunden",
                            "Gesendet",          "Empfangen"};
    for (int code = 0; code < cConnectionStateCount; ++code)
        EXPECT_STREQ(ConnectionStateName(static_cast<TConnectionState>(code)), states[code]);
    EXPECT_STREQ(ConnectionStateName(static_cast<TConnectionState>(14)), "Unbekannt");

    const char* types[] = {"Unknown",          "Move",          "Comment",    "AskForPlay",
                           "PlayOK",           "ConfirmPlayOk", "ResetBoard", "ResetBoardOK",
                           "ResetBoardReject", "EndOfStructure"};
    for (int code = 0; code < cMessageTypeCount; ++code)
        EXPECT_STREQ(MessageTypeName(static_cast<TMessageType>(code)), types[code]);
    EXPECT_STREQ(MessageTypeName(static_cast<TMessageType>(200)), "");
}

TEST(NetworkText, OneLineWrappingAndMoves) {
    EXPECT_EQ(AsOneLine("Gut\r\ngespielt\nund\rfertig"), "Gut gespielt und fertig");
    EXPECT_EQ(ConfirmPlayLine("Eva"), "Eva hat auf die Spielanfrage reagiert.");

    struct TRow {
        const char* Line;
        const char* Wire;
    };
    const TRow rows[] = {
        {"  1. E2 - E4     E7 - E5  ", "|  1. E2 - E4     E7 - E5  |"},
        {"", "||"},
        {"FINAL COMMENTS", "|FINAL COMMENTS|"},
    };
    for (const TRow& row : rows) {
        EXPECT_EQ(WrapGameLine(row.Line), row.Wire);
        EXPECT_EQ(UnwrapGameLine(row.Wire), row.Line);
    }
    // A "|" inside a framed line survives; lines without a closing frame are cut leniently.
    EXPECT_EQ(UnwrapGameLine("|a|b|"), "a|b");
    EXPECT_EQ(UnwrapGameLine("ohne Rahmen"), "ohne Rahmen");
    EXPECT_EQ(UnwrapGameLine("a|b"), "a");
    EXPECT_EQ(UnwrapGameLine("|abgeschnitten|mit"), "abgeschnitten");
    EXPECT_EQ(UnwrapGameLine("|"), "");

    const auto move = ReceivedMove({"E7 - E8 Q"}, false);
    ASSERT_TRUE(move);
    EXPECT_EQ(move->Promotion, cBlackQueen);
    EXPECT_FALSE(ReceivedMove({}, true));
    EXPECT_FALSE(ReceivedMove({"I2 - E4"}, true));
    EXPECT_FALSE(ReceivedMove({"E9 - E4"}, true));
}

TEST(ConnectionId, EightCapitalsAndDistinct) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::string id = NewConnectionId();
        ASSERT_EQ(id.size(), 9u);
        for (int c = 0; c < 8; ++c)
            EXPECT_TRUE(id[c] >= 'A' && id[c] <= 'Z') << id;
        EXPECT_EQ(id[8], '_');
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 2000u);
    TChessConnection first;
    TChessConnection second;
    EXPECT_NE(first.OwnId, second.OwnId);
}

TEST(ConnectionId, ForkedProcessDrawsItsOwn) {
    static_cast<void>(NewConnectionId());
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        const std::string id = NewConnectionId();
        const bool written = write(pipeEnds[1], id.data(), id.size()) == 9;
        _exit(written ? 0 : 1);
    }
    close(pipeEnds[1]);
    const std::string parentId = NewConnectionId();
    char childId[9];
    EXPECT_EQ(read(pipeEnds[0], childId, sizeof childId), 9);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_NE(parentId, std::string(childId, sizeof childId));
}

TEST_F(NetworkFolderTest, SetPathAddsTheSeparatorAndChecksTheFolder) {
    TChessConnection withSlash;
    EXPECT_EQ(withSlash.SetPath(cKindNetworkFolder, Folder.Path() + "/"),
              TConnectionState::csConnected);
    TChessConnection without;
    EXPECT_EQ(without.SetPath(cKindNetworkFolder, Folder.Path()), TConnectionState::csConnected);
    EXPECT_EQ(without.FolderPath, Folder.Path() + "/");
    EXPECT_EQ(without.TransferFilePath(), withSlash.TransferFilePath());
    EXPECT_EQ(without.TransferFilePath(), TransferFile());

    TChessConnection missing;
    EXPECT_EQ(missing.SetPath(cKindNetworkFolder, Folder.File("fehlt")),
              TConnectionState::csConnectionError);
    EXPECT_EQ(missing.Kind, cKindNetworkFolder);
    EXPECT_EQ(missing.FolderPath, Folder.File("fehlt") + "/");
    // Without a folder nothing may land in the working folder.
    EXPECT_EQ(missing.SetPath(cKindNetworkFolder, ""), TConnectionState::csConnectionError);
    EXPECT_EQ(missing.Send({"1"}, TMessageType::mtAskForPlay), TConnectionState::csUnknown);
    missing.Destroy();
    EXPECT_FALSE(std::filesystem::exists(cTransferFileName));

    TChessConnection local;
    EXPECT_EQ(local.SetPath(cKindNoTransfer, Folder.Path()), TConnectionState::csUnknown);
    EXPECT_EQ(local.FileName, "TAVLOR_TRANS.FER");
    EXPECT_TRUE(local.LocalIsWhite);
    EXPECT_FALSE(local.Connected);
}

TEST_F(NetworkFolderTest, ConnectToPicksTheLastSectionOfThatPlayer) {
    const auto first = Announce("Eva");
    const auto other = Announce("Tom");
    const auto second = Announce("Eva");
    const std::string longName(300, 'x');
    const auto longOne = Announce(longName + "\xC3\xA4");  // ends in "ä"

    const auto me = Open("Ich");
    EXPECT_EQ(me->ConnectTo("Eva"), TConnectionState::csConnected);
    EXPECT_TRUE(me->Connected);
    EXPECT_EQ(me->PeerSection, second->OwnSection());
    EXPECT_EQ(me->PeerName, "Eva");

    EXPECT_EQ(me->ConnectTo(longName + "\xC3\xA4"), TConnectionState::csConnected);
    EXPECT_EQ(me->PeerSection, longOne->OwnSection());
    EXPECT_EQ(me->PeerName, std::string(255, 'x'));

    // No match (names are compared with case): still paired, the section stays.
    const auto again = Open("Ich");
    EXPECT_EQ(again->ConnectTo("eva"), TConnectionState::csConnected);
    EXPECT_TRUE(again->Connected);
    EXPECT_EQ(again->PeerSection, "");

    TChessConnection local;
    EXPECT_EQ(local.ConnectTo("Eva"), TConnectionState::csUnknown);
    EXPECT_FALSE(local.Connected);
}

TEST_F(NetworkFolderTest, PeerNameKeepsWholeCharacters) {
    std::string umlauts;
    for (int i = 0; i < 300; ++i)
        umlauts += "\xC3\xA4";
    const auto peer = Announce(umlauts);
    const auto me = Open("Ich");
    EXPECT_EQ(me->ConnectTo(umlauts), TConnectionState::csConnected);
    EXPECT_EQ(me->PeerName, umlauts.substr(0, 510));
}

TEST_F(NetworkFolderTest, DestroyErasesOnlyTheOwnSection) {
    auto eva = Announce("Eva");
    const auto tom = Announce("Tom");
    eva->Destroy();
    EXPECT_EQ(Sections(), std::vector<std::string>{tom->OwnSection()});
    eva.reset();  // a second erase does no harm
    EXPECT_EQ(Sections(), std::vector<std::string>{tom->OwnSection()});

    // A slot without a transfer file never touches a file.
    std::filesystem::remove(TransferFile());
    {
        TChessConnection local;
        local.OwnName = "Tom";
        EXPECT_EQ(local.Send({"1"}, TMessageType::mtAskForPlay), TConnectionState::csUnknown);
    }
    EXPECT_FALSE(std::filesystem::exists(TransferFile()));
}

TEST_F(NetworkFolderTest, PeerStateSummarisesTheOpponentsSection) {
    const auto peer = Announce("Eva");
    const auto me = Open("Tom");
    EXPECT_EQ(me->PeerState(), TConnectionState::csNotConnected);
    ASSERT_EQ(me->ConnectTo("Eva"), TConnectionState::csConnected);

    struct TRow {
        std::vector<const char*> Keys;
        TConnectionState State;
    };
    const TRow rows[] = {
        {{}, TConnectionState::csWaitingForAnswer},
        {{"Move"}, TConnectionState::csSending},
        {{"Comment"}, TConnectionState::csSending},
        {{"AskForPlay"}, TConnectionState::csUnknown},
        {{"ConfirmPlayOk"}, TConnectionState::csUnknown},
        {{"ResetBoard_0", "ResetBoard_1"}, TConnectionState::csUnknown},
        {{"Move", "EndOfStructure", "ResetBoard_7"}, TConnectionState::csSending},
        {{"Move", "ResetBoardOK"}, TConnectionState::csUnknown},
        {{"PlayOK", "Comment"}, TConnectionState::csSending},
        {{"Unknown"}, TConnectionState::csUnknown},
    };
    for (const TRow& row : rows) {
        TIniFile ini = Ini();
        ASSERT_TRUE(ini.EraseSection(me->PeerSection));
        for (const char* key : row.Keys)
            ASSERT_TRUE(ini.WriteString(me->PeerSection, key, "x"));
        EXPECT_EQ(me->PeerState(), row.State) << (row.Keys.empty() ? "-" : row.Keys.front());
    }
}

// The transfer file replaced by a folder of that name: every read and write of it fails.
TEST_F(NetworkFolderTest, FileFailuresBecomeSendAndReceiveErrors) {
    const auto me = Open("Tom");
    const auto peer = Open("Eva");
    ASSERT_TRUE(std::filesystem::create_directory(TransferFile()));

    EXPECT_EQ(me->Send({"1"}, TMessageType::mtAskForPlay), TConnectionState::csSendError);
    EXPECT_EQ(me->ConnectTo("Eva"), TConnectionState::csConnectionError);
    EXPECT_FALSE(me->Connected);
    me->Connected = true;
    me->PeerSection = peer->OwnSection();
    EXPECT_EQ(me->Send({"E2 - E4  "}, TMessageType::mtMove), TConnectionState::csSendError);
    EXPECT_EQ(me->Send({"|x|"}, TMessageType::mtResetBoard), TConnectionState::csSendError);
    EXPECT_EQ(me->Send({"1"}, TMessageType::mtPlayOK), TConnectionState::csSendError);
    EXPECT_EQ(me->CheckDelivered(), TConnectionState::csSendError);
    EXPECT_EQ(me->PeerState(), TConnectionState::csSendError);

    std::vector<std::string> lines;
    TMessageType type = TMessageType::mtMove;
    EXPECT_EQ(me->Receive(lines, type), TConnectionState::csReceiveError);
    EXPECT_EQ(type, TMessageType::mtUnknown);
    me->Destroy();  // ignored
}

}  // namespace
}  // namespace tavlor
