#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QPixmap>
#include <QString>

namespace tavlor {

struct TComputerSettings;
struct TRtfDocument;

// The icon argument of the message and question windows.
using TMessageKind = std::uint8_t;
inline constexpr TMessageKind mkNone = 0;
inline constexpr TMessageKind mkError = 1;
inline constexpr TMessageKind mkInformation = 2;
inline constexpr TMessageKind mkQuestion = 3;
// No icon, as a plain message shows (any kind above 3).
inline constexpr TMessageKind mkPlain = 4;

// Modal results of the program's own windows.
inline constexpr int mrOK = 1;
inline constexpr int mrCancel = 2;

// Whether the input window offers "Abbruch" (and the escape key) besides "OK".
enum class TInputCancel : std::uint8_t { NotOffered, Offered };

// Every modal interaction of the main window: messages, questions, one-line input, the choosers
// and the file and folder dialogs. The program answers them with its windows (TWindowDialogs);
// tests answer them with a script, so that no test waits for a person.
class TDialogs {
public:
    virtual ~TDialogs() = default;

    // Returns mrOK.
    virtual int ShowMessageBox(const QString& caption, const QString& text, TMessageKind kind) = 0;
    // Returns mrOK, or mrCancel for "Abbruch" and the close button.
    virtual int ShowDialogBox(const QString& caption, const QString& text, TMessageKind kind) = 0;
    // One line of input: the edited text after "OK". With cancel offered the window also closes
    // with "Abbruch" or the escape key, which give nothing; otherwise only "OK" closes it.
    virtual std::optional<QString> ReadAString(const QString& prompt, const QString& defaultText,
                                               TInputCancel cancel) = 0;
    // An input that cannot be cancelled, for callers that ask until they have an answer.
    QString ReadAString(const QString& prompt, const QString& defaultText) {
        return ReadAString(prompt, defaultText, TInputCancel::NotOffered).value_or(defaultText);
    }
    // The name of the checked piece-set folder below programDir + "IMAGES"; empty when the user
    // left every entry unchecked.
    virtual QString ChooseFigureSet(const QString& caption, const QString& programDir,
                                    const QString& currentSet) = 0;
    // Pictures of queen, rook, bishop and knight; returns 0 to 3 in that order.
    virtual int ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) = 0;
    // A file to read or to write, a folder; empty when the user cancelled.
    virtual QString ChooseOpenFile(const QString& caption, const QString& folder,
                                   const QString& filter) = 0;
    virtual QString ChooseSaveFile(const QString& caption, const QString& folder,
                                   const QString& filter, const QString& defaultSuffix) = 0;
    // The folder may be a new one whose name the user typed; it does not exist yet.
    virtual QString ChooseFolder(const QString& caption, const QString& startFolder) = 0;
    // The computer's settings dialog, filled from `settings`. True after "OK", with `settings`
    // read back from the dialog; false, `settings` untouched, after "Abbruch" or the close box.
    virtual bool EditComputerSettings(TComputerSettings& settings) = 0;
    // The short manual, already read; "OK" closes it.
    virtual void ShowHelp(const TRtfDocument& text) = 0;
    virtual void ShowAbout() = 0;
};

}  // namespace tavlor
