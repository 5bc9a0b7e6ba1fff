#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

namespace tavlor {

// A child control with its component name and its place from the window's layout table, and
// its caption where it has one.
template <typename TControl>
TControl* Place(QWidget* parent, const char* name, QRect bounds, const QString& caption = {}) {
    auto* control = new TControl(parent);
    control->setObjectName(name);
    if constexpr (requires { control->setText(caption); })
        if (!caption.isEmpty()) control->setText(caption);
    control->setGeometry(bounds);
    return control;
}

// An image control: shows its picture centred and reports the mouse in picture pixels. The
// board is drawn into the picture off-screen and shown by one SetPicture; the drag of a piece
// paints into the picture directly and calls update().
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    void SetPicture(QPixmap picture);
    QPixmap& Picture() { return FPicture; }
    const QPixmap& Picture() const { return FPicture; }
    // Where the picture's top-left pixel sits in the control.
    QPoint PictureOrigin() const;

signals:
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint ToPicture(const QPointF& position) const;

    QPixmap FPicture;
};

// A splitter bar in the manner of a docked splitter: dragging it changes the height of the
// visible control below it and reports the move; the control never gets lower than MinSize.
class TSplitterBar : public QWidget {
    Q_OBJECT
public:
    explicit TSplitterBar(QWidget* parent = nullptr);

    // The controls the bar resizes; the first visible one is taken.
    void SetControls(std::initializer_list<QWidget*> controls) { FControls = controls; }
    QWidget* Control() const;
    int MinSize = 1;

signals:
    void Moved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<QWidget*> FControls;
    int FPressY = 0;
    int FStartHeight = 0;
    bool FDragging = false;
};

}  // namespace tavlor
