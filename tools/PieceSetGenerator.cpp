// Draws the piece sets that ship in data/IMAGES: vector artwork rendered to the 150 x 150 and
// 20 x 20 bitmaps the program loads, together with the two empty squares of each set.
//
//   tavlor-piecegen OUTDIR        writes OUTDIR/USUAL/... and OUTDIR/MODERN/...
//
// The program takes the bottom-left pixel of a piece picture as its transparent colour. A large
// piece is therefore drawn with a hard silhouette on a plain background (a blended edge pixel
// would show as a coloured fringe on the other square colour); the program's smooth downscaling
// softens that edge again. A small piece only ever appears on its own square colour (captured
// rows), so it is drawn anti-aliased onto that colour.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

enum class TKind { King, Queen, Rook, Bishop, Knight, Pawn };

// A piece as drawing parts in painting order (a later part covers the lines of an earlier one),
// plus detail lines and dots drawn over all parts.
struct TShape {
    std::vector<QPainterPath> Parts;
    QPainterPath DetailLines;
    QPainterPath DetailDots;
    QPainterPath Holes;  // cut out of the silhouette, the square shows through
};

struct TPalette {
    QColor FillLeft, FillRight, Outline, Detail;
};

struct TStyle {
    QString Name;
    QColor Light, Dark;
    TPalette White, Black;
    std::function<TShape(TKind)> Shape;
    bool OutlineParts;  // every part gets its own thin outline (the engraved look)
    bool TwoTone;       // the right half is filled in a shade (the flat look)
};

QPainterPath Rect(double x0, double y0, double x1, double y1, double radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x0, y0, x1 - x0, y1 - y0), radius, radius);
    return path;
}

QPainterPath Circle(double cx, double cy, double r) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath Line(double x0, double y0, double x1, double y1) {
    QPainterPath path(QPointF(x0, y0));
    path.lineTo(x1, y1);
    return path;
}

// ---- the classic set: Staunton-like silhouettes, each part outlined ----

void AddClassicFoot(TShape& shape, double footTop) {
    shape.Parts.push_back(Rect(27, footTop, 73, footTop + 7, 2));
    shape.Parts.push_back(Rect(22, footTop + 7, 78, 92, 3));
}

QPainterPath Skirt(double top, double bottom, double halfTop, double halfBottom) {
    QPainterPath path(QPointF(50 - halfTop, top));
    path.cubicTo(50 - halfTop, top + (bottom - top) * 0.45, 50 - halfBottom + 3,
                 top + (bottom - top) * 0.75, 50 - halfBottom, bottom);
    path.lineTo(50 + halfBottom, bottom);
    path.cubicTo(50 + halfBottom - 3, top + (bottom - top) * 0.75, 50 + halfTop,
                 top + (bottom - top) * 0.45, 50 + halfTop, top);
    path.closeSubpath();
    return path;
}

