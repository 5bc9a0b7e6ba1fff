// Start-up, settings, shutdown, menus, timers, help and the profiler memo of the main window.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "UiTestSupport.h"
#include "engine/Profiler.h"
#include "ui/ComputerSettings.h"
#include "ui/Controls.h"

namespace tavlor::testing {
namespace {

// The keys of section COMMON in the order they are written, with their exact spellings.
const std::vector<std::string> cSettingsKeys = {"WIDTH",
                                                "HEIGHT",
                                                "TOP",
                                                "LEFT",
                                                "BITMAPS",
                                                "NETWORK",
                                                "PLAYERNAME",
                                                "LEFTBOTTOMHUM",
                                                "LEFTBOTTOMCOM",
                                                "LEFTBOTTOMCLIENT",
                                                "COMPUTERSTRENGTH",
                                                "COMPUTERTIME",
                                                "COMPUTERGAME",
                                                "MATERIALONLY",
                                                "ABSOLUTEDEEP",
                                                "FIVEMATONLY",
                                                "MatQueen ",
                                                "MatRook  ",
                                                "MatNight ",
                                                "MatBishop",
                                                "MatPawn  "};

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(MainForm, StartsWithDefaultsWithoutSettingsFile) {
    TFormFixture fixture;
    auto form = fixture.Start();
    EXPECT_EQ(form->width(), 616);
    EXPECT_EQ(form->height(), 596);
    EXPECT_EQ(form->pos(), QPoint(10, 10));
    EXPECT_EQ(form->BitmapSet, "USUAL");
    EXPECT_EQ(form->pnlLeftBottomHuman->height(), 130);
    EXPECT_EQ(form->pnlLeftBottomComputer->height(), 130);
    EXPECT_EQ(form->memLeftBottomClientReceive->height(), 56);
    EXPECT_EQ(form->windowTitle(), "Tavlor V2.0.3.1");
    EXPECT_TRUE(form->WhiteAtBottom);
    EXPECT_FALSE(form->SetUpMode);
    EXPECT_EQ(form->ActiveConnection, 1);
    EXPECT_EQ(form->imlFigure.Count(), 14);
    EXPECT_EQ(form->imlFigureSmall.Count(), 14);
    ASSERT_TRUE(form->Connections[0] && form->Connections[1]);
    EXPECT_EQ(form->Connections[1]->OwnName, "Fenno Drabel");
    EXPECT_EQ(form->Connections[1]->SlotNumber, 1);
    EXPECT_EQ(form->Connections[0]->SlotNumber, 0);
    for (std::size_t slot = 2; slot < form->Connections.size(); ++slot)
        EXPECT_FALSE(form->Connections[slot]);
    EXPECT_TRUE(fixture.Dialogs.Calls.empty());
    EXPECT_FALSE(QFile::exists(fixture.IniFileName()));  // nothing is written before closing
}

TEST(MainForm, ClosingWritesAllKeysInSectionCommon) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->close();
    const std::vector<std::string> lines = Lines(ReadFile(fixture.IniFileName()));
    ASSERT_EQ(lines.size(), cSettingsKeys.size() + 1);
    EXPECT_EQ(lines[0], "[COMMON]");
    const std::vector<std::string> values = {"616", "596", "10",  "10",  "USUAL", "",    "",
                                             "130", "130", "56",  "4",   "10",    "1",   "0",
                                             "0",   "0",   "900", "475", "275",   "325", "100"};
    for (std::size_t i = 0; i < cSettingsKeys.size(); ++i)
        EXPECT_EQ(lines[i + 1], cSettingsKeys[i] + "=" + values[i]);
}

TEST(MainForm, WrittenSettingsAreReadBack) {
    TFormFixture fixture;
    {
        auto form = fixture.Start();
        form->resize(700, 640);
        form->move(33, 44);
        form->BitmapSet = "MODERN";
        form->NetworkPath = "/mnt/schach";
        form->PlayerName = "Jörg";
        form->pnlLeftBottomHuman->setFixedHeight(101);
        form->pnlLeftBottomComputer->setFixedHeight(111);
        form->memLeftBottomClientReceive->setFixedHeight(41);
        ComputerSettings = TComputerSettings{7, 120, 3, true, true, true, 901, 476, 276, 326, 99};
        form->close();
    }
    ComputerSettings = TComputerSettings{};
    auto form = fixture.Start();
    EXPECT_EQ(form->size(), QSize(700, 640));
    EXPECT_EQ(form->pos(), QPoint(33, 44));
    EXPECT_EQ(form->BitmapSet, "MODERN");
    EXPECT_EQ(form->NetworkPath, "/mnt/schach");
    EXPECT_EQ(form->PlayerName, "Jörg");
    EXPECT_EQ(form->pnlLeftBottomHuman->height(), 101);
    EXPECT_EQ(form->pnlLeftBottomComputer->height(), 111);
    EXPECT_EQ(form->memLeftBottomClientReceive->height(), 41);
    const TComputerSettings& c = ComputerSettings;
    EXPECT_EQ(std::tie(c.Strength, c.Time, c.Game, c.MaterialOnly, c.AbsoluteDeep, c.FiveMatOnly),
              std::make_tuple(7, 120, std::uint8_t{3}, true, true, true));
    EXPECT_EQ(std::tie(c.QueenValue, c.RookValue, c.KnightValue, c.BishopValue, c.PawnValue),
              std::make_tuple(901, 476, 276, 326, 99));
    EXPECT_EQ(form->imlFigure.Count(), 14);  // the MODERN set loaded
    ComputerSettings = TComputerSettings{};
}

TEST(MainForm, MaximisedWindowStoresItsNormalBounds) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->resize(700, 640);
    form->move(20, 30);
    form->show();
    form->showMaximized();
    QTest::qWait(50);
    form->close();
    const std::vector<std::string> lines = Lines(ReadFile(fixture.IniFileName()));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 5),
              (std::vector<std::string>{"WIDTH=700", "HEIGHT=640", "TOP=30", "LEFT=20"}));
}

