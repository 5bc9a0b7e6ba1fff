#pragma once

#include <QIcon>
#include <QPixmap>

namespace tavlor {

// The program's own pictures for its windows, drawn rather than loaded so that no window depends
// on a file beside the program.

// Entries of the message windows' icon list (36 x 36): 0 information, 1 question, 2 warning,
// 3 error.
inline constexpr int cIconInformation = 0;
inline constexpr int cIconQuestion = 1;
inline constexpr int cIconWarning = 2;
inline constexpr int cIconError = 3;
QPixmap MessageIcon(int entry);

// The help window's small picture (37 x 36).
QPixmap HelpPicture();

// The window icon: a corner of a chess board with a knight's silhouette.
QIcon ProgramIcon();

}  // namespace tavlor
