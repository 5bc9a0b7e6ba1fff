// The position editor: the palette that replaces the right-hand panel, clicks that put pieces on
// squares or take them away, and "Fertig!", which makes the edited position the start of a new
// game with the side to move, the castling rights and the last pawn double step.

#include <tuple>
#include <type_traits>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "notation/Fen.h"
#include "ui/ChessMainForm.h"
#include "ui/Controls.h"

namespace tavlor {

namespace {

struct TPaletteButton {
    QToolButton* TfrmChessMainForm::*Member;
    const char* Name;
    TPieceCode Piece;
};

// Left to right the white row, then the black row below it.
constexpr std::array<TPaletteButton, 12> cPaletteButtons = {{
    {&TfrmChessMainForm::sbtPawnWhite, "sbtPawnWhite", cWhitePawn},
    {&TfrmChessMainForm::sbtKnightWhite, "sbtKnightWhite", cWhiteKnight},
    {&TfrmChessMainForm::sbtBishopWhite, "sbtBishopWhite", cWhiteBishop},
    {&TfrmChessMainForm::sbtRookWhite, "sbtRookWhite", cWhiteRook},
    {&TfrmChessMainForm::sbtQueenWhite, "sbtQueenWhite", cWhiteQueen},
    {&TfrmChessMainForm::sbtKingWhite, "sbtKingWhite", cWhiteKing},
    {&TfrmChessMainForm::sbtPawnBlack, "sbtPawnBlack", cBlackPawn},
    {&TfrmChessMainForm::sbtKnightBlack, "sbtKnightBlack", cBlackKnight},
    {&TfrmChessMainForm::sbtBishopBlack, "sbtBishopBlack", cBlackBishop},
    {&TfrmChessMainForm::sbtRookBlack, "sbtRookBlack", cBlackRook},
    {&TfrmChessMainForm::sbtQueenBlack, "sbtQueenBlack", cBlackQueen},
    {&TfrmChessMainForm::sbtKingBlack, "sbtKingBlack", cBlackKing},
}};

constexpr char cFileLetters[] = "ABCDEFGH";

// "E4" as file 5 and rank 4; false unless a letter A to H is followed by a digit 1 to 8.
bool ParseSquareText(const QString& text, std::int32_t& file, std::int32_t& rank) {
    if (text.size() < 2) return false;
    const auto letter = static_cast<std::int32_t>(QString(cFileLetters).indexOf(text[0]));
    file = letter + 1;
    rank = text[1].digitValue();
    return file != 0 && rank >= 1 && rank <= 8;
}

// "auf E8 steht ein Bauer" as a sentence of its own.
QString Sentence(const std::string& text) {
    QString sentence = QString::fromStdString(text);
    if (!sentence.isEmpty()) sentence[0] = sentence[0].toUpper();
    return sentence + ".";
}

}  // namespace

// ---- the palette ----

void TfrmChessMainForm::CreateSetUpPanel() {
    QWidget* panel = pnlRightSetUp;
    // The longest caption must fit beside its check box within the palette's fixed width.
    QFont compact = panel->font();
    while (compact.pointSizeF() > 6 &&
           QFontMetrics(compact).horizontalAdvance("Kurze Rochade Schwarz möglich?") > 170)
        compact.setPointSizeF(compact.pointSizeF() - 0.5);
    panel->setFont(compact);
    imgSetUp = Place<TImage>(panel, "imgSetUp", {4, 6, 150, 150});
    edtRightSetUpTop = Place<QLineEdit>(panel, "edtRightSetUpTop", {4, 160, 185, 22});
    edtRightSetUpTop->setReadOnly(true);
    grpSetUpPieces = new QButtonGroup(panel);
    grpSetUpPieces->setObjectName("grpSetUpPieces");
    grpSetUpPieces->setExclusive(true);
    for (std::size_t i = 0; i < cPaletteButtons.size(); ++i) {
        const int x = 4 + 32 * static_cast<int>(i % 6);
        const int y = i < 6 ? 188 : 220;
        QToolButton* button = Place<QToolButton>(panel, cPaletteButtons[i].Name, {x, y, 28, 28});
        button->setCheckable(true);
        button->setIconSize(QSize(20, 20));
        button->setToolTip(QString::fromUtf8(PieceName(cPaletteButtons[i].Piece)));
        grpSetUpPieces->addButton(button);
        this->*cPaletteButtons[i].Member = button;
    }
    sbtPawnWhite->setChecked(true);
    btnClearBoard = Place<QPushButton>(panel, "btnClearBoard", {4, 252, 189, 33}, "Brett löschen");
    rbtRightSetUpTopWhite =
        Place<QRadioButton>(panel, "rbtRightSetUpTopWhite", {4, 292, 190, 17}, "Weiss am Zug");
    rbtRightSetUpTopBlack =
        Place<QRadioButton>(panel, "rbtRightSetUpTopBlack", {4, 308, 190, 17}, "Schwarz am Zug");
    rbtRightSetUpTopWhite->setChecked(true);
    const std::array<std::tuple<QCheckBox**, const char*, const char*>, 5> boxes = {{
        {&cbxShortCastelingWhite, "cbxShortCastelingWhite", "Kurze Rochade Weiss möglich?"},
        {&cbxLongCastelingWhite, "cbxLongCastelingWhite", "Lange Rochade Weiss möglich?"},
        {&cbxShortCastelingBlack, "cbxShortCastelingBlack", "Kurze Rochade Schwarz möglich?"},
        {&cbxLongCastelingBlack, "cbxLongCastelingBlack", "Lange Rochade Schwarz möglich?"},
        {&cbxEnPassant, "cbxEnPassant", "En passant möglich?"},
    }};
    int y = 336;
    for (const auto& [member, name, caption] : boxes) {
        *member = Place<QCheckBox>(panel, name, {4, y, 200, 17}, QString::fromUtf8(caption));
        y += member == &cbxLongCastelingBlack ? 24 : 16;
    }
    lblRightSetUpTopEnPassantFrom = Place<QLabel>(panel, "lblRightSetUpTopEnPassantFrom",
                                                  {4, 432, 146, 17}, "Letzter Bauernzug von :");
    edtRightSetUpTopEnPassantFrom =
        Place<QLineEdit>(panel, "edtRightSetUpTopEnPassantFrom", {152, 428, 37, 22});
    lblRightSetUpTopEnPassantDest = Place<QLabel>(panel, "lblRightSetUpTopEnPassantDest",
                                                  {4, 456, 146, 17}, "Letzter Bauernzug nach :");
    edtRightSetUpTopEnPassantDest =
        Place<QLineEdit>(panel, "edtRightSetUpTopEnPassantDest", {152, 452, 37, 22});
    for (QLineEdit* edit : {edtRightSetUpTopEnPassantFrom, edtRightSetUpTopEnPassantDest})
        edit->setMaxLength(2);
    btnSetUpBoardDone = Place<QPushButton>(panel, "btnSetUpBoardDone", {4, 480, 93, 37}, "Fertig!");
    btnSetUpBoardCancel =
        Place<QPushButton>(panel, "btnSetUpBoardCancel", {104, 480, 88, 37}, "Abbruch");
    cbxEnPassantClick();
}

void TfrmChessMainForm::ConnectSetUpHandlers() {
    mnuSetUp->setCheckable(true);
    connect(mnuSetUp, &QAction::triggered, this, &TfrmChessMainForm::mnuSetUpClick);
    connect(btnSetUpBoardDone, &QPushButton::clicked, this, &TfrmChessMainForm::mnuSetUpClick);
    connect(btnSetUpBoardCancel, &QPushButton::clicked, this,
            &TfrmChessMainForm::btnSetUpBoardCancelClick);
    connect(btnClearBoard, &QPushButton::clicked, this, &TfrmChessMainForm::btnClearBoardClick);
    connect(cbxEnPassant, &QCheckBox::toggled, this, &TfrmChessMainForm::cbxEnPassantClick);
    connect(grpSetUpPieces, &QButtonGroup::buttonClicked, this, &TfrmChessMainForm::sbtClick);
    // Another piece set may be chosen while the editor is open.
    connect(mnuFigures, &QAction::triggered, this, &TfrmChessMainForm::ShowSetUpPictures);
}

void TfrmChessMainForm::ShowSetUpPictures() {
    for (const TPaletteButton& entry : cPaletteButtons)
        (this->*entry.Member)
            ->setIcon(QIcon(SmallPicture(-1, FigureEntry(entry.Piece), QSize(20, 20))));
    if (SetUpMode && grpSetUpPieces->checkedButton()) sbtClick(grpSetUpPieces->checkedButton());
}

void TfrmChessMainForm::sbtClick(QAbstractButton* button) {
    for (const TPaletteButton& entry : cPaletteButtons) {
        if (this->*entry.Member != button) continue;
        SetUpPiece = entry.Piece;
        DragBitmap = PiecePicture(entry.Piece, imlFigure.EntrySize());
        imgSetUp->SetPicture(PiecePicture(entry.Piece, imgSetUp->size()));
    }
}

void TfrmChessMainForm::cbxEnPassantClick() {
    const bool enabled = cbxEnPassant->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{
             lblRightSetUpTopEnPassantFrom, edtRightSetUpTopEnPassantFrom,
             lblRightSetUpTopEnPassantDest, edtRightSetUpTopEnPassantDest})
        control->setEnabled(enabled);
}

