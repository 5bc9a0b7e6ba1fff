// Speed of the desktop program: from the start of the process to the first painted board, one
// full board redraw at 1000 x 1000 pixels, the computer's moves in the window beside the bare
// engine (tavlor-cli bench), and how quickly the window paints and the stop button answers while
// the computer thinks. Runs on the platform QT_QPA_PLATFORM names (the offscreen one when it is
// not set); under xvfb-run with QT_QPA_PLATFORM=xcb it measures a real X11 window.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "engine/Bench.h"
#include "notation/Fen.h"
#include "ui/ChessMainForm.h"
#include "ui/ComputerSettings.h"
#include "ui/Controls.h"
#include "ui/WindowDialogs.h"

namespace {

using TClock = std::chrono::steady_clock;

double MillisecondsSince(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// Notes the first paint of the board image that shows a drawn board.
class TFirstPaint : public QObject {
public:
    explicit TFirstPaint(tavlor::TImage* image) : FImage(image) {}
    bool Seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FImage && event->type() == QEvent::Paint && !FImage->Picture().isNull())
            Seen = true;
        return false;
    }

private:
    tavlor::TImage* FImage;
};

// The program's windows, except that nobody is there to answer: the player's name is given and
// messages (a game the computer ends) are printed.
class TBenchDialogs : public tavlor::TWindowDialogs {
public:
    using tavlor::TWindowDialogs::ReadAString;
    std::optional<QString> ReadAString(const QString&, const QString&,
                                       tavlor::TInputCancel) override {
        return QString("Bench");
    }
    int ShowMessageBox(const QString&, const QString& text, tavlor::TMessageKind) override {
        std::printf("  (message: %s)\n", qPrintable(text));
        return tavlor::mrOK;
    }
};

// Notes when the board image paints after an update was asked for.
class TPaintLatency : public QObject {
public:
    explicit TPaintLatency(tavlor::TImage* image) : FImage(image) {}
    void Ask() {
        if (FAsked) return;
        FAsked = true;
        FAskedAt = TClock::now();
        FImage->update();
    }
    std::vector<double> Latencies;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FImage && event->type() == QEvent::Paint && FAsked) {
            Latencies.push_back(MillisecondsSince(FAskedAt));
            FAsked = false;
        }
        return false;
    }

private:
    tavlor::TImage* FImage;
    bool FAsked = false;
    TClock::time_point FAskedAt;
};

