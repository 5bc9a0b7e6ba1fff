#include "ui/WindowDialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "ui/GetComputerSettingsForm.h"
#include "ui/GetFiguresForm.h"
#include "ui/HelpForm.h"
#include "ui/MessageForms.h"
#include "ui/PromotionForm.h"

namespace tavlor {

namespace {

// The platform's folder chooser, which also takes the name of a folder typed in that does not
// exist yet: the caller asks before it makes one. The chooser's own button would make a folder
// without asking, so the folders it shows are read-only.
class TFolderDialog : public QFileDialog {
public:
    TFolderDialog(QWidget* parent, const QString& caption, const QString& folder)
        : QFileDialog(parent, caption, folder) {
        setFileMode(QFileDialog::Directory);
        setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog |
                   QFileDialog::ReadOnly);
        // The chooser disables its button for a folder that does not exist; a typed name may
        // be a new one.
        auto* name = findChild<QLineEdit*>("fileNameEdit");
        auto* buttons = findChild<QDialogButtonBox*>("buttonBox");
        if (name && buttons)
            connect(name, &QLineEdit::textChanged, this, [buttons](const QString& text) {
                if (QPushButton* open = buttons->button(QDialogButtonBox::Open))
                    if (!text.isEmpty()) open->setEnabled(true);
            });
    }

    QString Chosen() const { return FNewFolder.isEmpty() ? selectedFiles().value(0) : FNewFolder; }

    void accept() override {
        const QString folder = selectedFiles().value(0);
        if (folder.isEmpty() || QFileInfo::exists(folder)) {
            QFileDialog::accept();
            return;
        }
        FNewFolder = folder;
        // QFileDialog::accept refuses a folder that does not exist; a new one is wanted here.
        QDialog::accept();  // NOLINT(bugprone-parent-virtual-call)
    }

private:
    QString FNewFolder;
};

}  // namespace

TWindowDialogs::TWindowDialogs(QWidget* parent)
    : frmFigureToPromotionForm(std::make_unique<TfrmFigureToPromotionForm>()),
      frmMessageForm(std::make_unique<TfrmMessageForm>()),
      frmGetFiguresForm(std::make_unique<TfrmGetFiguresForm>()),
      frmReadAStringForm(std::make_unique<TfrmReadAStringForm>()),
      frmDialogForm(std::make_unique<TfrmDialogForm>()),
      frmAboutForm(std::make_unique<TfrmAboutForm>()),
      // Its checks show their messages in the message window above.
      frmGetComputerSettingsForm(std::make_unique<TfrmGetComputerSettingsForm>(*this)),
      frmHelpForm(std::make_unique<TfrmHelpForm>()),
      FParent(parent) {}

TWindowDialogs::~TWindowDialogs() = default;

QWidget* TWindowDialogs::Owner() const {
    return FParent ? FParent : ModalOwner();
}

int TWindowDialogs::ShowMessageBox(const QString& caption, const QString& text, TMessageKind kind) {
    return frmMessageForm->ShowMessageBox(caption, text, kind);
}

int TWindowDialogs::ShowDialogBox(const QString& caption, const QString& text, TMessageKind kind) {
    return frmDialogForm->ShowMessageBox(caption, text, kind);
}

std::optional<QString> TWindowDialogs::ReadAString(const QString& prompt,
                                                   const QString& defaultText,
                                                   TInputCancel cancel) {
    return frmReadAStringForm->ReadAString(prompt, defaultText, cancel);
}

QString TWindowDialogs::ChooseFigureSet(const QString& caption, const QString& programDir,
                                        const QString& currentSet) {
    return frmGetFiguresForm->ChooseFigureSet(caption, programDir, currentSet);
}

int TWindowDialogs::ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) {
    return frmFigureToPromotionForm->ChoosePromotionPiece(pictures);
}

QString TWindowDialogs::ChooseOpenFile(const QString& caption, const QString& folder,
                                       const QString& filter) {
    return QFileDialog::getOpenFileName(Owner(), caption, folder, filter);
}

QString TWindowDialogs::ChooseSaveFile(const QString& caption, const QString& folder,
                                       const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(Owner(), caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // A name typed without an extension gets that of the filter chosen: "Partie" saved under
    // "PGN (*.pgn)" becomes "Partie.pgn". The first filter keeps the suffix given.
    const QString firstFilter = filter.section(";;", 0, 0);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
        const QRegularExpressionMatch extension = QRegularExpression(R"(\*\.(\w+))").match(chosen);
        dialog.setDefaultSuffix(
            chosen == firstFilter || !extension.hasMatch() ? defaultSuffix : extension.captured(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().front();
}

QString TWindowDialogs::ChooseFolder(const QString& caption, const QString& startFolder) {
    TFolderDialog dialog(Owner(), caption, startFolder);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.Chosen();
}

bool TWindowDialogs::EditComputerSettings(TComputerSettings& settings) {
    return frmGetComputerSettingsForm->EditComputerSettings(settings);
}

void TWindowDialogs::ShowHelp(const TRtfDocument& text) {
    frmHelpForm->ShowHelp(text);
}

void TWindowDialogs::ShowAbout() {
    PlaceModalWindow(frmAboutForm.get());
    frmAboutForm->exec();
}

}  // namespace tavlor
