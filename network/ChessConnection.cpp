#include "network/ChessConnection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <mutex>
#include <random>
#include <thread>

#include "platform/IniFile.h"

namespace tavlor {

namespace {

constexpr std::size_t cIdLetters = 8;
constexpr std::string_view cGameLinePrefix = "ResetBoard";
// What ReadString gives for a numbered game line that does not exist: the end of the game.
constexpr std::string_view cEndOfGameLines = "-/-/-";
// The default of the delivery check. A value read from the file never holds a line break, so
// this never equals a message that was sent, not even the comment "-?-" (which would otherwise
// look pending forever and block every later message).
constexpr std::string_view cNothingPending = "\n-?-";

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string GameLineKey(std::size_t index) {
    return std::string(MessageTypeName(TMessageType::mtResetBoard)) + "_" + std::to_string(index);
}

bool IsKey(std::string_view key, TMessageType type) {
    return key == MessageTypeName(type);
}

// The first `count` characters of a UTF-8 text.
std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size(); ++end) {
        const bool starts = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (starts && seen++ == count) break;
    }
    return std::string(text.substr(0, end));
}

// The message a key of the own section stands for: mtUnknown for a key that is none, and for
// the lines of a game whose first line is not there. Such a game is incomplete and is left for a
// later pass rather than taken cut short.
TMessageType MessageOfKey(const std::string& key, const std::vector<std::string>& keys) {
    for (TMessageType type :
         {TMessageType::mtResetBoardOK, TMessageType::mtResetBoardReject, TMessageType::mtMove,
          TMessageType::mtComment, TMessageType::mtPlayOK, TMessageType::mtConfirmPlayOk})
        if (IsKey(key, type)) return type;
    if (key.starts_with(cGameLinePrefix) &&
        std::find(keys.begin(), keys.end(), GameLineKey(0)) != keys.end())
        return TMessageType::mtResetBoard;
    return TMessageType::mtUnknown;
}

// A key that is the name of a message type other than the end marker.
bool IsMessageKey(std::string_view key) {
    for (int code = 0; code < cMessageTypeCount; ++code) {
        const auto type = static_cast<TMessageType>(code);
        if (type != TMessageType::mtEndOfStructure && IsKey(key, type)) return true;
    }
    return false;
}

// Pairing messages let the scan go on; everything else is taken one per pass.
bool EndsPass(TMessageType type) {
    return type != TMessageType::mtUnknown && type != TMessageType::mtPlayOK &&
           type != TMessageType::mtConfirmPlayOk;
}

}  // namespace

std::string NewConnectionId() {
    static std::mutex mutex;
    static std::mt19937 generator;
    static pid_t seededFor = 0;
    static std::uint32_t fallbackCount = 0;

    const std::lock_guard<std::mutex> lock(mutex);
    if (seededFor != getpid()) {
        seededFor = getpid();
        try {
            std::random_device device;
            std::seed_seq seeds{device(), device(), device(), device(), device(), device()};
            generator.seed(seeds);
        } catch (const std::exception&) {
            // No entropy source: the clock, the process and a count still keep ids apart.
            const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
            std::seed_seq seeds{static_cast<std::uint32_t>(now),
                                static_cast<std::uint32_t>(static_cast<std::uint64_t>(now) >> 32),
                                static_cast<std::uint32_t>(seededFor), ++fallbackCount};
            generator.seed(seeds);
        }
    }
    std::uniform_int_distribution<int> letter(0, 25);
    std::string id;
    for (std::size_t i = 0; i < cIdLetters; ++i)
        id += static_cast<char>('A' + letter(generator));
    id += '_';
    return id;
}

std::string PlayerOfSection(std::string_view section) {
    return section.size() > cIdLetters + 1 ? std::string(section.substr(cIdLetters + 1)) : "";
}

TChessConnection::TChessConnection() : OwnId(NewConnectionId()) {}

TChessConnection::~TChessConnection() {
    Destroy();
}

