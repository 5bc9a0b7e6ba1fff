#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// What the main window's tests use to drive it.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "ui/ChessMainForm.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/GetComputerSettingsForm.h"
#include "ui/RtfReader.h"
#include "ui/ShowComputerForm.h"

// Texts as gtest prints them when an expectation fails.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(" | ").toStdString() << '}';
}
QT_END_NAMESPACE

namespace tavlor::testing {

// Answers every modal call from a script and records what was asked.
class TScriptedDialogs : public TDialogs {
public:
    struct TCall {
        QString Kind;     // "message", "question", "input", "figures", "help", "about", ...
        QString Caption;  // for an input: its default text
        QString Text;
        int MessageKind = -1;
    };

    int ShowMessageBox(const QString& caption, const QString& text, TMessageKind kind) override {
        Calls.push_back({"message", caption, text, kind});
        if (WhileMessageShown) WhileMessageShown();
        return mrOK;
    }
    int ShowDialogBox(const QString& caption, const QString& text, TMessageKind) override {
        return Answer("question", caption, text) == "cancel" ? mrCancel : mrOK;
    }
    using TDialogs::ReadAString;
    std::optional<QString> ReadAString(const QString& prompt, const QString& defaultText,
                                       TInputCancel cancel) override {
        // The window asks for the player's name when it first paints, whenever that is; the
        // name has answers of its own so that it takes none meant for the test's commands.
        if (prompt == cNamePrompt) {
            NamePrompts.push_back(defaultText);
            if (NameAnswers.empty()) return DefaultName;
            const QString name = NameAnswers.front();
            NameAnswers.pop_front();
            return name;
        }
        const bool answered = !Answers.empty();
        const QString answer = Answer("input", defaultText, prompt);
        if (answered && answer == cCancelAnswer && cancel == TInputCancel::Offered)
            return std::nullopt;
        return answered && answer != cCancelAnswer ? answer : defaultText;
    }
    QString ChooseFigureSet(const QString& caption, const QString& programDir,
                            const QString& currentSet) override {
        return Answer("figures", caption, programDir + "|" + currentSet);
    }
    int ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) override {
        PromotionPictures = pictures;
        return Answer("promotion", QString(), QString()).toInt();
    }
    QString ChooseOpenFile(const QString& caption, const QString& folder,
                           const QString& filter) override {
        FileFilters << filter;
        return Answer("open", caption, folder);
    }
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString& filter,
                           const QString& defaultSuffix) override {
        FileFilters << filter + "|" + defaultSuffix;
        return Answer("save", caption, folder);
    }
    QString ChooseFolder(const QString& caption, const QString& startFolder) override {
        return Answer("folder", caption, startFolder);
    }
    // The real dialog, not shown: the script enters what the user would and clicks "OK" or
    // "Abbruch"; the messages of its checks come back here.
    bool EditComputerSettings(TComputerSettings& settings) override {
        Calls.push_back({"settings", QString(), QString()});
        TfrmGetComputerSettingsForm form(*this);
        form.Prepare(settings);
        if (SettingsScript) SettingsScript(form);
        return form.Finish(settings);
    }
    void ShowHelp(const TRtfDocument& text) override {
        Calls.push_back({"help", QString(), QString::fromStdString(text.PlainText())});
    }
    void ShowAbout() override { Calls.push_back({"about", QString(), QString()}); }

    // The texts of the messages shown, in order.
    QStringList Messages() const;
    // Whether the last call was an error message whose text holds both parts.
    ::testing::AssertionResult LastIsError(const QString& part, const QString& more = {}) const;

    // The answer that cancels an input (where the input can be cancelled).
    inline static const QString cCancelAnswer = "<Abbruch>";

    std::vector<TCall> Calls;
    std::deque<QString> Answers;  // taken in order by the calls that return text or a choice
    std::array<QPixmap, 4> PromotionPictures;  // those offered by the last promotion choice
    static constexpr char cNamePrompt[] = "Ihren Namen der Sie als Spieler identifiziert :";
    std::deque<QString> NameAnswers;  // taken in order; then DefaultName
    QString DefaultName = "Tester";
    QStringList NamePrompts;  // the name preset in each question for the name
    QStringList FileFilters;  // those of each file dialog; after "|" a save dialog's suffix
    std::function<void(TfrmGetComputerSettingsForm&)> SettingsScript;
    // What the window's timers do while a message waits for its "OK".
    std::function<void()> WhileMessageShown;

private:
    QString Answer(const QString& kind, const QString& caption, const QString& text);
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

// The window shown, both sides played at this board, on a 400 x 403 board image: squares of 50
// pixels and three unpainted pixel rows at the bottom.
struct TBoard {
    explicit TBoard(const char* fen = nullptr)
        : TBoard([fen](TBoard& board) {
              board.Form->ActiveConnection = 0;
              if (fen) ReadFen(*board.Form->ChessBoard, fen);
          }) {}
    // As a new user starts: `prepare` (the dialogs' answers, say) runs before the window shows.
    explicit TBoard(const std::function<void(TBoard&)>& prepare) : Form(Fixture.Start()) {
        prepare(*this);
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

    TFormFixture Fixture;
    TScriptedDialogs& Dialogs = Fixture.Dialogs;
    std::unique_ptr<TfrmChessMainForm> Form;
};

QString DataDir();
void CopyFolder(const QString& from, const QString& to);
std::string ReadFile(const QString& fileName);
void WriteFile(const QString& fileName, const std::string& bytes);

// Plays moves given as coordinates ("e2e4", "e7e8q") through the window's move routine.
void PlayMoves(TfrmChessMainForm& form, const std::vector<std::string>& moves);

}  // namespace tavlor::testing
