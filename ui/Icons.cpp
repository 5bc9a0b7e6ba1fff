#include "ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tavlor {

namespace {

QPixmap Canvas(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void Disc(QPainter& painter, QRectF rect, QColor colour) {
    QRadialGradient gradient(rect.center() - QPointF(rect.width() / 5, rect.height() / 5),
                             rect.width() * 0.75);
    gradient.setColorAt(0, colour.lighter(150));
    gradient.setColorAt(1, colour.darker(115));
    painter.setPen(QPen(colour.darker(160), 1.2));
    painter.setBrush(gradient);
    painter.drawEllipse(rect);
}

QPen ThickPen(QColor colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void QuestionMark(QPainter& painter, QPointF centre, double scale) {
    QPainterPath hook;
    hook.moveTo(centre + QPointF(-5, -5) * scale);
    hook.cubicTo(centre + QPointF(-5, -11) * scale, centre + QPointF(5, -11) * scale,
                 centre + QPointF(5, -5) * scale);
    hook.cubicTo(centre + QPointF(5, -1) * scale, centre + QPointF(0, 0) * scale,
                 centre + QPointF(0, 4) * scale);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(ThickPen(Qt::white, 3.6 * scale));
    painter.drawPath(hook);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre + QPointF(0, 10) * scale, 2.2 * scale, 2.2 * scale);
}

}  // namespace

QPixmap MessageIcon(int entry) {
    QPixmap pixmap = Canvas(36, 36);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(2, 2, 32, 32);
    switch (entry) {
        case cIconInformation:
            Disc(painter, disc, QColor(38, 110, 214));
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPointF(18, 10.5), 2.6, 2.6);
            painter.drawRoundedRect(QRectF(15.7, 15, 4.6, 13.5), 1.5, 1.5);
            break;
        case cIconQuestion:
            Disc(painter, disc, QColor(34, 150, 120));
            QuestionMark(painter, QPointF(18, 18), 1.1);
            break;
        case cIconWarning: {
            QPainterPath triangle;
            triangle.moveTo(18, 3);
            triangle.lineTo(34, 32);
            triangle.lineTo(2, 32);
            triangle.closeSubpath();
            painter.setPen(ThickPen(QColor(150, 110, 0), 1.5));
            painter.setBrush(QColor(250, 200, 40));
            painter.drawPath(triangle);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(40, 30, 0));
            painter.drawRoundedRect(QRectF(16.2, 11, 3.6, 12), 1.2, 1.2);
            painter.drawEllipse(QPointF(18, 27), 2.1, 2.1);
            break;
        }
        case cIconError:
            Disc(painter, disc, QColor(208, 40, 36));
            painter.setPen(ThickPen(Qt::white, 4));
            painter.drawLine(QPointF(12, 12), QPointF(24, 24));
            painter.drawLine(QPointF(24, 12), QPointF(12, 24));
            break;
        default:
            break;
    }
    return pixmap;
}

QPixmap HelpPicture() {
    QPixmap pixmap = Canvas(37, 36);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // an open book with a question mark above it
    painter.setPen(ThickPen(QColor(60, 60, 90), 1.2));
    painter.setBrush(QColor(250, 248, 240));
    QPainterPath left, right;
    left.moveTo(18.5, 24);
    left.cubicTo(13, 21, 7, 21, 3, 23);
    left.lineTo(3, 34);
    left.cubicTo(7, 32, 13, 32, 18.5, 35);
    left.closeSubpath();
    right.moveTo(18.5, 24);
    right.cubicTo(24, 21, 30, 21, 34, 23);
    right.lineTo(34, 34);
    right.cubicTo(30, 32, 24, 32, 18.5, 35);
    right.closeSubpath();
    painter.drawPath(left);
    painter.drawPath(right);
    Disc(painter, QRectF(9.5, 0.5, 18, 18), QColor(38, 110, 214));
    QuestionMark(painter, QPointF(18.5, 9.5), 0.62);
    return pixmap;
}

QIcon ProgramIcon() {
    QPixmap pixmap = Canvas(32, 32);
    QPainter painter(&pixmap);
    for (int file = 0; file < 4; ++file)
        for (int rank = 0; rank < 4; ++rank)
            painter.fillRect(file * 8, rank * 8, 8, 8,
                             (file + rank) % 2 ? QColor(181, 136, 99) : QColor(240, 217, 181));
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath knight;
    knight.moveTo(9, 29);
    knight.cubicTo(9, 24, 11, 21, 15, 19);
    knight.lineTo(8, 20);
    knight.lineTo(6, 17);
    knight.cubicTo(9, 12, 12, 8, 14, 6);
    knight.lineTo(16, 2);
    knight.lineTo(18, 5);
    knight.cubicTo(23, 6, 26, 11, 26, 17);
    knight.cubicTo(26, 22, 25, 26, 24, 29);
    knight.closeSubpath();
    painter.setPen(ThickPen(QColor(20, 20, 20), 1.4));
    painter.setBrush(QColor(252, 250, 244));
    painter.drawPath(knight);
    return QIcon(pixmap);
}

}  // namespace tavlor
