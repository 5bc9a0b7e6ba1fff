// Start-up, settings, shutdown, menus, help and the profiler memo of the main window.

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "UiTestSupport.h"
#include "engine/Profiler.h"
#include "platform/Settings.h"
#include "ui/ComputerSettings.h"

namespace tavlor::testing {
namespace {

std::tuple<int, int, int> PanelHeights(const TfrmChessMainForm& form) {
    return {form.pnlLeftBottomHuman->height(), form.pnlLeftBottomComputer->height(),
            form.memLeftBottomClientReceive->height()};
}

TEST(MainForm, DefaultsWithoutSettingsFileAreWrittenAtClose) {
    TFormFixture fixture;
    auto form = fixture.Start();
    EXPECT_EQ(QRect(form->pos(), form->size()), QRect(10, 10, 616, 596));
    EXPECT_EQ(form->BitmapSet, "USUAL");
    EXPECT_EQ(PanelHeights(*form), std::tuple(130, 130, 56));
    EXPECT_TRUE(form->pnlLeftBottomHuman->isHidden() && form->pnlRightSetUp->isHidden());
    EXPECT_TRUE(fixture.Dialogs.Calls.empty());
    EXPECT_FALSE(QFile::exists(fixture.IniFileName()));  // nothing is written before closing
    form->close();
    // The settings tests pin the bytes of the defaults.
    TIniFile defaults(fixture.ProgramDir().toStdString() + "Defaults.INI");
    ASSERT_TRUE(WriteSettings(defaults, TSettings{}));
    EXPECT_EQ(ReadFile(fixture.IniFileName()), ReadFile(fixture.ProgramDir() + "Defaults.INI"));
}

TEST(MainForm, WrittenSettingsAreReadBack) {
    const TComputerSettings stored{7, 120, 3, true, true, true, 901, 476, 276, 326, 99};
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
        ComputerSettings = stored;
        form->close();
    }
    ComputerSettings = TComputerSettings{};
    auto form = fixture.Start();
    EXPECT_EQ(QRect(form->pos(), form->size()), QRect(33, 44, 700, 640));
    EXPECT_EQ(QStringList({form->BitmapSet, form->NetworkPath, form->PlayerName}),
              QStringList({"MODERN", "/mnt/schach", "Jörg"}));
    EXPECT_EQ(PanelHeights(*form), std::tuple(101, 111, 41));
    EXPECT_EQ(form->imlFigure.Count(), 14);  // the MODERN set loaded
    const auto fields = [](const TComputerSettings& c) {
        return std::tuple(c.Strength, c.Time, c.Game, c.MaterialOnly, c.AbsoluteDeep, c.FiveMatOnly,
                          c.QueenValue, c.RookValue, c.KnightValue, c.BishopValue, c.PawnValue);
    };
    EXPECT_EQ(fields(ComputerSettings), fields(stored));
    ComputerSettings = TComputerSettings{};
}

TEST(MainForm, MaximumSizeComesBackExactlyAndAMaximisedWindowStoresItsNormalBounds) {
    TFormFixture fixture;
    auto form = fixture.Start();
    form->resize(700, 640);
    form->move(20, 30);
    form->show();
    QTest::qWait(400);  // fitted: the board a multiple of 8
    const QRect normal(form->pos(), form->size());
    const QSize around = form->baseSize();
    EXPECT_EQ(around, form->size() - form->imgMainBoard->size());
    EXPECT_EQ(form->sizeIncrement(), QSize(8, 8));
    for (int cycle = 1; cycle <= 5; ++cycle)
        for (const bool maximum : {true, false}) {  // the board alone, then everything again
            form->mnuMaxSize->trigger();
            QTest::qWait(50);
            EXPECT_EQ(form->mnuMaxSize->isChecked(), maximum);
            EXPECT_EQ(form->isFullScreen(), maximum);
            EXPECT_EQ(form->StatusBar->isVisible(), !maximum);
            EXPECT_EQ(form->pnlLeftBottomComputer->isVisible(), !maximum);
            EXPECT_TRUE(form->pnlRightRegular->isVisible() &&
                        !form->pnlLeftBottomHuman->isVisible());
            EXPECT_EQ(form->baseSize(), around);  // the steps of the normal layout stay
        }
    EXPECT_EQ(QRect(form->pos(), form->size()), normal);
    form->mnuMaxSize->trigger();
    QTest::qWait(50);
    form->close();  // with the board alone on the screen: the bounds it came from
    EXPECT_NE(ReadFile(fixture.IniFileName()).find("TOP=30\r\nLEFT=20\r\n"), std::string::npos);
    auto again = fixture.Start();
    again->show();
    QTest::qWait(50);
    again->showMaximized();
    QTest::qWait(50);
    again->close();
    EXPECT_NE(ReadFile(fixture.IniFileName()).find("TOP=30\r\nLEFT=20\r\n"), std::string::npos);
}

// A stored position whose title bar would lie on no screen is moved back onto the screen.
TEST(MainForm, StartsWithTheTitleBarOnTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const std::pair<QPoint, QPoint> cases[] = {
        {{10, 10}, {10, 10}},
        {{-500, 100}, {-500, 100}},  // partly off the left edge, yet there to be taken
        {{-700, -40}, {area.left(), area.top()}},
        {{area.right() + 50, 300}, {area.right() + 1 - 616, 300}},
        {{100, area.bottom() - 10}, {100, area.bottom() + 1 - 24}},
    };
    for (const auto& [stored, shown] : cases) {
        TFormFixture fixture(false);
        WriteFile(fixture.IniFileName(), QString("[COMMON]\r\nTOP=%1\r\nLEFT=%2\r\n")
                                             .arg(stored.y())
                                             .arg(stored.x())
                                             .toStdString());
        auto form = fixture.Start();
        EXPECT_EQ(form->pos(), shown) << stored.x() << "," << stored.y();
    }
}

// The second start opens with the size the first one fitted, so the window is not resized again.
TEST(MainForm, MainLineLabelFillsItsPanelAlsoOnTheNextStart) {
    TFormFixture fixture;
    for (int start = 1; start <= 2; ++start) {
        auto form = fixture.Start();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QTest::qWait(400);  // the board fitted to the window
        const QLabel* label = form->lblMainVar_;
        EXPECT_EQ(label->width(), form->pnlLeftBottomComputer->width() - label->x() - 16)
            << "start " << start;
        EXPECT_GT(label->width(), 100);
        form->close();
    }
}

TEST(MainForm, SettingsFileThatCannotBeWrittenIsReportedAndTheWindowCloses) {
    TFormFixture fixture;
    QDir().mkpath(fixture.IniFileName());  // a folder where the file should be
    auto form = fixture.Start();
    EXPECT_TRUE(fixture.Dialogs.Calls.empty());  // unreadable settings give the defaults
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_TRUE(fixture.Dialogs.LastIsError("Tavlor.INI"));
}

TEST(MainForm, DebugArgumentInAnyCaseShowsProfilerAndSelfPlay) {
    const std::vector<std::pair<QStringList, bool>> cases = {
        {{}, false}, {{"DeBuG"}, true}, {{"DEBUGX"}, false}, {{"x", "DEBUG"}, false}};
    for (const auto& [arguments, shown] : cases) {
        TFormFixture fixture(false);
        auto form = fixture.Start(arguments);
        EXPECT_EQ(form->mnuProfile->isVisible(), shown) << arguments.join(' ').toStdString();
        EXPECT_EQ(form->mnuComputerPlayAgainstHimself->isVisible(), shown);
    }
}

// A menu's entries in order: "-" for a separator, the shortcut in brackets, hidden ones marked.
QStringList Entries(const QWidget* menu) {
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        QString entry = action->isSeparator() ? "-" : action->text();
        if (!action->shortcut().isEmpty()) entry += " [" + action->shortcut().toString() + "]";
        if (!action->isVisible() && !action->isSeparator()) entry += " (hidden)";
        entries << entry;
    }
    return entries;
}

