#include "drill/CKEPIROView.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"
#include "quiz/CModeSelectDlg.h"
#include "results/CResultButtonsDlg.h"
#include "support/ModalHelper.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// A quiz file of one-answer questions in the header form: "<stem>k" with the choices "正k",
// "誤k" and "偽k", the first correct.
QString WriteQuiz(const QString& path, const QString& stem, int count) {
    std::string bytes = std::to_string(count) + "\r\n";
    for (int k = 1; k <= count; ++k) {
        bytes += "v1.1:1:3:1:1\r\n" + ToCp932(stem + QString::number(k)) + "\r\n";
        for (const QString& choice : {QStringLiteral("正"), QStringLiteral("誤"), QStringLiteral("偽")})
            bytes += ToCp932(choice + QString::number(k)) + "\r\n\r\n";
        bytes += "C\r\n";
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return QFileInfo(path).absoluteFilePath();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a results dialog showed when it opened.
struct Results {
    QString dialogClass;
    QStringList questionButtons;
    QString timeScore;
    bool showAnswerEnabled = false;
};

// Waits for the results dialog, notes what it shows and ends it with the button named by its
// command identifier ("1" review, "2" another quiz, "3" quit). `then` runs first, to wait for
// whatever the choice opens next.
void WhenResults(Results& results, const char* button, std::function<void()> then = {}) {
    WhenModal([&results, button, then](QWidget* dialog) {
        results.dialogClass = QString::fromLatin1(dialog->metaObject()->className());
        results.questionButtons.clear();
        if (qobject_cast<CResultButtonsDlg*>(dialog)) {
            for (int id = 1021; id <= 1070; ++id)
                if (auto* question = dialog->findChild<QPushButton*>(QString::number(id)))
                    results.questionButtons << question->text();
        }
        for (const char* name : {"1050", "1049"})
            if (auto* label = dialog->findChild<QLabel*>(QLatin1String(name)))
                results.timeScore = label->text();
        if (auto* show = dialog->findChild<QPushButton*>(QStringLiteral("1040")))
            results.showAnswerEnabled = show->isEnabled();
        if (then)
            then();
        dialog->findChild<QPushButton*>(QLatin1String(button))->click();
    });
}

// Fails the test for every modal window that opens while it lives, and closes it.
class NoModalExpected {
public:
    NoModalExpected() {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "unexpected modal window " << dialog->metaObject()->className();
                dialog->done(16);
            }
        });
        m_timer.start(5);
    }

private:
    QTimer m_timer;
};

class DrillProgression : public ::testing::Test {
protected:
    // Starts a drill of `positions` positions on a quiz of `count` questions in `mode`, as the
    // setup dialog would have left it, with the record file created beside the quiz.
    void StartDrill(int count, int positions, int mode) {
        quiz = WriteQuiz(folder.filePath(QStringLiteral("drill.kwz")), QStringLiteral("問"), count);
        QFile::remove(folder.filePath(QStringLiteral("drill.hkd")));
        doc.SetPathName(quiz);
        doc.m_nCount = count;
        doc.m_pQuestions.assign(count, QuizQuestion{});
        for (int k = 0; k < count; ++k) {
            QuizQuestion& q = doc.m_pQuestions[k];
            q.m_strText = ToCp932(QStringLiteral("問%1\n").arg(k + 1));
            q.m_strChoice[0] = ToCp932(QStringLiteral("正%1").arg(k + 1));
            q.m_strChoice[1] = ToCp932(QStringLiteral("誤%1").arg(k + 1));
            q.m_strChoice[2] = ToCp932(QStringLiteral("偽%1").arg(k + 1));
            q.m_nAnswers = 1;
            q.m_nNumber = k;
        }
        doc.m_nMode = mode;
        doc.m_nRangeFrom = 1;
        doc.m_nRangeTo = positions;
        doc.m_nDrillCount = positions;
        doc.m_bBeep = 0;
        ASSERT_TRUE(doc.AllocateDrillArrays());
        doc.m_bLoaded = 1;
        doc.m_bFinished = 0;
        view.m_pDocument = &doc;
        MessageBoxRecorder boxes;
        view.OnInitialUpdate();
        ASSERT_EQ(boxes.texts, QStringList{QStringLiteral("正解率を記録するファイルを作成します")});
        order.assign(doc.m_pOrder.begin(), doc.m_pOrder.begin() + positions);
    }

