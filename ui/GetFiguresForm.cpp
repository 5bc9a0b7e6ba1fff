#include "ui/GetFiguresForm.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/MessageForms.h"

namespace tavlor {

TfrmGetFiguresForm::TfrmGetFiguresForm(QWidget* parent) : QDialog(parent, DialogFrame(false)) {
    setObjectName("frmGetFiguresForm");
    setFixedSize(361, 196);
    // NOLINTNEXTLINE(cppcoreguidelines-prefer-member-initializer): built in layout order
    CheckListBox = new QListWidget(this);
    CheckListBox->setObjectName("CheckListBox");
    CheckListBox->setGeometry(0, 0, 361, 151);
    CheckListBox->setSortingEnabled(true);
    auto* pnlBottom = new QWidget(this);
    pnlBottom->setObjectName("pnlBottom");
    pnlBottom->setGeometry(0, 151, 361, 45);
    btnOK = new QPushButton("OK", pnlBottom);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(4, 4, 120, 37);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(CheckListBox, &QListWidget::itemChanged, this,
            &TfrmGetFiguresForm::CheckListBoxClickCheck);
}

void TfrmGetFiguresForm::Prepare(const QString& caption, const QString& programDir,
                                 const QString& currentSet) {
    setWindowTitle(caption);
    FChecking = true;
    CheckListBox->clear();
    const QDir images(programDir + "IMAGES");
    for (const QString& name : images.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (name.startsWith('.')) continue;
        auto* item = new QListWidgetItem(name);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(name == currentSet ? Qt::Checked : Qt::Unchecked);
        CheckListBox->addItem(item);
    }
    FChecking = false;
}

// A click on any check box leaves exactly the clicked entry checked.
void TfrmGetFiguresForm::CheckListBoxClickCheck(QListWidgetItem* clicked) {
    if (FChecking) return;
    FChecking = true;
    for (int i = 0; i < CheckListBox->count(); ++i)
        CheckListBox->item(i)->setCheckState(Qt::Unchecked);
    clicked->setCheckState(Qt::Checked);
    FChecking = false;
}

QString TfrmGetFiguresForm::CheckedName() const {
    for (int i = 0; i < CheckListBox->count(); ++i)
        if (CheckListBox->item(i)->checkState() == Qt::Checked)
            return CheckListBox->item(i)->text();
    return QString();
}

QString TfrmGetFiguresForm::ChooseFigureSet(const QString& caption, const QString& programDir,
                                            const QString& currentSet) {
    Prepare(caption, programDir, currentSet);
    PlaceModalWindow(this);
    exec();
    return CheckedName();
}

}  // namespace tavlor
