#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "network/ChessConnection.h"
#include "network/NetworkMessages.h"
#include "rules/ChessBoard.h"

namespace tavlor {

// A message the window shows in its message window: caption "Fehler" for an error, else
// "Information". No text: nothing to show.
struct TNotice {
    bool Error = false;
    std::string Text;
};

// What is left for the window once a received message has done its part to the game and the
// slot; the window carries it out in the order of the fields.
struct TMessageOutcome {
    // A move was made or a game loaded: the board and the record are shown afresh.
    bool BoardChanged = false;
    // The new text of the received comment box: a comment, or the confirmation of a pairing.
    std::optional<std::string> ReceivedText;
    // Players who announce themselves, for the list of possible opponents, and players to take
    // off it; never the local player.
    std::vector<std::string> PlayersToList;
    std::vector<std::string> PlayersToUnlist;
    TNotice Notice;
    // The answer to a game, to be sent through the slot.
    std::optional<TNetworkMessage> Answer;
    // ReceivedText confirms a pairing: the slot pairs with the listed player it names
    // (ConfirmedPlayer), as if that player had been picked from the list.
    bool PairingConfirmed = false;
};

// Acts on one message that `connection` received while its game is the one on `board`:
// - a move is made when it is legal on the board (its promotion piece included) and the record
//   has room; it ends the record as a move made at the board does, and the local player then
//   moves the other colour. A damaged, illegal or surplus move leaves the board as it was and
//   says why.
// - a comment is stored as the received comment of the current half-move.
// - a game is offered to `acceptGame` (the user's answer); an accepted game that can be read
//   replaces the board's, and the local player moves the side to move. A game that is refused
//   or cannot be read leaves the board as it was. Either way the answer goes back.
// - announcements and pairing messages name players for the list; `playerName` is the local
//   player, whose own name is never listed.
TMessageOutcome TakeReceivedMessage(TChessBoard& board, TChessConnection& connection,
                                    std::string_view playerName, const TNetworkMessage& message,
                                    const std::function<bool()>& acceptGame);

// Which of the listed players a pairing's confirmation comes from: the one whose confirmation it
// is word for word ("Eva" must not be taken for "Evan" when both are listed), else the first
// whose name begins it; nothing when no listed name does.
std::optional<std::size_t> ConfirmedPlayer(std::string_view confirmation,
                                           const std::vector<std::string>& listed);

}  // namespace tavlor
