// The game record at the board: a new game, the "Zuege" commands, the replay, the routines that
// every move made at the board goes through, and the key preview that can stop a replay.

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>

#include "ui/ChessMainForm.h"

namespace tavlor {

std::uint16_t VirtualKeyCode(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<std::uint16_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<std::uint16_t>(0x70 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Tab:
            return 0x09;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 0x0D;
        case Qt::Key_Shift:
            return 0x10;
        case Qt::Key_Control:
            return 0x11;
        case Qt::Key_Alt:
            return 0x12;
        case Qt::Key_Pause:
            return 0x13;
        case Qt::Key_CapsLock:
            return 0x14;
        case Qt::Key_Escape:
            return cVirtualKeyEscape;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_PageUp:
            return 0x21;
        case Qt::Key_PageDown:
            return 0x22;
        case Qt::Key_End:
            return 0x23;
        case Qt::Key_Home:
            return 0x24;
        case Qt::Key_Left:
            return 0x25;
        case Qt::Key_Up:
            return 0x26;
        case Qt::Key_Right:
            return 0x27;
        case Qt::Key_Down:
            return 0x28;
        case Qt::Key_Insert:
            return 0x2D;
        case Qt::Key_Delete:
            return 0x2E;
        default:
            return 0;
    }
}

void TfrmChessMainForm::ConnectMoveHandlers() {
    connect(mnuNew, &QAction::triggered, this, &TfrmChessMainForm::mnuNewClick);
    connect(mnuTakeBackMove, &QAction::triggered, this, &TfrmChessMainForm::mnuTakeBackMoveClick);
    connect(mnuDoNextMove, &QAction::triggered, this, &TfrmChessMainForm::mnuDoNextMoveClick);
    connect(mnuToStartMove, &QAction::triggered, this, &TfrmChessMainForm::mnuToStartMoveClick);
    connect(mnuToLastMove, &QAction::triggered, this, &TfrmChessMainForm::mnuToLastMoveClick);
    connect(mnuReplayFast, &QAction::triggered, this, &TfrmChessMainForm::mnuReplayFastClick);
    connect(mnuReplayMedium, &QAction::triggered, this, &TfrmChessMainForm::mnuReplayMediumClick);
    connect(mnuReplaySlow, &QAction::triggered, this, &TfrmChessMainForm::mnuReplaySlowClick);
    connect(mnuReplayVerySlow, &QAction::triggered, this,
            &TfrmChessMainForm::mnuReplayVerySlowClick);
}

void TfrmChessMainForm::FormKeyDown(int qtKey) {
    LastKey = VirtualKeyCode(qtKey);
}

// ---- new game and moving through the record ----

void TfrmChessMainForm::NewGame() {
    ChessBoard->Reset();
}

void TfrmChessMainForm::mnuNewClick() {
    CancelDrag();  // the floating piece belongs to the position being left
    NewGame();
    RedrawBoard();
}

void TfrmChessMainForm::mnuTakeBackMoveClick() {
    CancelDrag();
    ChessBoard->TakeBackMove();
    RedrawBoard();
}

void TfrmChessMainForm::mnuDoNextMoveClick() {
    CancelDrag();
    ChessBoard->RedoMove();
    RedrawBoard();
}

void TfrmChessMainForm::mnuToStartMoveClick() {
    CancelDrag();
    do {
        ChessBoard->TakeBackMove();
    } while (ChessBoard->PlyCount > 0);
    RedrawBoard();
}

void TfrmChessMainForm::mnuToLastMoveClick() {
    CancelDrag();
    std::int32_t before = 0;
    do {
        before = ChessBoard->PlyCount;
        ChessBoard->RedoMove();
    } while (ChessBoard->PlyCount != ChessBoard->HistoryTop && ChessBoard->PlyCount != before);
    RedrawBoard();
}

void TfrmChessMainForm::mnuReplayFastClick() {
    ReplayGame(SecondsToDays(1));
}
void TfrmChessMainForm::mnuReplayMediumClick() {
    ReplayGame(SecondsToDays(5));
}
void TfrmChessMainForm::mnuReplaySlowClick() {
    ReplayGame(SecondsToDays(15));
}
void TfrmChessMainForm::mnuReplayVerySlowClick() {
    ReplayGame(SecondsToDays(30));
}

// Plays the record from its start, one half-move per pause, until its end or ESC. The window
// stays responsive meanwhile; a window being closed ends the replay as well.
void TfrmChessMainForm::ReplayGame(TDateTime pause) {
    CancelDrag();
    // A piece moved meanwhile would cut the record being shown.
    Replaying = true;
    LastKey = 0;
    StatusBarPanel->setText(" Spielwiederholung - ESCAPE beendet das Abspielen");
    mnuToStartMoveClick();
    // The position editor ends it too: a further step would replace the squares being edited.
    const auto stopped = [this] {
        return LastKey == cVirtualKeyEscape || Closed || !ChessBoard || SetUpMode;
    };
    do {
        ChessBoard->RedoMove();
        RedrawBoard();
        ProcessMessages();
        const TDateTime start = MonotonicNow();
        // Wakes the wait below when the pause is over, so that it need not spin.
        QTimer wake;
        wake.setSingleShot(true);
        wake.start(static_cast<int>(
            std::clamp(std::ceil(DaysToSeconds(pause) * 1000.0), 0.0, 86400000.0)));
        while (!(start + pause < MonotonicNow()) && !stopped())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    } while (!stopped() && ChessBoard->PlyCount != ChessBoard->HistoryTop);
    Replaying = false;
    StatusBarPanel->setText(QString());
}

// ---- making moves and announcing the end of the game ----

bool TfrmChessMainForm::ShowGameEnd() {
    const TGameState state = ChessBoard->CheckGameEnd();
    if (state == TGameState::gsPlaying) return true;
    Dialogs->ShowMessageBox("Information", QString::fromUtf8(GameStateMessage(state)),
                            mkInformation);
    return false;
}

bool TfrmChessMainForm::DoMoveAndCheckEnd(const TChessMove& move) {
    if (!ChessBoard->MakeMove(move)) {
        Dialogs->ShowMessageBox("Fehler",
                                QString("Die Partie ist mit %1 Halbzügen so lang, wie ein Spiel "
                                        "werden kann. Es kann kein weiterer Zug gemacht werden.")
                                    .arg(cMaxHistory),
                                mkError);
        return false;
    }
    // The computer's moves come with their promoted piece; a person chooses it here, before the
    // end of the game is judged: only then is it known whether the move mates or stalemates.
    if (ChessBoard->IsPromotionPending()) {
        if (move.Promotion != cEmpty)
            ChessBoard->SetPromotionPiece(move.Promotion);
        else
            AskForPromotionPiece();
    }
    return ShowGameEnd();
}

// ---- the opponent slots ----

void TfrmChessMainForm::ComputerSlotFollowsSideToMove() {
    if (ActiveConnection == 1 && Connections[1])
        Connections[1]->LocalIsWhite = ChessBoard->IsWhiteToMove();
}

}  // namespace tavlor