    // Answers the current position right or wrong through the screen's buttons.
    void Answer(bool right) {
        const int correct = doc.m_pAnswerPos[view.m_nCurrent] & 15;
        ChoiceButton(right ? correct : (correct + 1) % 3)->click();
        view.m_pAnswerButton->click();
    }

    QCheckBox* ChoiceButton(int k) const {
        QCheckBox* buttons[5] = {view.m_btnChoice1, view.m_btnChoice2, view.m_btnChoice3, view.m_btnChoice4,
                                 view.m_btnChoice5};
        return buttons[k];
    }

    std::vector<int> Asked() const {
        std::vector<int> asked;
        for (const AnswerStat& stat : doc.m_pStats)
            asked.push_back(stat.m_nAsked);
        return asked;
    }

    QString ScreenText() const { return view.m_pQuestionText->text(); }

    QTemporaryDir folder;
    QString quiz;
    CKEPIRODoc doc;
    CKEPIROView view;
    // The questions of the drill's positions as it started.
    std::vector<std::int32_t> order;
};

} // namespace

TEST_F(DrillProgression, ReviewAsksTheWrongPositionsAgainInTheirOldOrder) {
    const struct {
        int mode;
        const char* dialogClass;
    } modes[] = {{0, "CResultButtonsDlg"}, {1, "CResultPickDlg"}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.dialogClass);
        StartDrill(6, 6, m.mode);
        std::vector<int> asked = Asked();
        doc.m_tStart = 0;
        for (int j = 0; j < 5; ++j)
            Answer(j != 1 && j != 4);
        Results results;
        WhenResults(results, "1");
        const std::time_t ended = std::time(nullptr);
        Answer(true);

        EXPECT_EQ(results.dialogClass, QLatin1String(m.dialogClass));
        // Only the random mode's results have question buttons.
        const QStringList buttons = {QStringLiteral(" 1:○"), QStringLiteral(" 2:×"), QStringLiteral(" 3:○"),
                                     QStringLiteral(" 4:○"), QStringLiteral(" 5:×"), QStringLiteral(" 6:○")};
        EXPECT_EQ(results.questionButtons, m.mode == 0 ? buttons : QStringList());
        ASSERT_EQ(doc.m_nDrillCount, 2);
        EXPECT_EQ(std::vector<std::int32_t>(doc.m_pOrder.begin(), doc.m_pOrder.begin() + 2),
                  (std::vector<std::int32_t>{order[1], order[4]}));
        EXPECT_EQ(std::vector<std::int32_t>(doc.m_pPrevOrder.begin(), doc.m_pPrevOrder.begin() + 6), order);
        ++asked[order[1]];
        ++asked[order[4]];
        EXPECT_EQ(Asked(), asked);
        EXPECT_GE(doc.m_tStart, ended) << "the review's seconds count from the end of the results";

        EXPECT_EQ(view.m_nCurrent, 0);
        EXPECT_EQ(ScreenText(), QStringLiteral("第1問\n問%1\n").arg(order[1] + 1));
        const int correct = doc.m_pAnswerPos[0] & 15;
        EXPECT_EQ(view.m_pChoiceText[correct]->text(), QStringLiteral("正%1").arg(order[1] + 1));

        // The review is a drill like any other: it ends with the results of its own positions, and
        // its own wrong answer can be reviewed again.
        Answer(true);
        EXPECT_EQ(ScreenText(), QStringLiteral("第2問\n問%1\n").arg(order[4] + 1));
        WhenResults(results, "1");
        Answer(false);
        EXPECT_EQ(results.dialogClass, QLatin1String(m.dialogClass));
        EXPECT_EQ(results.questionButtons, m.mode == 0
                                               ? QStringList({QStringLiteral(" 1:○"), QStringLiteral(" 2:×")})
                                               : QStringList());
        ASSERT_EQ(doc.m_nDrillCount, 1);
        EXPECT_EQ(doc.m_pOrder[0], order[4]);
        EXPECT_EQ(ScreenText(), QStringLiteral("第1問\n問%1\n").arg(order[4] + 1));
    }
}

