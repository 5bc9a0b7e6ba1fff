#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <utility>

#include "tests/network/NetworkTestSupport.h"

namespace tavlor {
namespace {

using enum TConnectionState;
using enum TMessageType;
using testing::NetworkFolderTest;
using testing::TStrings;

TEST(NetworkText, LenientUnwrapping) {
    // A framed line keeps a "|" inside; a line without a whole frame is cut at the first "|".
    const std::pair<const char*, const char*> rows[] = {
        {"|a|b|", "a|b"}, {"||", ""}, {"ohne Rahmen", "ohne Rahmen"},
        {"a|b", "a"},     {"|", ""},  {"|abgeschnitten|mit", "abgeschnitten"},
    };
    for (const auto& [wire, line] : rows)
        EXPECT_EQ(UnwrapGameLine(wire), line) << wire;
}

TEST(PlayerName, CharactersThatWouldBreakTheTransferFileAreRefused) {
    const std::pair<const char*, const char*> rows[] = {
        {"Eva", nullptr},
        {"Jörg Müller-Lüdenscheid; 2. Brett", nullptr},
        {"Tom \u20ac \u4e2d", nullptr},
        {"[Eva]", "Der Name darf keine eckigen Klammern ([ oder ]) enthalten."},
        {"a=b", "Der Name darf kein Gleichheitszeichen (=) enthalten."},
        {";Eva", "Der Name darf nicht mit einem Semikolon (;) beginnen."},
        {"Eva\tTom", "Der Name darf keine Steuerzeichen enthalten."},
        {"Eva\u0085", "Der Name darf keine Steuerzeichen enthalten."},
    };
    for (const auto& [name, reason] : rows)
        EXPECT_EQ(PlayerNameError(name), reason ? std::optional<std::string>(reason) : std::nullopt)
            << name;
}

TEST(ConnectionId, EightCapitalsDistinctAlsoAfterAFork) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::string id = NewConnectionId();
        ASSERT_TRUE(id.size() == 9 && id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == 8 &&
                    id[8] == '_')
            << id;
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 2000u);

    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) _exit(write(pipeEnds[1], NewConnectionId().data(), 9) == 9 ? 0 : 1);
    close(pipeEnds[1]);
    char childId[9];
    EXPECT_EQ(read(pipeEnds[0], childId, sizeof childId), 9);
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    EXPECT_NE(NewConnectionId(), std::string(childId, sizeof childId));
}

TEST_F(NetworkFolderTest, SetPathAddsTheSeparatorAndChecksTheFolder) {
    TChessConnection slot;
    for (const std::string& folder : {Folder.Path(), Folder.Path() + "/"}) {
        EXPECT_EQ(slot.SetPath(cKindNetworkFolder, folder), csConnected);
        EXPECT_EQ(slot.TransferFilePath(), Folder.File("TAVLOR_TRANS.FER"));
    }
    // Peers rewrite it many times a second; no write waits for the disk.
    EXPECT_EQ(slot.TransferFile().Durability(), TDurability::dbAtomicOnly);
    EXPECT_EQ(slot.SetPath(cKindNetworkFolder, Folder.File("fehlt")), csConnectionError);
    // Without a transfer file, or without a folder, nothing touches a file.
    EXPECT_EQ(slot.SetPath(cKindNoTransfer, Folder.Path()), csUnknown);
    EXPECT_EQ(slot.Send({"1"}, mtAskForPlay), csUnknown);
    EXPECT_EQ(slot.ConnectTo("Eva"), csUnknown);
    EXPECT_EQ(slot.SetPath(cKindNetworkFolder, ""), csConnectionError);
    EXPECT_EQ(slot.Send({"1"}, mtAskForPlay), csUnknown);
    slot.Destroy();
    EXPECT_FALSE(std::filesystem::exists(Folder.File(cTransferFileName)));
    EXPECT_FALSE(std::filesystem::exists(cTransferFileName));
}