double Worst(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// The bench positions searched to the bench depth by the window's own computer move, each beside
// the bare engine's search of the same position. The window's rate is its own "Stellungen pro
// Sekunde", taken when the search has ended; the whole move adds making and showing it.
void ComputerMovesInTheWindow(tavlor::TfrmChessMainForm& form) {
    using namespace tavlor;
    ComputerSettings = TComputerSettings{};
    ComputerSettings.Strength = cBenchDepth;
    std::uint64_t windowNodes = 0, engineNodes = 0;
    double searchMs = 0, moveMs = 0, engineMs = 0;
    std::printf(
        "computer moves at depth %d (window: StartComputerMove; engine: tavlor-cli bench)\n",
        cBenchDepth);
    for (const TBenchPosition& position : cBenchPositions) {
        const TBenchResult engine = RunBenchPosition(position, cBenchDepth);
        ReadFen(*form.ChessBoard, position.Fen);
        form.RedrawBoard();
        QCoreApplication::processEvents();
        const TClock::time_point start = TClock::now();
        form.StartComputerMove(cBenchDepth, false);
        const double ms = MillisecondsSince(start);
        const double rate = form.lblKnotenPerSecond_->text().toDouble();
        const double searched = rate > 0 ? static_cast<double>(ShownNodes) / rate * 1000 : ms;
        std::printf(
            "  %-10s window %9llu nodes %7.1f ms (whole move %7.1f ms)   engine %9llu nodes "
            "%7.1f ms%s\n",
            std::string(position.Name).c_str(), static_cast<unsigned long long>(ShownNodes),
            searched, ms, static_cast<unsigned long long>(engine.Nodes), engine.Seconds * 1000,
            ShownNodes == engine.Nodes ? "" : "   NODE COUNTS DIFFER");
        windowNodes += ShownNodes;
        searchMs += searched;
        moveMs += ms;
        engineNodes += engine.Nodes;
        engineMs += engine.Seconds * 1000;
    }
    const auto perSecond = [](std::uint64_t nodes, double ms) {
        return static_cast<double>(nodes) / ms * 1000;
    };
    const double engineRate = perSecond(engineNodes, engineMs);
    std::printf(
        "nodes per second: window %.0f, engine %.0f: %.1f%%   (goal >= 90%%); "
        "whole moves %.1f%%\n",
        perSecond(windowNodes, searchMs), engineRate,
        100 * perSecond(windowNodes, searchMs) / engineRate,
        100 * perSecond(windowNodes, moveMs) / engineRate);
}

// A long computer move: the board image is asked to repaint every 50 ms, a 5 ms timer shows how
// long any message waits, and after 1.5 s the stop button is clicked.
void ResponsesWhileThinking(tavlor::TfrmChessMainForm& form) {
    using namespace tavlor;
    ComputerSettings = TComputerSettings{};
    ComputerSettings.Strength = 12;
    ReadFen(*form.ChessBoard, cBenchPositions[2].Fen);
    form.RedrawBoard();
    QCoreApplication::processEvents();

    TPaintLatency paint(form.imgMainBoard);
    form.imgMainBoard->installEventFilter(&paint);
    std::vector<double> gaps;
    TClock::time_point lastTick = TClock::now();
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (ComputerThinking) gaps.push_back(MillisecondsSince(lastTick));
        lastTick = TClock::now();
        if (++ticks % 3 == 0 && ComputerThinking) paint.Ask();
    });
    TClock::time_point clickedAt{}, answeredAt{};
    QPushButton* stop = form.btnLeftBottomComputerStop;
    QObject::connect(stop, &QPushButton::clicked, [&] { answeredAt = TClock::now(); });
    QTimer::singleShot(1500, stop, [&] {
        clickedAt = TClock::now();
        const QPointF centre = QRectF(stop->rect()).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                stop,
                new QMouseEvent(type, centre, stop->mapToGlobal(centre), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
    });
    ticker.start();
    const std::int32_t plies = form.ChessBoard->PlyCount;
    form.mnuComputerDraw->trigger();  // as "Computzerzug" starts it: the stop button enabled
    const TClock::time_point movedAt = TClock::now();
    ticker.stop();
    form.imgMainBoard->removeEventFilter(&paint);
    const auto between = [](TClock::time_point from, TClock::time_point to) {
        return std::chrono::duration<double, std::milli>(to - from).count();
    };
    std::printf("while thinking (depth 12, stopped after 1.5 s):\n");
    std::printf("  messages waited at most %.1f ms (%zu ticks of a 5 ms timer)\n", Worst(gaps),
                gaps.size());
    std::printf("  board repaint after update: worst %.1f ms of %zu   (goal < 150 ms)\n",
                Worst(paint.Latencies), paint.Latencies.size());
    std::printf(
        "  stop button: clicked handled after %.1f ms, move made %.1f ms after the click"
        "   (goal < 150 ms)%s\n",
        between(clickedAt, answeredAt), between(clickedAt, movedAt),
        form.ChessBoard->PlyCount == plies + 1 ? "" : "   NO MOVE MADE");
}

}  // namespace

int main(int argc, char** argv) {
    const TClock::time_point processStart = TClock::now();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TBenchDialogs dialogs;
    tavlor::TMainFormOptions options;
    options.ProgramDir = QString(TAVLOR_DATA_DIR) + "/";  // the shipped piece sets, no settings
    options.Dialogs = &dialogs;
    auto form = std::make_unique<tavlor::TfrmChessMainForm>(options);
    TFirstPaint firstPaint(form->imgMainBoard);
    form->imgMainBoard->installEventFilter(&firstPaint);
    form->show();
    while (!firstPaint.Seen && MillisecondsSince(processStart) < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double startMs = MillisecondsSince(processStart);
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("start to first painted board: %8.1f ms   (goal < 400 ms; %s)\n", startMs,
                firstPaint.Seen ? "includes the 250 ms resize timer" : "NOT PAINTED");

    form->hide();
    form->imgMainBoard->resize(1000, 1000);
    TClock::time_point cold = TClock::now();
    form->RedrawBoard();
    const double coldMs = MillisecondsSince(cold);
    std::vector<double> times;
    for (int i = 0; i < 300; ++i) {
        const TClock::time_point start = TClock::now();
        form->RedrawBoard();
        times.push_back(MillisecondsSince(start));
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::printf("RedrawBoard 1000 x 1000, first (pictures stretched): %6.2f ms\n", coldMs);
    std::printf(
        "RedrawBoard 1000 x 1000, mean of %zu: %6.2f ms, median %6.2f ms, worst %6.2f ms"
        "   (goal < 8 ms)\n",
        times.size(), sum / static_cast<double>(times.size()), times[times.size() / 2],
        times.back());

    form->show();
    form->resize(616, 596);
    QCoreApplication::processEvents();
    ComputerMovesInTheWindow(*form);
    ResponsesWhileThinking(*form);
    form.reset();
    return 0;
}