TEST_F(DrillProgression, ReviewWithoutWrongAnswerShowsTheClosingSummaryAndTheDrillStops) {
    StartDrill(3, 3, 0);
    Answer(true);
    Answer(true);
    const int correct = doc.m_pAnswerPos[2] & 15;
    ChoiceButton(correct)->click();
    QStringList choices;
    for (QLabel* text : view.m_pChoiceText)
        choices << text->text();
    Results results;
    WhenResults(results, "1");
    view.m_pAnswerButton->click();

    const std::string stars = Repeat("\x81\x99", 40) + "\n";
    const std::string expected =
        stars + "\n\n" + Repeat("\x81\x40", 25) + ToCp932(QStringLiteral("間違いはありません")) + "\n" +
        "\n\n" + Repeat("\x81\x40", 26) + ToCp932(QStringLiteral("がんばりました")) + "\n" + "\n\n\n" + stars;
    EXPECT_EQ(view.m_strQuestion, expected);
    EXPECT_EQ(ScreenText(), FromCp932(expected));
    EXPECT_EQ(doc.m_bFinished, 1);
    QStringList shown;
    for (QLabel* text : view.m_pChoiceText)
        shown << text->text();
    EXPECT_EQ(shown, choices) << "the last question's choices stay";
    EXPECT_TRUE(ChoiceButton(correct)->isChecked());

    const std::vector<std::int32_t> recorded = doc.m_pCorrect;
    const std::vector<int> asked = Asked();
    NoModalExpected none;
    view.m_pAnswerButton->click();
    view.m_pDontKnowButton->click();
    view.m_pStopButton->click();
    EXPECT_EQ(view.m_nCurrent, 3);
    EXPECT_EQ(doc.m_nDrillCount, 3);
    EXPECT_EQ(doc.m_pCorrect, recorded);
    EXPECT_EQ(Asked(), asked);
    EXPECT_EQ(ScreenText(), FromCp932(expected));
}

TEST_F(DrillProgression, StopBeforeTheFirstAnswerEndsADrillOfNoPositions) {
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        StartDrill(4, 4, mode);
        doc.m_tStart = std::time(nullptr);
        Results results;
        WhenResults(results, "1");
        view.m_pStopButton->click();
        EXPECT_EQ(doc.m_nDrillCount, 0);
        EXPECT_TRUE(results.questionButtons.isEmpty());
        EXPECT_TRUE(results.timeScore.endsWith(QStringLiteral(":  0点"))) << results.timeScore.toStdString();
        if (mode == 1) {
            EXPECT_FALSE(results.showAnswerEnabled);
        }
        EXPECT_EQ(doc.m_bFinished, 1);
        EXPECT_EQ(view.m_strQuestion, CKEPIROView::ClosingSummary());
    }
}

TEST_F(DrillProgression, StopAfterThreeOfTenKeepsTheAskedCountsOfTheRest) {
    StartDrill(10, 10, 0);
    ASSERT_EQ(Asked(), std::vector<int>(10, 1));
    Answer(true);
    Answer(false);
    view.m_pDontKnowButton->click();
    EXPECT_EQ(ScreenText().section(u'\n', 0, 0), QStringLiteral("第4問"));
    Results results;
    WhenResults(results, "1");
    view.m_pStopButton->click();

    EXPECT_EQ(results.questionButtons,
              (QStringList{QStringLiteral(" 1:○"), QStringLiteral(" 2:×"), QStringLiteral(" 3:×")}));
    // The record written by the results: every question asked once, the first position right.
    QByteArray expected = "'hkd10\r\n";
    for (int q = 0; q < 10; ++q)
        expected += (q == order[0] ? "1/1" : "0/1") + QByteArray("\r\n");
    EXPECT_EQ(ReadFile(folder.filePath(QStringLiteral("drill.hkd"))), expected);

    ASSERT_EQ(doc.m_nDrillCount, 2);
    EXPECT_EQ(doc.m_pOrder[0], order[1]);
    EXPECT_EQ(doc.m_pOrder[1], order[2]);
    std::vector<int> asked(10, 1);
    ++asked[order[1]];
    ++asked[order[2]];
    EXPECT_EQ(Asked(), asked);
}

