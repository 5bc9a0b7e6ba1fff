#include "network/ChessConnection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <mutex>
#include <random>
#include <thread>

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
// the lines of a game whose first line is not there (`hasFirstGameLine`, found once for all
// keys). Such a game is incomplete and is left for a later pass rather than taken cut short.
TMessageType MessageOfKey(const std::string& key, bool hasFirstGameLine) {
    for (TMessageType type :
         {TMessageType::mtResetBoardOK, TMessageType::mtResetBoardReject, TMessageType::mtMove,
          TMessageType::mtComment, TMessageType::mtPlayOK, TMessageType::mtConfirmPlayOk})
        if (IsKey(key, type)) return type;
    if (key.starts_with(cGameLinePrefix) && hasFirstGameLine) return TMessageType::mtResetBoard;
    return TMessageType::mtUnknown;
}

bool HasFirstGameLine(const std::vector<std::string>& keys) {
    return std::find(keys.begin(), keys.end(), GameLineKey(0)) != keys.end();
}

// The number n of a key "ResetBoard_n", found the way a profile read finds that key (without
// regard to case, no leading zeros); nothing for any other key.
std::optional<std::size_t> GameLineNumber(std::string_view key) {
    const std::string_view prefix = "resetboard_";
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 9) return std::nullopt;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(key[i])) != prefix[i]) return std::nullopt;
    const std::string_view digits = key.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string_view::npos ||
        (digits.size() > 1 && digits.front() == '0'))
        return std::nullopt;
    return static_cast<std::size_t>(std::stoul(std::string(digits)));
}

// The lines of a game as one read of each numbered key would give them: from line 0 up to the
// first that is missing (or holds the end mark), the first entry of a key counting. One line more
// than a game can have is kept, so that the loader can tell that the game is too long.
std::vector<std::string> GameLinesOf(const std::vector<TIniEntry>& entries) {
    std::vector<const std::string*> byNumber(cMaxGameTransferLines + 1, nullptr);
    for (const TIniEntry& entry : entries) {
        const std::optional<std::size_t> number = GameLineNumber(entry.Key);
        if (number && *number < byNumber.size() && byNumber[*number] == nullptr)
            byNumber[*number] = &entry.Value;
    }
    std::vector<std::string> lines;
    for (const std::string* value : byNumber) {
        if (value == nullptr || *value == cEndOfGameLines) break;
        lines.push_back(*value);
    }
    return lines;
}

// A line as it goes into the file: one line, and no longer than a reader takes.
std::string OutgoingLine(std::string_view text) {
    return ProfileValueCutToReadLimit(AsOneLine(text));
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

std::optional<std::string> PlayerNameError(std::string_view name) {
    if (name.find_first_of("[]") != std::string_view::npos)
        return "Der Name darf keine eckigen Klammern ([ oder ]) enthalten.";
    if (name.find('=') != std::string_view::npos)
        return "Der Name darf kein Gleichheitszeichen (=) enthalten.";
    if (name.starts_with(';')) return "Der Name darf nicht mit einem Semikolon (;) beginnen.";
    // C0 controls and DEL, and the C1 controls U+0080 to U+009F (UTF-8 C2 80 to C2 9F).
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool c1 = c == 0xC2 && i + 1 < name.size() &&
                        static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(name[i + 1]) <= 0x9F;
        if (c < 0x20 || c == 0x7F || c1) return "Der Name darf keine Steuerzeichen enthalten.";
    }
    return std::nullopt;
}

TChessConnection::TChessConnection() : OwnId(NewConnectionId()) {}

TIniFile TChessConnection::TransferFile() const {
    // Peers rewrite the file many times a second; waiting for the disk on every write would only
    // slow the game down, while the atomic replacement already keeps readers from half a file.
    return TIniFile(TransferFilePath(), TDurability::dbAtomicOnly);
}

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
    if (!TransferFile().ReadSections(sections)) return TConnectionState::csConnectionError;
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
    static_cast<void>(TransferFile().EraseSection(OwnSection()));
}

TConnectionState TChessConnection::Send(const std::vector<std::string>& lines, TMessageType type) {
    if (!HasTransferFile()) return TConnectionState::csUnknown;
    // The section is erased and the message written in one replacement of the file, so a peer
    // never takes half a game, nor an answer line by line. A game keeps every line under its own
    // number; any other message keeps only its last line under its type's name, so only that one
    // is written (the file ends up as it always did).
    std::vector<TIniEntry> entries;
    if (type == TMessageType::mtResetBoard) {
        entries.reserve(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            entries.push_back({GameLineKey(i), OutgoingLine(lines[i])});
    } else if (!lines.empty()) {
        entries.push_back({MessageTypeName(type), OutgoingLine(lines.back())});
    }
    const auto replaceSection = [&](const std::string& section) {
        return TransferFile().ReplaceSection(section, entries) ? TConnectionState::csSent
                                                               : TConnectionState::csSendError;
    };

    switch (type) {
        case TMessageType::mtAskForPlay:
            return replaceSection(OwnSection());
        case TMessageType::mtPlayOK:
        case TMessageType::mtConfirmPlayOk:
            return replaceSection(PeerSection);
        default:
            break;
    }
    if (!Connected) return TConnectionState::csNotConnected;
    // A game replaces whatever was pending; everything else waits until the last message has
    // been taken.
    if (type != TMessageType::mtResetBoard) {
        const TConnectionState delivered = CheckDelivered();
        if (delivered != TConnectionState::csSent) return delivered;
    }
    const TConnectionState written = replaceSection(PeerSection);
    if (written == TConnectionState::csSent && !entries.empty()) {
        // Only a message under the delivery rule is looked for by CheckDelivered.
        LastSentText = entries.back().Value;
        LastSentType = type;
    }
    return written;
}

TConnectionState TChessConnection::CheckDelivered() {
    if (!HasTransferFile()) return TConnectionState::csUnknown;
    std::string value;
    if (!TransferFile().ReadString(PeerSection, MessageTypeName(LastSentType), cNothingPending,
                                   value))
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
    if (!TransferFile().ReadSection(PeerSection, keys)) return TConnectionState::csSendError;
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
    std::vector<TIniEntry> entries;
    const bool hasFirstGameLine = HasFirstGameLine(keys);
    for (const std::string& key : keys) {
        const TMessageType found = MessageOfKey(key, hasFirstGameLine);
        switch (found) {
            case TMessageType::mtUnknown:
                continue;
            case TMessageType::mtPlayOK:
                // The name of this section is the receiver's own.
                lines.assign(1, PlayerOfSection(section));
                break;
            case TMessageType::mtResetBoard:
                // A peer that writes a game line by line may still be writing the rest.
                if (Pause)
                    Pause(GameTransferWait);
                else
                    std::this_thread::sleep_for(GameTransferWait);
                // All lines from one read of the file: one read per line would parse the whole
                // file each time, and a section of thousands of lines would freeze the window.
                if (!file.ReadSectionValues(section, entries)) return TPassStep::psFailed;
                lines = GameLinesOf(entries);
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
    TIniFile file = TransferFile();
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
    const bool hasFirstGameLine = HasFirstGameLine(keys);
    if (std::any_of(keys.begin(), keys.end(), [hasFirstGameLine](const std::string& key) {
            return EndsPass(MessageOfKey(key, hasFirstGameLine));
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
