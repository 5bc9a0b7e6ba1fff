// The program's own dialog windows, shown modally and answered by a timer.

#include <gtest/gtest.h>

#include <functional>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    form.Prepare("Fehler", "Ungültiger Zug!", mkError);
    EXPECT_EQ(form.windowTitle(), "Fehler");
    EXPECT_EQ(form.memMessage->toPlainText(), "Ungültiger Zug!");
    EXPECT_EQ(form.Image->pixmap().toImage(), MessageIcon(cIconError).toImage());
    const std::pair<TMessageKind, int> icons[] = {
        {mkNone, cIconWarning}, {mkInformation, cIconInformation}, {mkQuestion, cIconQuestion}};
    for (const auto& [kind, entry] : icons) {
        form.Prepare("c", "t", kind);
        EXPECT_EQ(form.Image->pixmap().toImage(), MessageIcon(entry).toImage()) << int(kind);
    }
    form.Prepare("c", "t", 7);
    EXPECT_TRUE(form.Image->pixmap().isNull());
}

TEST(DialogForms, MessageBoxClosesOnlyWithOk) {
    TfrmMessageForm form;
    WhenShown(&form, [&] {
        form.close();                            // refused
        QTest::keyClick(&form, Qt::Key_Escape);  // refused
        QTimer::singleShot(0, &form, [&] { form.btnOK->click(); });
    });
    EXPECT_EQ(form.ShowMessageBox("Information", "Text", mkInformation), mrOK);
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

TEST(DialogForms, ReadAStringReturnsTheEditedText) {
    TfrmReadAStringForm form;
    WhenShown(&form, [&] {
        EXPECT_EQ(form.lblInput->text(), "Ihr Name :");
        EXPECT_EQ(form.edtInput->text(), "Alt");
        EXPECT_EQ(form.windowTitle(), "");
        form.edtInput->setText("Neu");
        form.btnOK->click();
    });
    EXPECT_EQ(form.ReadAString("Ihr Name :", "Alt"), "Neu");
    WhenShown(&form, [&] { form.btnOK->click(); });
    EXPECT_EQ(form.ReadAString("leer", ""), "");
    EXPECT_EQ(form.Answer(0, "Vorgabe"), "Vorgabe");
}

TEST(DialogForms, PromotionWindowReturnsTheClickedPicture) {
    TfrmFigureToPromotionForm form;
    std::array<QPixmap, 4> pictures;
    for (QPixmap& picture : pictures) {
        picture = QPixmap(150, 150);
        picture.fill(Qt::gray);
    }
    WhenShown(&form, [&] { QTest::mouseClick(form.Images[2], Qt::LeftButton); });
    EXPECT_EQ(form.ChoosePromotionPiece(pictures), 2);
    EXPECT_EQ(form.windowTitle(), "Promotion figure to...");
}

TEST(DialogForms, WindowDialogsCreateEachWindowOnce) {
    TWindowDialogs dialogs;
    TfrmMessageForm* first = dialogs.frmMessageForm.get();
    WhenShown(first, [&] { first->btnOK->click(); });
    EXPECT_EQ(dialogs.ShowMessageBox("Fehler", "x", mkError), mrOK);
    EXPECT_EQ(dialogs.frmMessageForm.get(), first);
}

}  // namespace
}  // namespace tavlor