TEST(MainForm, MenusHaveTheirItemsSeparatorsAndShortcuts) {
    TFormFixture fixture(false);
    auto form = fixture.Start();
    const std::vector<std::pair<QWidget*, QStringList>> menus = {
        {form->menuBar(),
         {"Datei", "Ansicht", "Zuege", "Spielgegner", "Extra", "Profiler (hidden)", "Hilfe"}},
        {form->mnuFile, {"Neues Spiel", "-", "Spiel laden", "Spiel sichern", "-", "Beenden"}},
        {form->mnuView, {"Rotieren", "Figuren/Brett", "-", "Maximale Größe"}},
        {form->mnuMoves,
         {"Einen zurueck [Ctrl+Backspace]", "Einen vorwärts [Ctrl+Shift+Backspace]", "-",
          "Zum ersten Zug", "Zum letzten Zug", "-", "Spielwiederholung (1 Sekunde Pause)",
          "Spielwiederholung (5 Sekunden Pause)", "Spielwiederholung (15 Sekunden Pause)",
          "Spielwiederholung (30 Sekunden Pause)"}},
        {form->mnuOpponent,
         {"Neue Verbindung via Netzwerklaufwerk", "Neue Verbindung via TCP/IP (hidden)", "-",
          "Nächste Verbindung aktivieren [Ctrl+PgUp]", "Letzte Verbindung aktivieren [Ctrl+PgDown]",
          "-", "Liste der möglichen Spielgegner -"}},
        {form->mnuSpecial,
         {"Spielstärke des Rechners", "-", "Brett aufstellen",
          "Eingabe in Forsyth-Edwards-Notation", "Stellung kopieren (FEN) [Ctrl+C]",
          "Partie kopieren (PGN) [Ctrl+Shift+C]", "Einfügen (FEN oder PGN) [Ctrl+V]", "-",
          "Computerzug / Tiefenanalyse [Ctrl+A]", "Computzerzug [Ctrl+Z]",
          "Der Rechner spielt gegen sich selber... (hidden)", "-", "Namen eingeben", "-",
          "Aktuelles Spiel zum Gegner senden"}},
        {form->mnuHelp, {"Kurzanleitung [F1]", "Über Tavlor..."}},
    };
    for (const auto& [menu, entries] : menus)
        EXPECT_EQ(Entries(menu), entries);
}

