#include "results/PrintLayout.h"

#include "platform/Texts.h"
#include "quiz/QuizQuestion.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

std::string Sjis(const char* utf8) {
    return ToCp932(QString::fromUtf8(utf8));
}

QuizQuestion Question(const char* text, const char* answer1, const char* answer2, int answers,
                      const char* explanation) {
    QuizQuestion q;
    q.m_strText = Sjis(text);
    q.m_strChoice[0] = Sjis(answer1);
    q.m_strChoice[1] = Sjis(answer2);
    q.m_strChoice[2] = Sjis("はずれ");
    q.m_nAnswers = answers;
    q.m_strExplanation = Sjis(explanation);
    return q;
}

QStringList Decoded(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines)
        out << FromCp932(line);
    return out;
}

struct PageCase {
    const char* name;
    QuizQuestion question;
    QStringList expected;
};

TEST(PrintLayout, AnswerPageLines) {
    const PageCase cases[] = {
        {"two-line question, three-line explanation",
         Question("問い一行目\n問い二行目", "正しい答え", "", 1, "説明1\n説明2\n説明3"),
         {"問い一行目", "問い二行目", "正解１", "正しい答え", "", "解説", "説明1", "説明2", "説明3"}},
        {"two correct answers",
         Question("偶数は？", "2", "4", 2, "割り切れる"),
         {"偶数は？", "正解１", "2", "", "正解２", "4", "", "解説", "割り切れる"}},
        {"second choice not printed for one answer",
         Question("首都は？", "東京", "大阪", 1, "東京です"),
         {"首都は？", "正解１", "東京", "", "解説", "東京です"}},
        {"texts ending in a line break print one more empty line",
         Question("問い\n", "答え", "", 1, "説明\n"),
         {"問い", "", "正解１", "答え", "", "解説", "説明", ""}},
        {"CR LF counts as one break, empty lines kept",
         Question("上\r\n\r\n下", "答え", "", 1, ""),
         {"上", "", "下", "正解１", "答え", "", "解説", ""}},
    };
    for (const PageCase& c : cases)
        EXPECT_EQ(Decoded(AnswerPageLines(c.question)), c.expected) << c.name;
}

TEST(PrintLayout, SplitKeepsDoubleByteTextWhole) {
    // "表" and "ソ" carry the backslash byte as their second byte.
    std::string text = Sjis("表ソ\n能");
    EXPECT_EQ(SplitPrintLines(text), (std::vector<std::string>{Sjis("表ソ"), Sjis("能")}));
}

// Words of a PDF page with the top of their box, read back through pdftotext.
std::vector<std::pair<double, QString>> PdfWords(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    process.waitForFinished(60000);
    QString html = QString::fromUtf8(process.readAllStandardOutput());
    std::vector<std::pair<double, QString>> words;
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"[^\"]*\" yMin=\"([^\"]*)\"[^>]*>([^<]*)</word>"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        auto match = it.next();
        words.emplace_back(match.captured(1).toDouble(), match.captured(2));
    }
    return words;
}

TEST(PrintLayout, PrintsOnePdfPageWithTheLinesOnTheirPitch) {
    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    QuizQuestion q = Question("問い一行目\n問い二行目", "正しい答え", "次の答え", 2, "説明1\n説明2\n説明3");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setFullPage(true);
        PrintAnswerPage(printer, q);
    }
    ASSERT_TRUE(QFile::exists(pdf));

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(60000);
    EXPECT_TRUE(
        QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+1\\n")));

    // Each printed line is one word here; map every word to its top edge.
    std::map<QString, double> top;
    for (const auto& [y, text] : PdfWords(pdf))
        top.emplace(text, y);
    const QStringList lines = {"問い一行目", "問い二行目", "正解１", "正しい答え", "",      "正解２",
                               "次の答え",   "",           "解説",   "説明1",      "説明2", "説明3"};
    ASSERT_TRUE(top.count(lines[0]) && top.count(lines[1])) << "page text not read back";
    double first = top[lines[0]];
    double pitch = top[lines[1]] - first;
    ASSERT_GT(pitch, 0);
    // With the whole page printable, the first line sits one pitch below the top edge.
    EXPECT_NEAR(first, pitch, 1.0);
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        ASSERT_TRUE(top.count(lines[i])) << lines[i].toStdString();
        EXPECT_NEAR(top[lines[i]] - first, i * pitch, 1.0) << lines[i].toStdString();
    }
}

} // namespace