void TfrmChessMainForm::ShowSetUpPanel(bool show) {
    pnlRightSetUp->setVisible(show);
    pnlRightRegular->setVisible(!show);
}

// ---- editing the board ----

// A click puts the chosen piece on the square, or takes it away when it is already there.
// Nothing is checked while editing; "Fertig!" does that.
void TfrmChessMainForm::SetUpMouseDown(int x, int y) {
    const TSquareAtPixel hit = SquareAtPixel(x, y);
    DragFromFile = hit.File;
    DragFromRank = hit.Rank;
    if (hit.File == 0) return;
    if (hit.Piece == SetUpPiece) {
        ChessBoard->SetSquare(hit.File, hit.Rank, cEmpty);
        RedrawBoard();
        return;
    }
    ChessBoard->SetSquare(hit.File, hit.Rank, SetUpPiece);
    QImage emptySquare;
    PieceAtPixel(x, y, emptySquare);
    const QRect square = SquareRect(hit.File, hit.Rank);
    PaintOnBoard(square, StretchSmooth(EmptySquarePicture(hit.File, hit.Rank), square.size()),
                 true);
    PaintOnBoard(square, DragBitmap, false);
}

void TfrmChessMainForm::ShowSetUpPointer(std::int32_t file, std::int32_t rank) {
    QString text = QString::fromUtf8(PieceName(SetUpPiece)) + " -> ";
    if (file != 0) text += QString(QChar(cFileLetters[file - 1])) + QString::number(rank);
    edtRightSetUpTop->setText(text);
}

