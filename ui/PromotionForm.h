#pragma once

#include <array>

#include <QDialog>
#include <QPixmap>

class QLabel;

namespace tavlor {

// The promotion window: four pictures in a row (queen, rook, bishop, knight); a click on one
// chooses it. There is no other way to close it.
class TfrmFigureToPromotionForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFigureToPromotionForm(QWidget* parent = nullptr);

    void Prepare(const std::array<QPixmap, 4>& pictures);
    // Returns PromotionChoice: 0 queen, 1 rook, 2 bishop, 3 knight.
    int ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures);

    std::array<QLabel*, 4> Images{};  // imgQueen, imgRook, imgBishop, imgKnight
    int PromotionChoice = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
};

}  // namespace tavlor
