// Start-up, shutdown, the window's layout and menus, help, about and the profiler memo.

#include "ui/ChessMainForm.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/FileAccess.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"
#include "ui/ComputerSettings.h"
#include "ui/Controls.h"
#include "ui/Icons.h"
#include "ui/ProfileReport.h"
#include "ui/RtfReader.h"
#include "ui/ShowComputerForm.h"

namespace tavlor {

namespace {

constexpr int cRightPanelWidth = 204;

QWidget* Panel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    return panel;
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption, int x, int y) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void FillBackground(QWidget* widget, QColor colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Settings file paths are handed to the core as the bytes the file system uses.
std::string FileSystemName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A value read from the settings file that would leave the window unusable is pulled into range.
int Bounded(std::int32_t value, int lowest, int highest) {
    return std::clamp(static_cast<int>(value), lowest, highest);
}

// How much of the title bar must lie on a screen for the window to be taken and moved.
constexpr int cTitleBarHeight = 24;
constexpr int cTitleBarGrip = 48;

// The frame position of a window of the given inner size, moved onto the primary screen when its
// title bar would lie on no screen (a screen gone since, a position stored off the top).
QPoint ReachablePosition(QPoint frame, QSize inner) {
    const QRect titleBar(frame, QSize(inner.width(), cTitleBarHeight));
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (titleBar.top() >= area.top() && titleBar.bottom() <= area.bottom() &&
            titleBar.intersected(area).width() >= std::min(cTitleBarGrip, inner.width()))
            return frame;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return frame;
    const QRect area = primary->availableGeometry();
    return QPoint(
        std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - inner.width())),
        std::clamp(frame.y(), area.top(),
                   std::max(area.top(), area.bottom() + 1 - cTitleBarHeight)));
}

}  // namespace

TfrmChessMainForm::TfrmChessMainForm(const TMainFormOptions& options, QWidget* parent)
    : QMainWindow(parent),
      ProgramDir(options.ProgramDir),
      WorkingDir(options.WorkingDir),
      Dialogs(options.Dialogs),
      Arguments(options.Arguments) {
    setObjectName("frmChessMainForm");
    setWindowIcon(ProgramIcon());
    CreateComponents();
    qApp->installEventFilter(this);
    FormCreate();
}

TfrmChessMainForm::~TfrmChessMainForm() {
    qApp->removeEventFilter(this);
    FormDestroy();
}

// ---- layout ----

void TfrmChessMainForm::CreateComponents() {
    CreateMenus();
    auto* client = new QWidget(this);
    client->setObjectName("pnlClient");
    FillBackground(client, QColor(171, 171, 171));  // the application work space colour
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateLeftPanel();
    CreateRightPanel();
    pnlLeft->setParent(client);
    pnlRightRegular->setParent(client);
    pnlRightSetUp->setParent(client);
    layout->addWidget(pnlLeft, 1);
    layout->addWidget(pnlRightRegular);
    layout->addWidget(pnlRightSetUp);
    setCentralWidget(client);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setFixedHeight(24);
    StatusBar->setSizeGripEnabled(true);
    StatusBarPanel = new QLabel(StatusBar);
    StatusBarPanel->setObjectName("StatusBarPanel");
    StatusBarPanel->setMinimumWidth(50);
    StatusBar->addWidget(StatusBarPanel, 1);
    setStatusBar(StatusBar);
    CreateTimers();
    CreateSetUpPanel();
    ConnectBoardHandlers();
    ConnectMoveHandlers();
    ConnectInputHandlers();
    ConnectComputerHandlers();
    ConnectOpponentHandlers();
}

