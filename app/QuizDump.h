#pragma once

#include <QString>

// kepiro --dump FILE: reads the quiz as the program does (the setup dialog answered with its
// opening values) and prints the question set as JSON on standard output. Returns the exit code:
// 0 read, 1 rejected, 2 unreadable.
int DumpQuizFile(const QString& path);
