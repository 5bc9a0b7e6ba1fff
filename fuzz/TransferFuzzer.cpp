// A transfer file as peers (or a damaged share) left it: the messages this program takes from
// it, each acted on as the window acts on it (TakeReceivedMessage) with the game of the slot,
// every game offered accepted, the answers sent back into the file, and pairings made as picking
// a player of the list of possible opponents makes them.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "network/ChessConnection.h"
#include "network/ReceivedMessage.h"
#include "notation/SavedGame.h"

using namespace tavlor;

namespace {

// The seeds address this section; the peer's is the one the answers go to.
constexpr const char* cOwnId = "FUZZFUZZ_";
constexpr const char* cOwnName = "Fuzz";
constexpr const char* cPeerSection = "PEERPEER_Peer";
constexpr const char* cPeerName = "Peer";
// A file holds few messages for this program; each pass takes one.
constexpr int cMaxPasses = 4;

// What picking a player of the list does to the slot.
void PairWith(TChessConnection& connection, const std::string& player) {
    if (connection.ConnectTo(player) != TConnectionState::csConnected) return;
    static_cast<void>(connection.Send({"1"}, TMessageType::mtPlayOK));
    static_cast<void>(connection.Send({ConfirmPlayLine(cOwnName)}, TMessageType::mtConfirmPlayOk));
}

void CheckMove(TChessBoard& game, const TChessConnection& connection,
               const TMessageOutcome& outcome, std::int32_t plyCountBefore, bool bothKingsBefore,
               const std::string& text) {
    fuzz::Check(outcome.BoardChanged == outcome.Notice.Text.empty(),
                "a move neither made nor refused, or both", text);
    fuzz::Check(game.PlyCount == plyCountBefore + (outcome.BoardChanged ? 1 : 0),
                "a received move changed the record wrongly", text);
    if (!outcome.BoardChanged) return;
    fuzz::Check(!bothKingsBefore || game.HasBothKings(), "a received move changed the kings", text);
    fuzz::Check(!game.IsPromotionPending(), "a received promotion left without its piece", text);
    fuzz::Check(connection.LocalIsWhite == game.IsWhiteToMove(),
                "after a received move the local player may move the wrong side", text);
    static_cast<void>(game.CheckGameEnd());
}

void CheckGame(TChessBoard& game, const TMessageOutcome& outcome,
               const std::vector<std::string>& gameBefore) {
    fuzz::Check(outcome.Answer.has_value(), "a game without an answer");
    if (outcome.BoardChanged) {
        fuzz::Check(outcome.Answer->Type == TMessageType::mtResetBoardOK, "a loaded game rejected");
        fuzz::ExercisePosition(game, false);
        return;
    }
    fuzz::Check(
        outcome.Answer->Type == TMessageType::mtResetBoardReject && !outcome.Notice.Text.empty(),
        "a game neither loaded nor refused with a reason");
    fuzz::Check(WriteGameLines(game) == gameBefore, "a refused game changed the board");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::InputText(data, size);
    static_cast<void>(fuzz::ScratchFile(std::string(cTransferFileName), bytes));
    TChessConnection connection;
    connection.OwnId = cOwnId;
    connection.OwnName = cOwnName;
    connection.GameTransferWait = std::chrono::milliseconds(0);
    fuzz::Check(connection.SetPath(cKindNetworkFolder, fuzz::ScratchFolder()) ==
                    TConnectionState::csConnected,
                "scratch folder refused");
    connection.PeerSection = cPeerSection;
    connection.Connected = true;
    // The list of possible opponents as an earlier poll left it.
    std::vector<std::string> listed = {cPeerName};
    const auto acceptGame = [] { return true; };

    for (int pass = 0; pass < cMaxPasses; ++pass) {
        TNetworkMessage message;
        const TConnectionState state = connection.Receive(message.Lines, message.Type);
        fuzz::Check(state == TConnectionState::csReceived, "the file could not be read");
        fuzz::Check(static_cast<int>(message.Type) < cMessageTypeCount, "unknown message type");
        if (message.Type == TMessageType::mtUnknown) break;
        const bool oneLine = message.Type != TMessageType::mtAskForPlay &&
                             message.Type != TMessageType::mtResetBoard;
        fuzz::Check(!oneLine || message.Lines.size() == 1, "a message came as several lines");
        fuzz::Check(message.Type == TMessageType::mtResetBoard || !message.Lines.empty(),
                    "a message without a line");

        TChessBoard& game = connection.Game;
        const std::int32_t plyCountBefore = game.PlyCount;
        const bool bothKingsBefore = game.HasBothKings();
        std::vector<std::string> gameBefore;
        if (message.Type == TMessageType::mtResetBoard) gameBefore = WriteGameLines(game);

        const TMessageOutcome outcome =
            TakeReceivedMessage(game, connection, cOwnName, message, acceptGame);
        for (const std::string& player : outcome.PlayersToList) {
            fuzz::Check(player != cOwnName, "the own name listed");
            if (std::find(listed.begin(), listed.end(), player) == listed.end())
                listed.push_back(player);
        }
        for (const std::string& player : outcome.PlayersToUnlist)
            std::erase(listed, player);
        if (outcome.Answer)
            static_cast<void>(connection.Send(outcome.Answer->Lines, outcome.Answer->Type));

        switch (message.Type) {
            case TMessageType::mtMove:
                CheckMove(game, connection, outcome, plyCountBefore, bothKingsBefore,
                          message.Lines.front());
                break;
            case TMessageType::mtResetBoard:
                CheckGame(game, outcome, gameBefore);
                break;
            case TMessageType::mtAskForPlay:
                // Announcements stay in the file: the next passes would only find them again.
                if (!listed.empty()) PairWith(connection, listed.back());
                pass = cMaxPasses;
                break;
            case TMessageType::mtConfirmPlayOk:
                fuzz::Check(outcome.PairingConfirmed && outcome.ReceivedText.has_value(),
                            "a confirmation that pairs nobody");
                if (const auto picked = ConfirmedPlayer(*outcome.ReceivedText, listed)) {
                    fuzz::Check(*picked < listed.size(), "a confirmation of nobody listed");
                    const std::string player = listed[*picked];
                    std::erase(listed, player);
                    PairWith(connection, player);
                }
                break;
            default:
                fuzz::Check(!outcome.BoardChanged,
                            "a message without a move or game changed the board");
                break;
        }
    }
    static_cast<void>(connection.PeerState());
    static_cast<void>(connection.CheckDelivered());
    static_cast<void>(connection.Send({"E2 - E4  "}, TMessageType::mtMove));
    return 0;
}