void TfrmChessMainForm::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [&](QMenu* parentMenu, const char* name, const QString& title) {
        QMenu* created = parentMenu ? parentMenu->addMenu(title) : bar->addMenu(title);
        created->setObjectName(name);
        created->menuAction()->setObjectName(QString(name) + "Action");
        return created;
    };
    auto item = [](QMenu* parentMenu, const char* name, const QString& caption,
                   const QKeySequence& shortcut = {}) {
        QAction* action = parentMenu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };

    mnuFile = menu(nullptr, "mnuFile", "Datei");
    mnuNew = item(mnuFile, "mnuNew", "Neues Spiel");
    mnuFile->addSeparator();
    mnuLoad = item(mnuFile, "mnuLoad", "Spiel laden");
    mnuSave = item(mnuFile, "mnuSave", "Spiel sichern");
    mnuFile->addSeparator();
    mnuExit = item(mnuFile, "mnuExit", "Beenden");

    mnuView = menu(nullptr, "mnuView", "Ansicht");
    mnuRotate = item(mnuView, "mnuRotate", "Rotieren");
    mnuFigures = item(mnuView, "mnuFigures", "Figuren/Brett");
    mnuView->addSeparator();
    mnuMaxSize = item(mnuView, "mnuMaxSize", "Maximale Größe");
    mnuMaxSize->setCheckable(true);

    mnuMoves = menu(nullptr, "mnuMoves", "Zuege");
    mnuTakeBackMove = item(mnuMoves, "mnuTakeBackMove", "Einen zurueck",
                           QKeySequence(Qt::CTRL | Qt::Key_Backspace));
    mnuDoNextMove = item(mnuMoves, "mnuDoNextMove", "Einen vorwärts",
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backspace));
    mnuMoves->addSeparator();
    mnuToStartMove = item(mnuMoves, "mnuToStartMove", "Zum ersten Zug");
    mnuToLastMove = item(mnuMoves, "mnuToLastMove", "Zum letzten Zug");
    mnuMoves->addSeparator();
    mnuReplayFast = item(mnuMoves, "mnuReplayFast", "Spielwiederholung (1 Sekunde Pause)");
    mnuReplayMedium = item(mnuMoves, "mnuReplayMedium", "Spielwiederholung (5 Sekunden Pause)");
    mnuReplaySlow = item(mnuMoves, "mnuReplaySlow", "Spielwiederholung (15 Sekunden Pause)");
    mnuReplayVerySlow =
        item(mnuMoves, "mnuReplayVerySlow", "Spielwiederholung (30 Sekunden Pause)");

    mnuOpponent = menu(nullptr, "mnuOpponent", "Spielgegner");
    mnuNetWorkPath = item(mnuOpponent, "mnuNetWorkPath", "Neue Verbindung via Netzwerklaufwerk");
    mnuTCPIP = item(mnuOpponent, "mnuTCPIP", "Neue Verbindung via TCP/IP");
    mnuTCPIP->setVisible(false);
    mnuOpponent->addSeparator();
    mnuNextConnection = item(mnuOpponent, "mnuNextConnection", "Nächste Verbindung aktivieren",
                             QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    mnuLastConnection = item(mnuOpponent, "mnuLastConnection", "Letzte Verbindung aktivieren",
                             QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    mnuOpponent->addSeparator();
    mnuWhoWouldLikeToPlay =
        menu(mnuOpponent, "mnuWhoWouldLikeToPlay", "Liste der möglichen Spielgegner -");

    mnuSpecial = menu(nullptr, "mnuSpecial", "Extra");
    mnuReadCompStrength = item(mnuSpecial, "mnuReadCompStrength", "Spielstärke des Rechners");
    mnuSpecial->addSeparator();
    mnuSetUp = item(mnuSpecial, "mnuSetUp", "Brett aufstellen");
    mnuEnterFEN = item(mnuSpecial, "mnuEnterFEN", "Eingabe in Forsyth-Edwards-Notation");
    mnuCopyFEN = item(mnuSpecial, "mnuCopyFEN", "Stellung kopieren (FEN)",
                      QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuCopyPGN = item(mnuSpecial, "mnuCopyPGN", "Partie kopieren (PGN)",
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    mnuPaste =
        item(mnuSpecial, "mnuPaste", "Einfügen (FEN oder PGN)", QKeySequence(Qt::CTRL | Qt::Key_V));
    mnuSpecial->addSeparator();
    mnuAnalyse = item(mnuSpecial, "mnuAnalyse", "Computerzug / Tiefenanalyse",
                      QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuComputerDraw =
        item(mnuSpecial, "mnuComputerDraw", "Computzerzug", QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuComputerPlayAgainstHimself = item(mnuSpecial, "mnuComputerPlayAgainstHimself",
                                         "Der Rechner spielt gegen sich selber...");
    mnuSpecial->addSeparator();
    mnuEnterName = item(mnuSpecial, "mnuEnterName", "Namen eingeben");
    mnuSpecial->addSeparator();
    mnuTransfer = item(mnuSpecial, "mnuTransfer", "Aktuelles Spiel zum Gegner senden");

    // A menu-bar entry without items that acts when clicked.
    mnuProfile = bar->addAction("Profiler");
    mnuProfile->setObjectName("mnuProfile");

    mnuHelp = menu(nullptr, "mnuHelp", "Hilfe");
    mneTextHelp = item(mnuHelp, "mneTextHelp", "Kurzanleitung", QKeySequence(Qt::Key_F1));
    mnuAbout = item(mnuHelp, "mnuAbout", "Über Tavlor...");

    connect(mnuExit, &QAction::triggered, this, &TfrmChessMainForm::mnuExitClick);
    connect(mnuProfile, &QAction::triggered, this, &TfrmChessMainForm::mnuProfileClick);
    connect(mneTextHelp, &QAction::triggered, this, &TfrmChessMainForm::ShowHelp);
    connect(mnuAbout, &QAction::triggered, this, &TfrmChessMainForm::mnuAboutClick);
}

void TfrmChessMainForm::CreateRightPanel() {
    pnlRightRegular = Panel(nullptr, "pnlRightRegular");
    pnlRightRegular->setFixedWidth(cRightPanelWidth);
    FillBackground(pnlRightRegular, palette().color(QPalette::Window));
    auto* layout = new QVBoxLayout(pnlRightRegular);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlRightRegularTop = Panel(pnlRightRegular, "pnlRightRegularTop");
    pnlRightRegularTop->setFixedHeight(76);
    imgWhichToMove = new TImage(pnlRightRegularTop);
    imgWhichToMove->setObjectName("imgWhichToMove");
    imgWhichToMove->setGeometry(4, 4, 20, 20);
    lblWhichToMove = Label(pnlRightRegularTop, "lblWhichToMove", "", 32, 8);
    lblWhichToMove->setFixedWidth(cRightPanelWidth - 36);
    QFont bold = lblWhichToMove->font();
    bold.setBold(true);
    lblWhichToMove->setFont(bold);
    lblComputerMovesDone = Label(pnlRightRegularTop, "lblComputerMovesDone", "", 32, 24);
    lblComputerMovesDone->setFixedWidth(cRightPanelWidth - 36);
    lblTimeWhite = Label(pnlRightRegularTop, "lblTimeWhite", "Weiss :", 4, 40);
    lblTimeBlack = Label(pnlRightRegularTop, "lblTimeBlack", "Schwarz :", 4, 56);
    lblWhiteTime = Label(pnlRightRegularTop, "lblWhiteTime", "", 64, 40);
    lblBlackTime = Label(pnlRightRegularTop, "lblBlackTime", "", 64, 56);
    for (QLabel* clock : {lblWhiteTime, lblBlackTime})
        clock->setFixedWidth(cRightPanelWidth - 68);
    layout->addWidget(pnlRightRegularTop);

    memMoves = new QPlainTextEdit(pnlRightRegular);
    memMoves->setObjectName("memMoves");
    // Read-only, yet enabled: the wheel and the scroll bar move through a long game.
    memMoves->setReadOnly(true);
    memMoves->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPointSize(8);
    memMoves->setFont(fixed);
    layout->addWidget(memMoves, 1);

    pnlRightRegularCapturedFigures = Panel(pnlRightRegular, "pnlRightRegularCapturedFigures");
    pnlRightRegularCapturedFigures->setFixedHeight(137);
    Label(pnlRightRegularCapturedFigures, "lblWhiteCapturedFigures",
          "Von Weiss eroberte Figuren :", 4, 2);
    Label(pnlRightRegularCapturedFigures, "lblBlackCapturedFigures",
          "Von Schwarz eroberte Figuren :", 4, 68);
    for (int i = 0; i < 16; ++i) {
        const int x = 4 + 24 * (i % 8);
        const int row = i / 8;
        imgWhiteCaptured[i] = new TImage(pnlRightRegularCapturedFigures);
        imgWhiteCaptured[i]->setObjectName(QString("imgWhiteCaptured%1").arg(i + 1));
        imgWhiteCaptured[i]->setGeometry(x, 20 + 22 * row, 20, 20);
        imgBlackCaptured[i] = new TImage(pnlRightRegularCapturedFigures);
        imgBlackCaptured[i]->setObjectName(QString("imgBlackCaptured%1").arg(i + 1));
        imgBlackCaptured[i]->setGeometry(x, 86 + 22 * row, 20, 20);
    }
    layout->addWidget(pnlRightRegularCapturedFigures);

    pnlRightSetUp = Panel(nullptr, "pnlRightSetUp");
    pnlRightSetUp->setFixedWidth(cRightPanelWidth);
    FillBackground(pnlRightSetUp, palette().color(QPalette::Window));
    pnlRightSetUp->hide();
}

void TfrmChessMainForm::CreateLeftPanel() {
    pnlLeft = Panel(nullptr, "pnlLeft");
    auto* layout = new QVBoxLayout(pnlLeft);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlLeftClient = Panel(pnlLeft, "pnlLeftClient");
    auto* clientLayout = new QGridLayout(pnlLeftClient);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    imgMainBoard = new TImage(pnlLeftClient);
    imgMainBoard->setObjectName("imgMainBoard");
    imgMainBoard->setMinimumSize(8, 8);
    clientLayout->addWidget(imgMainBoard, 0, 0);
    memProfile = new QPlainTextEdit(pnlLeftClient);
    memProfile->setObjectName("memProfile");
    memProfile->setReadOnly(true);
    memProfile->hide();
    clientLayout->addWidget(memProfile, 0, 0);
    layout->addWidget(pnlLeftClient, 1);

    splLeftClient = new TSplitterBar(pnlLeft);
    splLeftClient->setObjectName("splLeftClient");
    splLeftClient->MinSize = 1;
    layout->addWidget(splLeftClient);

    pnlLeftBottomComputer = Panel(pnlLeft, "pnlLeftBottomComputer");
    pnlLeftBottomComputer->setFixedHeight(130);
    FillBackground(pnlLeftBottomComputer, Qt::white);
    CreateComputerValueLabels(
        pnlLeftBottomComputer, 4, 16, 180, 400,
        {&lblWert_, &lblKnoten_, &lblKnotenPerSecond_, &lblTime_, &lblCalcDraw_, &lblMainVar_});
    btnLeftBottomComputerStop = new QPushButton("Bester Zug ausführen", pnlLeftBottomComputer);
    btnLeftBottomComputerStop->setObjectName("btnLeftBottomComputerStop");
    btnLeftBottomComputerStop->setGeometry(8, 102, 170, 24);
    btnLeftBottomComputerStop->setEnabled(false);
    layout->addWidget(pnlLeftBottomComputer);

    pnlLeftBottomHuman = Panel(pnlLeft, "pnlLeftBottomHuman");
    pnlLeftBottomHuman->setFixedHeight(130);
    FillBackground(pnlLeftBottomHuman, Qt::white);
    auto* humanLayout = new QVBoxLayout(pnlLeftBottomHuman);
    humanLayout->setContentsMargins(4, 2, 4, 4);
    humanLayout->setSpacing(2);
    auto* header = new QLabel("Kommentare", pnlLeftBottomHuman);
    header->setObjectName("lblLeftBottomHeader");
    QFont headerFont = header->font();
    headerFont.setBold(true);
    header->setFont(headerFont);
    humanLayout->addWidget(header);
    auto* row = new QHBoxLayout;
    auto* boxes = new QVBoxLayout;
    boxes->setSpacing(0);
    memLeftBottomClientSend = new QPlainTextEdit(pnlLeftBottomHuman);
    memLeftBottomClientSend->setObjectName("memLeftBottomClientSend");
    boxes->addWidget(memLeftBottomClientSend, 1);
    splLeftBottomClient = new TSplitterBar(pnlLeftBottomHuman);
    splLeftBottomClient->setObjectName("splLeftBottomClient");
    boxes->addWidget(splLeftBottomClient);
    memLeftBottomClientReceive = new QPlainTextEdit(pnlLeftBottomHuman);
    memLeftBottomClientReceive->setObjectName("memLeftBottomClientReceive");
    memLeftBottomClientReceive->setReadOnly(true);
    memLeftBottomClientReceive->setFixedHeight(56);
    QPalette silver = memLeftBottomClientReceive->palette();
    silver.setColor(QPalette::Base, QColor(192, 192, 192));
    memLeftBottomClientReceive->setPalette(silver);
    boxes->addWidget(memLeftBottomClientReceive);
    splLeftBottomClient->SetControls({memLeftBottomClientReceive});
    row->addLayout(boxes, 1);
    auto* buttons = new QVBoxLayout;
    btnLeftBottomRightSendSet = new QPushButton("Senden / Übernehmen", pnlLeftBottomHuman);
    btnLeftBottomRightSendSet->setObjectName("btnLeftBottomRightSendSet");
    buttons->addWidget(btnLeftBottomRightSendSet);
    lblLeftBottomRightTransactionState = new QLabel(pnlLeftBottomHuman);
    lblLeftBottomRightTransactionState->setObjectName("lblLeftBottomRightTransactionState");
    lblLeftBottomRightTransactionState->setStyleSheet("color: green; font-weight: bold;");
    lblLeftBottomRightTransactionState->setWordWrap(true);
    buttons->addWidget(lblLeftBottomRightTransactionState);
    buttons->addStretch(1);
    row->addLayout(buttons);
    humanLayout->addLayout(row, 1);
    pnlLeftBottomHuman->hide();
    layout->addWidget(pnlLeftBottomHuman);

    splLeftClient->SetControls({pnlLeftBottomComputer, pnlLeftBottomHuman});
    connect(splLeftClient, &TSplitterBar::Moved, this, &TfrmChessMainForm::FormResize);
}

void TfrmChessMainForm::CreateTimers() {
    auto timer = [this](const char* name, int interval, bool singleShot) {
        auto* created = new QTimer(this);
        created->setObjectName(name);
        created->setInterval(interval);
        created->setSingleShot(singleShot);
        return created;
    };
    timRedraw = timer("timRedraw", 500, false);
    timChessBoardRedraw = timer("timChessBoardRedraw", 250, true);
    timMessages = timer("timMessages", 125, false);
    timStateTimer = timer("timStateTimer", 125, false);
    timDoComputerDraw = timer("timDoComputerDraw", 125, true);
    connect(timMessages, &QTimer::timeout, this, &TfrmChessMainForm::timMessagesTimer);
    connect(timStateTimer, &QTimer::timeout, this, &TfrmChessMainForm::timStateTimerTimer);
    connect(timDoComputerDraw, &QTimer::timeout, this, &TfrmChessMainForm::timDoComputerDrawTimer);
    timRedraw->start();
    timMessages->start();
    timStateTimer->start();
}

// ---- start-up and shutdown ----

void TfrmChessMainForm::FormCreate() {
    setWindowTitle(cProgramCaption);
    ChessBoard = std::make_unique<TChessBoard>();
    DarkSquareBitmap = QImage();
    LightSquareBitmap = QImage();
    UnderBitmap = QImage();
    DragPiece = cEmpty;
    SetUpPiece = cEmpty;
    NewGame();
    QCoreApplication::setApplicationName(windowTitle());

    if (!ProgramDir.isEmpty() && !ProgramDir.endsWith('/')) ProgramDir += '/';
    IniFile =
        std::make_unique<TIniFile>(FileSystemName(ProgramDir + QString(cSettingsFileName.data())));
    const TSettings settings = ReadSettings(*IniFile);
    // LEFT and TOP are the outer corner of the frame, WIDTH and HEIGHT the size inside it (what
    // pos() and size() give), the same when written at close.
    const QSize inner(Bounded(settings.Width, 200, 16384), Bounded(settings.Height, 150, 16384));
    resize(inner);
    move(ReachablePosition(QPoint(settings.Left, settings.Top), inner));
    BitmapSet = QString::fromStdString(settings.BitmapSet);
    NetworkPath = QString::fromStdString(settings.NetworkPath);
    PlayerName = QString::fromStdString(settings.PlayerName);
    pnlLeftBottomHuman->setFixedHeight(Bounded(settings.LeftBottomHum, 1, 16384));
    pnlLeftBottomComputer->setFixedHeight(Bounded(settings.LeftBottomCom, 1, 16384));
    memLeftBottomClientReceive->setFixedHeight(Bounded(settings.LeftBottomClient, 1, 16384));
    ComputerSettings =
        TComputerSettings{settings.ComputerStrength, settings.ComputerTime, settings.ComputerGame,
                          settings.MaterialOnly,     settings.AbsoluteDeep, settings.FiveMatOnly,
                          settings.MatQueen,         settings.MatRook,      settings.MatKnight,
                          settings.MatBishop,        settings.MatPawn};

    // A piece set that fails to load has shown its error; the window stays usable and draws
    // the missing pieces as letters.
    LoadPieceBitmaps();

    WhiteAtBottom = true;
    SetUpMode = false;
    for (auto& slot : Connections)
        slot.reset();
    ActiveConnection = 1;
    const std::pair<std::int32_t, std::string> fixedSlots[] = {{0, PlayerName.toStdString()},
                                                               {1, cComputerName}};
    for (const auto& [number, ownName] : fixedSlots) {
        auto slot = std::make_unique<TChessConnection>();
        slot->OwnName = ownName;
        slot->PeerName.clear();
        slot->SlotNumber = number;
        Connections[static_cast<std::size_t>(number)] = std::move(slot);
    }
    ComputerThinking = false;
    ShowInMainWindow = false;
    StopButtonPressed = false;
    ApplyDebugArgument();
}

void TfrmChessMainForm::ApplyDebugArgument() {
    const bool debug = !Arguments.isEmpty() && Arguments.front().toUpper() == "DEBUG";
    mnuProfile->setVisible(debug);
    mnuComputerPlayAgainstHimself->setVisible(debug);
}

void TfrmChessMainForm::FormClose() {
    if (!IniFile) return;
    // A maximised or minimised window stores its normal bounds; so does the board-only view.
    QRect bounds(pos(), size());
    if (mnuMaxSize->isChecked()) {
        bounds = SavedBounds;
    } else if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        const QPoint frameOffset = geometry().topLeft() - frameGeometry().topLeft();
        bounds = QRect(normalGeometry().topLeft() - frameOffset, normalGeometry().size());
    }
    TSettings settings;
    settings.Width = bounds.width();
    settings.Height = bounds.height();
    settings.Top = bounds.top();
    settings.Left = bounds.left();
    settings.BitmapSet = BitmapSet.toStdString();
    settings.NetworkPath = NetworkPath.toStdString();
    settings.PlayerName = PlayerName.toStdString();
    settings.LeftBottomHum = pnlLeftBottomHuman->height();
    settings.LeftBottomCom = pnlLeftBottomComputer->height();
    settings.LeftBottomClient = memLeftBottomClientReceive->height();
    settings.ComputerStrength = ComputerSettings.Strength;
    settings.ComputerTime = ComputerSettings.Time;
    settings.ComputerGame = ComputerSettings.Game;
    settings.MaterialOnly = ComputerSettings.MaterialOnly;
    settings.AbsoluteDeep = ComputerSettings.AbsoluteDeep;
    settings.FiveMatOnly = ComputerSettings.FiveMatOnly;
    settings.MatQueen = ComputerSettings.QueenValue;
    settings.MatRook = ComputerSettings.RookValue;
    settings.MatKnight = ComputerSettings.KnightValue;
    settings.MatBishop = ComputerSettings.BishopValue;
    settings.MatPawn = ComputerSettings.PawnValue;
    const TFileStatus status = WriteSettings(*IniFile, settings);
    IniFile.reset();
    // The window closes all the same; the settings of this run are lost.
    if (!status) Dialogs->ShowMessageBox("Fehler", QString::fromStdString(status.Message), mkError);
}

void TfrmChessMainForm::FormDestroy() {
    Destroying = true;
    for (QTimer* timer :
         {timRedraw, timChessBoardRedraw, timMessages, timStateTimer, timDoComputerDraw})
        timer->stop();
    ChessBoard.reset();
    DarkSquareBitmap = QImage();
    LightSquareBitmap = QImage();
    UnderBitmap = QImage();
    imlFigure.Clear();
    imlFigureSmall.Clear();
    for (auto& slot : Connections)
        slot.reset();
}

void TfrmChessMainForm::closeEvent(QCloseEvent* event) {
    if (ComputerMoveRunning) {
        // The search's frames are still live below this event: it is stopped, makes no move, and
        // the window closes once it has returned (StartComputerMove).
        CloseWhenComputerDone = true;
        StopButtonPressed = true;
        StopRequested = 1;
        frmShowComputerForm->close();
        event->ignore();
        return;
    }
    if (!Closed) {
        Closed = true;
        FormClose();
    }
    event->accept();
}

void TfrmChessMainForm::SetMenusEnabled(bool enabled) {
    for (QMenu* menu : {mnuFile, mnuMoves, mnuOpponent, mnuSpecial})
        menu->menuAction()->setEnabled(enabled);
}

void TfrmChessMainForm::mnuExitClick() {
    close();
}

void TfrmChessMainForm::mnuAboutClick() {
    Dialogs->ShowAbout();
}

// ---- help and profiler ----

QString TfrmChessMainForm::WorkingFolder() const {
    return WorkingDir.isEmpty() ? QDir::currentPath() : WorkingDir;
}

void TfrmChessMainForm::ShowHelp() {
    const QString fileName = QDir(WorkingFolder()).filePath(cHelpFileName);
    std::string bytes;
    const TFileStatus status = ReadFileBytes(FileSystemName(fileName), bytes);
    if (!status) {
        Dialogs->ShowMessageBox("Fehler", QString::fromStdString(status.Message), mkError);
        return;
    }
    const TRtfResult help = ReadRtf(bytes);
    if (!help.Ok) {
        Dialogs->ShowMessageBox("Fehler",
                                QString("Die Datei \"%1\" kann nicht angezeigt werden: %2")
                                    .arg(fileName, QString::fromStdString(help.Error)),
                                mkError);
        return;
    }
    Dialogs->ShowHelp(help.Document);
}

void TfrmChessMainForm::mnuProfileClick() {
    const bool show = !memProfile->isVisible();
    memProfile->setVisible(show);
    if (show) {
        memProfile->raise();
        memProfile->setPlainText(ProfileReport());
    }
}

// ---- key preview ----

bool TfrmChessMainForm::IsOwnShortcut(const QKeyEvent& event) const {
    const QKeySequence pressed(event.keyCombination());
    for (QAction* action : findChildren<QAction*>())
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
    return false;
}

// Copying a selected text and pasting into a comment being typed stay with the memo: a
// position copied instead, or a game pasted over the one on the board, would surprise the
// user there. Everywhere else the keys copy and paste positions and games.
bool TfrmChessMainForm::MemoKeepsKey(const QWidget* widget, const QKeyEvent& event) {
    const auto* memo = qobject_cast<const QPlainTextEdit*>(widget);
    if (!memo) return false;
    if (event.matches(QKeySequence::Copy)) return memo->textCursor().hasSelection();
    if (event.matches(QKeySequence::Paste)) return !memo->isReadOnly();
    return false;
}

bool TfrmChessMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (NetworkDropsEvent(watched, *event)) {
        event->ignore();  // a close asked for is refused, not carried out
        return true;
    }
    const QEvent::Type type = event->type();
    if (type == QEvent::Resize && watched == pnlLeftBottomComputer) FitMainLineLabel();
    if (type == QEvent::Resize && watched == imgMainBoard) KeepBoardIncrements();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-static-cast-downcast): type() names a key event
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress) {
        FormKeyDown(key->key());
    } else if (IsOwnShortcut(*key) && !MemoKeepsKey(widget, *key)) {
        // Menu shortcuts come before the editing keys of the memos (Ctrl+A, Ctrl+Z).
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmChessMainForm::ProcessMessages() {
    QCoreApplication::processEvents();
}

}  // namespace tavlor