TEST(MainForm, MissingPiecePictureIsReportedAndTheWindowStaysUsable) {
    TFormFixture fixture;
    ASSERT_TRUE(QFile::remove(fixture.ProgramDir() + "IMAGES/USUAL/WhiteQueen.bmp"));
    auto form = fixture.Start({"debug"});
    EXPECT_EQ(fixture.Dialogs.Calls.size(), 1u);
    EXPECT_TRUE(fixture.Dialogs.LastIsError("IMAGES/USUAL/WhiteQueen.bmp"));
    EXPECT_TRUE(form->mnuProfile->isVisible());  // the steps after loading still ran
    form->imgMainBoard->resize(400, 400);
    form->RedrawBoard();
    form->RefreshStatus();
    EXPECT_FALSE(form->imgMainBoard->Picture().isNull());
}

TEST(MainForm, HelpReadsTheShippedRtfFromTheWorkingFolderAndAboutGoesThroughTheDialogs) {
    TFormFixture fixture;
    auto form = fixture.Start();
    TScriptedDialogs& dialogs = fixture.Dialogs;
    const QString fileName = fixture.ProgramDir() + "Tavlor.rtf";
    form->ShowHelp();
    EXPECT_TRUE(dialogs.LastIsError(fileName));  // no file

    ASSERT_TRUE(QFile::copy(DataDir() + "/Tavlor.rtf", fileName));
    form->mneTextHelp->trigger();
    ASSERT_EQ(dialogs.Calls.back().Kind, "help");
    const QString text = dialogs.Calls.back().Text;
    for (const char* topic : {"Kurzanleitung", "Zuege", "Rechner", "Netzwerk", "aufstellen",
                              "Forsyth-Edwards", "sichern", "Spielwiederholung"})
        EXPECT_TRUE(text.contains(topic)) << topic;
    EXPECT_FALSE(text.contains('\\') || text.contains('{'));  // no control word leaked

    WriteFile(fileName, "kein RTF");
    form->ShowHelp();
    EXPECT_TRUE(dialogs.LastIsError(fileName));
    form->mnuAbout->trigger();
    EXPECT_EQ(dialogs.Calls.back().Kind, "about");
    EXPECT_EQ(dialogs.Calls.size(), 4u);
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
    form->mnuProfile->trigger();
    EXPECT_FALSE(form->memProfile->isVisible());
    ClearProfile();
    form->mnuProfile->trigger();  // shown again: read afresh
    EXPECT_TRUE(form->memProfile->toPlainText().isEmpty());
}

}  // namespace
}  // namespace tavlor::testing
