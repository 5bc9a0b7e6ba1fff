#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QImage>
#include <QMainWindow>
#include <QRect>
#include <QStringList>

#include "network/ChessConnection.h"
#include "platform/DateTime.h"
#include "rules/ChessBoard.h"
#include "rules/ChessMove.h"
#include "ui/Dialogs.h"
#include "ui/PictureList.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;
class QToolButton;

namespace tavlor {

struct TGameFileStatus;
class TIniFile;
class TImage;
class TSplitterBar;
class TfrmShowComputerForm;

inline constexpr char cProgramCaption[] = "Tavlor V2.0.3.1";
inline constexpr char cComputerName[] = "Fenno Drabel";
inline constexpr char cHelpFileName[] = "Tavlor.rtf";
inline constexpr int cConnectionSlots = 128;

// Tags of the opponent menu's entries made at run time: 0 and above name an opponent slot (0 both
// sides at this board, 1 the computer, 2 and up a paired network opponent); -1 is a player in the
// list of possible opponents, -2 an opened network slot not yet paired.
inline constexpr std::int32_t cTagPossibleOpponent = -1;
inline constexpr std::int32_t cTagWaitingSlot = -2;

// Virtual-key code of the escape key, as LastKey holds it.
inline constexpr std::uint16_t cVirtualKeyEscape = 27;

// What the main window takes from its surroundings. The program passes its own folder, the
// command line and its dialog windows; tests pass a temporary folder and a scripted double.
struct TMainFormOptions {
    QString ProgramDir;     // the settings file and the piece sets live here; ends in "/"
    QString WorkingDir;     // where the help file is looked up; empty means the current folder
    QStringList Arguments;  // the command-line arguments after the program's name
    TDialogs* Dialogs = nullptr;
};

// The program's one top-level window and the owner of everything that lives for the whole run:
// the game board, the piece pictures, the settings file, the opponent slots, the timers and the
// menus. One class whose handlers are spread over files by concern: ChessMainForm.cpp (start-up,
// shutdown, menus, help), ChessMainFormBoard.cpp (board display, piece sets, fitting the window),
// ChessMainFormMoves.cpp (new game, moving through the record, replay, the end of the game),
// ChessMainFormInput.cpp (moves by mouse, promotion, handing moves on), ChessMainFormSetUp.cpp
// (the position editor), ChessMainFormGame.cpp (FEN entry, saving and loading games),
// ChessMainFormComputer.cpp (the computer's moves, analysis and settings) and
// ChessMainFormOpponents.cpp (the player's name, the opponent menu, switching between games) and
// ChessMainFormNetwork.cpp (playing against a person at another machine).
class TfrmChessMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmChessMainForm(const TMainFormOptions& options, QWidget* parent = nullptr);
    ~TfrmChessMainForm() override;
    TfrmChessMainForm(const TfrmChessMainForm&) = delete;
    TfrmChessMainForm& operator=(const TfrmChessMainForm&) = delete;

    // ---- start-up and shutdown (ChessMainForm.cpp) ----
    void FormCreate();
    void FormClose();
    void FormDestroy();
    void SetMenusEnabled(bool enabled);
    // The folder the help file and the saved games are found in.
    QString WorkingFolder() const;
    void ShowHelp();
    void mnuExitClick();
    void mnuAboutClick();
    void mnuProfileClick();

    // ---- board display (ChessMainFormBoard.cpp) ----
    void RedrawBoard();
    // False when a file could not be read; the error naming it has been shown.
    bool LoadPieceBitmaps();
    void RefreshStatus();
    void DrawCapturedPieces();
    void FormResize();
    // The main line label reaches to the right edge of its panel; it follows every size the
    // layout gives the panel, also the first one, which comes after the window's own resize.
    void FitMainLineLabel();
    void KeepBoardIncrements();
    void timChessBoardRedrawTimer();
    void timRedrawTimer();
    void mnuRotateClick();
    void mnuFiguresClick();
    void mnuMaxSizeClick();
    QString ChooseFigureSet(const QString& caption, const QString& programDir,
                            const QString& currentSet);
    // A small piece entry drawn transparently over a small square entry (-1: none), as the
    // captured-pieces rows and the side-to-move sign show them.
    QPixmap SmallPicture(int squareEntry, int pieceEntry, QSize size) const;
    // Rectangle of a square (file and rank 1 to 8) for the current square size and orientation.
    QRect SquareRect(std::int32_t file, std::int32_t rank) const;

