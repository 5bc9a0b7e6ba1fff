#include "network/NetworkMessages.h"

#include <array>

#include "notation/MoveText.h"

namespace tavlor {

namespace {

constexpr std::array<const char*, cConnectionStateCount> cConnectionStateNames = {
    "Unbekannt",               // 0
    "Sende Daten",             // 1
    "Empfange Daten",          // 2
    "Verbindungsaufbau",       // 3
    "Verbindungsabbau",        // 4
    "Warte auf Antwort",       // 5
    "Sendefehler",             // 6
    "Empfangsfehler",          // 7
    "Verbindungsfehler",       // 8
    "Verbindungsabbaufehler",  // 9
    "Nicht verbunden",         // 10
    "Verbunden",               // 11
    "Gesendet",                // 12
    "Empfangen",               // 13
};

constexpr std::array<const char*, cMessageTypeCount> cMessageTypeNames = {
    "Unknown",       "Move",       "Comment",      "AskForPlay",       "PlayOK",
    "ConfirmPlayOk", "ResetBoard", "ResetBoardOK", "ResetBoardReject", "EndOfStructure",
};

constexpr char cGameLineFrame = '|';

}  // namespace

const char* ConnectionStateName(TConnectionState state) {
    const auto code = static_cast<std::size_t>(state);
    return code < cConnectionStateNames.size() ? cConnectionStateNames[code]
                                               : cConnectionStateNames[0];
}

const char* MessageTypeName(TMessageType type) {
    const auto code = static_cast<std::size_t>(type);
    // cppcheck-suppress CastIntegerToAddressAtReturn ; both branches are texts, no integer
    return code < cMessageTypeNames.size() ? cMessageTypeNames[code] : "";
}

std::string ConfirmPlayLine(std::string_view playerName) {
    std::string line(playerName);
    line += cConfirmPlayText;
    return line;
}

std::string AsOneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        line += c == '\r' || c == '\n' || c == '\0' ? ' ' : c;
    }
    return line;
}

std::string WrapGameLine(std::string_view line) {
    std::string wrapped;
    wrapped.reserve(line.size() + 2);
    wrapped += cGameLineFrame;
    wrapped += line;
    wrapped += cGameLineFrame;
    return wrapped;
}

std::vector<std::string> WrapGameLines(const std::vector<std::string>& lines) {
    std::vector<std::string> wrapped;
    wrapped.reserve(lines.size());
    for (const std::string& line : lines)
        wrapped.push_back(WrapGameLine(line));
    return wrapped;
}

std::string UnwrapGameLine(std::string_view line) {
    // A whole frame is removed as such, so a "|" inside the line (a comment may hold one)
    // survives; only a line without its closing frame is cut at the first "|".
    if (line.size() >= 2 && line.front() == cGameLineFrame && line.back() == cGameLineFrame)
        return std::string(line.substr(1, line.size() - 2));
    if (!line.empty() && line.front() == cGameLineFrame) line.remove_prefix(1);
    return std::string(line.substr(0, line.find(cGameLineFrame)));
}

std::vector<std::string> UnwrapGameLines(const std::vector<std::string>& lines) {
    std::vector<std::string> unwrapped;
    unwrapped.reserve(lines.size());
    for (const std::string& line : lines)
        unwrapped.push_back(UnwrapGameLine(line));
    return unwrapped;
}

std::vector<std::string> GameTransferLines(const TChessBoard& board) {
    return WrapGameLines(WriteGameLines(board));
}

TGameFileStatus LoadTransferredGame(TChessBoard& board, const std::vector<std::string>& received) {
    if (received.size() > cMaxGameTransferLines) {
        TGameFileStatus status;
        status.Ok = false;
        status.Line = static_cast<std::int32_t>(cMaxGameTransferLines) + 1;
        status.Message = "Das gesandte Spiel hat mehr als " +
                         std::to_string(cMaxGameTransferLines) +
                         " Zeilen und ist damit länger als jede mögliche Partie.";
        return status;
    }
    return ReadGameLines(board, UnwrapGameLines(received));
}

std::optional<TChessMove> ReceivedMove(const std::vector<std::string>& lines, bool whiteToMove) {
    if (lines.empty()) return std::nullopt;
    return WireTextToMove(lines.front(), whiteToMove);
}

}  // namespace tavlor
