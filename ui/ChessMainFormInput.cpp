// Moves made with the mouse: picking a piece up, letting it float with the pointer, putting it
// down on a square, the promotion choice, and handing the finished move to the opponent.

#include <algorithm>

#include <QAction>
#include <QPainter>
#include <QPlainTextEdit>

#include "rules/MoveGeneration.h"
#include "ui/ChessMainForm.h"
#include "ui/Controls.h"

namespace tavlor {

void TfrmChessMainForm::ConnectInputHandlers() {
    // The pointer is followed without a button held: a piece released outside every square keeps
    // floating, and the set-up palette shows the square under the pointer.
    imgMainBoard->setMouseTracking(true);
    connect(imgMainBoard, &TImage::MouseDown, this, &TfrmChessMainForm::imgMainBoardMouseDown);
    connect(imgMainBoard, &TImage::MouseMove, this, &TfrmChessMainForm::imgMainBoardMouseMove);
    connect(imgMainBoard, &TImage::MouseUp, this, &TfrmChessMainForm::imgMainBoardMouseUp);
    ConnectSetUpHandlers();
    ConnectGameFileHandlers();
}

// ---- pixels and squares ----

TfrmChessMainForm::TSquareAtPixel TfrmChessMainForm::SquareAtPixel(int x, int y) {
    // The picture shown may still have the size of the last redraw after a resize.
    const QSize size = imgMainBoard->Picture().deviceIndependentSize().toSize();
    SquareWidth = size.width() / 8;
    SquareHeight = size.height() / 8;
    if (SquareWidth == 0 || SquareHeight == 0) return {};
    // Both edges count as inside: a pixel on a border belongs to the square visited first.
    for (std::int32_t file = 1; file <= 8; ++file)
        for (std::int32_t rank = 1; rank <= 8; ++rank) {
            const QRect square = SquareRect(file, rank);
            if (square.left() <= x && x <= square.left() + SquareWidth && square.top() <= y &&
                y <= square.top() + SquareHeight)
                return {ChessBoard->GetSquare(file, rank), file, rank};
        }
    return {};
}

TPieceCode TfrmChessMainForm::PieceAtPixel(int x, int y, QImage& picture) {
    const TSquareAtPixel hit = SquareAtPixel(x, y);
    if (hit.File == 0) return cEmpty;
    const QRect square = SquareRect(hit.File, hit.Rank);
    DragOffsetX = square.left() - x;
    DragOffsetY = square.top() - y;
    if (hit.Piece != cEmpty) picture = EmptySquarePicture(hit.File, hit.Rank);
    return hit.Piece;
}

QImage TfrmChessMainForm::EmptySquarePicture(std::int32_t file, std::int32_t rank) const {
    const bool light = (file + rank) % 2 == 1;
    const QImage& picture = light ? LightSquareBitmap : DarkSquareBitmap;
    if (!picture.isNull()) return picture;
    QImage plain(1, 1, QImage::Format_RGB32);
    plain.fill(FallbackSquareColour(light));
    return plain;
}

QPixmap TfrmChessMainForm::PiecePicture(TPieceCode piece, QSize size) const {
    if (size.isEmpty()) return QPixmap();
    const int entry = FigureEntry(piece);
    if (imlFigure.Has(entry)) return imlFigure.Stretched(entry, size, true);
    QPixmap letter(size);
    letter.fill(Qt::transparent);
    QPainter painter(&letter);
    DrawPieceLetter(painter, letter.rect(), piece);
    return letter;
}

// ---- drawing on the board image ----

QRect TfrmChessMainForm::FloatingRect(int x, int y) const {
    return QRect(x + DragOffsetX, y + DragOffsetY, SquareWidth, SquareHeight);
}

void TfrmChessMainForm::PaintOnBoard(QRect target, const QPixmap& picture, bool replace) {
    QPixmap& board = imgMainBoard->Picture();
    if (board.isNull() || picture.isNull() || target.isEmpty()) return;
    {
        QPainter painter(&board);
        // A save-under picture also carries the transparent pixels beside the board.
        if (replace) painter.setCompositionMode(QPainter::CompositionMode_Source);
        // Stretched as the full redraw stretches, so that both give the same pixels.
        painter.drawPixmap(target.topLeft(), picture.size() == target.size()
                                                 ? picture
                                                 : StretchSmooth(picture.toImage(), target.size()));
    }
    imgMainBoard->update(target.translated(imgMainBoard->PictureOrigin()));
}

QImage TfrmChessMainForm::CopyFromBoard(QRect source) const {
    QImage copy(source.size(), QImage::Format_ARGB32_Premultiplied);
    copy.fill(Qt::transparent);
    QPainter painter(&copy);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // Drawn whole and clipped, so that a rectangle reaching past the picture keeps its place.
    painter.drawPixmap(-source.topLeft(), imgMainBoard->Picture());
    return copy;
}

// ---- the three mouse handlers ----

void TfrmChessMainForm::imgMainBoardMouseDown(int x, int y) {
    if (Replaying) return;
    if (SetUpMode) {
        SetUpMouseDown(x, y);
        return;
    }
    if (ComputerMoveRunning) return;  // the position is the computer's until it has moved
    if (!ShowGameEnd()) return;
    if (DragPiece != cEmpty) return;  // a piece released beside the board is still floating
    PressX = x;
    PressY = y;
    const TSquareAtPixel from = SquareAtPixel(x, y);
    DragFromFile = from.File;
    DragFromRank = from.Rank;
    DragPiece = PieceAtPixel(x, y, UnderBitmap);
    const bool whiteToMove = ChessBoard->IsWhiteToMove();
    if ((DragPiece >= cBlackBase && whiteToMove) || (DragPiece < cBlackBase && !whiteToMove) ||
        !ActiveSlotAllowsMove())
        DragPiece = cEmpty;
    if (DragPiece == cEmpty) return;

    LastDragX = x;
    LastDragY = y;
    const QRect square = SquareRect(DragFromFile, DragFromRank);
    DragBitmap = PiecePicture(DragPiece, square.size());
    // Lift the piece: its square shows empty, and that is what lies under the floating piece.
    PaintOnBoard(square, StretchSmooth(UnderBitmap, square.size()), true);
    UnderBitmap = CopyFromBoard(square);
    PaintOnBoard(square, DragBitmap, false);
}

void TfrmChessMainForm::imgMainBoardMouseMove(int x, int y) {
    if (SetUpMode) {
        const TSquareAtPixel hit = SquareAtPixel(x, y);
        ShowSetUpPointer(hit.File, hit.Rank);
        return;
    }
    if (DragPiece == cEmpty) return;
    // Only two square-sized spots change per move; the board is not redrawn while dragging.
    PaintOnBoard(FloatingRect(LastDragX, LastDragY), QPixmap::fromImage(UnderBitmap), true);
    const QRect target = FloatingRect(x, y);
    UnderBitmap = CopyFromBoard(target);
    PaintOnBoard(target, DragBitmap, false);
    LastDragX = x;
    LastDragY = y;
}

void TfrmChessMainForm::imgMainBoardMouseUp(int x, int y) {
    if (SetUpMode || DragPiece == cEmpty) return;
    TChessBoard& board = *ChessBoard;
    const QString sendText = memLeftBottomClientSend->toPlainText();
    board.SetComment(0, board.PlyCount, sendText.toStdString());
    board.SetComment(1, board.PlyCount, memLeftBottomClientReceive->toPlainText().toStdString());
    const std::int32_t plyCountBefore = board.PlyCount;
    if (!HumanDrop(x, y)) return;
    DragPiece = cEmpty;
    DragBitmap = QPixmap();
    // Castling, en passant and promotion change a square the floating piece never touched.
    if (board.SpecialMove) RedrawBoard();
    if (board.PlyCount > plyCountBefore)
        HandOverMove(board.GetHistoryMove(board.PlyCount), sendText);
}

// ---- putting the piece down ----

bool TfrmChessMainForm::HumanDrop(int x, int y) {
    const TSquareAtPixel target = SquareAtPixel(x, y);
    if (target.File == 0 || target.Rank == 0) {
        RefreshStatus();
        return false;
    }
    TChessBoard& board = *ChessBoard;
    const auto u8 = [](std::int32_t value) { return static_cast<std::uint8_t>(value); };
    TChessMove move{u8(DragFromFile), u8(DragFromRank), u8(target.File), u8(target.Rank), cEmpty};
    int dropX = x;
    int dropY = y;
    const auto backToStart = [&] {
        dropX = PressX;
        dropY = PressY;
        move.ToFile = move.FromFile;
        move.ToRank = move.FromRank;
    };
    const auto moves = [&] { return move.ToFile != move.FromFile || move.ToRank != move.FromRank; };
    if (moves() && !IsLegalMove(board, move)) {
        Dialogs->ShowMessageBox("Fehler", "Ungültiger Zug!", mkError);
        backToStart();
    }
    if (moves()) {
        move.Promotion = cEmpty;
        const std::int32_t redoTop = board.HistoryTop;
        const std::int32_t plyCountBefore = board.PlyCount;
        // The new move ends the record: what was taken back cannot be redone any more.
        board.HistoryTop = 0;
        DoMoveAndCheckEnd(move);
        if (board.PlyCount == plyCountBefore) {
            // Refused (the record is full, the message has been shown): nothing changes.
            board.HistoryTop = redoTop;
            backToStart();
        }
    }
    PaintOnBoard(FloatingRect(LastDragX, LastDragY), QPixmap::fromImage(UnderBitmap), true);
    QImage emptySquare;
    DragPiece = PieceAtPixel(dropX, dropY, emptySquare);
    const QRect square = SquareRect(move.ToFile, move.ToRank);
    if (!emptySquare.isNull()) {
        PaintOnBoard(square, StretchSmooth(emptySquare, square.size()), true);
        PaintOnBoard(square, DragBitmap, false);
    }
    RefreshStatus();
    return true;
}

void TfrmChessMainForm::AskForPromotionPiece() {
    // White to move now means that Black has promoted.
    const TPieceCode colour = ChessBoard->IsWhiteToMove() ? cBlackBase : cEmpty;
    const std::array<TPieceCode, 4> pieces = {colour + cWhiteQueen, colour + cWhiteRook,
                                              colour + cWhiteBishop, colour + cWhiteKnight};
    std::array<QPixmap, 4> pictures;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        pictures[i] = PiecePicture(pieces[i], imlFigure.EntrySize());
    const int choice = std::clamp(ChoosePromotionPiece(pictures), 0, 3);
    ChessBoard->SetPromotionPiece(pieces[static_cast<std::size_t>(choice)]);
}

int TfrmChessMainForm::ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) {
    return Dialogs->ChoosePromotionPiece(pictures);
}

void TfrmChessMainForm::CancelDrag() {
    if (DragPiece == cEmpty) return;
    DragPiece = cEmpty;
    DragBitmap = QPixmap();
    RedrawBoard();
}

// ---- who may move, and who gets the move ----

bool TfrmChessMainForm::ActiveSlotAllowsMove() const {
    if (ActiveConnection == 0) return true;
    if (ActiveConnection < 0 || ActiveConnection >= cConnectionSlots) return false;
    const auto& slot = Connections[static_cast<std::size_t>(ActiveConnection)];
    if (!slot || (ActiveConnection > 1 && !slot->Connected)) return false;
    return ChessBoard->IsWhiteToMove() == slot->LocalIsWhite;
}

void TfrmChessMainForm::HandOverMove(const TChessMove& move, const QString& comment) {
    if (ActiveConnection >= 2)
        HandOverMoveToNetwork(move, comment);
    else if (ActiveConnection == 1)
        HandOverMoveToComputer();
    // Slot 0: both sides are moved at this board; nobody else is told.
}

}  // namespace tavlor