TEST_F(NetworkFolderTest, ConnectToPicksTheLastSectionOfThatPlayer) {
    const auto first = Announce("Eva");
    const auto second = Announce("Eva");
    std::string umlauts;
    for (int i = 0; i < 300; ++i)
        umlauts += "\xC3\xA4";
    const auto longOne = Announce(umlauts);

    const auto me = Open("Ich");
    EXPECT_EQ(me->ConnectTo("Eva"), csConnected);
    EXPECT_EQ(me->PeerSection, second->OwnSection());
    EXPECT_EQ(me->ConnectTo(umlauts), csConnected);
    EXPECT_EQ(me->PeerSection, longOne->OwnSection());
    EXPECT_EQ(me->PeerName, umlauts.substr(0, 2 * cMaxPeerNameLength));
    // Names are compared with case: no match, paired all the same.
    const auto again = Open("Ich");
    EXPECT_EQ(again->ConnectTo("eva"), csConnected);
    EXPECT_TRUE(again->Connected);
    EXPECT_EQ(again->PeerSection, "");
}

TEST_F(NetworkFolderTest, UnpairedSendsOnlyAnnouncementsAndDestroyErasesTheOwnSection) {
    const auto me = Announce("Tom");
    auto eva = Announce("Eva");
    for (TMessageType type : {mtMove, mtComment, mtResetBoard, mtResetBoardOK})
        EXPECT_EQ(me->Send({"x"}, type), csNotConnected);
    EXPECT_EQ(me->PeerState(), csNotConnected);
    EXPECT_EQ(KeysOf(me->OwnSection()), TStrings{"AskForPlay"});
    eva->Destroy();
    EXPECT_EQ(Sections(), TStrings{me->OwnSection()});
}

TEST_F(NetworkFolderTest, PeerStateSummarisesTheOpponentsSection) {
    const auto peer = Announce("Eva");
    const auto me = Open("Tom");
    ASSERT_EQ(me->ConnectTo("Eva"), csConnected);
    struct TRow {
        std::vector<const char*> Keys;
        TConnectionState State;
    };
    const TRow rows[] = {
        {{}, csWaitingForAnswer},
        {{"Move"}, csSending},
        {{"ConfirmPlayOk"}, csUnknown},
        {{"Move", "EndOfStructure", "ResetBoard_7"}, csSending},
        {{"Move", "ResetBoardOK"}, csUnknown},
        {{"PlayOK", "Comment"}, csSending},
    };
    for (const auto& [keys, state] : rows) {
        TIniFile ini = Ini();
        ASSERT_TRUE(ini.EraseSection(me->PeerSection));
        for (const char* key : keys)
            ASSERT_TRUE(ini.WriteString(me->PeerSection, key, "x"));
        EXPECT_EQ(me->PeerState(), state) << (keys.empty() ? "-" : keys.back());
    }
}

// The transfer file replaced by a folder or a FIFO of that name: every read and write of it fails,
// and none waits for a writer of the FIFO.
TEST_F(NetworkFolderTest, FileFailuresBecomeSendAndReceiveErrors) {
    const std::string fileName = Folder.File(cTransferFileName);
    const std::function<void()> makeFolder = [&] {
        ASSERT_TRUE(std::filesystem::create_directory(fileName));
    };
    const std::function<void()> makeFifo = [&] { ASSERT_EQ(mkfifo(fileName.c_str(), 0600), 0); };
    for (const auto& make : {makeFolder, makeFifo}) {
        std::filesystem::remove(fileName);
        make();
        const auto me = Open("Tom");
        const auto expect = [&](TConnectionState state,
                                const std::function<TConnectionState()>& call) {
            TConnectionState got = csUnknown;
            EXPECT_TRUE(testing::ReturnsWithoutWaitingOn(fileName, [&] { got = call(); }));
            EXPECT_EQ(got, state);
        };
        expect(csSendError, [&] { return me->Send({"1"}, mtAskForPlay); });
        expect(csConnectionError, [&] { return me->ConnectTo("Eva"); });
        me->Connected = true;
        me->PeerSection = "ABCDEFGH_Eva";
        for (TMessageType type : {mtMove, mtResetBoard, mtPlayOK})
            expect(csSendError, [&] { return me->Send({"x"}, type); });
        expect(csSendError, [&] { return me->CheckDelivered(); });
        expect(csSendError, [&] { return me->PeerState(); });
        TStrings lines;
        TMessageType type = mtMove;
        expect(csReceiveError, [&] { return me->Receive(lines, type); });
        EXPECT_EQ(type, mtUnknown);
    }
}

}  // namespace
}  // namespace tavlor
