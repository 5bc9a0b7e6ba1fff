// The board display: drawing the position, the piece sets, the status panel (clocks, side to
// move, captured pieces, move list, comments) and keeping the window fitted to the board.

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include "notation/MoveList.h"
#include "ui/ChessMainForm.h"
#include "ui/Controls.h"
#include "ui/Formats.h"

namespace tavlor {

namespace {

constexpr std::array<const char*, 7> cPictureNames = {"King",   "Queen", "Rook", "Bishop",
                                                      "Knight", "Pawn",  "Empty"};

// The memo's lines; an empty memo has none (its one empty block is no line).
int MemoLineCount(const QPlainTextEdit* memo) {
    return memo->document()->isEmpty() ? 0 : memo->document()->blockCount();
}

void SetMemoLine(QPlainTextEdit* memo, int index, const QString& text) {
    QTextCursor cursor(memo->document()->findBlockByNumber(index));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

void DeleteLastMemoLine(QPlainTextEdit* memo) {
    QTextDocument* document = memo->document();
    if (document->blockCount() <= 1) {
        document->clear();
        return;
    }
    QTextCursor cursor(document->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.movePosition(QTextCursor::PreviousBlock, QTextCursor::KeepAnchor);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void AppendMemoLine(QPlainTextEdit* memo, const QString& text) {
    if (MemoLineCount(memo) == 0) {
        memo->document()->setPlainText(text);
        return;
    }
    QTextCursor cursor(memo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(text);
}

// A fingerprint of the moves up to the current position, so that a record changed behind the
// move counter's back (taken back and played differently between two refreshes) is shown anew.
std::uint64_t RecordSignature(const TChessBoard& board) {
    std::uint64_t hash = 1469598103934665603ULL;
    auto mix = [&hash](std::uint64_t value) {
        hash ^= value;
        hash *= 1099511628211ULL;
    };
    mix(static_cast<std::uint64_t>(board.PlyCount));
    for (std::int32_t ply = 1; ply <= board.PlyCount && ply <= cMaxHistory; ++ply) {
        const TChessMove& move = board.History[ply];
        mix(move.FromFile | (move.FromRank << 8) | (move.ToFile << 16) |
            (static_cast<std::uint64_t>(move.ToRank) << 24) |
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(move.Promotion)) << 32));
    }
    return hash;
}

}  // namespace

QColor FallbackSquareColour(bool light) {
    return light ? QColor(240, 217, 181) : QColor(181, 136, 99);
}

QChar FallbackPieceLetter(TPieceCode piece) {
    switch (IsBlackPiece(piece) ? piece - cBlackBase : piece) {
        case cWhiteKing:
            return 'K';
        case cWhiteQueen:
            return 'D';
        case cWhiteRook:
            return 'T';
        case cWhiteBishop:
            return 'L';
        case cWhiteKnight:
            return 'S';
        case cWhitePawn:
            return 'B';
        default:
            return ' ';
    }
}

void TfrmChessMainForm::ConnectBoardHandlers() {
    connect(mnuRotate, &QAction::triggered, this, &TfrmChessMainForm::mnuRotateClick);
    connect(mnuFigures, &QAction::triggered, this, &TfrmChessMainForm::mnuFiguresClick);
    connect(mnuMaxSize, &QAction::triggered, this, &TfrmChessMainForm::mnuMaxSizeClick);
    connect(timRedraw, &QTimer::timeout, this, &TfrmChessMainForm::timRedrawTimer);
    connect(timChessBoardRedraw, &QTimer::timeout, this,
            &TfrmChessMainForm::timChessBoardRedrawTimer);
}

QRect TfrmChessMainForm::SquareRect(std::int32_t file, std::int32_t rank) const {
    const int i = file - 1;
    const int j = rank - 1;
    const int left = WhiteAtBottom ? i * SquareWidth : (7 - i) * SquareWidth;
    const int top = WhiteAtBottom ? (7 - j) * SquareHeight : j * SquareHeight;
    return QRect(left, top, SquareWidth, SquareHeight);
}

// ---- drawing the board ----

void TfrmChessMainForm::RedrawBoard() {
    if (Destroying || !ChessBoard) return;
    ComputerSlotFollowsSideToMove();
    const QSize size = imgMainBoard->size();
    SquareWidth = size.width() / 8;
    SquareHeight = size.height() / 8;
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const QSize square(SquareWidth, SquareHeight);
    for (std::int32_t file = 1; file <= 8; ++file)
        for (std::int32_t rank = 1; rank <= 8; ++rank) {
            const QRect target = SquareRect(file, rank);
            const bool light = (file + rank) % 2 == 1;
            const QImage& empty = light ? LightSquareBitmap : DarkSquareBitmap;
            if (empty.isNull())
                painter.fillRect(target, FallbackSquareColour(light));
            else
                painter.drawPixmap(target.topLeft(),
                                   (light ? FLightStretched : FDarkStretched).Get(empty, square));
            const TPieceCode piece = ChessBoard->GetSquare(file, rank);
            const int entry = FigureEntry(piece);
            if (entry < 0) continue;
            if (imlFigure.Has(entry))
                painter.drawPixmap(target.topLeft(), imlFigure.Stretched(entry, square, true));
            else
                DrawPieceLetter(painter, target, piece);
        }
    painter.end();
    imgMainBoard->SetPicture(std::move(picture));
}

void TfrmChessMainForm::DrawPieceLetter(QPainter& painter, QRect square, TPieceCode piece) const {
    if (square.isEmpty()) return;
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(6, square.height() * 3 / 5));
    QPainterPath letter;
    letter.addText(0, 0, font, QString(FallbackPieceLetter(piece)));
    letter.translate(square.center() - letter.boundingRect().center());
    const bool white = IsWhitePiece(piece);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(white ? Qt::black : Qt::white, std::max(1.0, square.height() / 40.0)));
    painter.setBrush(white ? Qt::white : Qt::black);
    painter.drawPath(letter);
    painter.restore();
}

bool TfrmChessMainForm::LoadPieceBitmaps() {
    imlFigure.Clear();
    imlFigureSmall.Clear();
    DarkSquareBitmap = QImage();
    LightSquareBitmap = QImage();
    // Pictures drawn from the old set must be drawn again.
    LastPiecesShown.reset();
    LastSideShown = -1;
    const QString folder = ProgramDir + "IMAGES/" + BitmapSet + "/";
    auto load = [&](const QString& name, QImage& picture) {
        const QString fileName = folder + name;
        if (picture.load(fileName, "BMP") || picture.load(fileName)) return true;
        Dialogs->ShowMessageBox(
            "Fehler", QString("Die Bilddatei \"%1\" kann nicht geladen werden.").arg(fileName),
            mkError);
        return false;
    };
    if (!load("BlackEmpty.bmp", DarkSquareBitmap)) return false;
    if (!load("WhiteEmpty.bmp", LightSquareBitmap)) return false;
    for (TPictureList* list : {&imlFigure, &imlFigureSmall}) {
        const QString suffix = list == &imlFigure ? ".bmp" : "Small.bmp";
        for (const char* colour : {"White", "Black"})
            for (const char* name : cPictureNames) {
                QImage picture;
                if (!load(colour + QString(name) + suffix, picture)) return false;
                list->Add(picture);
            }
    }
    return true;
}

// ---- the status panel ----

void TfrmChessMainForm::timRedrawTimer() {
    RefreshStatus();
}

void TfrmChessMainForm::RefreshStatus() {
    if (Destroying || !ChessBoard) return;
    TChessBoard& board = *ChessBoard;
    board.AddThinkingTime(Now());
    lblWhiteTime->setText(FormatTimeOfDay(board.WhiteTime));
    lblBlackTime->setText(FormatTimeOfDay(board.BlackTime));

    const TCapturedPieces white = board.CountCapturedPieces(true);
    const TCapturedPieces black = board.CountCapturedPieces(false);
    // Each count, not their sum: a promotion without a capture changes two of them in turn.
    const std::array<std::int32_t, 10> missing = {
        white.Pawns, white.Knights, white.Bishops, white.Rooks, white.Queens,
        black.Pawns, black.Knights, black.Bishops, black.Rooks, black.Queens};
    if (missing != LastPiecesShown) {
        DrawCapturedPieces();
        LastPiecesShown = missing;
    }

    const std::int32_t side = board.IsWhiteToMove() ? 1 : 0;
    if (side != LastSideShown) {
        DrawSmall(imgWhichToMove, -1, side ? FigureEntry(cWhitePawn) : FigureEntry(cBlackPawn));
        lblWhichToMove->setText(side ? "Weiss zieht..." : "Schwarz zieht...");
        LastSideShown = side;
    }

    const std::uint64_t signature = RecordSignature(board);
    if (board.PlyCount != LastMoveCountShown || signature != LastRecordShown) {
        LastMoveCountShown = board.PlyCount;
        LastRecordShown = signature;
        std::vector<std::string> lines;
        WriteMoveList(board, lines);
        const int count = static_cast<int>(lines.size());
        while (MemoLineCount(memMoves) > count)
            DeleteLastMemoLine(memMoves);
        for (int i = 0; i < count; ++i) {
            const QString line = QString::fromStdString(lines[static_cast<std::size_t>(i)]);
            if (MemoLineCount(memMoves) <= i)
                AppendMemoLine(memMoves, line);
            else if (memMoves->document()->findBlockByNumber(i).text() != line)
                SetMemoLine(memMoves, i, line);
        }
        // The newest move stays in view.
        memMoves->moveCursor(QTextCursor::End);
        memMoves->ensureCursorVisible();
        memLeftBottomClientSend->setPlainText(
            QString::fromStdString(board.GetComment(0, board.PlyCount)));
        memLeftBottomClientReceive->setPlainText(
            QString::fromStdString(board.GetComment(1, board.PlyCount)));
    }
}

QPixmap TfrmChessMainForm::SmallPicture(int squareEntry, int pieceEntry, QSize size) const {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    if (squareEntry >= 0) {
        if (imlFigureSmall.Has(squareEntry))
            painter.drawPixmap(0, 0, imlFigureSmall.Stretched(squareEntry, size, false));
        else
            painter.fillRect(picture.rect(),
                             FallbackSquareColour(squareEntry == cLightSquareEntry));
    }
    if (pieceEntry >= 0) {
        if (imlFigureSmall.Has(pieceEntry))
            painter.drawPixmap(0, 0, imlFigureSmall.Stretched(pieceEntry, size, true));
        else
            DrawPieceLetter(painter, picture.rect(), FigureOfEntry(pieceEntry));
    }
    painter.end();
    return picture;
}

void TfrmChessMainForm::DrawSmall(TImage* image, int squareEntry, int pieceEntry) {
    image->SetPicture(SmallPicture(squareEntry, pieceEntry, image->size()));
}

void TfrmChessMainForm::DrawCapturedPieces() {
    if (!ChessBoard) return;
    for (bool white : {true, false}) {
        const TCapturedPieces missing = ChessBoard->CountCapturedPieces(white);
        const TPieceCode base = white ? cEmpty : cBlackBase;
        const std::array<std::pair<std::int32_t, TPieceCode>, 5> rows = {{
            {missing.Pawns, base + cWhitePawn},
            {missing.Knights, base + cWhiteKnight},
            {missing.Bishops, base + cWhiteBishop},
            {missing.Rooks, base + cWhiteRook},
            {missing.Queens, base + cWhiteQueen},
        }};
        const std::array<TImage*, 16>& images = white ? imgWhiteCaptured : imgBlackCaptured;
        const int square = white ? cLightSquareEntry : cDarkSquareEntry;
        std::size_t slot = 0;
        for (const auto& [count, piece] : rows)
            for (std::int32_t k = 0; k < count && slot < images.size(); ++k)
                DrawSmall(images[slot++], square, FigureEntry(piece));
        while (slot < images.size())
            DrawSmall(images[slot++], square, -1);
    }
}

// ---- fitting the window to the board ----

void TfrmChessMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfrmChessMainForm::FormResize() {
    if (Destroying) return;
    if (pnlLeftBottomHuman->height() < 1) pnlLeftBottomHuman->setFixedHeight(1);
    if (pnlLeftBottomComputer->height() < 1) pnlLeftBottomComputer->setFixedHeight(1);
    timChessBoardRedraw->stop();
    timChessBoardRedraw->start();
    FitMainLineLabel();
}

// A window manager that honours size increments resizes the window only in steps that keep the
// board image a multiple of 8 square; the fit then has nothing to do and never fights a resize the
// user is still making. The base is what lies around the board in the normal layout: the board
// alone on the screen must not change it, or the way back would be cut to other steps.
void TfrmChessMainForm::KeepBoardIncrements() {
    if (mnuMaxSize->isChecked()) return;
    const QSize around = size() - imgMainBoard->size();
    if (around != baseSize()) setBaseSize(around);
    if (sizeIncrement() != QSize(8, 8)) setSizeIncrement(8, 8);
}

void TfrmChessMainForm::FitMainLineLabel() {
    lblMainVar_->setFixedWidth(std::max(1, pnlLeftBottomComputer->width() - lblMainVar_->x() - 16));
}

void TfrmChessMainForm::timChessBoardRedrawTimer() {
    timChessBoardRedraw->stop();
    // A full redraw would leave the floating piece's save-under picture stale.
    CancelDrag();
    for (QWidget* panel : {pnlLeftBottomHuman, pnlLeftBottomComputer})
        if (height() < panel->height() + 128) {
            panel->setFixedHeight(std::max(1, height() - 128));
            ProcessMessages();
            return;
        }
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        // The board image loses its odd pixels; at most 7 either way, far below 24.
        const int surplusWidth = imgMainBoard->width() % 8;
        const int surplusHeight = imgMainBoard->height() % 8;
        if (surplusWidth != 0 || surplusHeight != 0)
            resize(width() - surplusWidth, height() - surplusHeight);
    }
    RedrawBoard();
}

