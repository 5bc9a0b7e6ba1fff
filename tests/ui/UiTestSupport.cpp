#include "UiTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "notation/MoveText.h"

namespace tavlor::testing {

QString TScriptedDialogs::NextAnswer() {
    if (Answers.empty()) return QString();
    QString answer = Answers.front();
    Answers.pop_front();
    return answer;
}

int TScriptedDialogs::ShowMessageBox(const QString& caption, const QString& text,
                                     TMessageKind kind) {
    Calls.push_back({"message", caption, text, kind});
    return mrOK;
}

int TScriptedDialogs::ShowDialogBox(const QString& caption, const QString& text,
                                    TMessageKind kind) {
    Calls.push_back({"question", caption, text, kind});
    return NextAnswer() == "cancel" ? mrCancel : mrOK;
}

QString TScriptedDialogs::ReadAString(const QString& prompt, const QString& defaultText) {
    Calls.push_back({"input", QString(), prompt});
    return Answers.empty() ? defaultText : NextAnswer();
}

QString TScriptedDialogs::ChooseFigureSet(const QString& caption, const QString& programDir,
                                          const QString& currentSet) {
    Calls.push_back({"figures", caption, programDir + "|" + currentSet});
    return NextAnswer();
}

int TScriptedDialogs::ChoosePromotionPiece(const std::array<QPixmap, 4>&) {
    Calls.push_back({"promotion", QString(), QString()});
    return NextAnswer().toInt();
}

QString TScriptedDialogs::ChooseOpenFile(const QString& caption, const QString& folder,
                                         const QString&) {
    Calls.push_back({"open", caption, folder});
    return NextAnswer();
}

QString TScriptedDialogs::ChooseSaveFile(const QString& caption, const QString& folder,
                                         const QString&, const QString&) {
    Calls.push_back({"save", caption, folder});
    return NextAnswer();
}

QString TScriptedDialogs::ChooseFolder(const QString& caption, const QString& startFolder) {
    Calls.push_back({"folder", caption, startFolder});
    return NextAnswer();
}

void TScriptedDialogs::ShowHelp(const TRtfDocument& text) {
    Calls.push_back({"help", QString(), QString::fromStdString(text.PlainText())});
    LastHelp = text;
}

void TScriptedDialogs::ShowAbout() {
    Calls.push_back({"about", QString(), QString()});
}

QString DataDir() {
    return QString(TAVLOR_DATA_DIR);
}

void CopyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), to + "/" + name);
    for (const QString& name : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        CopyFolder(source.filePath(name), to + "/" + name);
}

std::string ReadFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void WriteFile(const QString& fileName, const std::string& bytes) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << fileName.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

TFormFixture::TFormFixture(bool withPieceSets) {
    if (withPieceSets) CopyFolder(DataDir() + "/IMAGES", ProgramDir() + "IMAGES");
}

std::unique_ptr<TfrmChessMainForm> TFormFixture::Start(const QStringList& arguments) {
    TMainFormOptions options;
    options.ProgramDir = ProgramDir();
    options.WorkingDir = ProgramDir();
    options.Arguments = arguments;
    options.Dialogs = &Dialogs;
    return std::make_unique<TfrmChessMainForm>(options);
}

void PlayMoves(TfrmChessMainForm& form, const std::vector<std::string>& moves) {
    for (const std::string& text : moves) {
        const auto move = UciToMove(text, form.ChessBoard->IsWhiteToMove());
        ASSERT_TRUE(move) << text;
        TChessMove made = *move;
        const TPieceCode promotion = made.Promotion;
        made.Promotion = cEmpty;
        form.ChessBoard->HistoryTop = 0;
        form.DoMoveAndCheckEnd(made);
        if (form.ChessBoard->IsPromotionPending()) form.ChessBoard->SetPromotionPiece(promotion);
    }
}

}  // namespace tavlor::testing