TConnectionState TChessConnection::SetPath(std::uint8_t kind, std::string_view folder) {
    Kind = kind;
    FolderPath = folder;
    if (Kind != cKindNetworkFolder) return TConnectionState::csUnknown;
    // An empty folder would name a file in whatever folder the program runs in.
    if (FolderPath.empty()) return TConnectionState::csConnectionError;
    if (FolderPath.back() != '/') FolderPath += '/';
    return IsDirectory(FolderPath) ? TConnectionState::csConnected
                                   : TConnectionState::csConnectionError;
}

TConnectionState TChessConnection::ConnectTo(std::string_view playerName) {
    if (!HasTransferFile()) return TConnectionState::csUnknown;
    std::vector<std::string> sections;
    if (!TIniFile(TransferFilePath()).ReadSections(sections))
        return TConnectionState::csConnectionError;
    for (const std::string& section : sections) {
        const std::string player = PlayerOfSection(section);
        if (player != playerName) continue;
        PeerSection = section;
        PeerName = FirstCharacters(player, cMaxPeerNameLength);
    }
    Connected = true;
    return TConnectionState::csConnected;
}

void TChessConnection::Destroy() {
    if (FDestroyed) return;
    FDestroyed = true;
    if (!HasTransferFile()) return;
    static_cast<void>(TIniFile(TransferFilePath()).EraseSection(OwnSection()));
}

TConnectionState TChessConnection::Send(const std::vector<std::string>& lines, TMessageType type) {
    if (!HasTransferFile()) return TConnectionState::csUnknown;
    TIniFile file(TransferFilePath());
    const std::string key = MessageTypeName(type);

    // Erases the section and writes every line under the key; the file keeps the last line.
    // Only a message under the delivery rule is remembered for CheckDelivered.
    const auto replaceSection = [&](const std::string& section, bool remember) {
        if (!file.EraseSection(section)) return TConnectionState::csSendError;
        for (const std::string& text : lines) {
            const std::string line = AsOneLine(text);
            if (!file.WriteString(section, key, line)) return TConnectionState::csSendError;
            if (!remember) continue;
            LastSentText = line;
            LastSentType = type;
        }
        return TConnectionState::csSent;
    };

    switch (type) {
        case TMessageType::mtAskForPlay:
            return replaceSection(OwnSection(), false);
        case TMessageType::mtPlayOK:
        case TMessageType::mtConfirmPlayOk:
            return replaceSection(PeerSection, false);
        default:
            break;
    }
    if (!Connected) return TConnectionState::csNotConnected;

    if (type == TMessageType::mtResetBoard) {
        if (!file.EraseSection(PeerSection)) return TConnectionState::csSendError;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string line = AsOneLine(lines[i]);
            if (!file.WriteString(PeerSection, GameLineKey(i), line))
                return TConnectionState::csSendError;
            LastSentText = line;
            LastSentType = type;
        }
        return TConnectionState::csSent;
    }

    const TConnectionState delivered = CheckDelivered();
    if (delivered != TConnectionState::csSent) return delivered;
    return replaceSection(PeerSection, true);
}

TConnectionState TChessConnection::CheckDelivered() {
    if (!HasTransferFile()) return TConnectionState::csUnknown;
    std::string value;
    if (!TIniFile(TransferFilePath())
             .ReadString(PeerSection, MessageTypeName(LastSentType), cNothingPending, value))
        return TConnectionState::csSendError;
    // Compared with the line as the file gives it back, or a quoted or long comment would count
    // as taken while it still waits, and the next message would overwrite it.
    return value == ProfileValueReadBack(LastSentText) ? TConnectionState::csSending
                                                       : TConnectionState::csSent;
}

TConnectionState TChessConnection::PeerState() {
    if (!HasTransferFile()) return TConnectionState::csUnknown;
    if (!Connected) return TConnectionState::csNotConnected;
    std::vector<std::string> keys;
    if (!TIniFile(TransferFilePath()).ReadSection(PeerSection, keys))
        return TConnectionState::csSendError;
    if (keys.empty()) return TConnectionState::csWaitingForAnswer;
    // The last key that names a message decides; numbered game lines and the end marker do not.
    TConnectionState state = TConnectionState::csUnknown;
    for (const std::string& key : keys) {
        if (IsKey(key, TMessageType::mtMove) || IsKey(key, TMessageType::mtComment))
            state = TConnectionState::csSending;
        else if (IsMessageKey(key))
            state = TConnectionState::csUnknown;
    }
    return state;
}

