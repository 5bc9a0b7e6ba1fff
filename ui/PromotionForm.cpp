#include "ui/PromotionForm.h"

#include <QEvent>
#include <QLabel>

#include "ui/Dialogs.h"
#include "ui/MessageForms.h"

namespace tavlor {

TfrmFigureToPromotionForm::TfrmFigureToPromotionForm(QWidget* parent)
    : QDialog(parent, DialogFrame(false)) {
    setObjectName("frmFigureToPromotionForm");
    setWindowTitle("Promotion figure to...");
    setFixedSize(628, 158);
    const char* names[4] = {"imgQueen", "imgRook", "imgBishop", "imgKnight"};
    for (int i = 0; i < 4; ++i) {
        Images[i] = new QLabel(this);
        Images[i]->setObjectName(names[i]);
        Images[i]->setGeometry(4 + 156 * i, 4, 150, 150);
        Images[i]->setScaledContents(true);
        Images[i]->setCursor(Qt::PointingHandCursor);
        Images[i]->installEventFilter(this);
    }
}

void TfrmFigureToPromotionForm::Prepare(const std::array<QPixmap, 4>& pictures) {
    for (int i = 0; i < 4; ++i)
        Images[i]->setPixmap(pictures[i]);
}

int TfrmFigureToPromotionForm::ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) {
    Prepare(pictures);
    PlaceModalWindow(this);
    exec();
    return PromotionChoice;
}

bool TfrmFigureToPromotionForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 4; ++i)
            if (watched == Images[i]) {
                PromotionChoice = i;
                done(mrOK);
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmFigureToPromotionForm::reject() {}

}  // namespace tavlor
