// The computer as opponent: its moves and analyses, the progress of a search with its time
// control and stop, the values shown meanwhile, and the settings dialog.
//
// The search runs on the user-interface thread inside the handler that started it; the window
// stays alive because the progress callback lets it process its messages. While it runs the game
// menus are disabled and the board refuses presses, so that no second search or game change can
// start from such a message.

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "engine/Search.h"
#include "rules/MoveGeneration.h"
#include "ui/ChessMainForm.h"
#include "ui/ComputerSettings.h"
#include "ui/ShowComputerForm.h"

namespace tavlor {

namespace {

// How often the search lets the window process its messages: often enough for painting and
// the stop button, rarely enough that the engine reports at every cut-off without slowing down.
constexpr TDateTime cProgressMessagesInterval = 20 * cOneMillisecond;

// Runs its action when the scope is left, also by an early return.
template <typename TAction>
class TOnScopeExit {
public:
    explicit TOnScopeExit(TAction action) : FAction(std::move(action)) {}
    ~TOnScopeExit() { FAction(); }
    TOnScopeExit(const TOnScopeExit&) = delete;
    TOnScopeExit& operator=(const TOnScopeExit&) = delete;

private:
    TAction FAction;
};

TComputerValues ShownValues() {
    return {ShownValue, ShownNodes, ShownDepth, ShownMove, ShownMainLine};
}

}  // namespace

void TfrmChessMainForm::ConnectComputerHandlers() {
    frmShowComputerForm = std::make_unique<TfrmShowComputerForm>();
    connect(mnuAnalyse, &QAction::triggered, this, &TfrmChessMainForm::mnuAnalyseClick);
    connect(mnuComputerDraw, &QAction::triggered, this, &TfrmChessMainForm::mnuComputerDrawClick);
    connect(mnuComputerPlayAgainstHimself, &QAction::triggered, this,
            &TfrmChessMainForm::mnuComputerPlayAgainstHimselfClick);
    connect(mnuReadCompStrength, &QAction::triggered, this,
            &TfrmChessMainForm::mnuReadCompStrengthClick);
    connect(btnLeftBottomComputerStop, &QPushButton::clicked, this,
            &TfrmChessMainForm::btnLeftBottomComputerStopClick);
}

// ---- one computer move or analysis ----

void TfrmChessMainForm::StartComputerMove(std::int32_t depth, bool analysis) {
    // During a replay the computer neither moves nor offers a move: either would cut the record
    // being shown, as a person's move would.
    if (ComputerMoveRunning || CloseWhenComputerDone || Replaying || !ChessBoard) return;
    mnuAnalyse->setEnabled(false);
    const TOnScopeExit enableAnalyse([this] { mnuAnalyse->setEnabled(true); });
    if (!ShowGameEnd()) return;
    CancelDrag();
    ComputerMoveRunning = true;
    const TOnScopeExit done([this] {
        ComputerMoveRunning = false;
        ComputerThinking = false;
        // The window was closed meanwhile: it closes now that the search's frames are gone.
        if (CloseWhenComputerDone) QTimer::singleShot(0, this, [this] { close(); });
    });

    std::uint64_t nodes = 0;
    const bool whiteToMove = ChessBoard->IsWhiteToMove();
    if (analysis) frmShowComputerForm->ShowAnalysis(whiteToMove);
    ShowInMainWindow = !analysis;
    StopRequested = 0;
    StopButtonPressed = false;
    ShownValue = 0;
    ShownNodes = 0;
    ShownDepth = 0;
    ShownMove.clear();
    ShownMainLine.clear();
    ComputerThinking = true;
    SearchStartTime = MonotonicNow();
    LastProgressMessages = SearchStartTime;
    TChessMove move{};
    const TSearchProgress progress = [this](std::int32_t& stop, std::int32_t value,
                                            std::int32_t reportedDepth, std::uint64_t reportedNodes,
                                            std::string_view moveText, std::string_view mainLine) {
        ComputerProgress(stop, value, reportedDepth, reportedNodes, moveText, mainLine);
    };
    ComputeMove(*ChessBoard, whiteToMove, depth, progress, nodes, move, ComputerSettings);
    ComputerThinking = false;

    if (analysis) {
        frmShowComputerForm->UpdateAnalysis(ShownValue, ShownDepth, ShownMainLine, ShownMove,
                                            ShownNodes);
        // The window stays open until the user closes it; its buttons say what happens then.
        if (frmShowComputerForm->isVisible()) {
            QEventLoop wait;
            connect(frmShowComputerForm.get(), &QDialog::finished, &wait, &QEventLoop::quit);
            wait.exec();
        }
        if (frmShowComputerForm->result() == TfrmShowComputerForm::cResultGo &&
            !CloseWhenComputerDone) {
            PendingComputerMove = move;
            timDoComputerDraw->start();
        }
        return;
    }
    ShowComputerValues();
    if (!CloseWhenComputerDone && PlayComputerMove(move)) {
        ComputerMove = move;
        ComputerMovePly = ChessBoard->PlyCount;
        ProcessMessages();
    }
}

bool TfrmChessMainForm::PlayComputerMove(const TChessMove& move) {
    TChessBoard& board = *ChessBoard;
    // A move found for another position (the game changed, or no move was found) is not made.
    if (!IsLegalMove(board, move)) return false;
    const std::int32_t redoTop = board.HistoryTop;
    const std::int32_t plyCountBefore = board.PlyCount;
    // The new move ends the record, as a person's move does.
    board.HistoryTop = 0;
    DoMoveAndCheckEnd(move);
    if (board.PlyCount == plyCountBefore) board.HistoryTop = redoTop;
    RedrawBoard();
    return board.PlyCount > plyCountBefore;
}

void TfrmChessMainForm::ComputerProgress(std::int32_t& stop, std::int32_t value, std::int32_t depth,
                                         std::uint64_t nodes, std::string_view moveText,
                                         std::string_view mainLine) {
    ShownValue = value;
    ShownNodes = nodes;
    ShownDepth = depth;
    ShownMove.assign(moveText);
    ShownMainLine.assign(mainLine);
    const TDateTime now = MonotonicNow();
    if (now - LastProgressMessages >= cProgressMessagesInterval) {
        LastProgressMessages = now;
        ProcessMessages();
    }
    // Read after the messages, so that a stop pressed just now ends the search at once.
    stop = StopRequested;
}

void TfrmChessMainForm::ShowComputerValues() {
    ShowComputerValueTexts(
        {lblWert_, lblKnoten_, lblKnotenPerSecond_, lblTime_, lblCalcDraw_, lblMainVar_},
        ShownValues(), MonotonicNow() - SearchStartTime,
        !ChessBoard || ChessBoard->IsWhiteToMove());
}

// ---- time control, stop and display ----

void TfrmChessMainForm::timStateTimerTimer() {
    if (Destroying) return;
    if (ActiveConnection >= 2) {
        ShowConnectionState();
        return;
    }
    lblLeftBottomRightTransactionState->clear();
    if (ComputerThinking && ChessBoard) {
        const TChessBoard& board = *ChessBoard;
        if (ComputerSettings.Game == cGameFixedTime &&
            MonotonicNow() > SearchStartTime + SecondsToDays(ComputerSettings.Time))
            StopButtonPressed = true;
        // The clocks grow for the side to move at every status refresh.
        const bool white = board.IsWhiteToMove();
        const TDateTime own = white ? board.WhiteTime : board.BlackTime;
        const TDateTime other = white ? board.BlackTime : board.WhiteTime;
        if (ComputerSettings.Game == cGameEqualTime && own > other) StopButtonPressed = true;
    }
    StopRequested = StopButtonPressed ? 1 : 0;
    if (ComputerThinking && frmShowComputerForm->isVisible()) {
        frmShowComputerForm->UpdateAnalysis(ShownValue, ShownDepth, ShownMainLine, ShownMove,
                                            ShownNodes);
        return;
    }
    if (ComputerThinking && pnlLeftBottomComputer->isVisible() && ShowInMainWindow)
        ShowComputerValues();
}

void TfrmChessMainForm::btnLeftBottomComputerStopClick() {
    StopButtonPressed = true;
    // Reaches the search at its next report rather than at the next tick of the state timer.
    StopRequested = 1;
}

// ---- commands ----

void TfrmChessMainForm::ShowPlainMessage(const QString& text) {
    Dialogs->ShowMessageBox(QCoreApplication::applicationName(), text, mkPlain);
}

void TfrmChessMainForm::ComputerMoveWithMenusOff(bool stopButton) {
    if (ComputerMoveRunning) return;  // the running one restores the menus
    btnLeftBottomComputerStop->setEnabled(stopButton);
    SetMenusEnabled(false);
    const TOnScopeExit restore([this] {
        SetMenusEnabled(true);
        btnLeftBottomComputerStop->setEnabled(false);
    });
    StartComputerMove(ComputerMoveDepth(ComputerSettings), false);
}

void TfrmChessMainForm::HandOverMoveToComputer() {
    if (ChessBoard->CheckGameEnd() != TGameState::gsPlaying) return;
    ComputerMoveWithMenusOff(true);
}

void TfrmChessMainForm::mnuComputerDrawClick() {
    if (ActiveConnection == 0) {
        ShowPlainMessage("Bitte verwenden Sie die Analysefunktion!!");
    } else if (ActiveConnection == 1) {
        ComputerMoveWithMenusOff(true);
    } else {
        ShowPlainMessage("Nein, es wird nicht gemogelt! :o)");
    }
}

void TfrmChessMainForm::mnuAnalyseClick() {
    if (ActiveConnection >= 2) {
        ShowPlainMessage("Nein, es wird nicht gemogelt! :o)");
        return;
    }
    if (ComputerMoveRunning) return;
    // An analysis is not limited by time: the time control cannot stop it in mode 1.
    const std::uint8_t game = ComputerSettings.Game;
    ComputerSettings.Game = cGameFixedDepth;
    SetMenusEnabled(false);
    const TOnScopeExit restore([this, game] {
        SetMenusEnabled(true);
        ComputerSettings.Game = game;
    });
    StartComputerMove(cOpenSearchDepth, true);
}

void TfrmChessMainForm::timDoComputerDrawTimer() {
    timDoComputerDraw->stop();
    if (Destroying || Closed || !ChessBoard || ComputerMoveRunning) return;
    CancelDrag();  // a piece picked up since the analysis closed belongs to the position before
    if (!PlayComputerMove(PendingComputerMove)) return;
    HandOverMove(ChessBoard->GetHistoryMove(ChessBoard->PlyCount), "Computerzug");
}

void TfrmChessMainForm::mnuComputerPlayAgainstHimselfClick() {
    while (ChessBoard && ChessBoard->CheckGameEnd() == TGameState::gsPlaying &&
           !CloseWhenComputerDone) {
        const std::int32_t plyCountBefore = ChessBoard->PlyCount;
        ComputerMoveWithMenusOff(false);
        if (ChessBoard->PlyCount == plyCountBefore) break;  // no move could be made
    }
}

void TfrmChessMainForm::mnuReadCompStrengthClick() {
    Dialogs->EditComputerSettings(ComputerSettings);
}

}  // namespace tavlor
