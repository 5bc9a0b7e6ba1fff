#include "ui/Controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace tavlor {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(QPixmap picture) {
    FPicture = std::move(picture);
    update();
}

QPoint TImage::PictureOrigin() const {
    const QSize size = FPicture.deviceIndependentSize().toSize();
    return QPoint((width() - size.width()) / 2, (height() - size.height()) / 2);
}

void TImage::paintEvent(QPaintEvent*) {
    if (FPicture.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(PictureOrigin(), FPicture);
}

QPoint TImage::ToPicture(const QPointF& position) const {
    return position.toPoint() - PictureOrigin();
}

void TImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = ToPicture(event->position());
    emit MouseDown(p.x(), p.y());
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = ToPicture(event->position());
    emit MouseMove(p.x(), p.y());
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = ToPicture(event->position());
    emit MouseUp(p.x(), p.y());
}

TSplitterBar::TSplitterBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitVCursor);
    setFixedHeight(8);
}

QWidget* TSplitterBar::Control() const {
    for (QWidget* control : FControls)
        if (control->isVisibleTo(parentWidget())) return control;
    return nullptr;
}

void TSplitterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    const int middle = height() / 2;
    for (int x = width() / 2 - 12; x <= width() / 2 + 12; x += 4)
        painter.drawPoint(x, middle);
}

void TSplitterBar::mousePressEvent(QMouseEvent* event) {
    QWidget* control = Control();
    if (!control || event->button() != Qt::LeftButton) return;
    FDragging = true;
    FPressY = event->globalPosition().toPoint().y();
    FStartHeight = control->height();
}

void TSplitterBar::mouseMoveEvent(QMouseEvent* event) {
    QWidget* control = Control();
    if (!FDragging || !control) return;
    const int above = parentWidget() ? parentWidget()->height() - height() - MinSize : 10000;
    const int wanted = FStartHeight - (event->globalPosition().toPoint().y() - FPressY);
    const int newHeight = std::clamp(wanted, MinSize, std::max(MinSize, above));
    if (newHeight == control->height()) return;
    control->setFixedHeight(newHeight);
    emit Moved();
}

void TSplitterBar::mouseReleaseEvent(QMouseEvent*) {
    FDragging = false;
}

}  // namespace tavlor