TShape ClassicShape(TKind kind) {
    TShape shape;
    switch (kind) {
        case TKind::Pawn:
            shape.Parts.push_back(Skirt(45, 78, 8, 20));
            AddClassicFoot(shape, 77);
            shape.Parts.push_back(Circle(50, 28, 12.5));
            shape.Parts.push_back(Rect(36, 40, 64, 47, 3.5));
            break;
        case TKind::Rook:
            shape.Parts.push_back(Polygon({{35, 36}, {65, 36}, {68, 76}, {32, 76}}));
            AddClassicFoot(shape, 75);
            shape.Parts.push_back(Polygon({{27, 12},
                                           {38, 12},
                                           {38, 19},
                                           {45, 19},
                                           {45, 12},
                                           {55, 12},
                                           {55, 19},
                                           {62, 19},
                                           {62, 12},
                                           {73, 12},
                                           {73, 30},
                                           {27, 30}}));
            shape.Parts.push_back(Rect(29, 29, 71, 37, 1.5));
            shape.DetailLines.addPath(Line(36, 55, 64, 55));
            break;
        case TKind::Bishop: {
            shape.Parts.push_back(Skirt(56, 78, 9, 19));
            AddClassicFoot(shape, 77);
            QPainterPath mitre(QPointF(50, 15));
            mitre.cubicTo(62, 23, 69, 34, 65.5, 45);
            mitre.cubicTo(63.5, 51, 58, 54, 50, 54);
            mitre.cubicTo(42, 54, 36.5, 51, 34.5, 45);
            mitre.cubicTo(31, 34, 38, 23, 50, 15);
            shape.Parts.push_back(mitre);
            shape.Parts.push_back(Circle(50, 10.5, 5.5));
            shape.Parts.push_back(Rect(34, 52, 66, 60, 3.5));
            shape.DetailLines.addPath(Line(57, 27, 47.5, 40));
            break;
        }
        case TKind::Queen:
            shape.Parts.push_back(Skirt(57, 78, 15, 22));
            AddClassicFoot(shape, 77);
            shape.Parts.push_back(Polygon({{30, 55},
                                           {14, 26},
                                           {31, 40},
                                           {33.5, 18},
                                           {44.5, 37},
                                           {50, 13},
                                           {55.5, 37},
                                           {66.5, 18},
                                           {69, 40},
                                           {86, 26},
                                           {70, 55}}));
            shape.Parts.push_back(Rect(30, 52, 70, 60, 3.5));
            for (QPointF p : {QPointF(14, 26), QPointF(33.5, 18), QPointF(50, 12.5),
                              QPointF(66.5, 18), QPointF(86, 26)})
                shape.Parts.push_back(Circle(p.x(), p.y(), 4.5));
            break;
        case TKind::King: {
            shape.Parts.push_back(Skirt(57, 78, 15, 22));
            AddClassicFoot(shape, 77);
            shape.Parts.push_back(Rect(46.5, 3, 53.5, 25, 1.2).united(Rect(41, 8, 59, 15, 1.2)));
            QPainterPath crown(QPointF(31, 55));
            crown.cubicTo(15, 47, 13, 29, 28, 26.5);
            crown.cubicTo(38, 25, 45, 31, 50, 38);
            crown.cubicTo(55, 31, 62, 25, 72, 26.5);
            crown.cubicTo(87, 29, 85, 47, 69, 55);
            crown.closeSubpath();
            shape.Parts.push_back(crown);
            QPainterPath bud(QPointF(43, 40));
            bud.cubicTo(42, 31, 46, 26, 50, 23);
            bud.cubicTo(54, 26, 58, 31, 57, 40);
            bud.closeSubpath();
            shape.Parts.push_back(bud);
            shape.Parts.push_back(Rect(30, 52, 70, 60, 3.5));
            break;
        }
        case TKind::Knight: {
            QPainterPath head(QPointF(31, 80));
            head.cubicTo(31, 70, 35, 64, 44, 58);
            head.cubicTo(47.5, 55.5, 47, 52, 43, 51);
            head.cubicTo(38, 50, 32, 55, 27, 57.5);
            head.cubicTo(22.5, 59.5, 16.5, 57.5, 16.5, 52.5);
            head.cubicTo(16.5, 48, 18.5, 45, 21, 43);
            head.cubicTo(26, 36, 32, 27, 38, 21);
            head.lineTo(41, 12);
            head.lineTo(45, 4.5);
            head.lineTo(50.5, 13);
            head.cubicTo(65, 14, 77, 26, 79, 44);
            head.cubicTo(81, 58, 77, 70, 73, 80);
            head.closeSubpath();
            shape.Parts.push_back(head);
            AddClassicFoot(shape, 78);
            QPainterPath mane(QPointF(51.5, 16));
            mane.cubicTo(64, 20, 72, 33, 72.5, 48);
            mane.cubicTo(73, 60, 70, 70, 66.5, 79);
            shape.DetailLines.addPath(mane);
            shape.DetailLines.addPath(Line(17.5, 53, 24, 54));
            QPainterPath eye;
            eye.addEllipse(QPointF(37, 30), 3.4, 2.4);
            shape.DetailDots.addPath(eye);
            shape.DetailDots.addPath(Circle(22.5, 48.5, 1.6));
            break;
        }
    }
    return shape;
}

// ---- the modern set: plain geometric shapes, flat two-tone ----

