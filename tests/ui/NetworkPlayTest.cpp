// Two players at two windows of this process, each a new user with a settings folder of its own,
// both pointed at one shared folder and driven through their menus, mouse, buttons and message
// polls: announcing, pairing, moves and comments both ways, game transfers, switching games, and
// what goes wrong on the way.

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>

#include "UiTestSupport.h"
#include "bench/LongestGame.h"
#include "rules/MoveGeneration.h"

namespace tavlor::testing {
namespace {

using namespace std::chrono_literals;

// A new user's window, named when it first asks. Its poll runs when the test calls it, its waits
// for delivery are short.
struct TPlayer : TBoard {
    explicit TPlayer(const QString& name)
        : TBoard([name](TBoard& board) { board.Dialogs.NameAnswers = {name}; }) {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !Form->PlayerName.isEmpty(); }));
        Form->timMessages->setInterval(3600 * 1000);
        Form->DeliveryPause = 1ms;
        Form->DeliveryPauses = 3;
        Form->GameTransferWait = 0ms;
    }
    void Open(const QString& folder) {
        Dialogs.Answers.push_back(folder);
        Form->mnuNetWorkPath->trigger();
    }
    void Poll() { Form->timMessagesTimer(); }
    QStringList Listed() const {
        QStringList names;
        for (QAction* entry : Form->mnuWhoWouldLikeToPlay->actions())
            names << entry->text();
        return names;
    }
    QAction* Entry(QMenu* menu, const QString& caption) const {
        for (QAction* entry : menu->actions())
            if (entry->text() == caption) return entry;
        return nullptr;
    }
    TChessBoard& Game() const { return *Form->ChessBoard; }
    TChessConnection& Slot() const {
        return *Form->Connections[static_cast<std::size_t>(Form->ActiveConnection)];
    }
    QString Received() const { return Form->memLeftBottomClientReceive->toPlainText(); }
    QString State() {
        Form->timStateTimerTimer();
        return Form->lblLeftBottomRightTransactionState->text();
    }
};

// Tom and Eva with a shared folder; while one waits for delivery, the other polls.
class NetworkPlay : public ::testing::Test {
protected:
    void SetUp() override {
        Tom.Form->NetworkPause = [this](std::chrono::milliseconds) { Eva.Poll(); };
        Eva.Form->NetworkPause = [this](std::chrono::milliseconds) { Tom.Poll(); };
    }
    void Pair() {
        Tom.Open(Shared.path());
        Eva.Open(Shared.path());
        Tom.Poll();
        Eva.Poll();
        ASSERT_EQ(Eva.Listed(), QStringList{"Tom"});
        Eva.Entry(Eva.Form->mnuWhoWouldLikeToPlay, "Tom")->trigger();
        Tom.Poll();  // Eva's confirmation names an entry of Tom's list: Tom pairs too
        Eva.Poll();
        ASSERT_TRUE(Tom.Slot().Connected && Eva.Slot().Connected);
    }

    QTemporaryDir Shared;
    TPlayer Tom{"Tom"};
    TPlayer Eva{"Eva"};
};

