#include "quiz/QuizCheck.h"

#include "platform/LineSource.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cctype>
#include <climits>

namespace {

// The most lines one group of a header-form record may have before the reader rejects the file.
constexpr int kMaxGroupLines = 10000;
// Lines with bytes outside code page 932 reported one by one before the rest are only counted.
constexpr int kMaxEncodingReports = 10;

// Reads the count line the way the reader does (the C library's atoi: blanks, an optional sign,
// digits) and tells where the number ended.
struct CountLine {
    bool bHasDigits = false;
    int nValue = 0;
    std::size_t nEnd = 0;
};

CountLine ReadCountLine(const std::string& line) {
    CountLine count;
    std::size_t pos = 0;
    while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos])))
        ++pos;
    bool negative = false;
    if (pos < line.size() && (line[pos] == '+' || line[pos] == '-'))
        negative = line[pos++] == '-';
    long long number = 0;
    while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos]))) {
        count.bHasDigits = true;
        if (number <= INT_MAX)
            number = number * 10 + (line[pos] - '0');
        ++pos;
    }
    if (negative)
        number = -number;
    count.nValue = static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
    count.nEnd = pos;
    return count;
}

bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// True for text that is valid UTF-8 and holds at least one multi-byte character: such a file
// was saved as UTF-8, which the program reads as code page 932 and shows garbled.
bool LooksLikeUtf8(const std::string& bytes) {
    bool multiByte = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        int length = c < 0x80                 ? 1
                     : c >= 0xC2 && c <= 0xDF ? 2
                     : c >= 0xE0 && c <= 0xEF ? 3
                     : c >= 0xF0 && c <= 0xF4 ? 4
                                              : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (int k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        unsigned char second = length > 1 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0) || (c == 0xF0 && second < 0x90) ||
            (c == 0xF4 && second >= 0x90))
            return false;
        multiByte = multiByte || length > 1;
        i += length;
    }
    return multiByte;
}

// The line as a quiz author would recognise it, shortened.
QString Shown(const std::string& line) {
    QString text = FromCp932(line);
    if (text.size() > 40)
        text = text.left(40) + QStringLiteral("…");
    return QStringLiteral("\"%1\"").arg(text);
}

class Checker {
public:
    Checker(const std::string& bytes, const QString& name, QTextStream& out)
        : m_bytes(bytes), m_name(name), m_out(out), m_lines(bytes) {}

    int Run();

private:
    std::string ReadLine();
    void Report(int line, const QString& message);
    void Reject(int line, const QString& message);
    void CheckRecord(int t, int nCount, const std::string& first);
    void CheckHeader(int t, int line, const std::string& first);
    void CountFollowingContent(int nCount);

    const std::string& m_bytes;
    QString m_name;
    QTextStream& m_out;
    StringLineSource m_lines;
    bool m_bUtf8 = false;
    bool m_bRejected = false;
    int m_nProblems = 0;
    int m_nEncodingLines = 0;
    int m_nFirstMissingLine = 0;
    int m_nRecord = 0;
    bool m_bRecordStart = false;
    int m_nRecordAtEnd = 0;
    bool m_bEndBetweenRecords = false;
    int m_nPlain = 0;
    int m_nHeader = 0;
};

std::string Checker::ReadLine() {
    bool missing = m_lines.AtEnd();
    std::string line = m_lines.ReadLine();
    int number = m_lines.LineNumber();
    if (missing) {
        if (!m_nFirstMissingLine) {
            m_nFirstMissingLine = number;
            m_nRecordAtEnd = m_nRecord;
            m_bEndBetweenRecords = m_bRecordStart;
        }
        return line;
    }
    std::size_t bad = FirstInvalidCp932(line);
    if (bad != std::string::npos && !m_bUtf8) {
        if (++m_nEncodingLines <= kMaxEncodingReports) {
            unsigned char byte = static_cast<unsigned char>(line[bad]);
            Report(number,
                   QStringLiteral("byte %1 (0x%2) is not valid code page 932 (Shift-JIS); the program "
                                  "shows it as a broken character")
                       .arg(bad + 1)
                       .arg(QString::number(byte, 16).toUpper().rightJustified(2, u'0')));
        }
    }
    if (line.find('\r') != std::string::npos)
        Report(number, QStringLiteral("a CR not followed by LF stays in the line; end lines with CR LF"));
    return line;
}

void Checker::Report(int line, const QString& message) {
    ++m_nProblems;
    if (line > 0)
        m_out << m_name << ':' << line << ": " << message << '\n';
    else
        m_out << m_name << ": " << message << '\n';
}

void Checker::Reject(int line, const QString& message) {
    m_bRejected = true;
    Report(line, message + QStringLiteral("; the program rejects the file (\"kwzファイルじゃありません\")"));
}