TEST(MainForm, MaximumSizeShowsOnlyTheBoardAndComesBack) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->resize(700, 640);
    form->move(20, 30);
    form->show();
    QTest::qWait(20);
    form->mnuMaxSize->trigger();
    QTest::qWait(50);
    EXPECT_TRUE(form->mnuMaxSize->isChecked());
    EXPECT_FALSE(form->StatusBar->isVisible());
    EXPECT_FALSE(form->pnlLeftBottomComputer->isVisible());
    EXPECT_FALSE(form->splLeftClient->isVisible());
    EXPECT_TRUE(form->pnlRightRegular->isVisible());
    EXPECT_EQ(form->SavedBounds, QRect(20, 30, 700, 640));
    form->mnuMaxSize->trigger();
    QTest::qWait(50);
    EXPECT_FALSE(form->mnuMaxSize->isChecked());
    EXPECT_TRUE(form->StatusBar->isVisible());
    EXPECT_TRUE(form->pnlLeftBottomComputer->isVisible());
    EXPECT_FALSE(form->pnlLeftBottomHuman->isVisible());
    EXPECT_TRUE(form->splLeftClient->isVisible());
    EXPECT_EQ(form->size(), QSize(700, 640));
}

TEST(MainForm, SettingsFileThatCannotBeWrittenIsReportedAndTheWindowCloses) {
    TFormFixture fixture;
    QDir().mkpath(fixture.IniFileName());  // a folder where the file should be
    auto form = fixture.Start();
    EXPECT_TRUE(fixture.Dialogs.Calls.empty());  // unreadable settings give the defaults
    EXPECT_EQ(form->width(), 616);
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Caption, "Fehler");
    EXPECT_TRUE(fixture.Dialogs.Calls[0].Text.contains("Tavlor.INI"))
        << fixture.Dialogs.Calls[0].Text.toStdString();
}

