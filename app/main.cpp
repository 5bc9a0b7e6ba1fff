// The desktop program: the main window with the program's own dialog windows.

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/ChessMainForm.h"
#include "ui/WindowDialogs.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The program speaks German, so Qt's own texts (file dialogs, standard buttons) do too
    // wherever Qt's translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    tavlor::TWindowDialogs dialogs;
    tavlor::TMainFormOptions options;
    options.ProgramDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + "/";
    options.Arguments = QCoreApplication::arguments().mid(1);
    options.Dialogs = &dialogs;
    tavlor::TfrmChessMainForm window(options);
    window.show();
    return QApplication::exec();
}