int Checker::Run() {
    if (m_bytes.empty()) {
        Report(0, QStringLiteral("the file is empty; the program does not read it"));
        m_out << m_name << QStringLiteral(": 1 problem, not a quiz\n");
        return 1;
    }
    if (m_bytes.compare(0, 2, "\xFF\xFE") == 0 || m_bytes.compare(0, 2, "\xFE\xFF") == 0) {
        Report(0,
               QStringLiteral("the file looks like UTF-16; save it as Shift-JIS (code page 932), for example "
                              "with: iconv -f UTF-16 -t CP932 '%1' > converted.kwz")
                   .arg(m_name));
        m_out << m_name << QStringLiteral(": 1 problem, not a quiz\n");
        return 1;
    }
    m_bUtf8 = LooksLikeUtf8(m_bytes);
    if (m_bUtf8)
        Report(0, QStringLiteral(
                      "the file looks like UTF-8, but the program reads Shift-JIS (code page 932) and "
                      "would show its Japanese garbled; convert it with: iconv -f UTF-8 -t CP932 '%1' "
                      "> converted.kwz")
                      .arg(m_name));

    const std::string countLine = ReadLine();
    const CountLine count = ReadCountLine(countLine);
    if (!count.bHasDigits) {
        Reject(1, QStringLiteral("the count line %1 is not a number").arg(Shown(countLine)));
    } else if (count.nValue < 1) {
        Reject(1, QStringLiteral("the count line gives %1 questions").arg(count.nValue));
    } else if (count.nValue > CKEPIRODoc::kMaxQuestions) {
        Reject(1, QStringLiteral("the count line gives %1 questions, more than the %2 a quiz may hold")
                      .arg(count.nValue)
                      .arg(CKEPIRODoc::kMaxQuestions));
    } else if (!IsBlank(countLine.substr(count.nEnd))) {
        Report(1, QStringLiteral("the count line %1 has text after its number; the program reads it as %2")
                      .arg(Shown(countLine))
                      .arg(count.nValue));
    }

    int nRead = 0;
    if (!m_bRejected) {
        for (int t = 0; t < count.nValue && !m_bRejected; ++t) {
            m_nRecord = t;
            m_bRecordStart = true;
            std::string first = ReadLine();
            m_bRecordStart = false;
            CheckRecord(t, count.nValue, first);
            nRead = t + 1;
        }
    }
    if (!m_bRejected && m_nFirstMissingLine) {
        const int nRecord = m_nRecordAtEnd + 1;
        QString where = m_bEndBetweenRecords
                            ? QStringLiteral("before record %1 of the %2 the count line gives").arg(nRecord)
                            : QStringLiteral("inside record %1 of the %2 the count line gives").arg(nRecord);
        const int nFirstEmpty = m_bEndBetweenRecords ? nRecord : nRecord + 1;
        QString outcome;
        if (nFirstEmpty == count.nValue)
            outcome = QStringLiteral("; record %1 becomes a question with empty texts").arg(nFirstEmpty);
        else if (nFirstEmpty < count.nValue)
            outcome = QStringLiteral("; records %1 to %2 become questions with empty texts")
                          .arg(nFirstEmpty)
                          .arg(count.nValue);
        Report(m_nFirstMissingLine,
               QStringLiteral("the file ends here, %1; the program reads the missing lines as "
                              "empty%2")
                   .arg(where.arg(count.nValue), outcome));
    }
    if (!m_bRejected && nRead == count.nValue)
        CountFollowingContent(count.nValue);

    if (m_nEncodingLines > kMaxEncodingReports)
        Report(0, QStringLiteral("%1 more lines hold bytes that are not valid code page 932")
                      .arg(m_nEncodingLines - kMaxEncodingReports));

    if (m_nProblems == 0) {
        m_out << m_name
              << QStringLiteral(": OK, %1 %2 (%3 plain form, %4 header form)\n")
                     .arg(count.nValue)
                     .arg(count.nValue == 1 ? QStringLiteral("question") : QStringLiteral("questions"))
                     .arg(m_nPlain)
                     .arg(m_nHeader);
        return 0;
    }
    m_out << m_name
          << QStringLiteral(": %1 %2, %3\n")
                 .arg(m_nProblems)
                 .arg(m_nProblems == 1 ? QStringLiteral("problem") : QStringLiteral("problems"))
                 .arg(m_bRejected ? QStringLiteral("the program rejects this file")
                                  : QStringLiteral("the program reads it, but not as written"));
    return 1;
}