TEST_F(NetworkPlay, AnnouncePairAndPlayMovesAndCommentsBothWays) {
    Tom.Open(Shared.path());
    Tom.Poll();
    QAction* waiting = Tom.Entry(Tom.Form->mnuOpponent, "Tom -/- ");
    EXPECT_TRUE(waiting->isChecked());
    Tom.Entry(Tom.Form->mnuOpponent, "Tom -/- Tom")->trigger();
    waiting->trigger();  // back to the unpaired slot
    EXPECT_EQ(Tom.Form->ActiveConnection, 2);
    EXPECT_TRUE(waiting->isChecked());
    EXPECT_EQ(Tom.State(), "Nicht verbunden");
    Eva.Open(Shared.path());
    Tom.Poll();
    Eva.Form->mnuOpponentClick();  // the menu opens: the list is made afresh
    EXPECT_EQ(Tom.Listed(), QStringList{"Eva"});
    EXPECT_EQ(Eva.Listed(), QStringList{"Tom"});
    Eva.Entry(Eva.Form->mnuWhoWouldLikeToPlay, "Tom")->trigger();
    EXPECT_TRUE(Eva.Entry(Eva.Form->mnuOpponent, "Tom")->isChecked());
    EXPECT_EQ(Eva.Entry(Eva.Form->mnuOpponent, "Eva -/- "), nullptr);
    EXPECT_TRUE(Eva.Form->pnlLeftBottomHuman->isVisible());
    Tom.Poll();
    EXPECT_EQ(Tom.Slot().PeerName, "Eva");
    EXPECT_EQ(Tom.Received(), "Eva hat auf die Spielanfrage reagiert.");
    Eva.Poll();  // the second confirmation finds nobody in the list any more
    EXPECT_EQ(Eva.Received(), "Tom hat auf die Spielanfrage reagiert.");
    EXPECT_TRUE(Eva.Listed().isEmpty());
    Tom.Poll();
    EXPECT_EQ(Tom.Form->windowTitle(), "Tavlor V2.0.3.1   Tom -/- Eva");
    EXPECT_EQ(Tom.State(), "Warte auf Antwort");

    Tom.Form->memLeftBottomClientSend->setPlainText("Viel Glück!");
    Tom.Drag("e2e4");
    EXPECT_EQ(Eva.At("e4"), cWhitePawn);
    EXPECT_EQ(Eva.Received(), "Viel Glück!");
    EXPECT_EQ(Eva.Game().GetComment(1, 1), "Viel Glück!");  // kept when Eva saves now
    EXPECT_FALSE(Eva.Slot().LocalIsWhite);
    Tom.Drag("d2d4");  // Black is to move: Tom waits
    Eva.Drag("d2d4");  // and Eva plays Black
    EXPECT_EQ(Eva.Game().PlyCount, 1);
    Eva.Drag("e7e5");
    EXPECT_EQ(Tom.At("e5"), cBlackPawn);
    EXPECT_TRUE(Tom.Slot().LocalIsWhite);

    QPlainTextEdit* send = Eva.Form->memLeftBottomClientSend;
    send->clear();
    QTest::keyClicks(send, "Da");
    QTest::keyClick(send, Qt::Key_Return);
    QTest::keyClicks(send, "nke");
    Eva.Form->btnLeftBottomRightSendSet->click();
    EXPECT_EQ(Tom.Received(), "Danke");
    EXPECT_EQ(Eva.Game().GetComment(0, 2), "Danke");
    Eva.Form->mnuTCPIP->trigger();
    EXPECT_EQ(Eva.Dialogs.Messages(), QStringList{"In Kürze..."});
    EXPECT_TRUE(Tom.Dialogs.Messages().isEmpty());
}

TEST_F(NetworkPlay, GameTransfersAcceptedRejectedAndDamaged) {
    Pair();
    PlayMoves(*Tom.Form, {"g1f3", "g8f6", "b1c3"});
    struct TCase {
        const char* Answer;
        bool Damaged;
        bool Taken;
        const char* AtSender;
    } cases[] = {
        {"cancel", false, false, "Ihr Spielgegner hat die Übertragung des Spieles abgewiesen!"},
        {"ok", true, false, "Ihr Spielgegner hat die Übertragung des Spieles abgewiesen!"},
        {"ok", false, true,
         "Ihr Spielgegner hat die Übertragung des Spieles akzeptiert - Beide Spielbretter sind "
         "nun identisch!"},
    };
    for (const TCase& row : cases) {
        SCOPED_TRACE(std::string(row.Answer) + (row.Damaged ? " damaged" : ""));
        Eva.Dialogs.Calls.clear();
        Eva.Dialogs.Answers = {row.Answer};
        if (row.Damaged) {
            std::vector<std::string> lines = GameTransferLines(Tom.Game());
            lines[1] = "|x|";
            ASSERT_EQ(Tom.Slot().Send(lines, TMessageType::mtResetBoard), TConnectionState::csSent);
        } else {
            Tom.Form->mnuTransfer->trigger();
        }
        Eva.Poll();
        EXPECT_EQ(Eva.Dialogs.Calls.front().Text,
                  "Ihr Spielgegener hat ein neues Spiel gesandt. Übertragung akzeptieren?");
        EXPECT_EQ(Eva.Game().PlyCount, row.Taken ? 3 : 0);
        EXPECT_EQ(Eva.Dialogs.Messages().size(), row.Damaged ? 1 : 0);
        Tom.Poll();
        EXPECT_EQ(Tom.Dialogs.Messages().back(), row.AtSender);
    }
    // Tom's clock has run on since the game was sent; the rest must be the same.
    Eva.Game().WhiteTime = Tom.Game().WhiteTime;
    Eva.Game().BlackTime = Tom.Game().BlackTime;
    EXPECT_EQ(WriteGameLines(Eva.Game()), WriteGameLines(Tom.Game()));
    EXPECT_FALSE(Eva.Slot().LocalIsWhite);
    EXPECT_FALSE(Tom.Slot().LocalIsWhite);
    Eva.Drag("b8c6");
    EXPECT_EQ(Tom.Game().PlyCount, 4);
}

