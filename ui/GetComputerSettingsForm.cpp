#include "ui/GetComputerSettingsForm.h"

#include <optional>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "engine/ComputerSettings.h"
#include "platform/Settings.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/MessageForms.h"

namespace tavlor {

namespace {

// The preset "Fünf Züge im vorraus, nur Material!": five moves of two plies, and its values of
// queen, rook, knight, bishop and pawn.
constexpr const char* cFiveMatDepth = "10";
constexpr std::array<const char*, 5> cFiveMatValues = {"900", "465", "275", "325", "100"};

std::optional<std::int64_t> ReadNumber(const QString& text) {
    bool ok = false;
    const std::int64_t value = text.trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

// The field's value when it holds a number in the range.
std::optional<std::int32_t> ReadInRange(const QLineEdit* edit, const TSettingRange& range) {
    const std::optional<std::int64_t> value = ReadNumber(edit->text());
    if (!value || !range.Contains(*value)) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

// Checking a mode button unchecks the others; unchecking one may leave none of them checked.
void SetModeButton(QRadioButton* button, bool checked) {
    if (checked) {
        button->setChecked(true);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

}  // namespace

TfrmGetComputerSettingsForm::TfrmGetComputerSettingsForm(TDialogs& dialogs, QWidget* parent)
    : QDialog(parent, DialogFrame(true)), FDialogs(dialogs) {
    setObjectName("frmGetComputerSettingsForm");
    setWindowTitle("Spielstärke des Rechners bestimmen...");
    setFixedSize(640, 392);
    rbtFixedDepth = Place<QRadioButton>(this, "rbtFixedDepth", QRect(8, 8, 380, 20),
                                        "Feste Rechentiefe (1 - 12 Halbzüge)");
    edtFixedDepth = Place<QLineEdit>(this, "edtFixedDepth", QRect(400, 7, 64, 22));
    rbtFixedTime = Place<QRadioButton>(this, "rbtFixedTime", QRect(8, 34, 380, 20),
                                       "Feste Rechenzeit (1 - 600 Sekunden pro Zug)");
    edtFixedTime = Place<QLineEdit>(this, "edtFixedTime", QRect(400, 33, 64, 22));
    rbtBothEqual = Place<QRadioButton>(this, "rbtBothEqual", QRect(8, 60, 540, 20),
                                       "FairPlay - Gleiche Rechenzeit für beide Spieler");
    rbtAbsoluteDeep = Place<QCheckBox>(this, "rbtAbsoluteDeep", QRect(8, 94, 540, 20),
                                       "Dynamische Obergrenze (Bei Schach und Schlagabtausch)");
    rbtMaterialOnly = Place<QCheckBox>(this, "rbtMaterialOnly", QRect(8, 118, 540, 20),
                                       "Nur Material berücksichtigen");
    Place<QLabel>(this, "lblRumour1", QRect(8, 150, 624, 16),
                  "Es geht das Gerücht um, dass kein Mensch eine Maschine im Schach schlägt, die "
                  "volle fünf");
    Place<QLabel>(this, "lblRumour2", QRect(8, 166, 624, 16),
                  "Züge im vorraus berechnet und sei es, dass sie nur Material berechnet. Testen "
                  "Sie es!!");
    cbxFiveMatOnly = Place<QCheckBox>(this, "cbxFiveMatOnly", QRect(8, 188, 540, 20),
                                      "Fünf Züge im vorraus, nur Material!");
    const std::array<std::pair<const char*, const char*>, 5> values = {{
        {"edtMatQueen", "Materialwert Dame :"},
        {"edtMatRook", "Materialwert Turm :"},
        {"edtMatNight", "Materialwert Springer :"},
        {"edtMatBishop", "Materialwert Läufer :"},
        {"edtMatPawn", "Materialwert Bauer :"},
    }};
    std::array<QLineEdit**, 5> edits = {&edtMatQueen, &edtMatRook, &edtMatNight, &edtMatBishop,
                                        &edtMatPawn};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int y = 222 + 26 * static_cast<int>(i);
        Place<QLabel>(this, (QString("lbl") + (values[i].first + 3)).toUtf8().constData(),
                      QRect(8, y + 3, 180, 16), values[i].second);
        *edits[i] = Place<QLineEdit>(this, values[i].first, QRect(196, y, 64, 22));
    }
    btnOK = Place<QPushButton>(this, "btnOK", QRect(8, 352, 120, 32), "OK");
    btnCancel = Place<QPushButton>(this, "btnCancel", QRect(136, 352, 120, 32), "Abbruch");
    btnOK->setDefault(true);

    for (QRadioButton* button : ModeButtons())
        connect(button, &QRadioButton::clicked, this,
                &TfrmGetComputerSettingsForm::ModeButtonClick);
    connect(cbxFiveMatOnly, &QCheckBox::clicked, this,
            &TfrmGetComputerSettingsForm::cbxFiveMatOnlyClick);
    connect(edtFixedDepth, &QLineEdit::editingFinished, this,
            &TfrmGetComputerSettingsForm::edtFixedDepthExit);
    connect(edtFixedTime, &QLineEdit::editingFinished, this,
            &TfrmGetComputerSettingsForm::edtFixedTimeExit);
    connect(edtMatQueen, &QLineEdit::editingFinished, this,
            &TfrmGetComputerSettingsForm::edtMatQueenExit);
    connect(btnOK, &QPushButton::clicked, this, &TfrmGetComputerSettingsForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmGetComputerSettingsForm::btnCancelClick);
}

// ---- filling and reading back ----

void TfrmGetComputerSettingsForm::Prepare(const TComputerSettings& settings) {
    setResult(0);
    SetModeButton(rbtFixedDepth, settings.Game == cGameFixedDepth);
    SetModeButton(rbtFixedTime, settings.Game == cGameFixedTime);
    SetModeButton(rbtBothEqual, settings.Game == cGameEqualTime);
    rbtMaterialOnly->setChecked(settings.MaterialOnly);
    rbtAbsoluteDeep->setChecked(settings.AbsoluteDeep);
    cbxFiveMatOnly->setChecked(settings.FiveMatOnly);
    cbxFiveMatOnlyClick();
    edtFixedDepth->setText(QString::number(settings.Strength));
    edtFixedTime->setText(QString::number(settings.Time));
    const std::array<std::int32_t, 5> values = {settings.QueenValue, settings.RookValue,
                                                settings.KnightValue, settings.BishopValue,
                                                settings.PawnValue};
    for (std::size_t i = 0; i < values.size(); ++i)
        ValueEdits()[i]->setText(QString::number(values[i]));
    ModeButtonClick();
}

bool TfrmGetComputerSettingsForm::Finish(TComputerSettings& settings) const {
    if (result() != mrOK) return false;
    // An empty depth or time is not checked; the setting keeps its value.
    if (const auto depth = ReadInRange(edtFixedDepth, cStrengthRange)) settings.Strength = *depth;
    if (const auto time = ReadInRange(edtFixedTime, cTimeRange)) settings.Time = *time;
    const std::array<std::uint8_t, 3> modes = {cGameFixedDepth, cGameFixedTime, cGameEqualTime};
    for (std::size_t i = 0; i < modes.size(); ++i)
        if (ModeButtons()[i]->isChecked()) settings.Game = modes[i];
    settings.MaterialOnly = rbtMaterialOnly->isChecked();
    settings.AbsoluteDeep = rbtAbsoluteDeep->isChecked();
    settings.FiveMatOnly = cbxFiveMatOnly->isChecked();
    const std::array<std::int32_t*, 5> values = {&settings.QueenValue, &settings.RookValue,
                                                 &settings.KnightValue, &settings.BishopValue,
                                                 &settings.PawnValue};
    for (std::size_t i = 0; i < values.size(); ++i)
        if (const auto value = ReadInRange(ValueEdits()[i], cMaterialRange)) *values[i] = *value;
    return true;
}

bool TfrmGetComputerSettingsForm::EditComputerSettings(TComputerSettings& settings) {
    Prepare(settings);
    PlaceModalWindow(this);
    exec();
    return Finish(settings);
}

// ---- enabling ----

void TfrmGetComputerSettingsForm::ModeButtonClick() {
    edtFixedDepth->setEnabled(rbtFixedDepth->isChecked() && !cbxFiveMatOnly->isChecked());
    edtFixedTime->setEnabled(rbtFixedTime->isChecked());
}

void TfrmGetComputerSettingsForm::cbxFiveMatOnlyClick() {
    const bool locked = cbxFiveMatOnly->isChecked();
    if (locked) {
        edtFixedDepth->setText(cFiveMatDepth);
        rbtMaterialOnly->setChecked(true);
        rbtAbsoluteDeep->setChecked(false);
        SetModeButton(rbtFixedDepth, true);
    }
    const std::array<QWidget*, 7> controls = {edtFixedDepth,  edtFixedTime, rbtFixedDepth,
                                              rbtFixedTime,   rbtBothEqual, rbtAbsoluteDeep,
                                              rbtMaterialOnly};
    for (QWidget* control : controls)
        control->setEnabled(!locked);
    for (std::size_t i = 0; i < ValueEdits().size(); ++i) {
        ValueEdits()[i]->setEnabled(!locked);
        if (locked) ValueEdits()[i]->setText(cFiveMatValues[i]);
    }
}

// ---- checks ----

void TfrmGetComputerSettingsForm::ShowCheckMessage(const char* text) {
    FChecking = true;
    FDialogs.ShowMessageBox(QCoreApplication::applicationName(), QString::fromUtf8(text), mkPlain);
    FChecking = false;
}

bool TfrmGetComputerSettingsForm::CheckLimit(const QLineEdit* edit, const TSettingRange& range,
                                             const char* rangeMessage,
                                             const char* unreadableMessage) {
    if (edit->text().isEmpty()) return true;
    const std::optional<std::int64_t> value = ReadNumber(edit->text());
    // A text that is no number could not be read back either: the dialog stays open.
    if (!value) {
        ShowCheckMessage(unreadableMessage);
        return false;
    }
    if (!range.Contains(*value)) {
        ShowCheckMessage(rangeMessage);
        return false;
    }
    return true;
}

bool TfrmGetComputerSettingsForm::CheckDepth() {
    return CheckLimit(edtFixedDepth, cStrengthRange, "Die Suchtiefe muss zwischen 1 und 12 liegen!",
                      "Die Suchtiefe konnte nicht bestimmt werden!");
}

bool TfrmGetComputerSettingsForm::CheckTime() {
    return CheckLimit(edtFixedTime, cTimeRange, "Die Rechenzeit muss zwischen 1 und 600 liegen!",
                      "Die Rechenzeit konnte nicht bestimmt werden!");
}

bool TfrmGetComputerSettingsForm::CheckValue(const QLineEdit* edit) {
    const std::optional<std::int64_t> value = ReadNumber(edit->text());
    if (!value) {
        ShowCheckMessage("Der Materialwert konnte nicht ausgewertet werden!");
        return false;
    }
    if (!cMaterialRange.Contains(*value)) {
        ShowCheckMessage("Der Materialwert muss zwischen 1 und 10000 liegen!");
        return false;
    }
    return true;
}

void TfrmGetComputerSettingsForm::edtFixedDepthExit() {
    if (!FChecking) CheckDepth();
}

void TfrmGetComputerSettingsForm::edtFixedTimeExit() {
    if (!FChecking) CheckTime();
}

void TfrmGetComputerSettingsForm::edtMatQueenExit() {
    if (!FChecking) CheckValue(edtMatQueen);
}

void TfrmGetComputerSettingsForm::btnOKClick() {
    if (!CheckDepth() || !CheckTime()) return;
    for (const QLineEdit* edit : ValueEdits())
        if (!CheckValue(edit)) return;
    done(mrOK);
}

void TfrmGetComputerSettingsForm::btnCancelClick() {
    done(mrCancel);
}

}  // namespace tavlor
