// The desktop program: the main window with the program's own dialog windows.

#include <QApplication>
#include <QDir>

#include "ui/ChessMainForm.h"
#include "ui/WindowDialogs.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    tavlor::TWindowDialogs dialogs;
    tavlor::TMainFormOptions options;
    options.ProgramDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + "/";
    options.Arguments = QCoreApplication::arguments().mid(1);
    options.Dialogs = &dialogs;
    tavlor::TfrmChessMainForm window(options);
    window.show();
    return QApplication::exec();
}