// Each side's PGN names the players as they play: Tom, who opened, White.
TEST_F(NetworkPlay, PgnNamesBothPlayers) {
    Pair();
    Tom.Drag("e2e4");
    for (TPlayer* player : {&Tom, &Eva}) {
        player->Form->mnuCopyPGN->trigger();
        EXPECT_TRUE(
            QGuiApplication::clipboard()->text().contains("[White \"Tom\"]\n[Black \"Eva\"]\n"));
    }
}

// A game written line by line was taken half-written, and its answer taken again and again by
// a sender that polled meanwhile.
TEST_F(NetworkPlay, LongestGameArrivesWholeAndItsAnswerOnce) {
    Pair();
    bench::LongestGame().CopyGame(Tom.Game());
    Tom.Form->mnuTransfer->trigger();
    Eva.Form->GameTransferWait = 1ms;
    bool pollStopped = false;
    Eva.Form->NetworkPause = [&](std::chrono::milliseconds) {
        pollStopped = !Eva.Form->timMessages->isActive();
        Tom.Poll();
    };
    Eva.Poll();
    EXPECT_TRUE(pollStopped);
    EXPECT_TRUE(Eva.Form->timMessages->isActive());
    EXPECT_EQ(Eva.Game().PlyCount, cMaxHistory);
    for (int poll = 0; poll < 3; ++poll)
        Tom.Poll();
    EXPECT_EQ(Tom.Dialogs.Messages().size(), 1);
}

// Only the active slot is polled: what Eva sends meanwhile waits in the file. The castling rights
// belong to each slot's game.
TEST_F(NetworkPlay, EachSlotKeepsItsGameWhileTheOtherIsPlayed) {
    Pair();
    const std::vector<std::string> opening = {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "g8f6"};
    PlayMoves(*Tom.Form, opening);
    PlayMoves(*Tom.Form, {"e1e2", "f8c5", "e2e1"});  // the king has moved
    Tom.Form->mnuTransfer->trigger();
    Eva.Poll();
    Tom.Poll();
    QAction* atBoard = Tom.Entry(Tom.Form->mnuOpponent, "Tom -/- Tom");
    QAction* withEva = Tom.Entry(Tom.Form->mnuOpponent, "Eva");
    atBoard->trigger();
    PlayMoves(*Tom.Form, opening);
    const TChessMove castling{5, 1, 7, 1, cEmpty};
    EXPECT_TRUE(IsLegalMove(Tom.Game(), castling));
    Eva.Drag("f6g4");  // Tom does not take it: the move waits
    EXPECT_TRUE(Eva.Dialogs.Messages().back().startsWith("Zeitüberlauf beim Senden des Zuges!"));
    withEva->trigger();
    Tom.Poll();
    EXPECT_EQ(Tom.At("g4"), cBlackKnight);
    EXPECT_FALSE(IsLegalMove(Tom.Game(), castling));
    atBoard->trigger();
    EXPECT_EQ(Tom.Game().PlyCount, 6);
    EXPECT_TRUE(IsLegalMove(Tom.Game(), castling));
}

TEST_F(NetworkPlay, DamagedOrIllegalMovesAreNotMade) {
    Pair();
    const struct {
        const char* Text;
        const char* Why;
    } cases[] = {
        {"Z9 - E4", "ist beschädigt und wurde nicht ausgeführt. Mit \"Aktuelles Spiel zum"},
        {"E7 - E5", "ist auf diesem Brett nicht erlaubt"},  // White is to move
    };
    for (const auto& row : cases) {
        ASSERT_EQ(Tom.Slot().Send({row.Text}, TMessageType::mtMove), TConnectionState::csSent);
        Eva.Poll();
        EXPECT_TRUE(
            Eva.Dialogs.LastIsError(QString("Der empfangene Zug \"%1\" ").arg(row.Text), row.Why));
        EXPECT_EQ(Eva.Game().PlyCount, 0);
    }
}

