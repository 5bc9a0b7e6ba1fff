// Playing against a person at another machine: opening a connection in a shared folder, pairing
// with a player of the list of possible opponents, the message poll and what the window shows and
// asks of each message (the game and the slot change in TakeReceivedMessage), sending moves and
// comments with their waits for delivery, handing over the whole game, and the state label.
//
// Every wait of network play (for the opponent to take a message, for a peer to finish writing a
// game) keeps the window painted and its timers running but drops the user's input, so that no
// command and no second poll can start in the middle of a send or a poll.

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "network/ReceivedMessage.h"
#include "notation/MoveText.h"
#include "ui/ChessMainForm.h"

namespace tavlor {

namespace {

constexpr std::int32_t cFirstNetworkSlot = 2;

constexpr char cSendError[] = "Fehler beim Senden der Daten!";
constexpr char cConnectionError[] = "Fehler bei Aufbau der Verbindung!";

std::string FileSystemName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString WaitingCaption(const QString& playerName) {
    return playerName + " -/- ";
}

// The folder as a connection keeps it, without the final "/".
std::string_view WithoutFinalSlash(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    return folder;
}

// Messages that are written only once the opponent has taken the one before.
bool WaitsForDelivery(TMessageType type) {
    return type == TMessageType::mtMove || type == TMessageType::mtComment ||
           type == TMessageType::mtResetBoardOK || type == TMessageType::mtResetBoardReject;
}

}  // namespace

void TfrmChessMainForm::ConnectNetworkHandlers() {
    connect(mnuNetWorkPath, &QAction::triggered, this, &TfrmChessMainForm::mnuNetWorkPathClick);
    connect(mnuTCPIP, &QAction::triggered, this, &TfrmChessMainForm::mnuTCPIPClick);
    connect(mnuOpponent, &QMenu::aboutToShow, this, &TfrmChessMainForm::mnuOpponentClick);
    connect(mnuTransfer, &QAction::triggered, this, &TfrmChessMainForm::mnuTransferClick);
    connect(btnLeftBottomRightSendSet, &QPushButton::clicked, this,
            &TfrmChessMainForm::btnLeftBottomRightSendSetClick);
}

TChessConnection* TfrmChessMainForm::NetworkSlot(std::int32_t slot) const {
    if (slot < cFirstNetworkSlot || slot >= cConnectionSlots) return nullptr;
    return Connections[static_cast<std::size_t>(slot)].get();
}

// ---- waiting without taking input ----

void TfrmChessMainForm::NetworkWait(std::chrono::milliseconds pause) {
    ++NetworkWaits;
    if (NetworkPause) {
        NetworkPause(pause);
    } else {
        QEventLoop loop;
        QTimer::singleShot(pause, &loop, &QEventLoop::quit);
        loop.exec();
    }
    --NetworkWaits;
}

bool TfrmChessMainForm::NetworkDropsEvent(QObject* watched, QEvent& event) const {
    const QEvent::Type type = event.type();
    // The outgoing comment is one line of the transfer file: Enter does not break it.
    if (watched == memLeftBottomClientSend && type == QEvent::KeyPress) {
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-static-cast-downcast): type() names a key event
        const int key = static_cast<const QKeyEvent&>(event).key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    if (NetworkWaits == 0) return false;
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::Drop:
        case QEvent::InputMethod:
            return true;
        case QEvent::Close:
            // Closing the window from its frame; the program's own closing goes on.
            return event.spontaneous();
        default:
            return false;
    }
}

// ---- opening a connection ----

std::int32_t TfrmChessMainForm::FreeNetworkSlot() const {
    for (std::int32_t slot = cFirstNetworkSlot; slot < cConnectionSlots; ++slot) {
        const auto& connection = Connections[static_cast<std::size_t>(slot)];
        if (!connection || !connection->Connected) return slot;
    }
    return -1;
}

