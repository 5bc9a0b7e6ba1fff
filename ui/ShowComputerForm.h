#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <QDialog>

#include "platform/DateTime.h"

class QLabel;
class QPushButton;

namespace tavlor {

// What one progress report of the search shows.
struct TComputerValues {
    std::int32_t Value = 0;  // centipawns, or N x 100000 for a mate N moves ahead (negative: mated)
    std::uint64_t Nodes = 0;
    std::int32_t Depth = 0;
    std::string MoveText;
    std::string MainLine;
};

// The six value texts of the computer's panel and of the analysis window, in their order:
// value, positions evaluated, positions per second, time, calculated move, main line.
// `elapsed` is how long the search has run; `whiteToMove` is the side to move when it started.
std::array<QString, 6> ComputerValueTexts(const TComputerValues& values, TDateTime elapsed,
                                          bool whiteToMove);

// The six caption labels of a report and, right of them, the six value labels showing "-/-",
// one row each from `top` on; the value labels go into `values` in the order of
// ComputerValueTexts.
void CreateComputerValueLabels(QWidget* parent, int top, int rowHeight, int valueLeft,
                               int valueWidth, const std::array<QLabel**, 6>& values);
// Writes the texts of a report into value labels in that order.
void ShowComputerValueTexts(const std::array<QLabel*, 6>& labels, const TComputerValues& values,
                            TDateTime elapsed, bool whiteToMove);

// The analysis window: the values of a running analysis, and the choice to play the move it
// found. It is shown without being modal; closing it in any way stops the analysis.
class TfrmShowComputerForm : public QDialog {
    Q_OBJECT
public:
    // Its result: none yet (also the close box), "Besten Zug ausführen", "Abbruch".
    static constexpr int cResultNone = 0;
    static constexpr int cResultGo = 1;
    static constexpr int cResultCancel = 3;

    explicit TfrmShowComputerForm(QWidget* parent = nullptr);

    // Starts the window's own clock, forgets the result of the last analysis and shows it.
    void ShowAnalysis(bool whiteToMove);
    void UpdateAnalysis(std::int32_t value, std::int32_t depth, const std::string& mainLine,
                        const std::string& moveText, std::uint64_t nodes);
    void btnGoClick();
    void btnCancelClick();
    // Every way of closing ends here: a running analysis is asked to stop.
    void FormClose();
    void done(int result) override;

    std::array<QLabel*, 6> ValueLabels() const {
        return {lblWert_, lblKnoten_, lblKnotenPerSecond_, lblTime_, lblCalcDraw_, lblMainVar_};
    }

    QLabel* lblWert_ = nullptr;
    QLabel* lblKnoten_ = nullptr;
    QLabel* lblKnotenPerSecond_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QLabel* lblCalcDraw_ = nullptr;
    QLabel* lblMainVar_ = nullptr;
    QPushButton* btnGo = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    TDateTime FStartTime = 0;
    bool FWhiteToMove = true;
    TComputerValues FValues;
};

}  // namespace tavlor