// A move made before the opponent has taken the last message is written once it has been.
TEST_F(NetworkPlay, SendingWaitsForThePreviousMessageAndTheLabelShowsIt) {
    Pair();
    Eva.Form->NetworkPause = [](std::chrono::milliseconds) {};
    Eva.Form->memLeftBottomClientSend->setPlainText("Hallo");
    Eva.Form->btnLeftBottomRightSendSet->click();
    EXPECT_TRUE(
        Eva.Dialogs.Messages().back().startsWith("Zeitüberlauf beim Senden des Kommentares!"));
    EXPECT_EQ(Eva.State(), "Sende Daten");
    Eva.Form->btnLeftBottomRightSendSet->click();
    EXPECT_TRUE(Eva.Dialogs.Messages().back().startsWith("Die letzte Kommunikation"));
    Eva.Drag("e2e4");
    EXPECT_EQ(Eva.Dialogs.Messages().size(), 3);
    Tom.Poll();
    EXPECT_EQ(Tom.Received(), "Hallo");
    Eva.Poll();  // writes the move that waited
    Tom.Poll();
    EXPECT_EQ(Tom.At("e4"), cWhitePawn);
    EXPECT_EQ(Eva.State(), "Warte auf Antwort");
}

// A move that arrives while the game is replayed waits until the replay is over: made at the
// position shown, it would cut the record and be refused there or start another game.
TEST_F(NetworkPlay, MoveArrivingDuringAReplayWaitsForItsEnd) {
    Pair();
    Tom.Drag("e2e4");
    Eva.Drag("e7e5");
    Tom.Drag("g1f3");
    ASSERT_EQ(Eva.Slot().Send({"B8 - C6"}, TMessageType::mtMove), TConnectionState::csSent);
    Tom.Form->timMessages->setInterval(1);
    Tom.Form->timMessages->start();
    Tom.Form->ReplayGame(SecondsToDays(0.05));
    EXPECT_EQ(Tom.Game().PlyCount, 3);
    EXPECT_EQ(Tom.Game().HistoryTop, 3);
    Tom.Poll();
    EXPECT_EQ(Tom.Game().PlyCount, 4);
    EXPECT_EQ(MoveToUci(Tom.Game().History[3]), "g1f3");
    EXPECT_EQ(Tom.At("c6"), cBlackKnight);
    EXPECT_TRUE(Tom.Dialogs.Messages().isEmpty());
}

// Both players may open with White. Eva's first move, taken while Tom's own "Ungültiger Zug!"
// waits for its "OK", was made in the middle of his move and then sent back to her as his.
TEST_F(NetworkPlay, MoveArrivingDuringAMoveAtTheBoardWaitsForItsEnd) {
    Pair();
    Eva.Form->NetworkPause = [](std::chrono::milliseconds) {};
    Eva.Drag("e2e4");
    Eva.Dialogs.Calls.clear();  // the time-out of the wait for Tom
    Tom.Dialogs.WhileMessageShown = [this] { Tom.Poll(); };
    Tom.Drag("e2e5");
    EXPECT_EQ(Tom.Dialogs.Messages(), QStringList{"Ungültiger Zug!"});
    Tom.Poll();
    EXPECT_EQ(Tom.Game().PlyCount, 1);
    EXPECT_FALSE(Tom.Slot().LocalIsWhite);
    Eva.Poll();
    EXPECT_EQ(Eva.Dialogs.Messages(), QStringList{});
}