void TfrmChessMainForm::mnuNetWorkPathClick() {
    if (PlayerName.isEmpty()) mnuEnterNameClick();
    const QString folder = Dialogs->ChooseFolder("Verzeichnis der Verbindung wählen",
                                                 NetworkPath.isEmpty() ? ProgramDir : NetworkPath);
    if (folder.isEmpty()) return;
    // The chooser takes the name of a new folder; it is made only when the user agrees.
    if (!QFileInfo::exists(folder) &&
        Dialogs->ShowDialogBox(
            "Verzeichnis erstellen",
            QString("Das Verzeichnis \"%1\" existiert nicht. Soll es erstellt werden?").arg(folder),
            mkQuestion) == mrOK)
        QDir().mkpath(folder);
    NetworkPath = folder;

    const std::int32_t slot = FreeNetworkSlot();
    if (slot < 0) {
        Dialogs->ShowMessageBox("Fehler", "Keine freien Verbindungsplätze mehr!", mkError);
        return;
    }
    const std::string folderName = FileSystemName(folder);
    auto& connection = Connections[static_cast<std::size_t>(slot)];
    // An unpaired connection is opened again with its identifier; one announced in another
    // folder is replaced (keeping its game), or its announcement would stay there for good.
    if (connection && connection->Kind == cKindNetworkFolder &&
        WithoutFinalSlash(connection->FolderPath) != WithoutFinalSlash(folderName)) {
        auto replacement = std::make_unique<TChessConnection>();
        connection->Game.CopyGame(replacement->Game);
        connection = std::move(replacement);
    }
    const bool created = !connection;
    if (created) connection = std::make_unique<TChessConnection>();
    connection->OwnName = PlayerName.toStdString();
    connection->PeerName.clear();
    connection->SlotNumber = slot;
    const auto fail = [&](const char* text) {
        // A connection that never got going would show as a waiting one.
        if (created) connection.reset();
        Dialogs->ShowMessageBox("Fehler", text, mkError);
    };
    if (connection->SetPath(cKindNetworkFolder, folderName) != TConnectionState::csConnected)
        return fail(cConnectionError);
    if (!SendToOpponent({"1"}, TMessageType::mtAskForPlay, slot)) return fail(cSendError);
    SwitchToSlot(slot);
    UncheckAllItems(mnuOpponent);
    RedrawBoard();
}

void TfrmChessMainForm::mnuTCPIPClick() {
    Dialogs->ShowMessageBox("Information", "In Kürze...", mkInformation);
}

// ---- the opponent menu ----

void TfrmChessMainForm::mnuOpponentClick() {
    if (Polling || NetworkWaits > 0) return;
    mnuWhoWouldLikeToPlay->clear();
    timMessagesTimer();
}

void TfrmChessMainForm::OpponentItemClickNetwork(QAction* entry, std::int32_t tag) {
    if (tag == cTagPossibleOpponent) {
        PairWith(entry);
        return;
    }
    for (std::int32_t slot = cFirstNetworkSlot; slot < cConnectionSlots; ++slot) {
        const TChessConnection* connection = NetworkSlot(slot);
        if (!connection || connection->Connected) continue;
        SwitchToSlot(slot);
        UncheckAllItems(mnuOpponent);
        entry->setChecked(true);
    }
}

void TfrmChessMainForm::PairWith(QAction* entry) {
    const QString caption = EntryCaption(entry);
    RemoveMenuItemByCaption(mnuOpponent, WaitingCaption(PlayerName));
    TChessConnection* connection = NetworkSlot(ActiveConnection);
    if (connection && connection->Connected) return;
    if (!connection ||
        connection->ConnectTo(caption.toStdString()) != TConnectionState::csConnected) {
        Dialogs->ShowMessageBox("Fehler", cConnectionError, mkError);
        RemoveMenuItemByCaption(mnuWhoWouldLikeToPlay, caption);
        return;
    }
    ShowBottomPanel(false);
    AddMenuItemOnce(mnuOpponent, caption, ActiveConnection, true);
    RemoveMenuItemByCaption(mnuWhoWouldLikeToPlay, caption);
    if (!SendToOpponent({"1"}, TMessageType::mtPlayOK, ActiveConnection) ||
        !SendToOpponent({ConfirmPlayLine(PlayerName.toStdString())}, TMessageType::mtConfirmPlayOk,
                        ActiveConnection))
        Dialogs->ShowMessageBox("Fehler", cSendError, mkError);
}

// ---- sending ----

bool TfrmChessMainForm::SendToOpponent(const std::vector<std::string>& lines, TMessageType type,
                                       std::int32_t slot) {
    if (slot < 0 || slot >= cConnectionSlots) return true;
    TChessConnection* connection = Connections[static_cast<std::size_t>(slot)].get();
    if (!connection) return true;
    auto& waiting = UnsentMessages[static_cast<std::size_t>(slot)];
    // A game replaces whatever was pending, and it holds the moves that waited.
    if (type == TMessageType::mtResetBoard) waiting.clear();
    if (WaitsForDelivery(type) && !waiting.empty()) {
        waiting.push_back({lines, type});
        return true;
    }
    const TConnectionState state = connection->Send(lines, type);
    // Not written because the opponent has not yet taken the previous message: it goes later,
    // rather than being lost.
    if (state == TConnectionState::csSending) waiting.push_back({lines, type});
    return state != TConnectionState::csSendError;
}

