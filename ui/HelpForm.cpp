#include "ui/HelpForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ui/Icons.h"
#include "ui/MessageForms.h"
#include "ui/RtfReader.h"

namespace tavlor {

namespace {

Qt::Alignment AlignmentOf(TRtfAlignment alignment) {
    switch (alignment) {
        case TRtfAlignment::Center:
            return Qt::AlignHCenter;
        case TRtfAlignment::Right:
            return Qt::AlignRight;
        case TRtfAlignment::Justify:
            return Qt::AlignJustify;
        case TRtfAlignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat CharFormatOf(const TRtfRun& run) {
    QTextCharFormat format;
    format.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.Italic);
    format.setFontUnderline(run.Underline);
    format.setFontPointSize(run.FontHalfPoints / 2.0);
    QStringList families;
    if (!run.FontName.empty()) families << QString::fromStdString(run.FontName);
    // Where the named font is missing, a fixed-pitch one must stand in, or columns go ragged.
    if (run.FixedPitch) {
        families << "monospace";
        format.setFontFixedPitch(true);
        format.setFontStyleHint(QFont::TypeWriter);
    }
    if (!families.isEmpty()) format.setFontFamilies(families);
    if (run.Colour) format.setForeground(QColor::fromRgb(*run.Colour));
    return format;
}

// RTF indents are in twips; the document counts pixels at 96 per inch, 1440 twips.
qreal TwipsToPixels(std::int32_t twips) {
    return twips / 15.0;
}

}  // namespace

void FillTextDocument(const TRtfDocument& source, QTextDocument& target) {
    target.clear();
    QTextCursor cursor(&target);
    bool first = true;
    for (const TRtfParagraph& paragraph : source.Paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(AlignmentOf(paragraph.Alignment));
        block.setBottomMargin(3);
        block.setLeftMargin(TwipsToPixels(paragraph.LeftIndent));
        block.setRightMargin(TwipsToPixels(paragraph.RightIndent));
        block.setTextIndent(TwipsToPixels(paragraph.FirstLineIndent));
        // A hanging first line (a bullet and a tab) continues where the other lines begin.
        if (paragraph.FirstLineIndent < 0)
            block.setTabPositions({QTextOption::Tab(0, QTextOption::LeftTab)});
        const QTextCharFormat blockChars =
            paragraph.Runs.empty() ? QTextCharFormat() : CharFormatOf(paragraph.Runs.front());
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(blockChars);
            first = false;
        } else {
            cursor.insertBlock(block, blockChars);
        }
        for (const TRtfRun& run : paragraph.Runs) {
            QString text = QString::fromUtf8(run.Text);
            text.replace('\n', QChar::LineSeparator);
            cursor.insertText(text, CharFormatOf(run));
        }
    }
}

TfrmHelpForm::TfrmHelpForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmHelpForm");
    setWindowTitle("Hilfe...");
    resize(696, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* pnlClient = new QWidget(this);
    pnlClient->setObjectName("pnlClient");
    auto* clientLayout = new QHBoxLayout(pnlClient);
    clientLayout->setContentsMargins(4, 5, 0, 0);
    imgHelp = new QLabel(pnlClient);
    imgHelp->setObjectName("imgHelp");
    imgHelp->setFixedSize(37, 36);
    imgHelp->setPixmap(HelpPicture());
    clientLayout->addWidget(imgHelp, 0, Qt::AlignTop);
    clientLayout->addSpacing(20);
    redHelp = new QTextBrowser(pnlClient);
    redHelp->setObjectName("redHelp");
    redHelp->setMinimumWidth(400);
    redHelp->setFrameStyle(QFrame::NoFrame);
    redHelp->setReadOnly(true);
    redHelp->setOpenLinks(false);
    redHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette buttonFace = redHelp->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    redHelp->setPalette(buttonFace);
    clientLayout->addWidget(redHelp, 1);
    layout->addWidget(pnlClient, 1);
    auto* pnlBottom = new QWidget(this);
    pnlBottom->setObjectName("pnlBottom");
    pnlBottom->setFixedHeight(45);
    btnOK = new QPushButton("OK", pnlBottom);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(6, 4, 160, 37);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(pnlBottom);
}

void TfrmHelpForm::Prepare(const TRtfDocument& text) {
    FillTextDocument(text, *redHelp->document());
    redHelp->moveCursor(QTextCursor::Start);
}

void TfrmHelpForm::ShowHelp(const TRtfDocument& text) {
    Prepare(text);
    PlaceModalWindow(this);
    exec();
}

TfrmAboutForm::TfrmAboutForm(QWidget* parent) : QDialog(parent, DialogFrame(true)) {
    setObjectName("frmAboutForm");
    setWindowTitle("Über Tavlor...");
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setPixmap(ProgramIcon().pixmap(64, 64));
    picture->setFixedSize(64, 64);
    picture->setScaledContents(true);
    top->addWidget(picture, 0, Qt::AlignTop);
    auto* text = new QLabel(this);
    text->setObjectName("lblAbout");
    text->setText(
        "<b style='font-size:14pt'>Tavlor V2.0.3.1</b><br><br>"
        "Ein Schachprogramm für zwei Spieler an einem Brett,<br>"
        "gegen den eingebauten Rechner oder gegen einen Gegner<br>"
        "an einem anderen Rechner über ein gemeinsames Netzwerklaufwerk.<br><br>"
        "Die Kurzanleitung öffnet sich mit F1.");
    top->addWidget(text, 1);
    layout->addLayout(top);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setFixedSize(120, 37);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(btnOK, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

}  // namespace tavlor