TShape ModernShape(TKind kind) {
    TShape shape;
    const QPainterPath base = Rect(23, 83, 77, 92, 4.5);
    QPainterPath body;
    switch (kind) {
        case TKind::Pawn:
            body = Circle(50, 31, 14).united(Polygon({{40, 44}, {60, 44}, {71, 84}, {29, 84}}));
            break;
        case TKind::Rook:
            body = Polygon({{25, 12},
                            {36, 12},
                            {36, 21},
                            {44.5, 21},
                            {44.5, 12},
                            {55.5, 12},
                            {55.5, 21},
                            {64, 21},
                            {64, 12},
                            {75, 12},
                            {75, 32},
                            {68, 38},
                            {70, 84},
                            {30, 84},
                            {32, 38},
                            {25, 32}});
            shape.Holes.addPath(Rect(44, 48, 56, 64, 6));
            break;
        case TKind::Bishop: {
            QPainterPath head(QPointF(50, 16));
            head.cubicTo(67, 26, 71, 44, 62, 56);
            head.lineTo(38, 56);
            head.cubicTo(29, 44, 33, 26, 50, 16);
            head.closeSubpath();
            body = head.united(Circle(50, 11, 6))
                       .united(Polygon({{41, 54}, {59, 54}, {69, 84}, {31, 84}}));
            QPainterPath slit;
            slit.addPolygon(QPolygonF(QList<QPointF>{{60, 27}, {64, 31}, {50, 45}, {46, 41}}));
            slit.closeSubpath();
            shape.Holes.addPath(slit);
            break;
        }
        case TKind::Knight:
            body = Polygon({{29, 84},
                            {31, 67},
                            {47, 52},
                            {27, 59},
                            {15, 51},
                            {34, 24},
                            {41, 6},
                            {52, 15},
                            {67, 19},
                            {79, 40},
                            {75, 84}});
            shape.Holes.addPath(Circle(41, 31, 3.6));
            break;
        case TKind::Queen:
            body = Polygon({{28, 58}, {14, 24}, {33, 38}, {50, 12}, {67, 38}, {86, 24}, {72, 58}})
                       .united(Polygon({{31, 56}, {69, 56}, {74, 84}, {26, 84}}))
                       .united(Circle(14, 24, 5.5))
                       .united(Circle(50, 12, 5.5))
                       .united(Circle(86, 24, 5.5));
            shape.Holes.addPath(Rect(30, 62, 70, 66.5, 2));
            break;
        case TKind::King:
            body = Rect(45, 3, 55, 27, 1.5)
                       .united(Rect(38, 9, 62, 18, 1.5))
                       .united(Rect(24, 25, 76, 58, 14))
                       .united(Polygon({{31, 52}, {69, 52}, {74, 84}, {26, 84}}));
            shape.Holes.addPath(Rect(30, 62, 70, 66.5, 2));
            break;
    }
    shape.Parts.push_back(body.united(base));
    return shape;
}

// ---- rendering ----

struct TPen {
    double Outline;  // silhouette, in pixels
    double Part;     // part outlines and detail lines, in pixels
};

// Paints the piece anti-aliased onto a transparent picture of size x size pixels.
QImage PaintPiece(const TStyle& style, TKind kind, bool white, int size) {
    const TPalette& palette = white ? style.White : style.Black;
    const TShape shape = style.Shape(kind);
    const double scale = size / 100.0;
    const TPen pen = size >= 64 ? TPen{3.4, 1.9} : TPen{1.15, 0.75};

    QPainterPath silhouette;
    for (const QPainterPath& part : shape.Parts)
        silhouette = silhouette.united(part);
    silhouette = silhouette.subtracted(shape.Holes);

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    QLinearGradient gradient(22, 0, 78, 0);
    gradient.setColorAt(0, palette.FillLeft);
    gradient.setColorAt(1, palette.FillRight);
    const QPen partPen(palette.Detail, pen.Part / scale, Qt::SolidLine, Qt::RoundCap,
                       Qt::RoundJoin);

    for (const QPainterPath& part : shape.Parts) {
        const QPainterPath visible = part.subtracted(shape.Holes);
        painter.fillPath(visible, gradient);
        if (style.OutlineParts) painter.strokePath(visible, partPen);
    }
    if (style.TwoTone) {
        QPainterPath shade;
        shade.addRect(50, 0, 50, 100);
        painter.fillPath(silhouette.intersected(shade), palette.FillRight);
    }
    painter.strokePath(shape.DetailLines, partPen);
    painter.fillPath(shape.DetailDots, palette.Detail);
    painter.strokePath(silhouette, QPen(palette.Outline, pen.Outline / scale, Qt::SolidLine,
                                        Qt::RoundCap, Qt::RoundJoin));
    painter.end();
    return image;
}

