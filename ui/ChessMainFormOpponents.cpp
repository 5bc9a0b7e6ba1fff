// The player's name, the opponent menu's entries made at run time, switching the board between
// the games of the opponent slots, and the window caption that names both players. The network
// branches (possible opponents, the waiting entry, the message poll, the state label) are in
// ChessMainFormNetwork.cpp.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "ui/ChessMainForm.h"

namespace tavlor {

namespace {

constexpr char cNamePrompt[] = "Ihren Namen der Sie als Spieler identifiziert :";

// A menu shows "&" as the mark of its access key; a name must show as it is.
QString MenuText(const QString& caption) {
    QString text = caption;
    return text.replace('&', "&&");
}

QString GameOfThisBoardCaption(const QString& playerName, std::int32_t tag) {
    return playerName + " -/- " + (tag == 0 ? playerName : QString(cComputerName));
}

}  // namespace

void TfrmChessMainForm::ConnectOpponentHandlers() {
    connect(mnuEnterName, &QAction::triggered, this, &TfrmChessMainForm::mnuEnterNameClick);
    ConnectNetworkHandlers();
}

// ---- the player's name ----

void TfrmChessMainForm::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    // Asking for the name opens a modal window, which must not happen inside a paint.
    if (FormPaintQueued) return;
    FormPaintQueued = true;
    QTimer::singleShot(0, this, [this] {
        FormPaintQueued = false;
        FormPaint();
    });
}

void TfrmChessMainForm::FormPaint() {
    if (Destroying || Closed) return;
    if (PlayerName.isEmpty() || PlayerNameError(PlayerName.toStdString())) mnuEnterNameClick();
    if (PlayerName.isEmpty()) return;  // still being asked for further up
    AddMenuItemOnce(mnuOpponent, GameOfThisBoardCaption(PlayerName, 0), 0, false);
    AddMenuItemOnce(mnuOpponent, GameOfThisBoardCaption(PlayerName, 1), 1, true);
}

void TfrmChessMainForm::mnuEnterNameClick() {
    // Paints during the question would ask again.
    if (AskingForName) return;
    AskingForName = true;
    const QString oldName = PlayerName;
    // The name stands in the transfer file, where some characters would break its lines; a name
    // the settings file brought is refused as one that is typed.
    const auto refused = [this](const QString& name) {
        const std::optional<std::string> error = PlayerNameError(name.toStdString());
        if (error) Dialogs->ShowMessageBox("Fehler", QString::fromStdString(*error), mkError);
        return error.has_value();
    };
    QString name = PlayerName;
    if (!name.isEmpty()) refused(name);
    do {
        name = Dialogs->ReadAString(cNamePrompt, name);
    } while (name.isEmpty() || refused(name));
    PlayerName = name;
    AskingForName = false;
    if (Connections[0]) Connections[0]->OwnName = PlayerName.toStdString();
    if (PlayerName != oldName && !oldName.isEmpty()) RenameEntriesOfThisBoard(oldName);
}

// The entries keep their check marks; new ones with the new name would stand beside them.
void TfrmChessMainForm::RenameEntriesOfThisBoard(const QString& oldName) {
    for (QAction* entry : mnuOpponent->actions()) {
        if (!entry->data().isValid()) continue;  // a fixed item
        const std::int32_t tag = entry->data().toInt();
        if ((tag == 0 || tag == 1) && EntryCaption(entry) == GameOfThisBoardCaption(oldName, tag))
            entry->setText(MenuText(GameOfThisBoardCaption(PlayerName, tag)));
    }
}

// ---- the entries ----

QString TfrmChessMainForm::EntryCaption(const QAction* entry) {
    QString caption = entry->text();
    return caption.replace("&&", "&");
}

