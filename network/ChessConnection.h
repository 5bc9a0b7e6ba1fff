#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "network/NetworkMessages.h"
#include "platform/IniFile.h"
#include "rules/ChessBoard.h"

namespace tavlor {

// The one file in a network folder through which all copies of the program that use the folder
// talk to each other.
inline constexpr std::string_view cTransferFileName = "TAVLOR_TRANS.FER";

// Values of TChessConnection::Kind.
inline constexpr std::uint8_t cKindNoTransfer = 0;  // the game at one board, the computer's game
inline constexpr std::uint8_t cKindNetworkFolder = 1;

// The longest opponent name a slot keeps.
inline constexpr std::size_t cMaxPeerNameLength = 255;

// One opponent slot: the game played in it and, for a network opponent, the way to that opponent
// through the shared transfer file. The file has one section per open connection, named by the
// connection's identifier followed by its player's name; a program reads only its own section
// (and the announcements in all others) and writes into its opponent's.
//
// No operation keeps the file open or caches anything: each one opens the file, does its part
// and closes it, because the copies of the program on other machines change it in between. A
// failure of the file layer is never thrown; it comes back as csSendError or csReceiveError.
class TChessConnection {
public:
    // Draws a fresh identifier; the game starts in the initial position.
    TChessConnection();
    // Removes the own section from the file (see Destroy).
    ~TChessConnection();
    TChessConnection(const TChessConnection&) = delete;
    TChessConnection& operator=(const TChessConnection&) = delete;

    // Stores the kind and the folder. For a network folder the folder gets a trailing "/" and is
    // checked: csConnected if it exists, else csConnectionError. Any other kind gives csUnknown.
    // The file is not touched.
    TConnectionState SetPath(std::uint8_t kind, std::string_view folder);

    // Pairs this slot with the player of that name: the last section in file order whose player
    // name is exactly `playerName` becomes PeerSection. The slot is paired (csConnected) even when
    // no section matched; only a file that cannot be read keeps it unpaired (csConnectionError).
    TConnectionState ConnectTo(std::string_view playerName);

    // Removes the own section from the file, so other players no longer see this one; failures
    // are ignored (the section then stays behind). Runs once; the destructor calls it too.
    void Destroy();

    // Writes one message: an announcement into the own section, a pairing message or a game into
    // the opponent's section at once; moves, comments and the answers to a game only once the
    // previous one has been taken (else csSending and nothing is written). csSent when written,
    // csNotConnected when the type needs a pairing that does not exist, csSendError when the file
    // layer fails or the file would grow beyond what a reader takes (then nothing is written).
    // The section is erased and written in one replacement of the file. A game is written under
    // the keys ResetBoard_<line number>; of any other message only the last line is written, as
    // it is the one the file keeps. Every line goes as one line (line breaks become blanks) and
    // is cut to what a reader takes (ProfileValueCutToReadLimit).
    TConnectionState Send(const std::vector<std::string>& lines, TMessageType type);

    // csSending while the last move, comment or game answer still waits in the opponent's
    // section, csSent once it has been taken.
    TConnectionState CheckDelivered();

    // What the opponent's section holds, for the state label: csSending (a move or comment waits),
    // csUnknown (another message waits), csWaitingForAnswer (empty), csNotConnected, csSendError.
    TConnectionState PeerState();

    // One pass over the file: takes at most one move, comment, game or game answer addressed to
    // this program and collects the names of all announcing players. `type` is mtUnknown when
    // nothing arrived. csReceived, or csReceiveError when the file layer fails.
    TConnectionState Receive(std::vector<std::string>& lines, TMessageType& type);

    // The section this program reads: OwnId followed by OwnName.
    std::string OwnSection() const { return OwnId + OwnName; }
    // FolderPath followed by FileName.
    std::string TransferFilePath() const { return FolderPath + FileName; }
    // The transfer file as every operation opens it.
    TIniFile TransferFile() const;

    std::uint8_t Kind = cKindNoTransfer;
    std::string FolderPath;
    std::string FileName{cTransferFileName};
    std::string OwnId;
    std::string PeerSection;
    bool Connected = false;
    bool LocalIsWhite = true;  // the colour the local player may move in this slot
    std::string LastSentText;  // the last line written under the delivery rule
    TMessageType LastSentType = TMessageType::mtUnknown;
    TChessBoard Game;
    std::string OwnName;
    std::string PeerName;
    std::int32_t SlotNumber = 0;

    // How long Receive lets a sender finish writing a game before it reads the lines, and how it
    // waits: empty, the thread sleeps; the window passes a wait that keeps it painted.
    std::chrono::milliseconds GameTransferWait{1000};
    std::function<void(std::chrono::milliseconds)> Pause;

private:
    enum class TPassStep : std::uint8_t { psGoOn, psEnded, psFailed };

    // Takes the messages of the own section in key order, as far as one that ends the pass.
    TPassStep TakeOwnMessages(TIniFile& file, const std::string& section,
                              const std::vector<std::string>& keys, std::vector<std::string>& lines,
                              TMessageType& type) const;

    // A network slot whose folder was given. An empty folder would name a file in whatever
    // folder the program runs in, so such a slot is treated like one without a transfer file.
    bool HasTransferFile() const { return Kind == cKindNetworkFolder && !FolderPath.empty(); }

    bool FDestroyed = false;
};

// A connection identifier: 8 random capitals and "_". The generator is seeded once per process
// (again after a fork) from the system's entropy source, so connections made in the same second
// or by two programs started together still get sections of their own.
std::string NewConnectionId();

// The player name of a section: the section name from its 10th character on.
std::string PlayerOfSection(std::string_view section);

// Why a player name cannot stand in a section name of the transfer file (German, for the window
// to show before it asks again), or nothing for a good name: "[", "]" and "=" would be read as
// the file's own syntax, a leading ";" and control characters break the line the name is on.
std::optional<std::string> PlayerNameError(std::string_view name);

}  // namespace tavlor