// A colour that differs from `key` (a pixel of the piece must never be taken for transparency).
QRgb AvoidKey(QRgb colour, QRgb key) {
    if ((colour & 0xFFFFFF) != (key & 0xFFFFFF)) return colour;
    return qRgb(qRed(colour) ^ 1, qGreen(colour), qBlue(colour));
}

// Large picture: every pixel either belongs to the piece (fully, in its own colour) or is the
// background colour, which sits in the bottom-left corner.
QImage HardEdged(const QImage& piece, QColor background) {
    const QRgb key = background.rgb();
    QImage result(piece.size(), QImage::Format_RGB32);
    const QImage straight = piece.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < piece.height(); ++y)
        for (int x = 0; x < piece.width(); ++x) {
            const QRgb pixel = straight.pixel(x, y);
            result.setPixel(x, y, qAlpha(pixel) >= 128 ? AvoidKey(pixel | 0xFF000000, key) : key);
        }
    result.setPixel(0, piece.height() - 1, key);
    return result;
}

// Small picture: the piece blended onto the square colour it will be shown on.
QImage OnSquare(const QImage& piece, QColor square) {
    const QRgb key = square.rgb();
    QImage result(piece.size(), QImage::Format_RGB32);
    result.fill(square);
    QPainter painter(&result);
    painter.drawImage(0, 0, piece);
    painter.end();
    for (int y = 0; y < piece.height(); ++y)
        for (int x = 0; x < piece.width(); ++x)
            if (qAlpha(piece.pixel(x, y)) > 0)
                result.setPixel(x, y, AvoidKey(result.pixel(x, y), key));
    result.setPixel(0, piece.height() - 1, key);
    return result;
}

QImage PlainSquare(QColor colour, int size) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool Save(const QImage& image, const QString& folder, const QString& name) {
    const QString path = folder + "/" + name;
    if (image.convertToFormat(QImage::Format_RGB888).save(path, "BMP")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

bool WriteSet(const TStyle& style, const QString& outDir) {
    const QString folder = outDir + "/" + style.Name;
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return false;
    }
    struct TEntry {
        TKind Kind;
        const char* Name;
    };
    const TEntry entries[] = {{TKind::King, "King"},     {TKind::Queen, "Queen"},
                              {TKind::Rook, "Rook"},     {TKind::Bishop, "Bishop"},
                              {TKind::Knight, "Knight"}, {TKind::Pawn, "Pawn"}};
    bool ok = true;
    for (bool white : {true, false}) {
        const QString colour = white ? "White" : "Black";
        const QColor square = white ? style.Light : style.Dark;
        for (const TEntry& entry : entries) {
            const QString name = colour + entry.Name;
            ok &= Save(HardEdged(PaintPiece(style, entry.Kind, white, 150), style.Light), folder,
                       name + ".bmp");
            ok &= Save(OnSquare(PaintPiece(style, entry.Kind, white, 20), square), folder,
                       name + "Small.bmp");
        }
        ok &= Save(PlainSquare(square, 150), folder, colour + "Empty.bmp");
        ok &= Save(PlainSquare(square, 20), folder, colour + "EmptySmall.bmp");
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavlor-piecegen OUTDIR\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const TStyle usual{
        "USUAL",
        QColor(240, 217, 181),
        QColor(181, 136, 99),
        {QColor(255, 255, 252), QColor(226, 218, 200), QColor(24, 22, 20), QColor(24, 22, 20)},
        {QColor(78, 72, 68), QColor(22, 20, 19), QColor(0, 0, 0), QColor(214, 206, 192)},
        ClassicShape,
        true,
        false};
    const TStyle modern{
        "MODERN",
        QColor(222, 227, 230),
        QColor(140, 162, 173),
        {QColor(255, 255, 255), QColor(214, 221, 227), QColor(40, 52, 62), QColor(40, 52, 62)},
        {QColor(64, 72, 82), QColor(38, 44, 51), QColor(12, 14, 16), QColor(200, 208, 214)},
        ModernShape,
        false,
        true};
    const bool ok = WriteSet(usual, outDir) && WriteSet(modern, outDir);
    return ok ? 0 : 1;
}
