#pragma once

#include <QString>
#include <string>

class QTextStream;

// The checker for people who write quiz files (kepiro --check). It reads a file with the quiz
// reader's own rules and writes each problem that makes the program reject the file, or read it
// otherwise than its author most likely meant, as "FILE:LINE: message", then one summary line.
// Returns 0 for a clean file, 1 for a file with problems, 2 for a file that cannot be read.
int CheckQuizFile(const QString& path, QTextStream& out);

// The same on the bytes of a file; `name` stands for the file in the messages.
int CheckQuizBytes(const std::string& bytes, const QString& name, QTextStream& out);
