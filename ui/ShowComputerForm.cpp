#include "ui/ShowComputerForm.h"

#include <cmath>
#include <cstdlib>

#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include "ui/ComputerSettings.h"
#include "ui/Controls.h"
#include "ui/Formats.h"
#include "ui/MessageForms.h"

namespace tavlor {

namespace {

constexpr std::int64_t cMateUnit = 100000;

QString ValueText(std::int32_t value, bool whiteToMove) {
    const std::int64_t wide = value;
    if (std::abs(wide) < cMateUnit) {
        QLocale locale = QLocale::system();
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(static_cast<double>(value) / 100.0, 'f', 2);
    }
    // The value is seen from the side to move: positive, the other side is mated.
    const QString toMove = whiteToMove ? "Weiss" : "Schwarz";
    const QString other = whiteToMove ? "Schwarz" : "Weiss";
    if (wide > 0) return other + " ist Matt in " + QString::number(wide / cMateUnit) + " Zügen!";
    return toMove + " ist Matt in " + QString::number(-wide / cMateUnit - 1) + " Zügen!";
}

}  // namespace

std::array<QString, 6> ComputerValueTexts(const TComputerValues& values, TDateTime elapsed,
                                          bool whiteToMove) {
    const double seconds = DaysToSeconds(elapsed);
    return {
        ValueText(values.Value, whiteToMove),
        QString::number(values.Nodes),
        seconds > 0 ? QString::number(std::llround(static_cast<double>(values.Nodes) / seconds))
                    : QString("-/-"),
        FormatTimeOfDay(elapsed),
        QString::fromStdString(values.MoveText).trimmed() + " bei Tiefe " +
            QString::number(values.Depth),
        QString::fromStdString(values.MainLine).trimmed(),
    };
}

void CreateComputerValueLabels(QWidget* parent, int top, int rowHeight, int valueLeft,
                               int valueWidth, const std::array<QLabel**, 6>& values) {
    const std::array<const char*, 6> captions = {
        "Wert der Stellung",      "Ausgewertete Stellungen",
        "Stellungen pro Sekunde", "Zeit",
        "Berechneter Zug",        "Hauptvariante"};
    const std::array<const char*, 6> names = {"lblWert", "lblKnoten",   "lblKnotenPerSecond",
                                              "lblTime", "lblCalcDraw", "lblMainVar"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int y = top + rowHeight * static_cast<int>(i);
        Place<QLabel>(parent, names[i], QRect(8, y, valueLeft - 16, 16), captions[i]);
        *values[i] = Place<QLabel>(parent, (QString(names[i]) + "_").toUtf8().constData(),
                                   QRect(valueLeft, y, valueWidth, 16), "-/-");
    }
}

void ShowComputerValueTexts(const std::array<QLabel*, 6>& labels, const TComputerValues& values,
                            TDateTime elapsed, bool whiteToMove) {
    const std::array<QString, 6> texts = ComputerValueTexts(values, elapsed, whiteToMove);
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i]->setText(texts[i]);
}

TfrmShowComputerForm::TfrmShowComputerForm(QWidget* parent) : QDialog(parent, DialogFrame(true)) {
    setObjectName("frmShowComputerForm");
    setWindowTitle("Analyse...");
    setFixedSize(560, 176);
    CreateComputerValueLabels(
        this, 8, 18, 176, 376,
        {&lblWert_, &lblKnoten_, &lblKnotenPerSecond_, &lblTime_, &lblCalcDraw_, &lblMainVar_});
    // The main line of a deep search is long; it may take two lines.
    lblMainVar_->setGeometry(176, 98, 376, 32);
    lblMainVar_->setWordWrap(true);
    lblMainVar_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    btnGo = Place<QPushButton>(this, "btnGo", QRect(8, 136, 180, 32), "Besten Zug ausführen");
    btnCancel = Place<QPushButton>(this, "btnCancel", QRect(196, 136, 120, 32), "Abbruch");
    connect(btnGo, &QPushButton::clicked, this, &TfrmShowComputerForm::btnGoClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmShowComputerForm::btnCancelClick);
}

void TfrmShowComputerForm::ShowAnalysis(bool whiteToMove) {
    FStartTime = MonotonicNow();
    FWhiteToMove = whiteToMove;
    FValues = {};
    setResult(cResultNone);
    for (QLabel* label : ValueLabels())
        label->setText("-/-");
    if (!isVisible()) PlaceModalWindow(this);
    show();
    raise();
}

void TfrmShowComputerForm::UpdateAnalysis(std::int32_t value, std::int32_t depth,
                                          const std::string& mainLine, const std::string& moveText,
                                          std::uint64_t nodes) {
    FValues = {value, nodes, depth, moveText, mainLine};
    ShowComputerValueTexts(ValueLabels(), FValues, MonotonicNow() - FStartTime, FWhiteToMove);
}

void TfrmShowComputerForm::btnGoClick() {
    done(cResultGo);
}

void TfrmShowComputerForm::btnCancelClick() {
    done(cResultCancel);
}

void TfrmShowComputerForm::FormClose() {
    StopButtonPressed = true;
    // Reaches the search at its next report rather than at the next tick of the state timer.
    StopRequested = 1;
}

void TfrmShowComputerForm::done(int result) {
    FormClose();
    QDialog::done(result);
}

}  // namespace tavlor