TEST_F(DrillProgression, AnotherQuizStartsWithItsOwnSetupAndRecord) {
    StartDrill(2, 2, 0);
    QDir(folder.path()).mkdir(QStringLiteral("other"));
    const QString other =
        WriteQuiz(folder.filePath(QStringLiteral("other/second.kwz")), QStringLiteral("別の問"), 3);
    Answer(false);

    Results results;
    QStringList steps;
    MessageBoxRecorder boxes;
    WhenResults(results, "2", [&] {
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
            steps << QStringLiteral("file");
            EXPECT_EQ(dialog->directory().absolutePath(), QStringLiteral("/"));
            EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("KEPIROファイル(*.kwz)")});
            EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("kwz"));
            WhenModal([&](QWidget* setup) {
                steps << QStringLiteral("setup");
                EXPECT_NE(dynamic_cast<CModeSelectDlg*>(setup), nullptr);
                QTest::keyClick(setup, Qt::Key_Return);
            });
            dialog->selectFile(other);
            static_cast<QDialog*>(dialog)->accept();
        });
    });
    Answer(false);

    EXPECT_EQ(steps, (QStringList{QStringLiteral("file"), QStringLiteral("setup")}));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("正解率を記録するファイルを作成します")});
    EXPECT_EQ(doc.GetPathName(), other);
    EXPECT_EQ(doc.m_nCount, 3);
    const QString otherRecord = folder.filePath(QStringLiteral("other/second.hkd"));
    EXPECT_EQ(QFile::decodeName(doc.m_strRecordFile.c_str()), otherRecord);
    EXPECT_TRUE(QFile::exists(otherRecord));
    EXPECT_EQ(ReadFile(folder.filePath(QStringLiteral("drill.hkd"))), "'hkd2\r\n0/1\r\n0/1\r\n")
        << "the first quiz's record holds what its results wrote";
    EXPECT_EQ(view.m_nCurrent, 0);
    EXPECT_EQ(doc.m_bFinished, 0);
    EXPECT_TRUE(ScreenText().startsWith(QStringLiteral("第1問\n別の問"))) << ScreenText().toStdString();
}

TEST_F(DrillProgression, CancelledFileChoiceRunsTheSameQuizAgainOnTheWrittenRecord) {
    StartDrill(3, 3, 0);
    Answer(true);
    Answer(false);
    Results results;
    QStringList steps;
    WhenResults(results, "2", [&] {
        WhenModal([&](QWidget* modal) {
            ASSERT_NE(qobject_cast<QFileDialog*>(modal), nullptr) << modal->metaObject()->className();
            WhenModal([&](QWidget* box) {
                auto* message = qobject_cast<QMessageBox*>(box);
                ASSERT_NE(message, nullptr) << box->metaObject()->className();
                steps << message->text();
                // The drill that follows reads the record again: this one stands for another run's.
                QFile record(folder.filePath(QStringLiteral("drill.hkd")));
                ASSERT_TRUE(record.open(QIODevice::WriteOnly));
                record.write("'hkd3\r\n5/9\r\n5/9\r\n5/9\r\n");
                record.close();
                WhenModal([&](QWidget* setup) {
                    steps << QStringLiteral("setup");
                    EXPECT_NE(dynamic_cast<CModeSelectDlg*>(setup), nullptr);
                    QTest::keyClick(setup, Qt::Key_Return);
                });
                message->accept();
            });
            static_cast<QDialog*>(modal)->reject();
        });
    });
    Answer(false);

    EXPECT_EQ(steps,
              (QStringList{QStringLiteral("問題を変えないで、実行します。"), QStringLiteral("setup")}));
    EXPECT_EQ(doc.GetPathName(), quiz);
    EXPECT_EQ(doc.m_bLoaded, 1);
    EXPECT_EQ(doc.m_bFinished, 0);
    EXPECT_EQ(view.m_nCurrent, 0);
    EXPECT_EQ(ScreenText().section(u'\n', 0, 0), QStringLiteral("第1問"));
    ASSERT_GT(doc.m_nDrillCount, 0);
    EXPECT_EQ(doc.m_pCorrect.size(), static_cast<std::size_t>(doc.m_nDrillCount));
    int asked = 0;
    for (const AnswerStat& stat : doc.m_pStats) {
        EXPECT_EQ(stat.m_nCorrect, 5);
        asked += stat.m_nAsked;
    }
    EXPECT_EQ(asked, 27 + doc.m_nDrillCount);
}

