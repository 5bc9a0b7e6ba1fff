#pragma once

// The main window shown at a board of fixed size, driven by mouse events as the window system
// delivers them.

#include <memory>

#include <QStringList>
#include <QTest>
#include <QTimer>

#include "UiTestSupport.h"
#include "notation/Fen.h"
#include "ui/Controls.h"

namespace tavlor::testing {

// Records the promotion pictures besides answering from the script.
class TPromotionDialogs : public TScriptedDialogs {
public:
    int ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) override {
        Pictures = pictures;
        return TScriptedDialogs::ChoosePromotionPiece(pictures);
    }
    std::array<QPixmap, 4> Pictures;
};

// The window shown, both sides played at this board, on a 400 x 403 board image: squares of 50
// pixels and three unpainted pixel rows at the bottom.
struct TBoard {
    explicit TBoard(const char* fen = nullptr) {
        TMainFormOptions options;
        options.ProgramDir = Fixture.ProgramDir();
        options.WorkingDir = Fixture.ProgramDir();
        options.Dialogs = &Dialogs;
        Form = std::make_unique<TfrmChessMainForm>(options);
        Form->ActiveConnection = 0;
        if (fen) ReadFen(*Form->ChessBoard, fen);
        Form->imgMainBoard->setFixedSize(400, 403);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->timChessBoardRedraw->stop();
        Form->RedrawBoard();
    }

    // Mouse events as the window system delivers them, at a pixel of the board picture.
    QPoint InWindow(QPoint pixel) const {
        return Form->imgMainBoard->mapTo(Form.get(), pixel + Form->imgMainBoard->PictureOrigin());
    }
    void Press(QPoint pixel) {
        QTest::mousePress(Form->windowHandle(), Qt::LeftButton, {}, InWindow(pixel));
    }
    void MoveTo(QPoint pixel) { QTest::mouseMove(Form->windowHandle(), InWindow(pixel)); }
    void Release(QPoint pixel) {
        QTest::mouseRelease(Form->windowHandle(), Qt::LeftButton, {}, InWindow(pixel));
    }
    void Drag(QPoint from, QPoint to) {
        Press(from);
        MoveTo((from + to) / 2);
        MoveTo(to);
        Release(to);
    }
    QPoint Centre(const char* square) const {
        return Form->SquareRect(square[0] - 'a' + 1, square[1] - '0').center();
    }
    void Drag(const char* uci) { Drag(Centre(uci), Centre(uci + 2)); }

    QImage Shown() const { return Form->imgMainBoard->Picture().toImage(); }
    // Whether the picture is what a full redraw of the position shows (it redraws).
    bool ShownAsRedrawn() {
        const QImage shown = Shown();
        Form->RedrawBoard();
        return shown == Shown();
    }
    TPieceCode At(const char* square) const {
        return Form->ChessBoard->GetSquare(square[0] - 'a' + 1, square[1] - '0');
    }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& call : Dialogs.Calls)
            if (call.Kind == "message") texts << call.Text;
        return texts;
    }

    TFormFixture Fixture;
    TPromotionDialogs Dialogs;
    std::unique_ptr<TfrmChessMainForm> Form;
};

}  // namespace tavlor::testing