TChessConnection::TPassStep TChessConnection::TakeOwnMessages(TIniFile& file,
                                                              const std::string& section,
                                                              const std::vector<std::string>& keys,
                                                              std::vector<std::string>& lines,
                                                              TMessageType& type) const {
    // The key list was read once: a key after one that erased the section is still handled and
    // then reads its default.
    std::string value;
    for (const std::string& key : keys) {
        const TMessageType found = MessageOfKey(key, keys);
        switch (found) {
            case TMessageType::mtUnknown:
                continue;
            case TMessageType::mtPlayOK:
                // The name of this section is the receiver's own.
                lines.assign(1, PlayerOfSection(section));
                break;
            case TMessageType::mtResetBoard:
                // A sender that writes the first line first may still be writing the rest.
                std::this_thread::sleep_for(GameTransferWait);
                lines.clear();
                for (std::size_t n = 0;; ++n) {
                    if (!file.ReadString(section, GameLineKey(n), cEndOfGameLines, value))
                        return TPassStep::psFailed;
                    if (value == cEndOfGameLines) break;
                    lines.push_back(value);
                }
                break;
            default:
                if (!file.ReadString(section, key, "", value)) return TPassStep::psFailed;
                lines.assign(1, value);
                break;
        }
        if (!file.EraseSection(section)) return TPassStep::psFailed;
        type = found;
        if (EndsPass(found)) return TPassStep::psEnded;
    }
    return TPassStep::psGoOn;
}

TConnectionState TChessConnection::Receive(std::vector<std::string>& lines, TMessageType& type) {
    type = TMessageType::mtUnknown;
    lines.clear();
    if (!HasTransferFile()) return TConnectionState::csUnknown;
    TIniFile file(TransferFilePath());
    // A failed pass reports nothing, whatever it had found before the failure.
    const auto fail = [&type] {
        type = TMessageType::mtUnknown;
        return TConnectionState::csReceiveError;
    };
    std::vector<std::string> sections;
    if (!file.ReadSections(sections)) return fail();
    // Recognised the way the file lists it, so that a player name with an outer blank or a
    // character without a Windows-1252 form still finds its messages.
    const std::string ownSection = ProfileNameAsListed(OwnSection());

    // A move, comment, game or game answer in the own section decides the pass alone: taking it
    // drops whatever the sections before it gave and ends the scan. Looking at the own section
    // first spares reading every other player's section in that case.
    std::vector<std::string> keys;
    if (!file.ReadSection(ownSection, keys)) return fail();
    if (std::any_of(keys.begin(), keys.end(), [&keys](const std::string& key) {
            return EndsPass(MessageOfKey(key, keys));
        })) {
        const TPassStep step = TakeOwnMessages(file, ownSection, keys, lines, type);
        return step == TPassStep::psFailed ? fail() : TConnectionState::csReceived;
    }

    for (const std::string& section : sections) {
        if (!file.ReadSection(section, keys)) return fail();
        if (section == ownSection) {
            const TPassStep step = TakeOwnMessages(file, section, keys, lines, type);
            if (step == TPassStep::psFailed) return fail();
            if (step == TPassStep::psEnded) return TConnectionState::csReceived;
            continue;
        }
        // A pairing message taken earlier in this pass is gone from the file, while an
        // announcement is found again by the next pass: the former must not be displaced.
        if (type == TMessageType::mtPlayOK || type == TMessageType::mtConfirmPlayOk) continue;
        for (const std::string& key : keys)
            if (IsKey(key, TMessageType::mtAskForPlay)) {
                type = TMessageType::mtAskForPlay;
                lines.push_back(PlayerOfSection(section));
            }
    }
    return TConnectionState::csReceived;
}

}  // namespace tavlor