TEST(MainForm, DebugArgumentInAnyCaseShowsProfilerAndSelfPlay) {
    const std::vector<std::pair<QStringList, bool>> cases = {
        {{}, false},         {{"DEBUG"}, true},  {{"debug"}, true},      {{"DeBuG"}, true},
        {{"DEBUGX"}, false}, {{"other"}, false}, {{"x", "DEBUG"}, false}};
    for (const auto& [arguments, shown] : cases) {
        TFormFixture fixture(false);
        auto form = fixture.Start(arguments);
        EXPECT_EQ(form->mnuProfile->isVisible(), shown) << arguments.join(' ').toStdString();
        EXPECT_EQ(form->mnuComputerPlayAgainstHimself->isVisible(), shown);
    }
}

// Captions of a menu's entries in order, "-" for a separator, "(hidden)" marking hidden items.
QStringList Entries(QMenu* menu) {
    QStringList entries;
    for (QAction* action : menu->actions()) {
        QString entry = action->isSeparator() ? "-" : action->text();
        if (!action->isVisible() && !action->isSeparator()) entry += " (hidden)";
        entries << entry;
    }
    return entries;
}

TEST(MainForm, MenusHaveTheirItemsSeparatorsAndShortcuts) {
    TFormFixture fixture(false);
    auto form = fixture.Start();
    const std::vector<std::pair<QMenu*, QStringList>> menus = {
        {form->mnuFile, {"Neues Spiel", "-", "Spiel laden", "Spiel sichern", "-", "Beenden"}},
        {form->mnuView, {"Rotieren", "Figuren/Brett", "-", "Maximale Größe"}},
        {form->mnuMoves,
         {"Einen zurueck", "Einen vorwärts", "-", "Zum ersten Zug", "Zum letzten Zug", "-",
          "Spielwiederholung (1 Sekunde Pause)", "Spielwiederholung (5 Sekunden Pause)",
          "Spielwiederholung (15 Sekunden Pause)", "Spielwiederholung (30 Sekunden Pause)"}},
        {form->mnuOpponent,
         {"Neue Verbindung via Netzwerklaufwerk", "Neue Verbindung via TCP/IP (hidden)", "-",
          "Nächste Verbindung aktivieren", "Letzte Verbindung aktivieren", "-",
          "Liste der möglichen Spielgegner -"}},
        {form->mnuSpecial,
         {"Spielstärke des Rechners", "-", "Brett aufstellen",
          "Eingabe in Forsyth-Edwards-Notation", "-", "Computerzug / Tiefenanalyse", "Computzerzug",
          "Der Rechner spielt gegen sich selber... (hidden)", "-", "Namen eingeben", "-",
          "Aktuelles Spiel zum Gegner senden"}},
        {form->mnuHelp, {"Kurzanleitung", "Über Tavlor..."}},
    };
    for (const auto& [menu, entries] : menus)
        EXPECT_EQ(Entries(menu), entries);

    QStringList titles;
    for (QAction* action : form->menuBar()->actions())
        titles << action->text() + (action->isVisible() ? "" : " (hidden)");
    EXPECT_EQ(titles, QStringList({"Datei", "Ansicht", "Zuege", "Spielgegner", "Extra",
                                   "Profiler (hidden)", "Hilfe"}));

    const std::vector<std::pair<const char*, QKeySequence>> shortcuts = {
        {"mnuTakeBackMove", QKeySequence(Qt::CTRL | Qt::Key_Backspace)},
        {"mnuDoNextMove", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backspace)},
        {"mnuNextConnection", QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        {"mnuLastConnection", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {"mnuAnalyse", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"mnuComputerDraw", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"mneTextHelp", QKeySequence(Qt::Key_F1)},
        {"mnuNew", QKeySequence()},
    };
    for (const auto& [name, shortcut] : shortcuts) {
        auto* action = form->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->shortcut(), shortcut) << name;
    }
    EXPECT_TRUE(form->mnuMaxSize->isCheckable());
    EXPECT_FALSE(form->mnuMaxSize->isChecked());
}