TEST_F(DrillProgression, QuizThatFailsToOpenLeavesTheEndedDrillUntilStopped) {
    StartDrill(2, 2, 0);
    Answer(true);
    const QString missing = folder.filePath(QStringLiteral("missing.kwz"));
    Results results;
    MessageBoxRecorder boxes;
    WhenResults(results, "2", [&] {
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
            dialog->selectFile(missing);
            static_cast<QDialog*>(dialog)->accept();
        });
    });
    Answer(false);

    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("missing.kwz"))) << boxes.texts[0].toStdString();
    EXPECT_EQ(doc.GetPathName(), quiz);
    EXPECT_EQ(view.m_nCurrent, 2);
    EXPECT_EQ(ScreenText().section(u'\n', 0, 0), QStringLiteral("第2問"));

    // Past the last position the answer and don't-know buttons have nothing to record into.
    const std::vector<std::int32_t> recorded = doc.m_pCorrect;
    const std::vector<int> asked = Asked();
    {
        NoModalExpected none;
        ChoiceButton(doc.m_pAnswerPos[1] & 15)->click();
        view.m_pAnswerButton->click();
        view.m_pDontKnowButton->click();
    }
    EXPECT_EQ(view.m_nCurrent, 2);
    EXPECT_EQ(doc.m_pCorrect, recorded);
    EXPECT_EQ(doc.m_pStats[order[1]].m_nCorrect, 0);
    EXPECT_EQ(Asked(), asked);

    // "中断" ends the drill again; "終了" quits: the player is released and the window closes.
    view.show();
    WhenResults(results, "3");
    view.m_pStopButton->click();
    EXPECT_EQ(results.questionButtons, (QStringList{QStringLiteral(" 1:○"), QStringLiteral(" 2:×")}));
    EXPECT_EQ(view.m_pPlayer, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !view.isVisible(); }));
}

TEST_F(DrillProgression, RejectedQuizLeavesNoQuizAndTheLastTexts) {
    StartDrill(1, 1, 0);
    const QString screen = ScreenText();
    const QString broken = folder.filePath(QStringLiteral("broken.kwz"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0\r\n");
    file.close();

    Results results;
    MessageBoxRecorder boxes;
    WhenResults(results, "2", [&] {
        WhenModal([&](QWidget* modal) {
            WhenModal([](QWidget* setup) { QTest::keyClick(setup, Qt::Key_Return); });
            auto* dialog = static_cast<QFileDialog*>(modal);
            dialog->selectFile(broken);
            static_cast<QDialog*>(dialog)->accept();
        });
    });
    Answer(true);

    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("kwzファイルじゃありません")});
    EXPECT_EQ(doc.m_bLoaded, 0);
    EXPECT_EQ(ScreenText(), screen);
    NoModalExpected none;
    view.m_pStopButton->click();
    view.m_pDontKnowButton->click();
    EXPECT_EQ(ScreenText(), screen);
}