// ---- view commands ----

void TfrmChessMainForm::mnuRotateClick() {
    CancelDrag();
    WhiteAtBottom = !WhiteAtBottom;
    RedrawBoard();
}

QString TfrmChessMainForm::ChooseFigureSet(const QString& caption, const QString& programDir,
                                           const QString& currentSet) {
    return Dialogs->ChooseFigureSet(caption, programDir, currentSet);
}

void TfrmChessMainForm::mnuFiguresClick() {
    CancelDrag();
    const QString chosen =
        ChooseFigureSet("Bitte wählen Sie einen Figurensatz", ProgramDir, BitmapSet);
    // With no entry checked the set stays as it was: an empty name would break every picture.
    if (!chosen.isEmpty()) BitmapSet = chosen;
    LoadPieceBitmaps();
    RedrawBoard();
    RefreshStatus();
}

// The board alone on the whole screen. The window manager takes the frame away and gives the
// screen to the window, and on the way back restores the frame, position and size it had; the
// window is never recreated, so nothing is lost or moved by the frame's size.
void TfrmChessMainForm::mnuMaxSizeClick() {
    CancelDrag();
    if (mnuMaxSize->isChecked()) {
        SavedBounds = QRect(pos(), size());
        StatusBar->hide();
        pnlLeftBottomHuman->hide();
        ProcessMessages();
        pnlLeftBottomComputer->hide();
        ProcessMessages();
        splLeftClient->hide();
        showFullScreen();
    } else {
        showNormal();
        StatusBar->show();
        if (ActiveConnection == 1)
            pnlLeftBottomComputer->show();
        else
            pnlLeftBottomHuman->show();
        ProcessMessages();
        splLeftClient->show();
    }
}

}  // namespace tavlor