void TfrmChessMainForm::btnClearBoardClick() {
    for (std::int32_t file = 1; file <= 8; ++file)
        for (std::int32_t rank = 1; rank <= 8; ++rank)
            ChessBoard->SetSquare(file, rank, cEmpty);
    RedrawBoard();
}

// ---- entering and leaving ----

void TfrmChessMainForm::mnuSetUpClick() {
    if (SetUpMode) {
        FinishSetUp();
        return;
    }
    // The editor is left only through its two buttons.
    CancelDrag();
    SetMenusEnabled(false);
    mnuSetUp->setChecked(true);
    SetUpMode = true;
    ShowSetUpPanel(true);
    ShowSetUpPictures();
    sbtPawnWhite->setChecked(true);
    sbtClick(sbtPawnWhite);
}

void TfrmChessMainForm::FinishSetUp() {
    SetMenusEnabled(true);
    mnuSetUp->setChecked(false);
    // A refused position keeps the editor open; the menus stay enabled, and "Brett aufstellen"
    // checked there checks again.
    const auto refuse = [this](const QString& text) {
        mnuSetUp->setChecked(true);
        Dialogs->ShowMessageBox("Fehler", text, mkError);
    };
    TChessBoard& board = *ChessBoard;
    if (!board.HasBothKings()) {
        refuse("Ungültige Eingabe der Spielstellung!");
        return;
    }
    const bool blackToMove = rbtRightSetUpTopBlack->isChecked();
    if (const std::optional<std::string> fault = PositionError(board, !blackToMove)) {
        refuse("Ungültige Eingabe der Spielstellung!\n" + Sentence(*fault));
        return;
    }
    // Checked before the record is touched, so that a refusal leaves the old game intact.
    const std::array<TCastlingBox, 4> castling = CastlingBoxes();
    TCastlingRights wanted;
    for (const TCastlingBox& box : castling)
        wanted[box.Right] = box.Box->isChecked();
    const TCastlingRights rights = PossibleCastlingRights(board.Board, wanted);
    QStringList impossible;
    for (const TCastlingBox& box : castling)
        if (wanted[box.Right] && !rights[box.Right])
            impossible << QString("%1: König und Turm stehen nicht auf %2.")
                              .arg(box.Box->text().chopped(QString(" möglich?").size()),
                                   box.HomeSquares);
    if (!impossible.isEmpty()) {
        refuse("Ungültige Eingabe der Rochaden!\n" + impossible.join('\n'));
        return;
    }
    TChessMove step;
    const bool enPassant = cbxEnPassant->isChecked();
    if (enPassant) {
        if (const QString fault = ReadLastPawnMove(step); !fault.isEmpty()) {
            refuse("Ungültige Eingabe des letzten Bauernzuges!\n" + fault);
            return;
        }
    }

    board.HistoryTop = 0;
    board.PlyCount = 0;
    board.ClearComments();
    // A new game: both clocks start again.
    board.WhiteTime = 0;
    board.BlackTime = 0;
    board.LastClockTime = 0;
    if (enPassant) {
        // The start position is the one before the double step, which is then recorded, so the
        // right to capture en passant comes out of the record as in play.
        board.SetSquare(step.FromFile, step.FromRank, board.GetSquare(step.ToFile, step.ToRank));
        board.SetSquare(step.ToFile, step.ToRank, cEmpty);
    }
    board.SaveBoardAsStart();
    board.CastlingRights = rights;
    board.StartCastlingRights = rights;
    board.GoToStart();
    // A fresh record holds at most two half-moves; neither can be refused.
    bool recorded = true;
    if (enPassant && blackToMove)
        recorded = board.MakeMove(step);
    else if (enPassant)
        recorded = board.AddPassMove() && board.MakeMove(step);
    else if (blackToMove)
        recorded = board.AddPassMove();
    Q_ASSERT(recorded);
    (void)recorded;

    SetUpMode = false;
    ShowSetUpPanel(false);
    DragBitmap = QPixmap();
    // The side to move may have changed; the computer's slot follows it at the redraw.
    RedrawBoard();
    RefreshStatus();
}