void Checker::CheckRecord(int t, int nCount, const std::string& first) {
    const int line = m_lines.LineNumber();
    if (IsHeaderLine(first)) {
        ++m_nHeader;
        CheckHeader(t, line, first);
        return;
    }
    if (first.empty()) {
        ++m_nPlain;
        for (int i = 0; i < 10; ++i)
            ReadLine();
        return;
    }
    QString hint;
    std::string trimmed = first.substr(std::min(first.find_first_not_of(" \t"), first.size()));
    if (trimmed.compare(0, 4, "v1.1") == 0)
        hint = QStringLiteral(" (a header starts at the first byte of its line)");
    else if (trimmed.empty())
        hint = QStringLiteral(" (it holds only blanks; a plain-form record starts with an empty line)");
    else if (first[0] == 'v')
        hint = QStringLiteral(" (headers start with \"v1.1\")");
    else
        hint = QStringLiteral(" (is the count line right? the file has a record too few before this one, or "
                              "a record before it has more lines than its form takes)");
    Reject(line,
           QStringLiteral("record %1 of %2 starts with %3, neither an empty line nor a \"v1.1\" header%4")
               .arg(t + 1)
               .arg(nCount)
               .arg(Shown(first))
               .arg(hint));
}

void Checker::CheckHeader(int t, int line, const std::string& first) {
    const QuizHeader header = ReadHeader(first);
    const QString record = QStringLiteral("record %1: ").arg(t + 1);
    if (header.nNumbersRead < 6)
        Report(line, record + QStringLiteral("the header %1 gives %2 of its six numbers (v1.1:Q:C:E:A); the "
                                             "program takes 0 for each one missing")
                                  .arg(Shown(first))
                                  .arg(header.nNumbersRead));
    const int counts[3] = {header.nQuestionLines, header.nChoices, header.nExplanationLines};
    const char* names[3] = {"question lines", "choices", "explanation lines"};
    for (int i = 0; i < 3; ++i) {
        if (counts[i] > kMaxGroupLines) {
            Reject(line, record + QStringLiteral("the header gives %1 %2, more than %3")
                                      .arg(counts[i])
                                      .arg(QLatin1String(names[i]))
                                      .arg(kMaxGroupLines));
            return;
        }
        if (counts[i] < 0)
            Report(line, record + QStringLiteral("the header gives %1 %2; the program reads none")
                                      .arg(counts[i])
                                      .arg(QLatin1String(names[i])));
    }
    if (header.nChoices > 5)
        Report(line, record + QStringLiteral("the header gives %1 choices, but a question holds five; the "
                                             "program reads past choices 6 to %1 and drops them")
                                  .arg(header.nChoices));
    if (header.nAnswers != 1 && header.nAnswers != 2)
        Report(line,
               record + QStringLiteral("the header gives %1 correct answers; a question is answered with "
                                       "one or two")
                            .arg(header.nAnswers));
    else if (header.nAnswers > header.nChoices)
        Report(line, record + QStringLiteral("the header gives %1 correct answers but only %2 %3")
                                  .arg(header.nAnswers)
                                  .arg(header.nChoices)
                                  .arg(header.nChoices == 1 ? QStringLiteral("choice")
                                                            : QStringLiteral("choices")));

    for (int i = 0; i < header.nQuestionLines; ++i)
        ReadLine();
    std::string firstChoice;
    for (int k = 0; k < header.nChoices; ++k) {
        std::string choice = ReadLine();
        choice += ReadLine();
        if (k == 0)
            firstChoice = choice;
    }
    for (int i = 0; i < header.nExplanationLines; ++i)
        ReadLine();

    // A lone choice is completed to a true/false pair only when it is exactly "○" or "×".
    static const std::string maru = "\x81\x9B", batsu = "\x81\x7E";
    if (header.nChoices == 1 && header.nAnswers == 1 && firstChoice != maru && firstChoice != batsu)
        Report(line,
               record + QStringLiteral("its only choice %1 is neither exactly \"○\" nor exactly \"×\", so it "
                                       "is shown alone and is always right")
                            .arg(Shown(firstChoice)));
}

void Checker::CountFollowingContent(int nCount) {
    if (m_lines.AtEnd())
        return;
    // Trailing empty lines are harmless; anything else after the last record is never read.
    const int start = m_lines.LineNumber() + 1;
    int nonEmpty = 0;
    while (!m_lines.AtEnd())
        if (!m_lines.ReadLine().empty())
            ++nonEmpty;
    if (nonEmpty)
        Report(start,
               QStringLiteral("%1 non-empty lines follow the last of the %2 records the count line gives; "
                              "the program never reads them (is the count line right?)")
                   .arg(nonEmpty)
                   .arg(nCount));
}

} // namespace

int CheckQuizBytes(const std::string& bytes, const QString& name, QTextStream& out) {
    Checker checker(bytes, name, out);
    return checker.Run();
}

int CheckQuizFile(const QString& path, QTextStream& out) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        out << path << QStringLiteral(": cannot be read: ")
            << (QFileInfo(path).isDir() ? QStringLiteral("it is a folder") : file.errorString()) << '\n';
        return 2;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        out << path << QStringLiteral(": cannot be read: ") << file.errorString() << '\n';
        return 2;
    }
    return CheckQuizBytes(data.toStdString(), path, out);
}