QAction* TfrmChessMainForm::AddMenuItemOnce(QMenu* menu, const QString& caption, std::int32_t tag,
                                            bool checked) {
    for (QAction* entry : menu->actions())
        if (!entry->isSeparator() && EntryCaption(entry) == caption) return entry;
    QAction* entry = menu->addAction(MenuText(caption));
    entry->setData(tag);
    entry->setCheckable(true);
    entry->setChecked(checked);
    connect(entry, &QAction::triggered, this, [this, entry] { OpponentItemClick(entry); });
    return entry;
}

void TfrmChessMainForm::RemoveMenuItemByCaption(QMenu* menu, const QString& caption) {
    for (QAction* entry : menu->actions())
        if (!entry->isSeparator() && EntryCaption(entry) == caption) {
            menu->removeAction(entry);
            // It may be the entry whose click is being handled.
            entry->deleteLater();
            return;
        }
}

void TfrmChessMainForm::UncheckAllItems(QMenu* menu) {
    for (QAction* entry : menu->actions())
        entry->setChecked(false);
}

void TfrmChessMainForm::OpponentItemClick(QAction* entry) {
    CancelDrag();  // every branch ends in a full redraw
    const std::int32_t tag = entry->data().toInt();
    if (tag < 0) {
        OpponentItemClickNetwork(entry, tag);
    } else {
        for (std::int32_t slot = 0; slot < cConnectionSlots; ++slot) {
            const auto& connection = Connections[static_cast<std::size_t>(slot)];
            if (!connection || connection->SlotNumber != tag) continue;
            SwitchToSlot(slot);
            UncheckAllItems(mnuOpponent);
            entry->setChecked(true);
            ShowBottomPanel(tag == 1);
            break;
        }
    }
    RedrawBoard();
}

// ---- switching games ----

void TfrmChessMainForm::SwitchToSlot(std::int32_t slot) {
    if (slot < 0 || slot >= cConnectionSlots || !Connections[static_cast<std::size_t>(slot)])
        return;
    CancelDrag();  // the floating piece belongs to the game being left
    if (ActiveConnection >= 0 && ActiveConnection < cConnectionSlots) {
        if (const auto& active = Connections[static_cast<std::size_t>(ActiveConnection)]) {
            // The game being left stops its clock: the time spent on another game is nobody's
            // thinking time, and the next refresh after coming back starts it again.
            ChessBoard->AddThinkingTime(Now());
            ChessBoard->CopyGame(active->Game);
            active->Game.LastClockTime = 0;
        }
    }
    Connections[static_cast<std::size_t>(slot)]->Game.CopyGame(*ChessBoard);
    ActiveConnection = slot;
}

void TfrmChessMainForm::ShowBottomPanel(bool computer) {
    // The board-only view of "Maximale Größe" shows neither; leaving it shows the right one.
    if (mnuMaxSize->isChecked()) return;
    (computer ? pnlLeftBottomHuman : pnlLeftBottomComputer)->hide();
    (computer ? pnlLeftBottomComputer : pnlLeftBottomHuman)->show();
    // The splitter sits above the bottom panels and moves the one shown.
    FormResize();
}

// ---- caption and polling ----

QString TfrmChessMainForm::WindowCaption() const {
    if (ActiveConnection == 0 || ActiveConnection == 1)
        return QString(cProgramCaption) + "    " +
               GameOfThisBoardCaption(PlayerName, ActiveConnection);
    QString peer;
    if (ActiveConnection > 1 && ActiveConnection < cConnectionSlots) {
        if (const auto& slot = Connections[static_cast<std::size_t>(ActiveConnection)])
            peer = QString::fromStdString(slot->PeerName);
    }
    return QString(cProgramCaption) + "   " + PlayerName + " -/- " + peer;
}

void TfrmChessMainForm::timMessagesTimer() {
    // A poll further up restarts the timer when it is done; a tick during a wait of network play
    // is left out.
    if (Destroying || Polling || NetworkWaits > 0) return;
    // A poll may show dialogs; the next tick must not start a second one meanwhile.
    timMessages->stop();
    Polling = true;
    setWindowTitle(WindowCaption());
    PollActiveConnection();
    Polling = false;
    if (!Destroying) timMessages->start();
}

}  // namespace tavlor