std::array<TfrmChessMainForm::TCastlingBox, 4> TfrmChessMainForm::CastlingBoxes() const {
    return {{{cbxShortCastelingWhite, cWhiteKingSide, "E1 und H1"},
             {cbxLongCastelingWhite, cWhiteQueenSide, "E1 und A1"},
             {cbxShortCastelingBlack, cBlackKingSide, "E8 und H8"},
             {cbxLongCastelingBlack, cBlackQueenSide, "E8 und A8"}}};
}

// The last pawn move of the en-passant fields, upper-cased in place. It must be the double step
// of the side that moved last, with its pawn on the "nach" square and the two squares behind it
// empty; anything else would record a move that never could have been made. Empty when it is;
// otherwise the reason, as a sentence.
QString TfrmChessMainForm::ReadLastPawnMove(TChessMove& step) {
    std::array<std::int32_t, 4> squares{};
    const std::array<QLineEdit*, 2> edits = {edtRightSetUpTopEnPassantFrom,
                                             edtRightSetUpTopEnPassantDest};
    for (QLineEdit* edit : edits)
        edit->setText(edit->text().toUpper());
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const QString text = edits[i]->text();
        if (text.size() != 2 || !ParseSquareText(text, squares[2 * i], squares[2 * i + 1]))
            return QString("\"%1\" ist kein Feld von A1 bis H8.").arg(text);
    }
    const auto u8 = [](std::int32_t value) { return static_cast<std::uint8_t>(value); };
    step = {u8(squares[0]), u8(squares[1]), u8(squares[2]), u8(squares[3]), cEmpty};
    // With Black to move White made the step (rank 2 to 4), otherwise Black (rank 7 to 5).
    const bool white = rbtRightSetUpTopBlack->isChecked();
    const std::int32_t from = white ? 2 : 7;
    const std::int32_t passed = white ? 3 : 6;
    const std::int32_t to = white ? 4 : 5;
    const auto name = [](std::int32_t file, std::int32_t rank) {
        return QString(QChar(cFileLetters[file - 1])) + QString::number(rank);
    };
    if (step.FromFile != step.ToFile || step.FromRank != from || step.ToRank != to)
        return QString(
                   "Mit %1 am Zug muss es ein Doppelschritt eines %2 Bauern von Reihe %3 "
                   "nach Reihe %4 sein, zum Beispiel %5 und %6.")
            .arg(white ? "Schwarz" : "Weiss", white ? "weissen" : "schwarzen")
            .arg(from)
            .arg(to)
            .arg(name(5, from), name(5, to));
    const TChessBoard& board = *ChessBoard;
    if (board.GetSquare(step.ToFile, to) != (white ? cWhitePawn : cBlackPawn))
        return QString("Auf %1 steht kein %2 Bauer.")
            .arg(name(step.ToFile, to), white ? "weisser" : "schwarzer");
    if (board.GetSquare(step.FromFile, passed) != cEmpty ||
        board.GetSquare(step.FromFile, from) != cEmpty)
        return QString("%1 und %2 müssen leer sein.")
            .arg(name(step.FromFile, passed), name(step.FromFile, from));
    // Otherwise the record could not be saved and loaded again.
    if (const std::optional<std::string> fault = DoubleStepError(board, step))
        return Sentence(*fault);
    return QString();
}

void TfrmChessMainForm::btnSetUpBoardCancelClick() {
    SetMenusEnabled(true);
    mnuSetUp->setChecked(false);
    mnuSave->setEnabled(true);
    SetUpMode = false;
    ShowSetUpPanel(false);
    DragBitmap = QPixmap();
    // Nothing of the editing is kept: the board shows again the position the record leads to,
    // so that the next move starts from what the record holds.
    TChessBoard& board = *ChessBoard;
    if (board.PlyCount > 0) {
        board.TakeBackMove();
        board.RedoMove();
    } else {
        board.GoToStart();
    }
    RedrawBoard();
}

}  // namespace tavlor
