#include "quiz/QuizCheck.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int nResult;
    std::vector<int> lines; // line numbers of the problems, in the order reported
    QStringList messages;   // every problem, with and without a line number
    QString summary;
};

Outcome Check(const QString& path) {
    QString text;
    QTextStream out(&text);
    Outcome outcome;
    outcome.nResult = CheckQuizFile(path, out);
    out.flush();
    QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        outcome.summary = lines.takeLast();
    static const QRegularExpression numbered(QStringLiteral("^.*\\.kwz:(\\d+): "));
    for (const QString& line : lines) {
        QRegularExpressionMatch match = numbered.match(line);
        if (match.hasMatch())
            outcome.lines.push_back(match.captured(1).toInt());
        outcome.messages << line;
    }
    return outcome;
}

Outcome CheckBytes(const std::string& bytes) {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("quiz.kwz"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    return Check(path);
}

const std::string kMaru = "\x81\x9B";
// One plain-form record: the empty line, four question lines, four choices, two explanation lines.
const std::string kPlain = "\r\nQ\r\n\r\n\r\n\r\nA\r\nB\r\nC\r\nD\r\nE\r\n\r\n";
// One header-form record with two choices.
std::string Header(const std::string& header) {
    return header + "\r\nQ\r\nA\r\n\r\nB\r\n\r\nE\r\n";
}

TEST(QuizCheck, ReportsEachProblemAtItsLine) {
    struct Case {
        const char* name;
        std::string bytes;
        int nResult;
        std::vector<int> lines;
        const char* words; // found in the first problem's message
    } cases[] = {
        {"clean plain and header records", "2\r\n" + kPlain + Header("v1.1:1:2:1:1"), 0, {}, ""},
        {"lines ending in LF alone", "1\n\nQ\n\n\n\nA\nB\nC\nD\nE\n\n", 0, {}, ""},
        {"trailing empty lines", "1\r\n" + kPlain + "\r\n\r\n", 0, {}, ""},
        {"true/false record", "1\r\nv1.1:1:1:1:1\r\nQ\r\n" + kMaru + "\r\n\r\nE\r\n", 0, {}, ""},
        {"count line without a number", "abc\r\n" + kPlain, 1, {1}, "not a number"},
        {"count 0", "0\r\n" + kPlain, 1, {1}, "gives 0 questions"},
        {"count above the limit", "100001\r\n" + kPlain, 1, {1}, "more than the 100000"},
        {"text after the count", "1abc\r\n" + kPlain, 1, {1}, "reads it as 1"},
        {"record starting with text", "2\r\n" + kPlain + "hello\r\n", 1, {13}, "neither an empty line"},
        {"header after a blank", "1\r\n v1.1:1:2:1:1\r\n", 1, {2}, "first byte of its line"},
        {"header of another version", "1\r\nv1.0:1:2:1:1\r\n", 1, {2}, "neither an empty line"},
        {"header missing numbers",
         "1\r\nv1.1:1:2\r\nQ\r\nA\r\n\r\nB\r\n\r\n",
         1,
         {2, 2},
         "gives 4 of its six"},
        {"header with six choices",
         "1\r\nv1.1:0:6:0:1\r\n" + std::string("a\r\n\r\nb\r\n\r\nc\r\n\r\nd\r\n\r\ne\r\n\r\nf\r\n\r\n"),
         1,
         {2},
         "drops them"},
        {"header with a huge group", "1\r\nv1.1:20000:2:1:1\r\n", 1, {2}, "more than 10000"},
        {"three correct answers", "1\r\n" + Header("v1.1:1:2:1:3"), 1, {2}, "one or two"},
        {"no correct answer", "1\r\n" + Header("v1.1:1:2:1:0"), 1, {2}, "one or two"},
        {"two answers of one choice",
         "1\r\nv1.1:1:1:1:2\r\nQ\r\n" + kMaru + "\r\n\r\nE\r\n",
         1,
         {2},
         "only 1 choice"},
        {"lone choice that is not a mark",
         "1\r\nv1.1:1:1:1:1\r\nQ\r\n" + kMaru + " \r\n\r\nE\r\n",
         1,
         {2},
         "neither exactly"},
        {"file ending inside a record",
         "1\r\n\r\nQ\r\n\r\n\r\n\r\nA\r\nB\r\n",
         1,
         {9},
         "inside record 1 of the 1"},
        {"file ending before records", "3\r\n" + kPlain, 1, {13}, "before record 2 of the 3"},
        {"content after the last record", "1\r\n" + kPlain + kPlain, 1, {13}, "never reads them"},
        {"bytes outside code page 932",
         "1\r\n\r\nQ\xFF\r\n\r\n\r\n\r\nA\r\nB\r\nC\r\nD\r\nE\r\n\r\n",
         1,
         {3},
         "byte 2 (0xFF)"},
        {"a CR inside a line", "1\r\n\r\nQ\rR\r\n\r\n\r\n\r\nA\r\nB\r\nC\r\nD\r\nE\r\n\r\n", 1, {3}, "CR"},
        {"empty file", "", 1, {}, "empty"},
        {"UTF-8 text",
         "1\r\n\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n\r\n\r\n\r\nA\r\nB\r\nC\r\nD\r\nE\r\n\r\n",
         1,
         {},
         "iconv -f UTF-8 -t CP932"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome outcome = CheckBytes(c.bytes);
        EXPECT_EQ(outcome.nResult, c.nResult) << outcome.messages.join('\n').toStdString();
        EXPECT_EQ(outcome.lines, c.lines) << outcome.messages.join('\n').toStdString();
        if (c.nResult == 0) {
            EXPECT_TRUE(outcome.messages.isEmpty());
            EXPECT_TRUE(outcome.summary.contains(QStringLiteral(": OK"))) << outcome.summary.toStdString();
        } else {
            ASSERT_FALSE(outcome.messages.isEmpty());
            EXPECT_TRUE(outcome.messages.first().contains(QString::fromUtf8(c.words)))
                << outcome.messages.first().toStdString();
            EXPECT_TRUE(outcome.summary.contains(QStringLiteral("problem"))) << outcome.summary.toStdString();
        }
    }
}

TEST(QuizCheck, SummaryTellsRejectedFromMisread) {
    EXPECT_TRUE(CheckBytes("abc\r\n").summary.endsWith(QStringLiteral("the program rejects this file")));
    EXPECT_TRUE(CheckBytes("2\r\n" + kPlain).summary.endsWith(QStringLiteral("but not as written")));
}

TEST(QuizCheck, UnreadableFileGivesTwo) {
    QTemporaryDir dir;
    Outcome missing = Check(dir.filePath(QStringLiteral("missing.kwz")));
    EXPECT_EQ(missing.nResult, 2);
    EXPECT_TRUE(missing.summary.contains(QStringLiteral("cannot be read"))) << missing.summary.toStdString();
    EXPECT_EQ(Check(dir.path()).nResult, 2);
}

TEST(QuizCheck, SampleQuizIsClean) {
    Outcome outcome = Check(QStringLiteral(PROJECT_SOURCE_DIR "/samples/sample.kwz"));
    EXPECT_EQ(outcome.nResult, 0) << outcome.messages.join('\n').toStdString();
    EXPECT_TRUE(outcome.messages.isEmpty());
    static const QRegularExpression counts(
        QStringLiteral(": OK, (\\d+) questions \\((\\d+) plain form, (\\d+) header form\\)$"));
    QRegularExpressionMatch match = counts.match(outcome.summary);
    ASSERT_TRUE(match.hasMatch()) << outcome.summary.toStdString();
    EXPECT_GE(match.captured(1).toInt(), 30);
    EXPECT_GT(match.captured(2).toInt(), 0);
    EXPECT_GT(match.captured(3).toInt(), 0);
}

} // namespace
