#include "UiTestSupport.h"

#include <QFile>

namespace tavlor::testing {

QString TScriptedDialogs::Answer(const QString& kind, const QString& caption, const QString& text) {
    Calls.push_back({kind, caption, text});
    if (Answers.empty()) return QString();
    const QString answer = Answers.front();
    Answers.pop_front();
    return answer;
}

QStringList TScriptedDialogs::Messages() const {
    QStringList texts;
    for (const TCall& call : Calls)
        if (call.Kind == "message") texts << call.Text;
    return texts;
}

::testing::AssertionResult TScriptedDialogs::LastIsError(const QString& part,
                                                         const QString& more) const {
    if (Calls.empty()) return ::testing::AssertionFailure() << "nothing was shown";
    const TCall& call = Calls.back();
    if (call.Kind == "message" && call.Caption == "Fehler" && call.MessageKind == mkError &&
        call.Text.contains(part) && call.Text.contains(more))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << call.Kind.toStdString() << " \"" << call.Caption.toStdString()
           << "\": " << call.Text.toStdString();
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
        form.ChessBoard->HistoryTop = 0;
        form.DoMoveAndCheckEnd(*move);  // a promotion carries its piece, as the computer's does
    }
}

}  // namespace tavlor::testing