void TfrmChessMainForm::SendUnsent(std::int32_t slot) {
    TChessConnection* connection = NetworkSlot(slot);
    if (!connection) return;
    auto& waiting = UnsentMessages[static_cast<std::size_t>(slot)];
    if (waiting.empty()) return;
    const TConnectionState state = connection->Send(waiting.front().Lines, waiting.front().Type);
    if (state != TConnectionState::csSending && state != TConnectionState::csSendError)
        waiting.pop_front();
}

bool TfrmChessMainForm::WaitForDelivery(std::int32_t slot) {
    for (std::int32_t pauses = 0;; ++pauses) {
        SendUnsent(slot);
        TChessConnection* connection = NetworkSlot(slot);
        if (!connection) return false;
        if (UnsentMessages[static_cast<std::size_t>(slot)].empty() &&
            connection->CheckDelivered() == TConnectionState::csSent)
            return true;
        if (pauses >= DeliveryPauses) return false;
        NetworkWait(DeliveryPause);
    }
}

void TfrmChessMainForm::HandOverMoveToNetwork(const TChessMove& move, const QString& comment) {
    const std::int32_t slot = ActiveConnection;
    if (!SendToOpponent({MoveToWireText(move)}, TMessageType::mtMove, slot)) {
        Dialogs->ShowMessageBox("Fehler", cSendError, mkError);
        return;
    }
    if (!WaitForDelivery(slot)) {
        Dialogs->ShowMessageBox(
            "Information",
            "Zeitüberlauf beim Senden des Zuges! Bitte warten Sie bis Ihr Gegenspieler Ihren Zug "
            "empfangen hat; das Programm versucht ständig weiter zu senden.",
            mkInformation);
        return;
    }
    if (!SendToOpponent({comment.toStdString()}, TMessageType::mtComment, slot)) {
        Dialogs->ShowMessageBox("Fehler", "Fehler beim Senden des Kommentars!", mkError);
        return;
    }
    if (!WaitForDelivery(slot))
        Dialogs->ShowMessageBox(
            "Information",
            "Zeitüberlauf beim Senden des Kommentars - Kommentar konnte nicht übertragen werden!",
            mkInformation);
}

void TfrmChessMainForm::btnLeftBottomRightSendSetClick() {
    TChessBoard& board = *ChessBoard;
    const QString text = memLeftBottomClientSend->toPlainText();
    board.SetComment(0, board.PlyCount, text.toStdString());
    board.SetComment(1, board.PlyCount, memLeftBottomClientReceive->toPlainText().toStdString());
    const std::int32_t slot = ActiveConnection;
    TChessConnection* connection = NetworkSlot(slot);
    if (!connection) return;
    if (!UnsentMessages[static_cast<std::size_t>(slot)].empty() ||
        connection->CheckDelivered() != TConnectionState::csSent) {
        Dialogs->ShowMessageBox("Information",
                                "Die letzte Kommunikation mit dem Spielgegner ist noch nicht "
                                "abgeschlossen; bitte versuchen Sie später ein erneutes senden.",
                                mkInformation);
        return;
    }
    if (!SendToOpponent({text.toStdString()}, TMessageType::mtComment, slot)) {
        Dialogs->ShowMessageBox("Fehler", cSendError, mkError);
        return;
    }
    if (!WaitForDelivery(slot))
        Dialogs->ShowMessageBox("Information",
                                "Zeitüberlauf beim Senden des Kommentares! Der Kommentar konnte "
                                "nicht übertragen werden; das Programm versucht aber ständig "
                                "weiter zu senden.",
                                mkInformation);
}

// ---- the whole game ----

void TfrmChessMainForm::mnuTransferClick() {
    SendGameToOpponent();
}

void TfrmChessMainForm::SendGameToOpponent() {
    TChessConnection* connection = NetworkSlot(ActiveConnection);
    if (!connection) return;
    connection->LocalIsWhite = ChessBoard->IsWhiteToMove();
    if (!SendToOpponent(GameTransferLines(*ChessBoard), TMessageType::mtResetBoard,
                        ActiveConnection))
        Dialogs->ShowMessageBox("Fehler", cSendError, mkError);
}

