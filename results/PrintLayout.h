#pragma once

#include "quiz/QuizQuestion.h"

#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QPrinter;

// Cuts a text into printed lines: a CR LF is appended, every CR LF becomes LF, and every piece
// before an LF is one line, empty pieces included. The scan steps over double-byte characters.
std::vector<std::string> SplitPrintLines(std::string_view text);

// The lines of the printed answer page, top to bottom, in code page 932. Entry i is drawn on
// line i + 1, so the page starts with one empty pitch; an empty entry only advances the line.
std::vector<std::string> AnswerPageLines(const QuizQuestion& question);

// Draws the answer page with the painter's current font: x = 10 and y = line × pitch in device
// units, where the pitch is the font's height plus its external leading. No wrapping.
void DrawAnswerPage(QPainter& painter, const QuizQuestion& question);

// Prints the answer page as one page on a printer the caller has set up. Failures are ignored.
void PrintAnswerPage(QPrinter& printer, const QuizQuestion& question);