    // ---- moves (ChessMainFormMoves.cpp) ----
    void NewGame();
    void mnuNewClick();
    void mnuTakeBackMoveClick();
    void mnuDoNextMoveClick();
    void mnuToStartMoveClick();
    void mnuToLastMoveClick();
    void mnuReplayFastClick();
    void mnuReplayMediumClick();
    void mnuReplaySlowClick();
    void mnuReplayVerySlowClick();
    void ReplayGame(TDateTime pause);
    void FormKeyDown(int qtKey);
    // Announces a finished game; true while the game goes on.
    bool ShowGameEnd();
    // Makes the move and announces the end of the game it causes; a person's promoting move gets
    // its piece from the promotion window before that. False when the board refused the move
    // (the record is full) or the game is over.
    bool DoMoveAndCheckEnd(const TChessMove& move);

    // ---- moves by mouse and promotion (ChessMainFormInput.cpp) ----
    // What lies under a pixel of the board image; all zero when no square contains it.
    struct TSquareAtPixel {
        TPieceCode Piece = cEmpty;
        std::int32_t File = 0;
        std::int32_t Rank = 0;
    };
    void imgMainBoardMouseDown(int x, int y);
    void imgMainBoardMouseMove(int x, int y);
    void imgMainBoardMouseUp(int x, int y);
    TSquareAtPixel SquareAtPixel(int x, int y);
    // The piece under the pixel; sets DragOffsetX/Y to the square's corner minus the pixel and,
    // when the square holds a piece, puts the empty square's picture into `picture`.
    TPieceCode PieceAtPixel(int x, int y, QImage& picture);
    // Ends a drag at the pixel; false when the pixel lies on no square (the drag goes on).
    bool HumanDrop(int x, int y);
    // Pictures of queen, rook, bishop and knight; returns 0 to 3 in that order.
    int ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures);
    // Passes a finished move on to the opponent of the active slot.
    void HandOverMove(const TChessMove& move, const QString& comment);
    // The transparent picture of a piece at the given size (its letter when the set lacks it).
    QPixmap PiecePicture(TPieceCode piece, QSize size) const;
    // The picture of an empty square; a plain colour when the set lacks it.
    QImage EmptySquarePicture(std::int32_t file, std::int32_t rank) const;

    // ---- the computer opponent (ChessMainFormComputer.cpp) ----
    // One computer move (played on the board) or one analysis (shown in the analysis window,
    // played only on its "Besten Zug ausführen") of `depth` iterations.
    void StartComputerMove(std::int32_t depth, bool analysis);
    // The search's progress callback: keeps the values, hands the stop request over and lets
    // the window process its messages now and then.
    void ComputerProgress(std::int32_t& stop, std::int32_t value, std::int32_t depth,
                          std::uint64_t nodes, std::string_view moveText,
                          std::string_view mainLine);
    void ShowComputerValues();
    void mnuAnalyseClick();
    void mnuComputerDrawClick();
    void mnuComputerPlayAgainstHimselfClick();
    void mnuReadCompStrengthClick();
    void btnLeftBottomComputerStopClick();
    void timStateTimerTimer();
    void timDoComputerDrawTimer();

    // ---- the player's name and the opponent menu (ChessMainFormOpponents.cpp) ----
    // Asks for the player's name while it is empty and adds the entries of the two games at
    // this board; runs after every paint of the window.
    void FormPaint();
    void mnuEnterNameClick();
    // A click on an entry of the opponent menu made at run time.
    void OpponentItemClick(QAction* entry);
    // The entry with that caption; added (tag, check mark, click handler) only when the menu
    // has none with that caption yet.
    QAction* AddMenuItemOnce(QMenu* menu, const QString& caption, std::int32_t tag, bool checked);
    void RemoveMenuItemByCaption(QMenu* menu, const QString& caption);
    void UncheckAllItems(QMenu* menu);
    // The caption of an entry as it was given (the menu shows "&" doubled).
    static QString EntryCaption(const QAction* entry);
    // The window caption: the program, the player and the opponent of the active slot.
    QString WindowCaption() const;
    void timMessagesTimer();
    // Puts the game on the board into the active slot and the slot's game on the board.
    void SwitchToSlot(std::int32_t slot);
    // The computer's panel for the computer's slot, the comments panel for every other one.
    void ShowBottomPanel(bool computer);

    // ---- a person at another machine (ChessMainFormNetwork.cpp) ----
    void mnuNetWorkPathClick();
    void mnuTCPIPClick();
    // The opponent menu opens: the list of possible opponents is made afresh by a poll.
    void mnuOpponentClick();
    void btnLeftBottomRightSendSetClick();
    void mnuTransferClick();
    void SendGameToOpponent();
    // False only when the file could not be written. A move, comment or answer that must wait
    // for the previous message to be taken waits in UnsentMessages and is written later.
    bool SendToOpponent(const std::vector<std::string>& lines, TMessageType type,
                        std::int32_t slot);
    // The lowest network slot that is empty or not paired; -1 when every one is paired.
    std::int32_t FreeNetworkSlot() const;

    // ---- position set-up (ChessMainFormSetUp.cpp) ----
    void mnuSetUpClick();
    void sbtClick(QAbstractButton* button);
    void btnClearBoardClick();
    void btnSetUpBoardCancelClick();
    void cbxEnPassantClick();
    // Shows the piece chosen in the palette under the pointer's square (file 0: none).
    void ShowSetUpPointer(std::int32_t file, std::int32_t rank);

    // ---- FEN entry, the clipboard, saving and loading (ChessMainFormGame.cpp) ----
    void mnuEnterFENClick();
    // The position as FEN, the game as PGN onto the clipboard; a FEN or a PGN game from it.
    void mnuCopyFENClick();
    void mnuCopyPGNClick();
    void mnuPasteClick();
    void mnuSaveClick();
    void mnuLoadClick();
    // False when the game could not be saved or loaded; the error naming the file (and the
    // line) has been shown. A failed load leaves the game as it was. A name ending in ".pgn"
    // is a PGN file, any other a game file of the program's own.
    bool SaveGame(const QString& fileName);
    bool LoadGame(const QString& fileName);
    // Where saved games are offered: "SAVEDGAMES" below the working folder, made when missing.
    QString SavedGamesFolder() const;

    // ---- state ----
    std::unique_ptr<TChessBoard> ChessBoard;
    std::unique_ptr<TIniFile> IniFile;
    QString ProgramDir;
    QString WorkingDir;
    QString BitmapSet = "USUAL";
    QString NetworkPath;
    QString PlayerName;
    bool WhiteAtBottom = true;
    bool SetUpMode = false;
    TPieceCode DragPiece = cEmpty;
    TPieceCode SetUpPiece = cEmpty;
    QImage DarkSquareBitmap;
    QImage LightSquareBitmap;
    QImage UnderBitmap;
    // The dragged piece at square size, or the palette piece in set-up mode; null otherwise.
    QPixmap DragBitmap;
    std::int32_t DragFromFile = 0;
    std::int32_t DragFromRank = 0;
    std::int32_t PressX = 0;
    std::int32_t PressY = 0;
    std::int32_t LastDragX = 0;
    std::int32_t LastDragY = 0;
    std::int32_t DragOffsetX = 0;
    std::int32_t DragOffsetY = 0;
    TPictureList imlFigure{QSize(150, 150)};
    TPictureList imlFigureSmall{QSize(20, 20)};
    std::uint16_t LastKey = 0;
    // A replay runs; the board takes no moves meanwhile.
    bool Replaying = false;
    // Opponent slots: 0 both sides at this board, 1 the computer, 2 and up network opponents
    // (empty until used). ActiveConnection names the slot whose game is on the board.
    std::array<std::unique_ptr<TChessConnection>, cConnectionSlots> Connections;
    std::int32_t ActiveConnection = 1;
    std::int32_t SquareWidth = 0;
    std::int32_t SquareHeight = 0;
    // What RefreshStatus showed last, so that it repaints only what changed.
    // LastPiecesShown: the missing pieces of each kind (White's, then Black's); empty when
    // nothing is shown yet with the current pictures. LastSideShown: 1 White, 0 Black, -1 as
    // empty.
    std::optional<std::array<std::int32_t, 10>> LastPiecesShown;
    std::int32_t LastSideShown = 0;
    std::int32_t LastMoveCountShown = -1;
    std::uint64_t LastRecordShown = 0;
    // Window bounds before "Maximale Größe" was switched on.
    QRect SavedBounds;
    bool Destroying = false;
    bool Closed = false;
    // The computer's last move and the half-move it was: the PGN tags name the computer on the
    // side it played while that move is in the record.
    TChessMove ComputerMove{};
    std::int32_t ComputerMovePly = 0;
    // The move the analysis window asked to be played (timDoComputerDraw plays it).
    TChessMove PendingComputerMove{};
    // From the start to the end of StartComputerMove: the board refuses presses and no second
    // search starts.
    bool ComputerMoveRunning = false;
    // The window was asked to close while the computer was busy: the search stops, no move is
    // made, and the window closes once the search's handlers have returned.
    bool CloseWhenComputerDone = false;
    // When ComputerProgress last let the window process its messages (monotonic).
    TDateTime LastProgressMessages = 0;
    bool FormPaintQueued = false;
    bool AskingForName = false;
    // The waits of network play: up to DeliveryPauses pauses of DeliveryPause for a message to be
    // taken, and GameTransferWait before the lines of a game are read. NetworkPause passes the
    // time of a wait; empty, the window keeps painting and drops the user's input meanwhile.
    // Tests shorten or replace them.
    std::chrono::milliseconds DeliveryPause{125};
    std::int32_t DeliveryPauses = 40;
    std::chrono::milliseconds GameTransferWait{1000};
    std::function<void(std::chrono::milliseconds)> NetworkPause;
    // Per slot, the messages waiting for the one before them to be taken, oldest first.
    std::array<std::deque<TNetworkMessage>, cConnectionSlots> UnsentMessages;
    // Above zero while network play waits: the user's input is dropped and no poll starts.
    std::int32_t NetworkWaits = 0;
    bool Polling = false;
    // The last poll could not read the transfer file (and said so).
    bool PollFailed = false;
    TDialogs* Dialogs = nullptr;
    QStringList Arguments;

    // ---- components, each with its name as objectName ----
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuLoad = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuRotate = nullptr;
    QAction* mnuFigures = nullptr;
    QAction* mnuMaxSize = nullptr;
    QMenu* mnuMoves = nullptr;
    QAction* mnuTakeBackMove = nullptr;
    QAction* mnuDoNextMove = nullptr;
    QAction* mnuToStartMove = nullptr;
    QAction* mnuToLastMove = nullptr;
    QAction* mnuReplayFast = nullptr;
    QAction* mnuReplayMedium = nullptr;
    QAction* mnuReplaySlow = nullptr;
    QAction* mnuReplayVerySlow = nullptr;
    QMenu* mnuOpponent = nullptr;
    QAction* mnuNetWorkPath = nullptr;
    QAction* mnuTCPIP = nullptr;
    QAction* mnuNextConnection = nullptr;
    QAction* mnuLastConnection = nullptr;
    QMenu* mnuWhoWouldLikeToPlay = nullptr;
    QMenu* mnuSpecial = nullptr;
    QAction* mnuReadCompStrength = nullptr;
    QAction* mnuSetUp = nullptr;
    QAction* mnuEnterFEN = nullptr;
    QAction* mnuCopyFEN = nullptr;
    QAction* mnuCopyPGN = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuAnalyse = nullptr;
    QAction* mnuComputerDraw = nullptr;
    QAction* mnuComputerPlayAgainstHimself = nullptr;
    QAction* mnuEnterName = nullptr;
    QAction* mnuTransfer = nullptr;
    QAction* mnuProfile = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mneTextHelp = nullptr;
    QAction* mnuAbout = nullptr;

    QWidget* pnlRightRegular = nullptr;
    QWidget* pnlRightRegularTop = nullptr;
    TImage* imgWhichToMove = nullptr;
    QLabel* lblWhichToMove = nullptr;
    QLabel* lblComputerMovesDone = nullptr;
    QLabel* lblTimeWhite = nullptr;
    QLabel* lblTimeBlack = nullptr;
    QLabel* lblWhiteTime = nullptr;
    QLabel* lblBlackTime = nullptr;
    QPlainTextEdit* memMoves = nullptr;
    QWidget* pnlRightRegularCapturedFigures = nullptr;
    std::array<TImage*, 16> imgWhiteCaptured{};
    std::array<TImage*, 16> imgBlackCaptured{};
    QWidget* pnlRightSetUp = nullptr;
    TImage* imgSetUp = nullptr;
    QLineEdit* edtRightSetUpTop = nullptr;
    QToolButton* sbtPawnWhite = nullptr;
    QToolButton* sbtKnightWhite = nullptr;
    QToolButton* sbtBishopWhite = nullptr;
    QToolButton* sbtRookWhite = nullptr;
    QToolButton* sbtQueenWhite = nullptr;
    QToolButton* sbtKingWhite = nullptr;
    QToolButton* sbtPawnBlack = nullptr;
    QToolButton* sbtKnightBlack = nullptr;
    QToolButton* sbtBishopBlack = nullptr;
    QToolButton* sbtRookBlack = nullptr;
    QToolButton* sbtQueenBlack = nullptr;
    QToolButton* sbtKingBlack = nullptr;
    QButtonGroup* grpSetUpPieces = nullptr;  // one button of the twelve is down
    QPushButton* btnClearBoard = nullptr;
    QRadioButton* rbtRightSetUpTopWhite = nullptr;
    QRadioButton* rbtRightSetUpTopBlack = nullptr;
    QCheckBox* cbxShortCastelingWhite = nullptr;
    QCheckBox* cbxLongCastelingWhite = nullptr;
    QCheckBox* cbxShortCastelingBlack = nullptr;
    QCheckBox* cbxLongCastelingBlack = nullptr;
    QCheckBox* cbxEnPassant = nullptr;
    QLabel* lblRightSetUpTopEnPassantFrom = nullptr;
    QLineEdit* edtRightSetUpTopEnPassantFrom = nullptr;
    QLabel* lblRightSetUpTopEnPassantDest = nullptr;
    QLineEdit* edtRightSetUpTopEnPassantDest = nullptr;
    QPushButton* btnSetUpBoardDone = nullptr;
    QPushButton* btnSetUpBoardCancel = nullptr;
    QWidget* pnlLeft = nullptr;
    QWidget* pnlLeftClient = nullptr;
    TImage* imgMainBoard = nullptr;
    QPlainTextEdit* memProfile = nullptr;
    TSplitterBar* splLeftClient = nullptr;
    QWidget* pnlLeftBottomComputer = nullptr;
    QLabel* lblWert_ = nullptr;
    QLabel* lblKnoten_ = nullptr;
    QLabel* lblKnotenPerSecond_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QLabel* lblCalcDraw_ = nullptr;
    QLabel* lblMainVar_ = nullptr;
    QPushButton* btnLeftBottomComputerStop = nullptr;
    QWidget* pnlLeftBottomHuman = nullptr;
    QPlainTextEdit* memLeftBottomClientSend = nullptr;
    TSplitterBar* splLeftBottomClient = nullptr;
    QPlainTextEdit* memLeftBottomClientReceive = nullptr;
    QPushButton* btnLeftBottomRightSendSet = nullptr;
    QLabel* lblLeftBottomRightTransactionState = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusBarPanel = nullptr;

    QTimer* timRedraw = nullptr;
    QTimer* timChessBoardRedraw = nullptr;
    QTimer* timMessages = nullptr;
    QTimer* timStateTimer = nullptr;
    QTimer* timDoComputerDraw = nullptr;

    // The analysis window, shown without being modal while an analysis runs.
    std::unique_ptr<TfrmShowComputerForm> frmShowComputerForm;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents();
    void CreateMenus();
    void CreateRightPanel();
    void CreateLeftPanel();
    void CreateTimers();
    void ConnectBoardHandlers();
    void ConnectMoveHandlers();
    void ConnectInputHandlers();
    void CreateSetUpPanel();
    void ConnectSetUpHandlers();
    void ConnectGameFileHandlers();
    void ConnectComputerHandlers();
    void ConnectOpponentHandlers();
    void ApplyDebugArgument();
    // Draws a piece whose picture is missing as its letter.
    void DrawPieceLetter(class QPainter& painter, QRect square, TPieceCode piece) const;
    void DrawSmall(TImage* image, int squareEntry, int pieceEntry);
    void ProcessMessages();
    // While the computer is the opponent, the human moves the side to move (its slot follows).
    void ComputerSlotFollowsSideToMove();

    // Moves by mouse: whether the active slot lets the local player move the side to move.
    bool ActiveSlotAllowsMove() const;
    // Draws the picture stretched over a rectangle of the board image (replacing what is there,
    // transparency included, or over it) and repaints only that spot.
    void PaintOnBoard(QRect target, const QPixmap& picture, bool replace);
    // A rectangle of the board image; what lies beyond the picture comes out transparent.
    QImage CopyFromBoard(QRect source) const;
    // Where the floating piece is drawn for a pointer position.
    QRect FloatingRect(int x, int y) const;
    // Stops a drag that is still running (the position is about to be replaced) and shows the
    // board as it is.
    void CancelDrag();
    void AskForPromotionPiece();
    // Replaces the game by what `read` makes of it, as a loaded game does; `read` leaves the
    // board as it was when it refuses, and its message is shown then.
    bool ReplaceGame(const std::function<TGameFileStatus(TChessBoard&)>& read);
    // Where the computer answers and where a network opponent is sent the move.
    void HandOverMoveToComputer();
    void HandOverMoveToNetwork(const TChessMove& move, const QString& comment);

    // A computer move with the four game menus disabled meanwhile, and the stop button enabled
    // when asked.
    void ComputerMoveWithMenusOff(bool stopButton);
    // Makes a move the search found as the next move of the record; false when the position
    // does not allow it.
    bool PlayComputerMove(const TChessMove& move);
    void ShowPlainMessage(const QString& text);
    // A new player's name in the captions of the entries of the two games at this board.
    void RenameEntriesOfThisBoard(const QString& oldName);
    // The network branches of the opponent menu, the message poll and the state label.
    void OpponentItemClickNetwork(QAction* entry, std::int32_t tag);
    void PollActiveConnection();
    void ShowConnectionState();
    void ConnectNetworkHandlers();
    // The connection of a network slot, or null.
    TChessConnection* NetworkSlot(std::int32_t slot) const;
    // Lets the window paint and its timers run for `pause` while the user's input is dropped and
    // no poll starts.
    void NetworkWait(std::chrono::milliseconds pause);
    // Whether the window drops the event: the user's input while network play waits, and Enter
    // in the outgoing comment box.
    bool NetworkDropsEvent(QObject* watched, QEvent& event) const;
    // Writes the oldest waiting message of the slot once the one before it has been taken.
    void SendUnsent(std::int32_t slot);
    // Up to DeliveryPauses pauses until everything sent through the slot has been taken.
    bool WaitForDelivery(std::int32_t slot);
    // What a message of the active slot's opponent does: the game and the slot change in the
    // core, the window shows the outcome, asks about a game and sends the answer.
    void ActOnMessage(const TNetworkMessage& message);
    // Pairs the active slot with a player of the list of possible opponents.
    void PairWith(QAction* entry);

    // Set-up: a click on the board, leaving with "Fertig!" and the checks it makes.
    void SetUpMouseDown(int x, int y);
    void FinishSetUp();
    // The step of the en-passant fields; empty when it is a possible double step, otherwise
    // why it is not.
    QString ReadLastPawnMove(TChessMove& step);
    // A castling check box with the right it gives and where its king and rook must stand.
    struct TCastlingBox {
        QCheckBox* Box;
        std::int32_t Right;
        const char* HomeSquares;
    };
    std::array<TCastlingBox, 4> CastlingBoxes() const;
    void ShowSetUpPanel(bool show);
    // Palette pictures of the current piece set.
    void ShowSetUpPictures();

    TStretchedPicture FLightStretched;
    TStretchedPicture FDarkStretched;
    bool IsOwnShortcut(const class QKeyEvent& event) const;
    static bool MemoKeepsKey(const QWidget* widget, const class QKeyEvent& event);
};

// The colour of an empty square when the piece set has no picture of it.
QColor FallbackSquareColour(bool light);

// The letter a piece is drawn as when the piece set has no picture of it: its German initial
// (K König, D Dame, T Turm, L Läufer, S Springer, B Bauer); a blank for anything else.
QChar FallbackPieceLetter(TPieceCode piece);

// Turns a Qt key into the virtual-key code the program has always kept in LastKey (0 for keys
// without one).
std::uint16_t VirtualKeyCode(int qtKey);

}  // namespace tavlor
