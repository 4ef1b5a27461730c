#include "results/PrintLayout.h"

#include "platform/Texts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

std::vector<std::string> SplitPrintLines(std::string_view text) {
    std::string prepared(text);
    prepared += "\r\n";

    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < prepared.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(prepared[i]);
        if (IsCp932LeadByte(byte) && i + 1 < prepared.size()) {
            line += prepared[i];
            line += prepared[++i];
        } else if (byte == '\r' && i + 1 < prepared.size() && prepared[i + 1] == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            ++i;
        } else if (byte == '\n') {
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += prepared[i];
        }
    }
    // What follows the last line break is not a line of its own.
    return lines;
}

std::vector<std::string> AnswerPageLines(const QuizQuestion& question) {
    std::vector<std::string> page;
    auto add = [&page](std::string_view text) {
        for (std::string& line : SplitPrintLines(text))
            page.push_back(std::move(line));
    };

    add(question.m_strText);
    add(ToCp932(QStringLiteral("正解１")));
    add(question.m_strChoice[0]);
    if (question.m_nAnswers == 2) {
        page.emplace_back();
        add(ToCp932(QStringLiteral("正解２")));
        add(question.m_strChoice[1]);
    }
    page.emplace_back();
    add(ToCp932(QStringLiteral("解説")));
    add(question.m_strExplanation);
    return page;
}

void DrawAnswerPage(QPainter& painter, const QuizQuestion& question) {
    QFontMetrics metrics = painter.fontMetrics();
    // A font may report a negative line gap; lines never overlap, so it counts as no leading.
    int pitch = metrics.height() + std::max(0, metrics.leading());
    int line = 1;
    for (const std::string& text : AnswerPageLines(question)) {
        if (!text.empty())
            painter.drawText(10, line * pitch + metrics.ascent(), FromCp932(text));
        ++line;
    }
}

void PrintAnswerPage(QPrinter& printer, const QuizQuestion& question) {
    printer.setDocName(QString());
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    DrawAnswerPage(painter, question);
    painter.end();
}
