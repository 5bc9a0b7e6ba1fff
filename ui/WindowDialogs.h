#pragma once

#include <memory>

#include "ui/Dialogs.h"

class QWidget;

namespace tavlor {

class TfrmAboutForm;
class TfrmDialogForm;
class TfrmFigureToPromotionForm;
class TfrmGetComputerSettingsForm;
class TfrmGetFiguresForm;
class TfrmHelpForm;
class TfrmMessageForm;
class TfrmReadAStringForm;

// The program's answer to every modal interaction: its own windows, each created once (in the
// order the program has always created them) and reused for every call, and the platform's file
// and folder dialogs.
class TWindowDialogs : public TDialogs {
public:
    explicit TWindowDialogs(QWidget* parent = nullptr);
    ~TWindowDialogs() override;
    TWindowDialogs(const TWindowDialogs&) = delete;
    TWindowDialogs& operator=(const TWindowDialogs&) = delete;

    int ShowMessageBox(const QString& caption, const QString& text, TMessageKind kind) override;
    int ShowDialogBox(const QString& caption, const QString& text, TMessageKind kind) override;
    using TDialogs::ReadAString;
    std::optional<QString> ReadAString(const QString& prompt, const QString& defaultText,
                                       TInputCancel cancel) override;
    QString ChooseFigureSet(const QString& caption, const QString& programDir,
                            const QString& currentSet) override;
    int ChoosePromotionPiece(const std::array<QPixmap, 4>& pictures) override;
    QString ChooseOpenFile(const QString& caption, const QString& folder,
                           const QString& filter) override;
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString& filter,
                           const QString& defaultSuffix) override;
    QString ChooseFolder(const QString& caption, const QString& startFolder) override;
    bool EditComputerSettings(TComputerSettings& settings) override;
    void ShowHelp(const TRtfDocument& text) override;
    void ShowAbout() override;

    std::unique_ptr<TfrmFigureToPromotionForm> frmFigureToPromotionForm;
    std::unique_ptr<TfrmMessageForm> frmMessageForm;
    std::unique_ptr<TfrmGetFiguresForm> frmGetFiguresForm;
    std::unique_ptr<TfrmReadAStringForm> frmReadAStringForm;
    std::unique_ptr<TfrmDialogForm> frmDialogForm;
    std::unique_ptr<TfrmAboutForm> frmAboutForm;
    std::unique_ptr<TfrmGetComputerSettingsForm> frmGetComputerSettingsForm;
    std::unique_ptr<TfrmHelpForm> frmHelpForm;

private:
    // The parent of the file and folder dialogs: the one given, or the window they are called
    // from.
    QWidget* Owner() const;

    QWidget* FParent;
};

}  // namespace tavlor
