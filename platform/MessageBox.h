#pragma once

#include <QString>

// The program's message box: OK button only, warning icon, the given caption (the program title
// "KEPIRO" unless the sound player's own "error"). Without a widget application (kepiro --dump)
// the text goes to standard error instead.
void ShowMessage(const QString& text, const QString& caption = QStringLiteral("KEPIRO"));
