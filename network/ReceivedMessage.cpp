#include "network/ReceivedMessage.h"

#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

namespace tavlor {

namespace {

// The menu command that sends the opponent this board's game, named where a move is refused.
constexpr std::string_view cTransferCommand = "Aktuelles Spiel zum Gegner senden";

std::string FirstLine(const std::vector<std::string>& lines) {
    return lines.empty() ? std::string() : lines.front();
}

bool IsPromotionPiece(TPieceCode piece) {
    const TPieceCode kind = piece >= cBlackBase ? piece - cBlackBase : piece;
    return kind == cWhiteQueen || kind == cWhiteRook || kind == cWhiteBishop ||
           kind == cWhiteKnight;
}

TNotice MoveRefused(const std::vector<std::string>& lines, std::string_view why) {
    std::string text = "Der empfangene Zug \"" + FirstLine(lines) + "\" ";
    text += why;
    text += " und wurde nicht ausgeführt. Mit \"";
    text += cTransferCommand;
    text += "\" können Sie Ihrem Spielgegner das Spiel Ihres Brettes senden.";
    return {true, text};
}

void TakeMove(TChessBoard& board, TChessConnection& connection,
              const std::vector<std::string>& lines, TMessageOutcome& outcome) {
    std::optional<TChessMove> move = ReceivedMove(lines, board.IsWhiteToMove());
    if (!move) {
        outcome.Notice = MoveRefused(lines, "ist beschädigt");
        return;
    }
    const bool legal = IsLegalMove(board, *move);
    const bool promotes = legal && IsPromotionMove(board, *move);
    if (!legal || (promotes && !IsPromotionPiece(move->Promotion))) {
        outcome.Notice = MoveRefused(lines, "ist auf diesem Brett nicht erlaubt");
        return;
    }
    if (!promotes) move->Promotion = cEmpty;
    const std::int32_t redoTop = board.HistoryTop;
    // The received move ends the record, as a move made here does.
    board.HistoryTop = 0;
    if (!board.MakeMove(*move)) {
        board.HistoryTop = redoTop;
        outcome.Notice = MoveRefused(lines, "ist einer zu viel: Die Partie ist mit " +
                                                std::to_string(cMaxHistory) +
                                                " Halbzügen so lang, wie ein Spiel werden kann,");
        return;
    }
    if (board.IsPromotionPending()) board.SetPromotionPiece(move->Promotion);
    connection.LocalIsWhite = board.IsWhiteToMove();
    outcome.BoardChanged = true;
}

void TakeGame(TChessBoard& board, TChessConnection& connection,
              const std::vector<std::string>& lines, const std::function<bool()>& acceptGame,
              TMessageOutcome& outcome) {
    if (acceptGame && acceptGame()) {
        const TGameFileStatus status = LoadTransferredGame(board, lines);
        if (status) {
            connection.LocalIsWhite = status.WhiteToMove;
            outcome.BoardChanged = true;
            outcome.Answer = TNetworkMessage{UnwrapGameLines(lines), TMessageType::mtResetBoardOK};
            return;
        }
        outcome.Notice = {true,
                          "Das gesandte Spiel kann nicht übernommen werden und wird abgewiesen; "
                          "das Spielbrett bleibt, wie es war.\n" +
                              status.Message};
    }
    outcome.Answer = TNetworkMessage{lines, TMessageType::mtResetBoardReject};
}

std::vector<std::string> OtherPlayers(const std::vector<std::string>& lines,
                                      std::string_view playerName) {
    std::vector<std::string> players;
    for (const std::string& line : lines)
        if (line != playerName) players.push_back(line);
    return players;
}

}  // namespace

TMessageOutcome TakeReceivedMessage(TChessBoard& board, TChessConnection& connection,
                                    std::string_view playerName, const TNetworkMessage& message,
                                    const std::function<bool()>& acceptGame) {
    TMessageOutcome outcome;
    const std::vector<std::string>& lines = message.Lines;
    switch (message.Type) {
        case TMessageType::mtMove:
            TakeMove(board, connection, lines, outcome);
            break;
        case TMessageType::mtComment:
            outcome.ReceivedText = FirstLine(lines);
            // Stored at once: the box alone would lose it to a switch of games or a save before
            // the next move.
            board.SetComment(1, board.PlyCount, *outcome.ReceivedText);
            break;
        case TMessageType::mtAskForPlay:
            outcome.PlayersToList = OtherPlayers(lines, playerName);
            break;
        case TMessageType::mtPlayOK:
            outcome.PlayersToUnlist = OtherPlayers(lines, playerName);
            break;
        case TMessageType::mtConfirmPlayOk:
            outcome.ReceivedText = FirstLine(lines);
            outcome.PairingConfirmed = true;
            break;
        case TMessageType::mtResetBoard:
            TakeGame(board, connection, lines, acceptGame, outcome);
            break;
        case TMessageType::mtResetBoardOK:
            outcome.Notice = {false,
                              "Ihr Spielgegner hat die Übertragung des Spieles akzeptiert - "
                              "Beide Spielbretter sind nun identisch!"};
            break;
        case TMessageType::mtResetBoardReject:
            outcome.Notice = {true, "Ihr Spielgegner hat die Übertragung des Spieles abgewiesen!"};
            break;
        default:
            break;
    }
    return outcome;
}

std::optional<std::size_t> ConfirmedPlayer(std::string_view confirmation,
                                           const std::vector<std::string>& listed) {
    std::optional<std::size_t> starting;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::string& player = listed[i];
        if (confirmation == ConfirmPlayLine(player)) return i;
        if (!starting && !player.empty() && confirmation.starts_with(player)) starting = i;
    }
    return starting;
}

}  // namespace tavlor
