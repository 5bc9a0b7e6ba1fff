// Whole games in and out of the board: a position typed in Forsyth-Edwards notation, FEN and
// PGN on the clipboard, and game files of the program's own and in PGN.

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include "notation/FenWriter.h"
#include "notation/Pgn.h"
#include "notation/SavedGame.h"
#include "ui/ChessMainForm.h"

namespace tavlor {

namespace {

// The dialogs' filter "Tavlor|*.TVG" in the form the file dialogs read; PGN files beside it.
constexpr char cGameFileFilter[] = "Tavlor (*.TVG)";
constexpr char cGameFileExtension[] = "TVG";
constexpr char cPgnFileFilter[] = "PGN (*.pgn)";
constexpr char cAllGamesFilter[] = "Alle Partien (*.TVG *.pgn)";

std::string FileSystemName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool IsPgnFileName(const QString& fileName) {
    return fileName.endsWith(".pgn", Qt::CaseInsensitive);
}

// The players of the game on the board: the player's name for each side of a game at this
// board, the computer's for the side it played, the opponent's in a network game.
TPgnTags SlotTags(const TfrmChessMainForm& form) {
    TPgnTags tags = GameTags(*form.ChessBoard);
    const auto name = [](const QString& text) {
        return text.isEmpty() ? std::string("?") : text.toStdString();
    };
    tags.White = tags.Black = name(form.PlayerName);
    const std::int32_t slot = form.ActiveConnection;
    if (slot < 1 || slot >= cConnectionSlots || !form.Connections[static_cast<std::size_t>(slot)])
        return tags;
    bool otherIsWhite = !form.Connections[static_cast<std::size_t>(slot)]->LocalIsWhite;
    std::string other = cComputerName;
    if (slot >= 2) {
        other = name(
            QString::fromStdString(form.Connections[static_cast<std::size_t>(slot)]->PeerName));
    } else {
        // The computer's slot lets the player move whichever side is to move, and the computer
        // answers. It played the side of its last move while that move is in the record;
        // without one the player is to move, unless the player's move ended the game.
        TChessBoard& board = *form.ChessBoard;
        const std::int32_t ply = form.ComputerMovePly;
        if (ply >= 1 && ply <= board.PlyCount &&
            SameMove(board.GetHistoryMove(ply), form.ComputerMove))
            otherIsWhite = ply % 2 == 1;
        else
            otherIsWhite = board.IsWhiteToMove() ==
                           (board.PlyCount >= 1 && board.CheckGameEnd() != TGameState::gsPlaying);
    }
    (otherIsWhite ? tags.White : tags.Black) = other;
    return tags;
}

}  // namespace

void TfrmChessMainForm::ConnectGameFileHandlers() {
    connect(mnuEnterFEN, &QAction::triggered, this, &TfrmChessMainForm::mnuEnterFENClick);
    connect(mnuCopyFEN, &QAction::triggered, this, &TfrmChessMainForm::mnuCopyFENClick);
    connect(mnuCopyPGN, &QAction::triggered, this, &TfrmChessMainForm::mnuCopyPGNClick);
    connect(mnuPaste, &QAction::triggered, this, &TfrmChessMainForm::mnuPasteClick);
    connect(mnuSave, &QAction::triggered, this, &TfrmChessMainForm::mnuSaveClick);
    connect(mnuLoad, &QAction::triggered, this, &TfrmChessMainForm::mnuLoadClick);
}

// Only a position that can be played replaces the game. An empty answer asks again; a refused
// one is named with its reason and offered again for correction; "Abbruch" changes nothing.
void TfrmChessMainForm::mnuEnterFENClick() {
    QString text;
    for (;;) {
        const std::optional<QString> answer = Dialogs->ReadAString(
            "Die Spielstellung in der Forsyth-Edwards-Notation :", text, TInputCancel::Offered);
        if (!answer) return;
        // Blanks around a pasted text are no fields of it.
        text = answer->trimmed();
        if (text.isEmpty()) continue;
        const std::string fen = text.toStdString();
        if (ReplaceGame([&fen](TChessBoard& board) { return ReadFenPosition(board, fen); })) return;
    }
}

// ---- the clipboard ----

void TfrmChessMainForm::mnuCopyFENClick() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(WriteFen(*ChessBoard)));
}

void TfrmChessMainForm::mnuCopyPGNClick() {
    const TPgnText pgn = WritePgn(*ChessBoard, SlotTags(*this));
    if (!pgn) {
        Dialogs->ShowMessageBox("Fehler", QString::fromStdString(pgn.Message), mkError);
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(pgn.Text));
}

void TfrmChessMainForm::mnuPasteClick() {
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        Dialogs->ShowMessageBox(
            "Fehler", "Die Zwischenablage enthält keine Spielstellung und keine Partie.", mkError);
        return;
    }
    ReplaceGame([&text](TChessBoard& board) { return ReadFenOrPgn(board, text); });
}

// ---- game files ----

QString TfrmChessMainForm::SavedGamesFolder() const {
    QString folder = QDir(WorkingFolder()).filePath("SAVEDGAMES");
    // A folder that cannot be made is offered all the same; the dialog shows where it is.
    QDir().mkpath(folder);
    return folder;
}

void TfrmChessMainForm::mnuSaveClick() {
    const QString fileName = Dialogs->ChooseSaveFile(
        "Spiel sichern", SavedGamesFolder(), QString(cGameFileFilter) + ";;" + cPgnFileFilter,
        cGameFileExtension);
    if (!fileName.isEmpty()) SaveGame(fileName);
}

void TfrmChessMainForm::mnuLoadClick() {
    const QString fileName = Dialogs->ChooseOpenFile(
        "Spiel laden", SavedGamesFolder(),
        QString(cAllGamesFilter) + ";;" + cGameFileFilter + ";;" + cPgnFileFilter);
    if (!fileName.isEmpty()) LoadGame(fileName);
}

bool TfrmChessMainForm::SaveGame(const QString& fileName) {
    // An existing file is replaced only by a complete new one.
    const std::string name = FileSystemName(fileName);
    const TFileStatus status = IsPgnFileName(fileName) ? SavePgn(*ChessBoard, SlotTags(*this), name)
                                                       : tavlor::SaveGame(*ChessBoard, name);
    if (!status) Dialogs->ShowMessageBox("Fehler", QString::fromStdString(status.Message), mkError);
    return static_cast<bool>(status);
}

bool TfrmChessMainForm::LoadGame(const QString& fileName) {
    // The whole file is checked before the game is replaced; a damaged one leaves it as it was.
    const std::string name = FileSystemName(fileName);
    const bool pgn = IsPgnFileName(fileName);
    return ReplaceGame([&name, pgn](TChessBoard& board) {
        return pgn ? LoadPgn(board, name) : tavlor::LoadGame(board, name);
    });
}

bool TfrmChessMainForm::ReplaceGame(const std::function<TGameFileStatus(TChessBoard&)>& read) {
    CancelDrag();
    const TGameFileStatus status = read(*ChessBoard);
    if (!status) {
        Dialogs->ShowMessageBox("Fehler", QString::fromStdString(status.Message), mkError);
        return false;
    }
    // In the computer's slot the player goes on with the side to move; the computer answers.
    if (ActiveConnection == 1 && Connections[1]) Connections[1]->LocalIsWhite = status.WhiteToMove;
    RedrawBoard();
    return true;
}

}  // namespace tavlor
