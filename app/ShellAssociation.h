#pragma once

#include <QPixmap>
#include <QString>

// The desktop's side of the quiz file type: a desktop entry for the program, a shared-mime-info
// type for "*.kwz" files and the two icons, all under $XDG_DATA_HOME. A file is written only when
// its content differs from what is there, so every start may call this.

// MIME type of quiz files.
inline constexpr char kQuizMimeType[] = "application/x-kepiro-document";

// The document icon: a quiz sheet.
QPixmap DocumentIconPixmap(int size);

// The desktop entry's Exec line for `program`, quoted as desktop entries require.
QString DesktopExecLine(const QString& program);

// Writes the entries for `program`. With `updateDatabases` the desktop's caches are refreshed in
// the background after a change. Returns true when something was written.
bool RegisterShellFileTypes(const QString& program, bool updateDatabases);
