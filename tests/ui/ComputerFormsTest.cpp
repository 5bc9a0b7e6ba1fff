// The computer's two windows: the values an analysis shows, and the settings dialog with its
// preset, its checks and what it gives back.

#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>

#include "UiTestSupport.h"
#include "ui/ComputerSettings.h"
#include "ui/Formats.h"

namespace tavlor::testing {
namespace {

TEST(ComputerValues, ValueMateTextsRateTimeMoveAndMainLine) {
    const QString point = QLocale::system().decimalPoint();
    struct TCase {
        std::int32_t Value;
        bool WhiteToMove;
        QString Text;
    };
    for (const TCase& test :
         {TCase{300000, true, "Schwarz ist Matt in 3 Zügen!"},
          TCase{-200000, true, "Weiss ist Matt in 1 Zügen!"},
          TCase{100000, false, "Weiss ist Matt in 1 Zügen!"},
          TCase{-400000, false, "Schwarz ist Matt in 3 Zügen!"},
          TCase{35, true, "0" + point + "35"}, TCase{-120, false, "-1" + point + "20"},
          TCase{99999, true, "999" + point + "99"}}) {
        TComputerValues values;
        values.Value = test.Value;
        EXPECT_EQ(ComputerValueTexts(values, 0, test.WhiteToMove)[0], test.Text) << test.Value;
    }

    const TComputerValues values{12, 5000, 5, " Sg1-f3 ", "g1-f3 g8-f6 "};
    const std::array<QString, 6> texts = ComputerValueTexts(values, SecondsToDays(2), true);
    EXPECT_EQ(QStringList(texts.begin() + 1, texts.end()),
              QStringList({"5000", "2500", FormatTimeOfDay(SecondsToDays(2)), "Sg1-f3 bei Tiefe 5",
                           "g1-f3 g8-f6"}));
    EXPECT_EQ(ComputerValueTexts(values, 0, true)[2], "-/-");  // no time has passed yet
}

// The dialog as the settings dialog of the window fills it, answered by the scripted dialogs.
struct TSettingsDialog {
    explicit TSettingsDialog(const TComputerSettings& settings = {}) : Form(Dialogs) {
        Form.Prepare(settings);
    }
    std::array<QString, 5> Values() const {
        return {Form.edtMatQueen->text(), Form.edtMatRook->text(), Form.edtMatNight->text(),
                Form.edtMatBishop->text(), Form.edtMatPawn->text()};
    }
    TScriptedDialogs Dialogs;
    TfrmGetComputerSettingsForm Form;
};

TEST(ComputerSettingsDialog, ChecksOnOkInTheirOrderAndTheDialogStaysOpen) {
    struct TCase {
        std::vector<std::pair<const char*, const char*>> Entries;  // field name, text
        QString Message;                                           // empty: the dialog ends
    };
    const TCase cases[] = {
        {{{"edtFixedDepth", "13"}, {"edtMatPawn", "0"}},
         "Die Suchtiefe muss zwischen 1 und 12 liegen!"},
        {{{"edtFixedDepth", "zwölf"}}, "Die Suchtiefe konnte nicht bestimmt werden!"},
        {{{"edtFixedTime", "0"}, {"edtMatQueen", "x"}},
         "Die Rechenzeit muss zwischen 1 und 600 liegen!"},
        {{{"edtFixedTime", "1,5"}}, "Die Rechenzeit konnte nicht bestimmt werden!"},
        {{{"edtMatQueen", ""}}, "Der Materialwert konnte nicht ausgewertet werden!"},
        {{{"edtMatNight", "10001"}, {"edtMatBishop", "0"}},
         "Der Materialwert muss zwischen 1 und 10000 liegen!"},
        {{{"edtFixedDepth", ""}, {"edtFixedTime", ""}, {"edtMatPawn", " 10000"}}, ""},
    };
    for (const TCase& test : cases) {
        TSettingsDialog dialog;
        for (const auto& [name, text] : test.Entries)
            dialog.Form.findChild<QLineEdit*>(name)->setText(QString::fromUtf8(text));
        dialog.Form.btnOK->click();
        const QStringList expected =
            test.Message.isEmpty() ? QStringList() : QStringList{test.Message};
        EXPECT_EQ(dialog.Dialogs.Messages(), expected) << test.Entries[0].first;
        TComputerSettings settings;
        EXPECT_EQ(dialog.Form.Finish(settings), test.Message.isEmpty());
        if (test.Message.isEmpty()) {
            // An empty depth or time is not checked and leaves the setting as it was.
            EXPECT_EQ(std::tuple(settings.Strength, settings.Time, settings.PawnValue),
                      std::tuple(4, 10, 10000));
        }
    }
}

TEST(ComputerSettingsDialog, ChecksOnLeavingAField) {
    struct TCase {
        const char* Field;
        const char* Text;
        QString Message;
    };
    for (const TCase& test :
         {TCase{"edtFixedDepth", "0", "Die Suchtiefe muss zwischen 1 und 12 liegen!"},
          TCase{"edtFixedDepth", "", ""},
          TCase{"edtFixedTime", "601", "Die Rechenzeit muss zwischen 1 und 600 liegen!"},
          TCase{"edtMatQueen", "0", "Der Materialwert muss zwischen 1 und 10000 liegen!"},
          TCase{"edtMatRook", "0", ""}}) {  // only the queen's value is checked on leaving
        TSettingsDialog dialog;
        auto* edit = dialog.Form.findChild<QLineEdit*>(test.Field);
        edit->setText(test.Text);
        emit edit->editingFinished();
        EXPECT_EQ(dialog.Dialogs.Messages(),
                  test.Message.isEmpty() ? QStringList() : QStringList{test.Message})
            << test.Field;
        if (!test.Message.isEmpty()) {
            EXPECT_EQ(dialog.Dialogs.Calls[0].MessageKind, mkPlain);
        }
    }
}

TEST(ComputerSettingsDialog, FiveMovesPresetLocksTheDialogAndGivesItsValues) {
    TSettingsDialog dialog({6, 30, cGameFixedTime, false, true, false, 880, 500, 300, 310, 90});
    TfrmGetComputerSettingsForm& form = dialog.Form;
    EXPECT_TRUE(form.rbtFixedTime->isChecked());
    EXPECT_FALSE(form.edtFixedDepth->isEnabled());
    EXPECT_TRUE(form.edtFixedTime->isEnabled());
    form.cbxFiveMatOnly->click();
    EXPECT_EQ(form.edtFixedDepth->text(), "10");
    EXPECT_TRUE(form.rbtFixedDepth->isChecked() && form.rbtMaterialOnly->isChecked());
    EXPECT_FALSE(form.rbtAbsoluteDeep->isChecked());
    EXPECT_EQ(dialog.Values(), (std::array<QString, 5>{"900", "465", "275", "325", "100"}));
    for (QWidget* control : form.findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QAbstractButton*>(control))
            continue;
        const bool open =
            control == form.cbxFiveMatOnly || control == form.btnOK || control == form.btnCancel;
        EXPECT_EQ(control->isEnabled(), open) << control->objectName().toStdString();
    }
    form.cbxFiveMatOnly->click();
    EXPECT_TRUE(form.edtMatQueen->isEnabled() && form.rbtBothEqual->isEnabled());
    EXPECT_EQ(dialog.Values()[1], "465");  // the values stay
    form.cbxFiveMatOnly->click();
    form.btnOK->click();
    TComputerSettings settings;
    ASSERT_TRUE(form.Finish(settings));
    EXPECT_EQ(std::tuple(settings.Strength, settings.Time, settings.Game, settings.MaterialOnly,
                         settings.AbsoluteDeep, settings.FiveMatOnly, settings.QueenValue,
                         settings.RookValue, settings.PawnValue),
              std::tuple(10, 30, cGameFixedDepth, true, false, true, 900, 465, 100));
}

TEST(ComputerSettingsDialog, NewUserSetsTheDepthTheComputerThenUses) {
    TBoard board([](TBoard&) {});
    TfrmChessMainForm& form = *board.Form;
    board.Dialogs.SettingsScript = [](TfrmGetComputerSettingsForm& dialog) {
        EXPECT_TRUE(dialog.rbtFixedDepth->isChecked());
        EXPECT_EQ(dialog.edtFixedDepth->text(), "4");
        dialog.edtFixedDepth->setText("2");
        dialog.btnCancel->click();
    };
    form.mnuReadCompStrength->trigger();
    EXPECT_EQ(ComputerSettings.Strength, 4);  // "Abbruch" changes nothing
    board.Dialogs.SettingsScript = [](TfrmGetComputerSettingsForm& dialog) {
        dialog.edtFixedDepth->setText("2");
        dialog.rbtAbsoluteDeep->click();
        dialog.btnOK->click();
    };
    form.mnuReadCompStrength->trigger();
    EXPECT_EQ(std::tuple(ComputerSettings.Strength, ComputerSettings.AbsoluteDeep),
              std::tuple(2, true));
    board.Drag("e2e4");
    EXPECT_EQ(ShownDepth, 2);
    form.close();
    const std::string ini = ReadFile(board.Fixture.IniFileName());
    EXPECT_NE(ini.find("COMPUTERSTRENGTH=2\r\n"), std::string::npos);
    EXPECT_NE(ini.find("ABSOLUTEDEEP=1\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tavlor::testing
