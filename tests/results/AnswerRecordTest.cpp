#include "support/ModalHelper.h"
#include "quiz/CKEPIRODoc.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kCreate = QStringLiteral("正解率を記録するファイルを作成します");
const QString kCannotCreate = QStringLiteral("ファイルを作れませんでした");
const QString kCannotSave = QStringLiteral("正解率ファイルに保存できませんでした");

class AnswerRecord : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CKEPIRODoc doc;

    QString Path(const QString& name) const { return dir.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    // A quiz of `count` questions opened from `quizName` in the test folder.
    QStringList LoadFor(const QString& quizName, int count) {
        doc.SetPathName(Path(quizName));
        doc.m_nCount = count;
        MessageBoxRecorder messages;
        doc.LoadAnswerRecord();
        return messages.texts;
    }
    std::vector<std::array<int, 3>> Stats() const {
        std::vector<std::array<int, 3>> out;
        for (const AnswerStat& s : doc.m_pStats)
            out.push_back({s.m_nCorrect, s.m_nAsked, s.m_nIndex});
        return out;
    }
};

TEST_F(AnswerRecord, CreatesAZeroRecordBesideANewQuiz) {
    EXPECT_EQ(LoadFor("Kanji.kwz", 12), QStringList{kCreate});
    QByteArray expected = "'hkd12\r\n";
    for (int i = 0; i < 12; ++i)
        expected += "0/0\r\n";
    EXPECT_EQ(Read("kanji.hkd"), expected);
    EXPECT_EQ(doc.m_strRecordFile, QFile::encodeName(Path("kanji.hkd")).toStdString());
    EXPECT_EQ(Stats()[11], (std::array<int, 3>{0, 0, 11}));
}

TEST_F(AnswerRecord, LoadsStoredCountsForAQuizThatGrewOrShrank) {
    Write("q.hkd", "'hkd3\r\n2/4\r\n0/1\r\n5/5\r\n");
    EXPECT_TRUE(LoadFor("q.kwz", 5).isEmpty());
    EXPECT_EQ(Stats(), (std::vector<std::array<int, 3>>{{2, 4, 0}, {0, 1, 1}, {5, 5, 2}, {0, 0, 3}, {0, 0, 4}}));
    doc.m_pStats[4].m_nAsked = 1;
    MessageBoxRecorder messages;
    doc.SaveAnswerRecord();
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(Read("q.hkd"), "'hkd5\r\n2/4\r\n0/1\r\n5/5\r\n0/0\r\n0/1\r\n");

    Write("q.hkd", "'hkd3 2/4 0/1\t5/5");
    EXPECT_TRUE(LoadFor("q.kwz", 2).isEmpty()) << "items split by blanks read the same";
    EXPECT_EQ(Stats(), (std::vector<std::array<int, 3>>{{2, 4, 0}, {0, 1, 1}}));
    doc.SaveAnswerRecord();
    EXPECT_EQ(Read("q.hkd"), "'hkd2\r\n2/4\r\n0/1\r\n");
}

TEST_F(AnswerRecord, OddContentGivesZeroCountsAndNeverOverruns) {
    struct {
        QByteArray content;
        bool recreated;
    } cases[] = {
        {"'hkd0\r\n", false},
        {"'hkd\r\n3/4\r\n", false},
        {"'hkd2\r\nx/4\r\n" + QByteArray(5000, '7') + "/1\r\n", false},
        {"'hkd2\r\n3/\r\n-1/2\r\n", false},
        {"'HKD2\r\n1/1\r\n1/1\r\n", true},
        {"2\r\n\r\nquestion\r\n", true},
        {"", true},
    };
    for (const auto& c : cases) {
        Write("odd.hkd", c.content);
        QStringList messages = LoadFor("odd.kwz", 2);
        EXPECT_EQ(messages, c.recreated ? QStringList{kCreate} : QStringList{}) << c.content.left(20).constData();
        EXPECT_EQ(Stats(), (std::vector<std::array<int, 3>>{{0, 0, 0}, {0, 0, 1}})) << c.content.left(20).constData();
        if (c.recreated) {
            EXPECT_EQ(Read("odd.hkd"), "'hkd2\r\n0/0\r\n0/0\r\n");
        }
    }
}

TEST_F(AnswerRecord, NamesTheRecordBesideTheQuizAndNeverAfterIt) {
    const std::pair<const char*, const char*> names[] = {
        {"Test.KWZ", "test.hkd"},
        {"a.kwz.kwz", "a.hkd.hkd"},
        {"quiz.txt", "quiz.txt.hkd"},
        {"Kanji", "kanji.hkd"},
    };
    for (const auto& [quiz, record] : names) {
        LoadFor(quiz, 1);
        EXPECT_EQ(doc.m_strRecordFile, QFile::encodeName(Path(record)).toStdString()) << quiz;
    }
    // After a new-document command the record stays the loaded quiz's own.
    doc.OnNewDocument();
    LoadFor("ignored", 1);
    doc.OnNewDocument();
    doc.LoadAnswerRecord();
    EXPECT_EQ(doc.m_strRecordFile, QFile::encodeName(Path("ignored.hkd")).toStdString());
}

TEST_F(AnswerRecord, ReportsFilesItCannotWriteAndKeepsTheOldOne) {
    // A folder that does not exist: nothing can be created there, the counters start at zero.
    doc.SetPathName(Path("missing/q.kwz"));
    doc.m_nCount = 2;
    {
        MessageBoxRecorder messages;
        doc.LoadAnswerRecord();
        EXPECT_EQ(messages.texts, (QStringList{kCreate, kCannotCreate}));
    }
    EXPECT_EQ(Stats(), (std::vector<std::array<int, 3>>{{0, 0, 0}, {0, 0, 1}}));

    // A record whose place is taken by a folder cannot be replaced: the save says so.
    Write("q.hkd", "'hkd1\r\n1/2\r\n");
    LoadFor("q.kwz", 1);
    ASSERT_TRUE(QFile::remove(Path("q.hkd")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("q.hkd"));
    MessageBoxRecorder messages;
    doc.SaveAnswerRecord();
    EXPECT_EQ(messages.texts, QStringList{kCannotSave});
    EXPECT_EQ(Stats()[0], (std::array<int, 3>{1, 2, 0})) << "the counters stay in memory";
}

} // namespace
