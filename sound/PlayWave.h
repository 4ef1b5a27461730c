#pragma once

#include <QString>

class CWinDA;

// The question screen's play-a-file operation, after its own checks (a player is held, the
// screen's controls are saved): loads the file and starts it, returning at once, or shows the
// reader's message for a file that cannot be played (caption: the program title). Returns the
// reader's result code.
int PlayWave(CWinDA& player, const QString& strPath);
