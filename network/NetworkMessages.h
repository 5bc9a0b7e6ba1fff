#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "notation/SavedGame.h"
#include "rules/ChessBoard.h"
#include "rules/ChessMove.h"

namespace tavlor {

// What a connection operation reports. The numbers index the German names that the window's
// state label shows, so they never change.
enum class TConnectionState : std::uint8_t {
    csUnknown = 0,
    csSending = 1,           // the last message sent still waits in the opponent's section
    csReceiving = 2,         // never reported
    csConnecting = 3,        // never reported
    csDisconnecting = 4,     // never reported
    csWaitingForAnswer = 5,  // the opponent's section is empty
    csSendError = 6,
    csReceiveError = 7,
    csConnectionError = 8,  // the network folder does not exist
    csDisconnectError = 9,  // never reported
    csNotConnected = 10,
    csConnected = 11,
    csSent = 12,
    csReceived = 13,
};

inline constexpr int cConnectionStateCount = 14;

// "Unbekannt", "Sende Daten", ...; the first name for a code outside the table.
const char* ConnectionStateName(TConnectionState state);

// A message in the transfer file. The name of a type is at the same time the key under which the
// message is stored, so both are part of the file format that peers read.
enum class TMessageType : std::uint8_t {
    mtUnknown = 0,  // as a receive result: nothing arrived
    mtMove = 1,
    mtComment = 2,
    mtAskForPlay = 3,
    mtPlayOK = 4,
    mtConfirmPlayOk = 5,
    mtResetBoard = 6,  // a whole game, one key per line: ResetBoard_0, ResetBoard_1, ...
    mtResetBoardOK = 7,
    mtResetBoardReject = 8,
    mtEndOfStructure = 9,  // end of the table, never a message
};

inline constexpr int cMessageTypeCount = 10;

// One message as it is sent or received.
struct TNetworkMessage {
    std::vector<std::string> Lines;
    TMessageType Type = TMessageType::mtUnknown;
};

// "Unknown", "Move", ...; an empty name for a code outside the table.
const char* MessageTypeName(TMessageType type);

// The text a pairing's "ConfirmPlayOk" carries after the sender's player name.
inline constexpr std::string_view cConfirmPlayText = " hat auf die Spielanfrage reagiert.";

// The confirmation of a pairing as the sender writes it.
std::string ConfirmPlayLine(std::string_view playerName);

// One value of the transfer file is one line: a line break (from a pasted comment) would split
// the message and shift a game's lines, so every line break (CR LF, CR or LF) and zero byte
// travels as one blank.
std::string AsOneLine(std::string_view text);

// A game line travels as "|" + line + "|", so that its blanks at both ends survive the trimming of
// the profile layer.
std::string WrapGameLine(std::string_view line);
std::vector<std::string> WrapGameLines(const std::vector<std::string>& lines);

// Undoes the wrapping: a line framed by "|" at both ends loses the two frames and keeps any "|"
// inside. Any other line (a peer that did not wrap, a line cut by the reading buffer) loses a
// leading "|" and is cut before the first "|" that remains.
std::string UnwrapGameLine(std::string_view line);
std::vector<std::string> UnwrapGameLines(const std::vector<std::string>& lines);

// The most lines a game transfer can carry: the longest record a board holds (cMaxHistory
// half-moves) gives the header, one five-line block per move line and the closing block, 2590
// lines. A peer never sends more; a longer "game" is damaged or written to stall the receiver,
// so nobody reads further than one line beyond this.
inline constexpr std::size_t cMaxGameTransferLines =
    static_cast<std::size_t>(cGameHeaderLines) + std::size_t{5} * ((cMaxHistory + 1) / 2 + 1);

// What a game transfer carries: the lines of the saved game, each framed.
std::vector<std::string> GameTransferLines(const TChessBoard& board);

// Replaces the game with the one a transfer brought (the lines as received, still framed), or
// leaves it untouched and says why in German: a game of more than cMaxGameTransferLines lines,
// or any fault the saved game reader finds.
TGameFileStatus LoadTransferredGame(TChessBoard& board, const std::vector<std::string>& received);

// The move of a received "Move" message, in the colour of the side to move on the receiving
// board; nothing when no line arrived or the text is damaged, so no square off the board can
// reach the game.
std::optional<TChessMove> ReceivedMove(const std::vector<std::string>& lines, bool whiteToMove);

}  // namespace tavlor
