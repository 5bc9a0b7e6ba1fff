#include "ui/MessageForms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "ui/Controls.h"
#include "ui/Icons.h"

namespace tavlor {

namespace {

// Icon list entry of each message kind; a kind above 3 shows no icon.
int IconEntry(TMessageKind kind) {
    switch (kind) {
        case mkNone:
            return cIconWarning;
        case mkError:
            return cIconError;
        case mkInformation:
            return cIconInformation;
        case mkQuestion:
            return cIconQuestion;
        default:
            return -1;
    }
}

}  // namespace

Qt::WindowFlags DialogFrame(bool closeButton) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeButton) flags |= Qt::WindowCloseButtonHint;
    return flags;
}

void CentreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

QWidget* ModalOwner(const QWidget* window) {
    for (QWidget* candidate : {QApplication::activeModalWidget(), QApplication::activeWindow()})
        if (candidate && candidate->window() != window && candidate->isVisible())
            return candidate->window();
    for (QWidget* topLevel : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(topLevel) && topLevel->isVisible()) return topLevel;
    return nullptr;
}

void PlaceModalWindow(QWidget* window) {
    QWidget* owner = ModalOwner(window);
    window->winId();  // the native window, whose owner the window manager is told
    if (QWindow* handle = window->windowHandle())
        handle->setTransientParent(owner ? owner->windowHandle() : nullptr);
    CentreOnScreen(window);
}

TfrmMessageForm::TfrmMessageForm(QWidget* parent) : QDialog(parent, DialogFrame(false)) {
    setObjectName("frmMessageForm");
    setFixedSize(372, 123);
    auto* pnlClient = Place<QWidget>(this, "pnlClient", QRect(0, 0, 372, 78));
    auto* pnlClientLeft = Place<QWidget>(pnlClient, "pnlClientLeft", QRect(0, 0, 56, 78));
    Image = Place<QLabel>(pnlClientLeft, "Image", QRect(8, 8, 36, 36));
    Image->setScaledContents(true);
    auto* pnlClientClient = Place<QWidget>(pnlClient, "pnlClientClient", QRect(56, 0, 316, 78));
    memMessage = Place<QPlainTextEdit>(pnlClientClient, "memMessage", QRect(8, 8, 300, 62));
    memMessage->setReadOnly(true);
    memMessage->setFrameStyle(QFrame::NoFrame);
    memMessage->setFocusPolicy(Qt::NoFocus);
    memMessage->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette buttonFace = memMessage->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    memMessage->setPalette(buttonFace);
    pnlBottom = Place<QWidget>(this, "pnlBottom", QRect(0, 78, 372, 45));
    btnOK = Place<QPushButton>(pnlBottom, "btnOK", QRect(4, 4, 120, 37), "OK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { done(mrOK); });
}

void TfrmMessageForm::Prepare(const QString& caption, const QString& text, TMessageKind kind) {
    const int entry = IconEntry(kind);
    Image->setPixmap(entry >= 0 ? MessageIcon(entry) : QPixmap());
    memMessage->clear();
    memMessage->setPlainText(text);
    setWindowTitle(caption);
}

int TfrmMessageForm::ShowMessageBox(const QString& caption, const QString& text,
                                    TMessageKind kind) {
    Prepare(caption, text, kind);
    PlaceModalWindow(this);
    btnOK->setFocus();
    return exec();
}

void TfrmMessageForm::reject() {
    if (FClosable) done(mrCancel);
}

void TfrmMessageForm::closeEvent(QCloseEvent* event) {
    if (FClosable) {
        done(mrCancel);
        event->accept();
    } else {
        event->ignore();
    }
}

TfrmDialogForm::TfrmDialogForm(QWidget* parent) : TfrmMessageForm(parent) {
    setObjectName("frmDialogForm");
    setWindowFlags(DialogFrame(true));
    FClosable = true;
    btnCancel = Place<QPushButton>(pnlBottom, "btnCancel", QRect(128, 4, 120, 37), "Abbruch");
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TfrmDialogForm::reject() {
    done(mrCancel);
}

TfrmReadAStringForm::TfrmReadAStringForm(QWidget* parent) : QDialog(parent, DialogFrame(false)) {
    setObjectName("frmReadAStringForm");
    setFixedSize(354, 99);
    auto* pnlClient = Place<QWidget>(this, "pnlClient", QRect(0, 0, 354, 54));
    lblInput = Place<QLabel>(pnlClient, "lblInput", QRect(8, 8, 338, 16));
    edtInput = Place<QLineEdit>(pnlClient, "edtInput", QRect(8, 24, 333, 24));
    auto* pnlBottom = Place<QWidget>(this, "pnlBottom", QRect(0, 54, 354, 45));
    btnOK = Place<QPushButton>(pnlBottom, "btnOK", QRect(4, 4, 120, 37), "OK");
    btnOK->setDefault(true);
    btnCancel = Place<QPushButton>(pnlBottom, "btnCancel", QRect(128, 4, 120, 37), "Abbruch");
    btnCancel->hide();
    connect(btnOK, &QPushButton::clicked, this, [this] { done(mrOK); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TfrmReadAStringForm::Prepare(const QString& prompt, const QString& defaultText,
                                  TInputCancel cancel) {
    setWindowTitle(QString());
    lblInput->setText(prompt);
    edtInput->setText(defaultText);
    FCancel = cancel;
    btnCancel->setVisible(cancel == TInputCancel::Offered);
}

std::optional<QString> TfrmReadAStringForm::Answer(int modalResult,
                                                   const QString& defaultText) const {
    if (modalResult == mrOK) return edtInput->text();
    if (FCancel == TInputCancel::Offered) return std::nullopt;
    return defaultText;
}

std::optional<QString> TfrmReadAStringForm::ReadAString(const QString& prompt,
                                                        const QString& defaultText,
                                                        TInputCancel cancel) {
    Prepare(prompt, defaultText, cancel);
    PlaceModalWindow(this);
    edtInput->setFocus();
    edtInput->selectAll();
    return Answer(exec(), defaultText);
}

// The escape key and the window manager's close command cancel only where cancelling is offered.
void TfrmReadAStringForm::reject() {
    if (FCancel == TInputCancel::Offered) done(mrCancel);
}

void TfrmReadAStringForm::closeEvent(QCloseEvent* event) {
    if (FCancel == TInputCancel::Offered) {
        done(mrCancel);
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace tavlor