TEST(MainForm, ComponentsAreFoundByName) {
    TFormFixture fixture(false);
    auto form = fixture.Start();
    for (const char* name : {"pnlRightRegular",
                             "pnlRightRegularTop",
                             "imgWhichToMove",
                             "lblWhichToMove",
                             "lblComputerMovesDone",
                             "lblTimeWhite",
                             "lblTimeBlack",
                             "lblWhiteTime",
                             "lblBlackTime",
                             "memMoves",
                             "pnlRightRegularCapturedFigures",
                             "imgWhiteCaptured1",
                             "imgWhiteCaptured16",
                             "imgBlackCaptured1",
                             "imgBlackCaptured16",
                             "pnlRightSetUp",
                             "pnlLeft",
                             "imgMainBoard",
                             "memProfile",
                             "splLeftClient",
                             "pnlLeftBottomComputer",
                             "pnlLeftBottomHuman",
                             "memLeftBottomClientSend",
                             "memLeftBottomClientReceive",
                             "btnLeftBottomRightSendSet",
                             "lblLeftBottomRightTransactionState",
                             "btnLeftBottomComputerStop",
                             "lblWert_",
                             "lblKnoten_",
                             "lblKnotenPerSecond_",
                             "lblTime_",
                             "lblCalcDraw_",
                             "lblMainVar_",
                             "StatusBar"})
        EXPECT_NE(form->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(form->lblTimeWhite->text(), "Weiss :");
    EXPECT_EQ(form->lblTimeBlack->text(), "Schwarz :");
    EXPECT_EQ(form->lblMainVar_->text(), "-/-");
    EXPECT_TRUE(form->pnlLeftBottomHuman->isHidden());
    EXPECT_TRUE(form->pnlRightSetUp->isHidden());
    EXPECT_FALSE(form->memMoves->isEnabled());
}

TEST(MainForm, TimersHaveTheirIntervals) {
    TFormFixture fixture(false);
    auto form = fixture.Start();
    struct TRow {
        const char* Name;
        int Interval;
        bool Active;
    };
    for (const TRow& row : {TRow{"timRedraw", 500, true}, TRow{"timChessBoardRedraw", 250, false},
                            TRow{"timMessages", 125, true}, TRow{"timStateTimer", 125, true},
                            TRow{"timDoComputerDraw", 125, false}}) {
        auto* timer = form->findChild<QTimer*>(row.Name);
        ASSERT_NE(timer, nullptr) << row.Name;
        EXPECT_EQ(timer->interval(), row.Interval) << row.Name;
        EXPECT_EQ(timer->isActive(), row.Active) << row.Name;
    }
    EXPECT_TRUE(form->timChessBoardRedraw->isSingleShot());
}

TEST(MainForm, SetMenusEnabledSwitchesTheFourGameMenus) {
    TFormFixture fixture(false);
    auto form = fixture.Start();
    form->SetMenusEnabled(false);
    for (QMenu* menu : {form->mnuFile, form->mnuMoves, form->mnuOpponent, form->mnuSpecial})
        EXPECT_FALSE(menu->menuAction()->isEnabled()) << menu->title().toStdString();
    EXPECT_TRUE(form->mnuView->menuAction()->isEnabled());
    EXPECT_TRUE(form->mnuHelp->menuAction()->isEnabled());
    form->SetMenusEnabled(true);
    for (QMenu* menu : {form->mnuFile, form->mnuMoves, form->mnuOpponent, form->mnuSpecial})
        EXPECT_TRUE(menu->menuAction()->isEnabled());
}

TEST(MainForm, MissingPiecePictureIsReportedAndTheWindowStaysUsable) {
    TFormFixture fixture;
    ASSERT_TRUE(QFile::remove(fixture.ProgramDir() + "IMAGES/USUAL/WhiteQueen.bmp"));
    auto form = fixture.Start({"debug"});
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Caption, "Fehler");
    EXPECT_EQ(fixture.Dialogs.Calls[0].MessageKind, mkError);
    EXPECT_TRUE(fixture.Dialogs.Calls[0].Text.contains("IMAGES/USUAL/WhiteQueen.bmp"));
    EXPECT_EQ(form->imlFigure.Count(), 1);  // the king came before the queen
    // The steps after loading still ran.
    EXPECT_TRUE(form->mnuProfile->isVisible());
    EXPECT_EQ(form->ActiveConnection, 1);
    form->imgMainBoard->resize(400, 400);
    form->RedrawBoard();
    form->RefreshStatus();
    EXPECT_FALSE(form->imgMainBoard->Picture().isNull());
}

