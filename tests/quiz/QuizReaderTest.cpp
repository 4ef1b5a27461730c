#include "support/ModalHelper.h"
#include "platform/LineSource.h"
#include "quiz/CKEPIRODoc.h"

#include <QDialog>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Loads `text` through the reader, accepting the setup dialog with Enter as a learner would.
QStringList Load(CKEPIRODoc& doc, const std::string& text) {
    MessageBoxRecorder messages;
    bool dialogShown = false;
    WhenModal([&](QWidget* dialog) {
        dialogShown = true;
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    StringLineSource lines(text);
    doc.LoadQuestionSet(lines);
    EXPECT_TRUE(dialogShown) << "the setup dialog shows for every load";
    return messages.texts;
}

const std::string kMaru = "\x81\x9B", kBatsu = "\x81\x7E";
const QString kNotQuiz = QStringLiteral("kwzファイルじゃありません");

// The three records of a small quiz: plain form, two answers, and a true/false question.
const std::string kExample = "3\r\n"
                             "\r\n"
                             "Q1\r\n\r\n\r\n\r\n"
                             "Tokyo\r\nOsaka\r\nKyoto\r\nNagoya\r\n"
                             "E1\r\n\r\n"
                             "v1.1:1:3:2:2\r\n"
                             "Q2\r\n"
                             "2\r\n\r\n4\r\n\r\n7\r\n\r\n"
                             "E2a\r\nE2b\r\n"
                             "v1.1:1:1:1:1\r\n"
                             "Q3\r\n" +
                             kMaru + "\r\n\r\n" + "E3\r\n";

TEST(QuizReader, ReadsBothFormsAndCompletesTrueFalse) {
    CKEPIRODoc doc;
    EXPECT_TRUE(Load(doc, kExample).isEmpty());
    ASSERT_EQ(doc.m_bLoaded, 1);
    EXPECT_EQ(doc.m_bFinished, 0);
    ASSERT_EQ(doc.m_nCount, 3);
    struct Expected {
        std::string text, choices[5], explanation;
        int answers;
    } expected[] = {
        {"Q1\n\n\n\n", {"Tokyo", "Osaka", "Kyoto", "Nagoya", ""}, "E1\n", 1},
        {"Q2\n", {"2", "4", "7", "", ""}, "E2a\nE2b\n", 2},
        {"Q3\n", {kMaru, kBatsu, "", "", ""}, "E3\n", 1},
    };
    for (int t = 0; t < 3; ++t) {
        const QuizQuestion& q = doc.m_pQuestions[t];
        EXPECT_EQ(q.m_strText, expected[t].text) << t;
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(q.m_strChoice[k], expected[t].choices[k]) << t << "/" << k;
        EXPECT_EQ(q.m_strExplanation, expected[t].explanation) << t;
        EXPECT_EQ(q.m_nAnswers, expected[t].answers) << t;
        EXPECT_EQ(q.m_nNumber, t);
    }
    EXPECT_EQ(doc.m_pStats.size(), 3u);
    EXPECT_EQ(doc.m_pOrder.size(), 50u) << "random mode sizes the drill arrays by the drill";
    EXPECT_EQ(doc.m_pChoiceOrder.size(), 250u);
    EXPECT_NE(doc.m_tStart, 0);
}

struct RecordCase {
    const char* name;
    std::string record; // one record after a count line of 1
    std::string choices[2];
    int answers;
};

TEST(QuizReader, ReadsSingleRecords) {
    const std::string pad(89, '0');
    const RecordCase cases[] = {
        {"mark_with_blank_stays_alone", "v1.1:0:1:0:1\r\n" + kMaru + "\r\n \r\n", {kMaru + " ", ""}, 1},
        {"batsu_gets_maru", "v1.1:0:1:0:1\r\n" + kBatsu + "\r\n\r\n", {kBatsu, kMaru}, 1},
        {"both_marks_stay",
         "v1.1:0:2:0:1\r\n" + kBatsu + "\r\n\r\n" + kMaru + "\r\n\r\n",
         {kBatsu, kMaru},
         1},
        {"plain_form_mark_is_not_completed",
         "\r\nq\r\n\r\n\r\n\r\n" + kMaru + "\r\n\r\n\r\n\r\ne\r\n\r\n",
         {kMaru, ""},
         1},
        {"version_1_10_is_a_header", "v1.10:0:1:0:1\r\nx\r\ny\r\n", {"xy", ""}, 1},
        {"header_read_from_first_100_bytes", "v1.1:0:1:0:" + pad + "1\r\nx\r\n\r\n", {"x", ""}, 0},
        {"missing_numbers_read_as_zero", "v1.1:0:1\r\nx\r\n\r\n", {"x", ""}, 0},
        {"surplus_choices_dropped",
         "v1.1:0:6:0:1\r\na\r\n\r\nb\r\n\r\nc\r\n\r\nd\r\n\r\ne\r\n\r\nf\r\n\r\n",
         {"a", "b"},
         1},
    };
    for (const RecordCase& c : cases) {
        CKEPIRODoc doc;
        EXPECT_TRUE(Load(doc, "1\r\n" + c.record).isEmpty()) << c.name;
        ASSERT_EQ(doc.m_bLoaded, 1) << c.name;
        EXPECT_EQ(doc.m_pQuestions[0].m_strChoice[0], c.choices[0]) << c.name;
        EXPECT_EQ(doc.m_pQuestions[0].m_strChoice[1], c.choices[1]) << c.name;
        EXPECT_EQ(doc.m_pQuestions[0].m_nAnswers, c.answers) << c.name;
    }
}

TEST(QuizReader, CountLineAndFileLength) {
    CKEPIRODoc doc;
    Load(doc, "3abc\r\n" + kExample.substr(3));
    EXPECT_EQ(doc.m_nCount, 3);
    EXPECT_EQ(doc.m_bLoaded, 1);

    // Two records present, five promised: the rest read as empty plain-form records.
    Load(doc, "5\r\n" + kExample.substr(3, kExample.find("v1.1:1:1") - 3));
    ASSERT_EQ(doc.m_bLoaded, 1);
    for (int t = 2; t < 5; ++t) {
        EXPECT_EQ(doc.m_pQuestions[t].m_strText, "\n\n\n\n");
        EXPECT_EQ(doc.m_pQuestions[t].m_strExplanation, "\n");
        EXPECT_EQ(doc.m_pQuestions[t].m_nAnswers, 1);
    }

    Load(doc, "2\r\n" + kExample.substr(3));
    EXPECT_EQ(doc.m_nCount, 2);
    EXPECT_EQ(doc.m_pQuestions.size(), 2u);
}

TEST(QuizReader, RejectsWhatIsNoQuizAndForgetsTheSettings) {
    const std::string rejected[] = {
        "abc\r\n",
        "0\r\n",
        "-4\r\n",
        "1\r\nv1.0:1:2:0:1\r\n",
        "1\r\n v1.1:1:2:0:1\r\n",
        "2\r\n" + kExample.substr(3, kExample.find("v1.1:1:3") - 3) + "garbage\r\n",
        "999999999\r\n",
        "1\r\nv1.1:2000000000:1:0:1\r\n",
    };
    for (const std::string& text : rejected) {
        CKEPIRODoc doc;
        Load(doc, kExample);
        doc.m_nMode = 1;
        doc.m_nDrillCount = 7;
        EXPECT_EQ(Load(doc, text), QStringList{kNotQuiz}) << text;
        EXPECT_EQ(doc.m_bLoaded, 0);
        EXPECT_EQ(doc.m_bFinished, 1);
        EXPECT_EQ(doc.m_nMode, 0);
        EXPECT_EQ(doc.m_nDrillCount, 50);
        EXPECT_TRUE(doc.m_pQuestions.empty() && doc.m_pStats.empty() && doc.m_pOrder.empty());
    }
}

TEST(QuizReader, StoringWritesNothingAndANewDocumentKeepsTheSet) {
    CKEPIRODoc doc;
    EXPECT_EQ(doc.m_bFinished, 1);
    EXPECT_EQ(doc.m_nDrillCount, 50);
    Load(doc, kExample);
    CArchive storing;
    storing.m_bStoring = true;
    doc.Serialize(storing);
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("無題"));
    EXPECT_EQ(doc.m_bLoaded, 1);
    EXPECT_EQ(doc.m_nCount, 3);
}

} // namespace
