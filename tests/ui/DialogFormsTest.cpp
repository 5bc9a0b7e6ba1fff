// The program's own dialog windows, shown modally and answered by a timer.

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "ui/HelpForm.h"
#include "ui/Icons.h"
#include "ui/MessageForms.h"
#include "ui/PromotionForm.h"
#include "ui/WindowDialogs.h"

namespace tavlor {
namespace {

// Runs `action` once the modal window has come up.
void WhenShown(QWidget* window, std::function<void()> action) {
    QTimer::singleShot(0, window, [window, action] {
        if (window->isVisible()) action();
    });
}

TEST(DialogForms, MessageBoxShowsTextIconAndCaption) {
    TfrmMessageForm form;
    const std::pair<TMessageKind, int> icons[] = {{mkError, cIconError},
                                                  {mkNone, cIconWarning},
                                                  {mkInformation, cIconInformation},
                                                  {mkQuestion, cIconQuestion}};
    for (const auto& [kind, entry] : icons) {
        form.Prepare("Fehler", "Ungültiger Zug!", kind);
        EXPECT_EQ(form.Image->pixmap().toImage(), MessageIcon(entry).toImage()) << int(kind);
    }
    EXPECT_EQ(form.windowTitle() + "|" + form.memMessage->toPlainText(), "Fehler|Ungültiger Zug!");
    form.Prepare("c", "t", 7);
    EXPECT_TRUE(form.Image->pixmap().isNull());
}

TEST(DialogForms, MessageBoxClosesOnlyWithOkAndIsReused) {
    TWindowDialogs dialogs;
    TfrmMessageForm* form = dialogs.frmMessageForm.get();
    WhenShown(form, [&] {
        form->close();                          // refused
        QTest::keyClick(form, Qt::Key_Escape);  // refused
        QTimer::singleShot(0, form, [&] { form->btnOK->click(); });
    });
    EXPECT_EQ(dialogs.ShowMessageBox("Information", "Text", mkInformation), mrOK);
    EXPECT_EQ(dialogs.frmMessageForm.get(), form);
}

TEST(DialogForms, QuestionBoxAnswers) {
    TfrmDialogForm form;
    WhenShown(&form, [&] { form.btnOK->click(); });
    EXPECT_EQ(form.ShowMessageBox("Frage", "Übertragung akzeptieren?", mkQuestion), mrOK);
    WhenShown(&form, [&] { form.btnCancel->click(); });
    EXPECT_EQ(form.ShowMessageBox("Frage", "?", mkQuestion), mrCancel);
    WhenShown(&form, [&] { form.close(); });  // the frame's close button
    EXPECT_EQ(form.ShowMessageBox("Frage", "?", mkQuestion), mrCancel);
}

TEST(DialogForms, ReadAStringReturnsTheEditedTextAndIsCancelledOnlyWhereOffered) {
    TfrmReadAStringForm form;
    WhenShown(&form, [&] {
        EXPECT_EQ(form.lblInput->text() + "|" + form.edtInput->text(), "Ihr Name :|Alt");
        EXPECT_FALSE(form.btnCancel->isVisible());
        QTest::keyClick(&form, Qt::Key_Escape);  // refused: this input cannot be cancelled
        form.close();                            // refused as well
        form.edtInput->setText("Neu");
        QTimer::singleShot(0, &form, [&] { form.btnOK->click(); });
    });
    EXPECT_EQ(form.ReadAString("Ihr Name :", "Alt", TInputCancel::NotOffered), "Neu");

    const std::pair<std::function<void()>, std::optional<QString>> closings[] = {
        {[&] { form.btnOK->click(); }, "FEN"},
        {[&] { form.btnCancel->click(); }, std::nullopt},
        {[&] { QTest::keyClick(&form, Qt::Key_Escape); }, std::nullopt},
    };
    for (const auto& [close, expected] : closings) {
        WhenShown(&form, [&] {
            EXPECT_EQ(form.btnCancel->text(), "Abbruch");
            EXPECT_TRUE(form.btnCancel->isVisible());
            close();
        });
        EXPECT_EQ(form.ReadAString("Stellung :", "FEN", TInputCancel::Offered), expected);
    }
}

// Each modal window belongs to the window it is called from, so that the window manager keeps it
// above that one and minimises the two together.
TEST(DialogForms, ModalWindowsBelongToTheMainWindow) {
    QMainWindow main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    TWindowDialogs dialogs;
    std::array<QPixmap, 4> pictures;
    pictures.fill(QPixmap(150, 150));
    const std::tuple<QDialog*, QAbstractButton*, std::function<void()>> windows[] = {
        {dialogs.frmMessageForm.get(), dialogs.frmMessageForm->btnOK,
         [&] { dialogs.ShowMessageBox("Fehler", "x", mkError); }},
        {dialogs.frmReadAStringForm.get(), dialogs.frmReadAStringForm->btnOK,
         [&] { dialogs.ReadAString("Name :", ""); }},
        {dialogs.frmAboutForm.get(), dialogs.frmAboutForm->btnOK, [&] { dialogs.ShowAbout(); }},
        {dialogs.frmFigureToPromotionForm.get(), nullptr,
         [&] { dialogs.ChoosePromotionPiece(pictures); }},
    };
    for (const auto& [form, button, show] : windows) {
        bool belongs = false;
        WhenShown(form, [&, form = form, button = button] {
            belongs = form->windowHandle()->transientParent() == main.windowHandle();
            if (button)
                button->click();
            else
                QTest::mouseClick(dialogs.frmFigureToPromotionForm->Images[0], Qt::LeftButton);
        });
        show();
        EXPECT_TRUE(belongs) << form->objectName().toStdString();
    }
}

TEST(DialogForms, PromotionWindowReturnsTheClickedPicture) {
    TfrmFigureToPromotionForm form;
    std::array<QPixmap, 4> pictures;
    pictures.fill(QPixmap(150, 150));
    WhenShown(&form, [&] { QTest::mouseClick(form.Images[2], Qt::LeftButton); });
    EXPECT_EQ(form.ChoosePromotionPiece(pictures), 2);
}

// A name typed without an extension takes that of the filter the user chose.
TEST(DialogForms, SaveDialogGivesTheExtensionOfTheChosenFilter) {
    TWindowDialogs dialogs;
    QTemporaryDir folder;
    for (const auto& [filter, expected] :
         {std::pair{1, "Partie.pgn"}, std::pair{0, "Partie.TVG"}}) {
        QTimer::singleShot(0, [filter] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            ASSERT_TRUE(types);
            types->setCurrentIndex(filter);
            emit types->textActivated(types->currentText());  // as a choice by the user
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("Partie");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const QString chosen = dialogs.ChooseSaveFile("Spiel sichern", folder.path(),
                                                      "Tavlor (*.TVG);;PGN (*.pgn)", "TVG");
        EXPECT_EQ(QFileInfo(chosen).fileName(), expected);
    }
}

}  // namespace
}  // namespace tavlor