TEST(MainForm, HelpReadsTheRtfFileOfTheWorkingFolder) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->ShowHelp();
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Kind, "message");
    EXPECT_EQ(fixture.Dialogs.Calls[0].Caption, "Fehler");
    EXPECT_TRUE(fixture.Dialogs.Calls[0].Text.contains(fixture.ProgramDir() + "Tavlor.rtf"));

    WriteFile(fixture.ProgramDir() + "Tavlor.rtf", "{\\rtf1 Hallo {\\b Welt}\\par}");
    fixture.Dialogs.Calls.clear();
    form->mneTextHelp->trigger();
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Kind, "help");
    EXPECT_EQ(fixture.Dialogs.Calls[0].Text, "Hallo Welt");

    WriteFile(fixture.ProgramDir() + "Tavlor.rtf", "kein RTF");
    fixture.Dialogs.Calls.clear();
    form->ShowHelp();
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Caption, "Fehler");
    EXPECT_TRUE(fixture.Dialogs.Calls[0].Text.contains("Tavlor.rtf"));
}

TEST(MainForm, ShippedHelpTextIsReadable) {
    const TRtfResult help = ReadRtf(ReadFile(DataDir() + "/Tavlor.rtf"));
    ASSERT_TRUE(help.Ok) << help.Error;
    const QString text = QString::fromStdString(help.Document.PlainText());
    for (const char* topic : {"Kurzanleitung", "Zuege", "Rechner", "Netzwerk", "aufstellen",
                              "Forsyth-Edwards", "sichern", "Spielwiederholung"})
        EXPECT_TRUE(text.contains(topic)) << topic;
    EXPECT_FALSE(text.contains('\\'));  // no control word leaked into the text
    EXPECT_FALSE(text.contains('{'));
}

TEST(MainForm, ProfilerMenuTogglesTheMemo) {
    TFormFixture fixture;
    auto form = fixture.Start({"DEBUG"});
    form->show();
    ClearProfile();
    ProfileTable()[0] = TProfileEntry{"Search", 0, SecondsToDays(1.5), 3};
    form->mnuProfile->trigger();
    EXPECT_TRUE(form->memProfile->isVisible());
    EXPECT_EQ(form->memProfile->toPlainText(),
              QString::fromStdString(ProfileText()).replace("\r\n", "\n"));
    EXPECT_TRUE(form->memProfile->toPlainText().startsWith("Search : 1"));
    ClearProfile();
    form->mnuProfile->trigger();
    EXPECT_FALSE(form->memProfile->isVisible());
    EXPECT_TRUE(form->memProfile->toPlainText().startsWith("Search : 1"));  // untouched
    form->mnuProfile->trigger();
    EXPECT_TRUE(form->memProfile->toPlainText().isEmpty());
}

TEST(MainForm, AboutGoesThroughTheDialogs) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->mnuAbout->trigger();
    ASSERT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_EQ(fixture.Dialogs.Calls[0].Kind, "about");
}

}  // namespace
}  // namespace tavlor::testing