TEST_F(NetworkPlay, OpeningFailuresAndPollingErrors) {
    const QString gone = Shared.filePath("gone");
    Tom.Dialogs.Answers = {gone, "cancel"};
    Tom.Form->mnuNetWorkPath->trigger();
    EXPECT_EQ(
        Tom.Dialogs.Calls[1].Text,
        QString("Das Verzeichnis \"%1\" existiert nicht. Soll es erstellt werden?").arg(gone));
    EXPECT_TRUE(Tom.Dialogs.LastIsError("Fehler bei Aufbau der Verbindung!"));
    EXPECT_FALSE(Tom.Form->Connections[2]);
    Tom.Dialogs.Answers = {gone, "ok"};
    Tom.Form->mnuNetWorkPath->trigger();
    EXPECT_EQ(Tom.Form->ActiveConnection, 2);
    EXPECT_TRUE(QFileInfo(gone + "/TAVLOR_TRANS.FER").isFile());

    // The transfer file can no longer be read: the poll says so once, and the timer goes on.
    QFile::remove(gone + "/TAVLOR_TRANS.FER");
    QDir().mkpath(gone + "/TAVLOR_TRANS.FER");
    Tom.Dialogs.Calls.clear();
    Tom.Poll();
    Tom.Poll();
    EXPECT_EQ(Tom.Dialogs.Messages(), QStringList{"Fehler beim Lesen der Daten!"});
    EXPECT_TRUE(Tom.Form->timMessages->isActive());

    for (std::int32_t slot = 2; slot < cConnectionSlots; ++slot) {
        auto& connection = Tom.Form->Connections[static_cast<std::size_t>(slot)];
        connection = std::make_unique<TChessConnection>();
        connection->Connected = true;
    }
    Tom.Dialogs.Calls.clear();
    Tom.Open(Shared.path());
    EXPECT_EQ(Tom.Dialogs.Calls.front().Kind, "folder");
    EXPECT_TRUE(Tom.Dialogs.LastIsError("Keine freien Verbindungsplätze mehr!"));
}

// Counts the paints of a widget.
struct TPaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Paints;
        return false;
    }
    int Paints = 0;
};

// The waits for delivery keep the window painted, take no input and let no poll start.
TEST_F(NetworkPlay, WaitingForDeliveryTakesNoInput) {
    Pair();
    TfrmChessMainForm& form = *Tom.Form;
    form.NetworkPause = nullptr;
    form.DeliveryPause = 20ms;
    form.DeliveryPauses = 15;
    form.timMessages->setInterval(1);
    PlayMoves(form, {"e2e4"});
    form.RefreshStatus();  // the comment boxes of the new half-move
    TPaintCounter counter;
    form.imgMainBoard->installEventFilter(&counter);
    int paintsWhileWaiting = 0;
    QTimer::singleShot(30, [&] {
        EXPECT_GT(form.NetworkWaits, 0);
        counter.Paints = 0;
        form.imgMainBoard->update();
        // Taken by the poll of any tick that were let through.
        EXPECT_EQ(Eva.Slot().Send({"Hallo"}, TMessageType::mtComment), TConnectionState::csSent);
        QTest::keyClick(&form, Qt::Key_Backspace, Qt::ControlModifier);  // "Einen zurueck"
        QTest::mouseClick(form.btnLeftBottomRightSendSet, Qt::LeftButton);
        QTest::mouseClick(form.menuBar(), Qt::LeftButton, {}, QPoint(10, 5));
    });
    QTimer::singleShot(120, [&] { paintsWhileWaiting = counter.Paints; });
    form.HandOverMove(Tom.Game().GetHistoryMove(1), QString());
    EXPECT_GT(paintsWhileWaiting, 0);
    EXPECT_EQ(Tom.Game().PlyCount, 1);
    EXPECT_EQ(Tom.Dialogs.Messages().size(), 1);  // the time-out only
    EXPECT_EQ(Tom.Received(), "");
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    Tom.Poll();
    EXPECT_EQ(Tom.Received(), "Hallo");
}

TEST(NetworkPlayName, RefusedNamesAreAskedAgain) {
    TFormFixture fixture;
    WriteFile(fixture.IniFileName(), "[COMMON]\r\nPLAYERNAME=[Eva]\r\n");
    fixture.Dialogs.NameAnswers = {"Eva=1", "Eva"};
    auto form = fixture.Start();
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->PlayerName == "Eva"; }));
    EXPECT_EQ(fixture.Dialogs.NamePrompts, (QStringList{"[Eva]", "Eva=1"}));
    EXPECT_EQ(fixture.Dialogs.Messages(),
              (QStringList{"Der Name darf keine eckigen Klammern ([ oder ]) enthalten.",
                           "Der Name darf kein Gleichheitszeichen (=) enthalten."}));
}

}  // namespace
}  // namespace tavlor::testing
