#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QTemporaryDir>

#include "ui/ChessMainForm.h"
#include "ui/Dialogs.h"
#include "ui/RtfReader.h"

namespace tavlor::testing {

// Answers every modal call from a script and records what was asked.
class TScriptedDialogs : public TDialogs {
public:
    struct TCall {
        QString Kind;  // "message", "question", "input", "figures", "help", "about", ...
        QString Caption;
        QString Text;
        int MessageKind = -1;
    };

    int ShowMessageBox(const QString& caption, const QString& text, TMessageKind kind) override;
    int ShowDialogBox(const QString& caption, const QString& text, TMessageKind kind) override;
    QString ReadAString(const QString& prompt, const QString& defaultText) override;
    QString ChooseFigureSet(const QString& caption, const QString& programDir,
                            const QString& currentSet) override;
    int ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) override;
    QString ChooseOpenFile(const QString& caption, const QString& folder,
                           const QString& filter) override;
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString& filter,
                           const QString& defaultSuffix) override;
    QString ChooseFolder(const QString& caption, const QString& startFolder) override;
    void ShowHelp(const TRtfDocument& text) override;
    void ShowAbout() override;

    std::vector<TCall> Calls;
    std::deque<QString> Answers;  // taken in order by the calls that return text or a choice
    TRtfDocument LastHelp;

private:
    QString NextAnswer();
};

// A program folder in a temporary place, with the shipped piece sets when asked for, and the
// main window started on it.
class TFormFixture {
public:
    explicit TFormFixture(bool withPieceSets = true);

    std::unique_ptr<TfrmChessMainForm> Start(const QStringList& arguments = {});
    QString ProgramDir() const { return Folder.path() + "/"; }
    QString IniFileName() const { return ProgramDir() + "Tavlor.INI"; }

    QTemporaryDir Folder;
    TScriptedDialogs Dialogs;
};

QString DataDir();
void CopyFolder(const QString& from, const QString& to);
std::string ReadFile(const QString& fileName);
void WriteFile(const QString& fileName, const std::string& bytes);

// Plays moves given as coordinates ("e2e4", "e7e8q") through the window's move routine.
void PlayMoves(TfrmChessMainForm& form, const std::vector<std::string>& moves);

}  // namespace tavlor::testing
