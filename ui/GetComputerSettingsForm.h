#pragma once

#include <array>
#include <cstdint>

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavlor {

class TDialogs;
struct TComputerSettings;
struct TSettingRange;

// The dialog "Spielstärke des Rechners bestimmen...": the computer's mode (fixed depth, fixed
// time, equal time), its search options, the locked preset of five moves ahead with material
// only, and the five material values. Its entries are checked on leaving a field and on "OK";
// the messages of the checks go through `dialogs`.
class TfrmGetComputerSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGetComputerSettingsForm(TDialogs& dialogs, QWidget* parent = nullptr);

    // Fills the dialog from the settings without showing it.
    void Prepare(const TComputerSettings& settings);
    // After the dialog has ended: true and the settings read back when it ended with "OK".
    bool Finish(TComputerSettings& settings) const;
    // Prepares, shows modally, finishes.
    bool EditComputerSettings(TComputerSettings& settings);

    void cbxFiveMatOnlyClick();
    // The edits of depth and time follow the mode buttons.
    void ModeButtonClick();
    void edtFixedDepthExit();
    void edtFixedTimeExit();
    void edtMatQueenExit();
    void btnOKClick();
    void btnCancelClick();

    QRadioButton* rbtFixedDepth = nullptr;
    QLineEdit* edtFixedDepth = nullptr;
    QRadioButton* rbtFixedTime = nullptr;
    QLineEdit* edtFixedTime = nullptr;
    QRadioButton* rbtBothEqual = nullptr;
    QCheckBox* rbtAbsoluteDeep = nullptr;
    QCheckBox* rbtMaterialOnly = nullptr;
    QCheckBox* cbxFiveMatOnly = nullptr;
    QLineEdit* edtMatQueen = nullptr;
    QLineEdit* edtMatRook = nullptr;
    QLineEdit* edtMatNight = nullptr;
    QLineEdit* edtMatBishop = nullptr;
    QLineEdit* edtMatPawn = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    std::array<QLineEdit*, 5> ValueEdits() const {
        return {edtMatQueen, edtMatRook, edtMatNight, edtMatBishop, edtMatPawn};
    }
    std::array<QRadioButton*, 3> ModeButtons() const {
        return {rbtFixedDepth, rbtFixedTime, rbtBothEqual};
    }
    // False after the message of a failed check has been shown.
    bool CheckDepth();
    bool CheckTime();
    bool CheckValue(const QLineEdit* edit);
    bool CheckLimit(const QLineEdit* edit, const TSettingRange& range, const char* rangeMessage,
                    const char* unreadableMessage);
    void ShowCheckMessage(const char* text);

    TDialogs& FDialogs;
    // A message shown while a field is left must not run the check of that field again.
    bool FChecking = false;
};

}  // namespace tavlor
