#pragma once

#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tavlor {

// The piece-set chooser: the folders below the program's "IMAGES" folder in a sorted check list,
// at most one of them checked.
class TfrmGetFiguresForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGetFiguresForm(QWidget* parent = nullptr);

    // Fills the list for one choice without showing the window.
    void Prepare(const QString& caption, const QString& programDir, const QString& currentSet);
    // The checked entry's name; empty when none is checked.
    QString CheckedName() const;
    QString ChooseFigureSet(const QString& caption, const QString& programDir,
                            const QString& currentSet);

    QListWidget* CheckListBox = nullptr;
    QPushButton* btnOK = nullptr;

private:
    void CheckListBoxClickCheck(QListWidgetItem* clicked);

    bool FChecking = false;
};

}  // namespace tavlor
