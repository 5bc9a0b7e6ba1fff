#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTextBrowser;
class QTextDocument;

namespace tavlor {

struct TRtfDocument;

// Puts a read RTF document into a rich-text document, formats and paragraphs kept.
void FillTextDocument(const TRtfDocument& source, QTextDocument& target);

// The help window: a small picture and the short manual in a read-only rich-text view.
class TfrmHelpForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmHelpForm(QWidget* parent = nullptr);

    void Prepare(const TRtfDocument& text);
    void ShowHelp(const TRtfDocument& text);

    QLabel* imgHelp = nullptr;
    QTextBrowser* redHelp = nullptr;
    QPushButton* btnOK = nullptr;
};

// The about window: the program's name, version and a few words; "OK" closes it.
class TfrmAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAboutForm(QWidget* parent = nullptr);

    QPushButton* btnOK = nullptr;
};

}  // namespace tavlor
