// A transfer file as peers (or a damaged share) left it: the messages this program takes from
// it, and what becomes of each in the game of the slot: a received move made when it is legal, a
// comment stored, a whole game read, the answers sent back into the file.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "network/ChessConnection.h"
#include "notation/SavedGame.h"
#include "rules/MoveGeneration.h"

using namespace tavlor;

namespace {

// The seeds address this section; the peer's is the one the answers go to.
constexpr const char* cOwnId = "FUZZFUZZ_";
constexpr const char* cOwnName = "Fuzz";
constexpr const char* cPeerSection = "PEERPEER_Peer";
// A file holds few messages for this program; each pass takes one.
constexpr int cMaxPasses = 4;

void TakeMove(TChessConnection& connection, const std::vector<std::string>& lines) {
    fuzz::Check(lines.size() == 1, "a move came as several lines");
    TChessBoard& game = connection.Game;
    const std::optional<TChessMove> move = ReceivedMove(lines, game.IsWhiteToMove());
    if (!move || !IsLegalMove(game, *move)) return;
    const bool bothKings = game.HasBothKings();
    game.HistoryTop = 0;
    if (!game.MakeMove(*move)) return;
    if (game.IsPromotionPending() && move->Promotion != cEmpty)
        game.SetPromotionPiece(move->Promotion);
    fuzz::Check(!bothKings || game.HasBothKings(), "a received move changed the kings",
                lines.front());
    static_cast<void>(game.CheckGameEnd());
}

void TakeGame(TChessConnection& connection, const std::vector<std::string>& lines) {
    TChessBoard game = connection.Game;
    const TGameFileStatus status = ReadGameLines(game, UnwrapGameLines(lines));
    const TMessageType answer =
        status ? TMessageType::mtResetBoardOK : TMessageType::mtResetBoardReject;
    if (status) {
        connection.Game = game;
        fuzz::ExercisePosition(connection.Game, false);
    }
    static_cast<void>(connection.Send({std::string(MessageTypeName(answer))}, answer));
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

    for (int pass = 0; pass < cMaxPasses; ++pass) {
        std::vector<std::string> lines;
        TMessageType type = TMessageType::mtUnknown;
        const TConnectionState state = connection.Receive(lines, type);
        fuzz::Check(state == TConnectionState::csReceived, "the file could not be read");
        fuzz::Check(static_cast<int>(type) < cMessageTypeCount, "unknown message type");
        switch (type) {
            case TMessageType::mtUnknown:
                pass = cMaxPasses;
                break;
            case TMessageType::mtMove:
                TakeMove(connection, lines);
                break;
            case TMessageType::mtComment:
                fuzz::Check(lines.size() == 1, "a comment came as several lines");
                connection.Game.SetComment(1, connection.Game.PlyCount, lines.front());
                break;
            case TMessageType::mtResetBoard:
                TakeGame(connection, lines);
                break;
            case TMessageType::mtAskForPlay:
                // The window lists the players; choosing one pairs the slot with it.
                fuzz::Check(!lines.empty(), "an announcement without a player");
                static_cast<void>(connection.ConnectTo(lines.back()));
                static_cast<void>(connection.Send({std::string(cOwnName)}, TMessageType::mtPlayOK));
                pass = cMaxPasses;  // announcements stay in the file
                break;
            case TMessageType::mtPlayOK:
                fuzz::Check(lines.size() == 1, "a pairing came as several lines");
                static_cast<void>(
                    connection.Send({ConfirmPlayLine(cOwnName)}, TMessageType::mtConfirmPlayOk));
                break;
            default:
                break;
        }
    }
    static_cast<void>(connection.PeerState());
    static_cast<void>(connection.CheckDelivered());
    static_cast<void>(connection.Send({"E2 - E4  "}, TMessageType::mtMove));
    return 0;
}
