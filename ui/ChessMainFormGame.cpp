// Whole games in and out of the board: a position typed in Forsyth-Edwards notation, and saved
// game files.

#include <QAction>
#include <QDir>
#include <QFile>

#include "notation/Fen.h"
#include "notation/SavedGame.h"
#include "ui/ChessMainForm.h"

namespace tavlor {

namespace {

// The dialogs' filter "Tavlor|*.TVG" in the form the file dialogs read.
constexpr char cGameFileFilter[] = "Tavlor (*.TVG)";
constexpr char cGameFileExtension[] = "TVG";

std::string FileSystemName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

void TfrmChessMainForm::ConnectGameFileHandlers() {
    connect(mnuEnterFEN, &QAction::triggered, this, &TfrmChessMainForm::mnuEnterFENClick);
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
        if (const std::optional<std::string> fault = FenPositionError(fen)) {
            Dialogs->ShowMessageBox(
                "Fehler", "Ungültige Spielstellung: " + QString::fromStdString(*fault), mkError);
            continue;
        }
        CancelDrag();
        ReadFen(*ChessBoard, fen);
        RedrawBoard();
        return;
    }
}

QString TfrmChessMainForm::SavedGamesFolder() const {
    const QString folder = QDir(WorkingFolder()).filePath("SAVEDGAMES");
    // A folder that cannot be made is offered all the same; the dialog shows where it is.
    QDir().mkpath(folder);
    return folder;
}

void TfrmChessMainForm::mnuSaveClick() {
    const QString fileName = Dialogs->ChooseSaveFile("Spiel sichern", SavedGamesFolder(),
                                                     cGameFileFilter, cGameFileExtension);
    if (!fileName.isEmpty()) SaveGame(fileName);
}

void TfrmChessMainForm::mnuLoadClick() {
    const QString fileName =
        Dialogs->ChooseOpenFile("Spiel laden", SavedGamesFolder(), cGameFileFilter);
    if (!fileName.isEmpty()) LoadGame(fileName);
}

bool TfrmChessMainForm::SaveGame(const QString& fileName) {
    // An existing file is replaced only by a complete new one.
    const TFileStatus status = tavlor::SaveGame(*ChessBoard, FileSystemName(fileName));
    if (!status) Dialogs->ShowMessageBox("Fehler", QString::fromStdString(status.Message), mkError);
    return static_cast<bool>(status);
}

bool TfrmChessMainForm::LoadGame(const QString& fileName) {
    CancelDrag();
    // The whole file is checked before the game is replaced; a damaged one leaves it as it was.
    const TGameFileStatus status = tavlor::LoadGame(*ChessBoard, FileSystemName(fileName));
    if (!status) {
        Dialogs->ShowMessageBox("Fehler", QString::fromStdString(status.Message), mkError);
        return false;
    }
    if (ActiveConnection == 1 && Connections[1]) Connections[1]->LocalIsWhite = status.WhiteToMove;
    RedrawBoard();
    return true;
}

}  // namespace tavlor
