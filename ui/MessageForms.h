#pragma once

#include <QDialog>

#include "ui/Dialogs.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tavlor {

// The message window: an icon, a wrapped text and "OK". It can only be closed with "OK".
class TfrmMessageForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMessageForm(QWidget* parent = nullptr);

    // Fills the window for one message (icon, text, caption) without showing it.
    void Prepare(const QString& caption, const QString& text, TMessageKind kind);
    // Prepares, shows modally, returns the modal result.
    int ShowMessageBox(const QString& caption, const QString& text, TMessageKind kind);

    QLabel* Image = nullptr;
    QPlainTextEdit* memMessage = nullptr;
    QWidget* pnlBottom = nullptr;
    QPushButton* btnOK = nullptr;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    // The question window may be closed by its frame; the message window may not.
    bool FClosable = false;
};

// The question window: the message window's layout with "Abbruch" beside "OK".
class TfrmDialogForm : public TfrmMessageForm {
    Q_OBJECT
public:
    explicit TfrmDialogForm(QWidget* parent = nullptr);

    QPushButton* btnCancel = nullptr;

protected:
    void reject() override;
};

// The one-line input window: a prompt, an edit field and "OK"; "Abbruch" beside it (and the
// escape key) only for callers that let the input be cancelled.
class TfrmReadAStringForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmReadAStringForm(QWidget* parent = nullptr);

    void Prepare(const QString& prompt, const QString& defaultText, TInputCancel cancel);
    // The text after "OK"; nothing after a cancel, or the default text where none was offered.
    std::optional<QString> Answer(int modalResult, const QString& defaultText) const;
    std::optional<QString> ReadAString(const QString& prompt, const QString& defaultText,
                                       TInputCancel cancel);

    QLabel* lblInput = nullptr;
    QLineEdit* edtInput = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    TInputCancel FCancel = TInputCancel::NotOffered;
};

// The frame of the program's dialog windows: a title, no minimise or maximise button, and a
// close button only where closing means something.
Qt::WindowFlags DialogFrame(bool closeButton);

// Centres a window on the screen it belongs to, as the program's dialogs appear.
void CentreOnScreen(QWidget* window);

// The window a modal window shown now belongs to: the active modal window, the active window, or
// else the main window; none before the main window is shown.
QWidget* ModalOwner(const QWidget* window = nullptr);

// Places a modal window before it is shown: it belongs to its ModalOwner, so the window manager
// keeps it above that one and minimises the two together (a dialog minimised alone would leave
// the main window blocked with nothing to see); and it is centred on the screen.
void PlaceModalWindow(QWidget* window);

}  // namespace tavlor