// ---- the poll ----

void TfrmChessMainForm::PollActiveConnection() {
    for (std::int32_t slot = cFirstNetworkSlot; slot < cConnectionSlots; ++slot)
        SendUnsent(slot);
    // Set-up, the computer's move, a replay and a piece being moved (whose move may wait for the
    // "OK" of a message or for the promotion piece) work on the board; what arrives meanwhile
    // waits in the file.
    TChessConnection* connection = NetworkSlot(ActiveConnection);
    if (connection && !SetUpMode && !ComputerMoveRunning && !Replaying && DragPiece == cEmpty) {
        connection->GameTransferWait = GameTransferWait;
        connection->Pause = [this](std::chrono::milliseconds pause) { NetworkWait(pause); };
        TNetworkMessage message;
        const bool received =
            connection->Receive(message.Lines, message.Type) == TConnectionState::csReceived;
        // Said once for a folder that cannot be read, not on every tick: a message each tick
        // would leave no moment to save the game or to switch to another one.
        if (!received && !PollFailed)
            Dialogs->ShowMessageBox("Fehler", "Fehler beim Lesen der Daten!", mkError);
        PollFailed = !received;
        if (received) {
            // The window shows what it has to before the message is acted on; the user's
            // input waits for the window's own loop, so that no click is lost.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (!Destroying) ActOnMessage(message);
        }
    }
    for (std::int32_t slot = cFirstNetworkSlot; slot < cConnectionSlots; ++slot) {
        const TChessConnection* waiting = NetworkSlot(slot);
        if (waiting && !waiting->Connected) {
            AddMenuItemOnce(mnuOpponent, WaitingCaption(PlayerName), cTagWaitingSlot, true);
            break;
        }
    }
}

void TfrmChessMainForm::ActOnMessage(const TNetworkMessage& message) {
    TChessConnection* connection = NetworkSlot(ActiveConnection);
    if (!connection) return;
    const std::int32_t slot = ActiveConnection;
    const auto acceptGame = [this] {
        if (Dialogs->ShowDialogBox(
                "Spielübertragung bestätigen.",
                "Ihr Spielgegener hat ein neues Spiel gesandt. Übertragung akzeptieren?",
                mkQuestion) != mrOK)
            return false;
        CancelDrag();
        return true;
    };
    const TMessageOutcome outcome = TakeReceivedMessage(
        *ChessBoard, *connection, PlayerName.toStdString(), message, acceptGame);
    if (outcome.BoardChanged) {
        CancelDrag();
        RedrawBoard();
        // The comment boxes show the new half-move's comments now, before its comment arrives.
        RefreshStatus();
    }
    if (outcome.ReceivedText)
        memLeftBottomClientReceive->setPlainText(QString::fromStdString(*outcome.ReceivedText));
    for (const std::string& player : outcome.PlayersToList)
        AddMenuItemOnce(mnuWhoWouldLikeToPlay, QString::fromStdString(player), cTagPossibleOpponent,
                        false);
    for (const std::string& player : outcome.PlayersToUnlist)
        RemoveMenuItemByCaption(mnuWhoWouldLikeToPlay, QString::fromStdString(player));
    if (!outcome.Notice.Text.empty())
        Dialogs->ShowMessageBox(outcome.Notice.Error ? "Fehler" : "Information",
                                QString::fromStdString(outcome.Notice.Text),
                                outcome.Notice.Error ? mkError : mkInformation);
    if (outcome.Answer && !SendToOpponent(outcome.Answer->Lines, outcome.Answer->Type, slot))
        Dialogs->ShowMessageBox("Fehler", cSendError, mkError);
    if (outcome.PairingConfirmed) {
        const QList<QAction*> entries = mnuWhoWouldLikeToPlay->actions();
        std::vector<std::string> listed;
        for (const QAction* entry : entries)
            listed.push_back(EntryCaption(entry).toStdString());
        if (const auto picked = ConfirmedPlayer(*outcome.ReceivedText, listed))
            OpponentItemClick(entries[static_cast<qsizetype>(*picked)]);
    }
}

// ---- the state label ----

void TfrmChessMainForm::ShowConnectionState() {
    TChessConnection* connection = NetworkSlot(ActiveConnection);
    const TConnectionState state =
        connection ? connection->PeerState() : TConnectionState::csUnknown;
    lblLeftBottomRightTransactionState->setText(ConnectionStateName(state));
}

}  // namespace tavlor
