#include "drill/CKEPIROView.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"
#include "results/CAnswerExplainDlg.h"
#include "results/CResultButtonsDlg.h"
#include "results/CResultPickDlg.h"
#include "results/DrillResult.h"
#include "support/ModalHelper.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <gtest/gtest.h>

namespace {

std::string Sjis(const QString& text) {
    return ToCp932(text);
}

TEST(DrillResult, ScoreTruncatesTowardZero) {
    struct Row {
        int correct, count, score;
    };
    for (Row r : {Row{29, 50, 57},
                  {58, 100, 57},
                  {119, 120, 99},
                  {49, 50, 98},
                  {50, 50, 100},
                  {1, 3, 33},
                  {0, 7, 0},
                  {0, 0, 0}})
        EXPECT_EQ(ScorePercent(r.correct, r.count), r.score) << r.correct << " of " << r.count;
}

TEST(DrillResult, TimeScoreLineRightAlignsTheScore) {
    EXPECT_EQ(TimeScoreText(42, 57), QStringLiteral("42秒: 57点"));
    EXPECT_EQ(TimeScoreText(3, 100), QStringLiteral("3秒:100点"));
    EXPECT_EQ(TimeScoreText(0, 0), QStringLiteral("0秒:  0点"));
    EXPECT_EQ(TimeScoreText(123456, 5), QStringLiteral("123456秒:  5点"));
}

// A finished drill of `count` positions over a quiz of `count` questions, asked in reverse
// order, with the positions in `wrong` answered wrongly.
class FinishedDrill : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CKEPIRODoc doc;

    void SetUpDrill(int count, std::initializer_list<int> wrong = {}, int mode = 0) {
        doc.m_nCount = count;
        doc.m_nMode = mode;
        doc.m_nDrillCount = count;
        doc.m_pQuestions.assign(count, QuizQuestion{});
        doc.m_pStats.assign(count, AnswerStat{});
        doc.m_pOrder.assign(count, 0);
        doc.m_pCorrect.assign(count, 1);
        for (int i = 0; i < count; ++i) {
            QuizQuestion& q = doc.m_pQuestions[i];
            q.m_strText = Sjis(QStringLiteral("問題%1の本文\n").arg(i + 1));
            q.m_strChoice[0] = Sjis(QStringLiteral("答え%1").arg(i + 1));
            q.m_strChoice[1] = Sjis(QStringLiteral("別解%1").arg(i + 1));
            q.m_strExplanation = Sjis(QStringLiteral("解説%1の一行目\n二行目").arg(i + 1));
            q.m_nNumber = i;
            q.m_nAnswers = 1;
            doc.m_pStats[i] = {i % 3, i % 5 + 1, i};
            doc.m_pOrder[i] = count - 1 - i;
        }
        for (int k : wrong)
            doc.m_pCorrect[k] = 0;
        doc.m_strRecordFile = QFile::encodeName(RecordPath()).toStdString();
        doc.m_tStart = std::time(nullptr);
    }
    QString RecordPath() const { return dir.filePath(QStringLiteral("drill.hkd")); }
    QByteArray ExpectedRecord() const {
        QByteArray bytes = "'hkd" + QByteArray::number(doc.m_nCount) + "\r\n";
        for (const AnswerStat& s : doc.m_pStats)
            bytes += QByteArray::number(s.m_nCorrect) + "/" + QByteArray::number(s.m_nAsked) + "\r\n";
        return bytes;
    }
    QByteArray Record() const {
        QFile file(RecordPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
};

template <typename T> T* Control(QWidget* dialog, int id) {
    return dialog->findChild<T*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void Click(QWidget* dialog, int id) {
    QPushButton* button = Control<QPushButton>(dialog, id);
    ASSERT_TRUE(button) << id;
    button->click();
}

// Runs `dlg` and, once it is the active modal window (message boxes it opens first are left to
// a MessageBoxRecorder), runs `inspect` on it; returns the dialog's result.
int RunModal(QDialog& dlg, std::function<void(QWidget*)> inspect) {
    QTimer poll;
    QDeadlineTimer deadline(5000);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() == &dlg && dlg.isVisible()) {
            poll.stop();
            inspect(&dlg);
        } else if (deadline.hasExpired()) {
            poll.stop();
            ADD_FAILURE() << "the dialog did not show";
            dlg.done(-1);
        }
    });
    poll.start(5);
    return dlg.exec();
}

using ResultButtons = FinishedDrill;

TEST_F(ResultButtons, LaysOutOneButtonPerPositionWithItsMark) {
    struct Row {
        int count;
        std::vector<int> wrong;
    };
    for (const Row& row : {Row{3, {1}}, Row{11, {0, 10}}, Row{50, {29, 49}}}) {
        SCOPED_TRACE(row.count);
        SetUpDrill(row.count);
        for (int k : row.wrong)
            doc.m_pCorrect[k] = 0;
        CResultButtonsDlg dlg;
        RunModal(dlg, [&](QWidget* d) {
            int questionButtons = 0;
            for (int k = 0; k < 50; ++k) {
                QPushButton* b = Control<QPushButton>(d, 1021 + k);
                if (k >= row.count) {
                    EXPECT_EQ(b, nullptr) << k;
                    continue;
                }
                ASSERT_NE(b, nullptr) << k;
                ++questionButtons;
                EXPECT_EQ(b->geometry(), QRect(5 + 50 * (k % 10), 5 + 50 * (k / 10), 45, 45)) << k;
                EXPECT_TRUE(d->rect().contains(b->geometry())) << k;
                EXPECT_TRUE(b->isVisible()) << k;
                bool wrong = std::find(row.wrong.begin(), row.wrong.end(), k) != row.wrong.end();
                EXPECT_EQ(b->text(), QString::asprintf("%2d:", k + 1) + (wrong ? "×" : "○")) << k;
            }
            EXPECT_EQ(questionButtons, row.count);
            EXPECT_EQ(d->windowTitle(), QStringLiteral("見たい問題のボタンを押してください"));
            int score = ScorePercent(row.count - static_cast<int>(row.wrong.size()), row.count);
            EXPECT_TRUE(Control<QLabel>(d, 1050)->text().endsWith(QString::asprintf("秒:%3d点", score)));
            Click(d, 3);
        });
    }
    // The fixed rectangles of the first and last rows.
    EXPECT_EQ(CResultButtonsDlg::QuestionButtonRect(2), QRect(QPoint(105, 5), QPoint(149, 49)));
    EXPECT_EQ(CResultButtonsDlg::QuestionButtonRect(10), QRect(QPoint(5, 55), QPoint(49, 99)));
    EXPECT_EQ(CResultButtonsDlg::QuestionButtonRect(49), QRect(QPoint(455, 205), QPoint(499, 249)));
}

TEST_F(ResultButtons, ThreeButtonsCaptionedWithALeadingBlank) {
    SetUpDrill(3, {1});
    CResultButtonsDlg dlg;
    RunModal(dlg, [&](QWidget* d) {
        EXPECT_EQ(Control<QPushButton>(d, 1021)->text(), QStringLiteral(" 1:○"));
        EXPECT_EQ(Control<QPushButton>(d, 1022)->text(), QStringLiteral(" 2:×"));
        EXPECT_EQ(Control<QPushButton>(d, 1023)->text(), QStringLiteral(" 3:○"));
        EXPECT_TRUE(Control<QLabel>(d, 1050)->text().endsWith(QStringLiteral("秒: 66点")));
        Click(d, 3);
    });
}

TEST_F(FinishedDrill, EndingButtonsAndEscapeGiveTheirCodes) {
    struct Row {
        const char* how;
        int id; // 0: the Escape key
        int code;
    };
    const Row rows[] = {{"復習", 1, 1}, {"問題を開く", 2, 2}, {"終了", 3, 16}, {"Escape", 0, 2}};
    for (int mode : {0, 1}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.how) + (mode ? " picker" : " buttons"));
            SetUpDrill(4, {2}, mode);
            auto end = [&](QWidget* d) {
                if (row.id)
                    Click(d, row.id);
                else
                    QTest::keyClick(d, Qt::Key_Escape);
            };
            int code = 0;
            if (mode == 0) {
                CResultButtonsDlg dlg;
                code = RunModal(dlg, end);
            } else {
                CResultPickDlg dlg;
                code = RunModal(dlg, end);
            }
            EXPECT_EQ(code, row.code);
        }
    }
}

TEST_F(FinishedDrill, WritesTheRecordOncePerOpening) {
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        SetUpDrill(4, {1}, mode);
        QFile::remove(RecordPath());
        auto check = [&](QWidget* d) {
            EXPECT_EQ(Record(), ExpectedRecord());
            // Looking at a question afterwards writes nothing more.
            QFile::remove(RecordPath());
            WhenModal([](QWidget* explain) { Click(explain, 1); }, d);
            Click(d, mode == 0 ? 1021 : 1040);
            EXPECT_FALSE(QFile::exists(RecordPath()));
            Click(d, 3);
        };
        if (mode == 0) {
            CResultButtonsDlg dlg;
            RunModal(dlg, check);
        } else {
            CResultPickDlg dlg;
            RunModal(dlg, check);
        }
    }
}

TEST_F(FinishedDrill, UnwritableRecordIsReportedAndTheDialogStillOpens) {
    SetUpDrill(2);
    doc.m_strRecordFile = QFile::encodeName(dir.filePath(QStringLiteral("missing/drill.hkd"))).toStdString();
    MessageBoxRecorder messages;
    CResultButtonsDlg dlg;
    int code = RunModal(dlg, [&](QWidget* d) {
        EXPECT_TRUE(Control<QLabel>(d, 1050)->text().endsWith(QStringLiteral("秒:100点")));
        Click(d, 2);
    });
    EXPECT_EQ(code, 2);
    EXPECT_EQ(messages.texts, QStringList{QStringLiteral("正解率ファイルに保存できませんでした")});
}

TEST_F(FinishedDrill, DrillStoppedBeforeItsFirstAnswerScoresZero) {
    SetUpDrill(10);
    doc.m_nDrillCount = 0;
    {
        CResultButtonsDlg dlg;
        RunModal(dlg, [&](QWidget* d) {
            EXPECT_EQ(Control<QPushButton>(d, 1021), nullptr);
            EXPECT_TRUE(Control<QLabel>(d, 1050)->text().endsWith(QStringLiteral("秒:  0点")));
            Click(d, 1);
        });
    }
    {
        CResultPickDlg dlg;
        RunModal(dlg, [&](QWidget* d) {
            EXPECT_EQ(Control<QLabel>(d, 1041)->text(), QString());
            EXPECT_FALSE(Control<QPushButton>(d, 1040)->isEnabled());
            EXPECT_TRUE(Control<QLabel>(d, 1049)->text().endsWith(QStringLiteral("秒:  0点")));
            Click(d, 1);
        });
    }
    EXPECT_EQ(Record(), ExpectedRecord());
}

TEST_F(FinishedDrill, ElapsedSecondsCountFromTheDrillStart) {
    SetUpDrill(50, {7});
    doc.m_tStart = 1000;
    int score = -1;
    EXPECT_EQ(DrillTimeScore(doc, 1042, &score), QStringLiteral("42秒: 98点"));
    EXPECT_EQ(score, 98);
}

TEST_F(FinishedDrill, QuestionButtonOpensThatPositionsQuestion) {
    SetUpDrill(31, {29});
    CResultButtonsDlg dlg;
    RunModal(dlg, [&](QWidget* d) {
        QString timeLine = Control<QLabel>(d, 1050)->text();
        // Position 29 has command identifier 1050, like the time line; it opens question 2.
        WhenModal(
            [](QWidget* explain) {
                EXPECT_EQ(Control<QLabel>(explain, 1005)->text(), QStringLiteral("問題2の本文\n"));
                Click(explain, 1);
            },
            d);
        Click(d, 1050);
        EXPECT_EQ(Control<QLabel>(d, 1050)->text(), timeLine);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("見たい問題のボタンを押してください"));
        Click(d, 3);
    });
}

TEST_F(FinishedDrill, FanfareOnlyAfterAPerfectDrillWithTheSoundOn) {
    // The program folder holds no sounds, so every attempt to play one shows a message.
    QTemporaryDir noSounds;
    CKEPIROView view;
    view.m_strProgramDir = noSounds.path() + QLatin1Char('/');
    struct Row {
        const char* name;
        int beep;
        bool oneWrong;
        int messages;
    };
    const Row rows[] = {{"perfect, sound on", 1, false, 1},
                        {"perfect, sound off", 0, false, 0},
                        {"one wrong of fifty, sound on", 1, true, 0}};
    for (int mode : {0, 1}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (mode ? " picker" : " buttons"));
            SetUpDrill(50, {}, mode);
            if (row.oneWrong)
                doc.m_pCorrect[7] = 0;
            doc.m_bBeep = row.beep;
            MessageBoxRecorder messages;
            std::unique_ptr<QDialog> dlg;
            if (mode == 0)
                dlg = std::make_unique<CResultButtonsDlg>();
            else
                dlg = std::make_unique<CResultPickDlg>();
            RunModal(*dlg, [&](QWidget* d) { Click(d, 3); });
            EXPECT_EQ(messages.texts.size(), qsizetype(row.messages))
                << messages.texts.join(" / ").toStdString();
        }
    }
}

using ResultPick = FinishedDrill;

TEST_F(ResultPick, UpDownStepsThroughEveryPositionAndTheMarkFollows) {
    SetUpDrill(120, {0, 1, 119}, 1);
    CResultPickDlg dlg;
    int code = RunModal(dlg, [&](QWidget* d) {
        auto* number = Control<QLineEdit>(d, 1039);
        auto* mark = Control<QLabel>(d, 1041);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("見たい問題を選択してください"));
        EXPECT_EQ(number->text(), QStringLiteral("1"));
        EXPECT_EQ(mark->text(), QStringLiteral("不正解"));
        EXPECT_TRUE(Control<QLabel>(d, 1049)->text().endsWith(QStringLiteral("秒: 97点")));

        // Typing does nothing; the arrow keys step.
        number->setFocus();
        QTest::keyClicks(number, QStringLiteral("7"));
        EXPECT_EQ(number->text(), QStringLiteral("1"));
        QTest::keyClick(number, Qt::Key_Down);
        EXPECT_EQ(number->text(), QStringLiteral("1"));
        QTest::keyClick(number, Qt::Key_Up);
        EXPECT_EQ(number->text(), QStringLiteral("2"));
        EXPECT_EQ(mark->text(), QStringLiteral("不正解"));
        QTest::keyClick(number, Qt::Key_Up);
        EXPECT_EQ(mark->text(), QStringLiteral("正解"));
        for (int i = 0; i < 130; ++i)
            QTest::keyClick(number, Qt::Key_Up);
        EXPECT_EQ(number->text(), QStringLiteral("120"));
        EXPECT_EQ(mark->text(), QStringLiteral("不正解"));
        QTest::keyClick(number, Qt::Key_Down);
        EXPECT_EQ(number->text(), QStringLiteral("119"));
        EXPECT_EQ(mark->text(), QStringLiteral("正解"));
        // Enter in the number field means "復習".
        QTest::keyClick(number, Qt::Key_Return);
    });
    EXPECT_EQ(code, 1);
}

TEST_F(ResultPick, ShowsTheQuestionAskedAtThePickedPosition) {
    SetUpDrill(40, {}, 1);
    CResultPickDlg dlg;
    RunModal(dlg, [&](QWidget* d) {
        auto* number = Control<QLineEdit>(d, 1039);
        for (int i = 1; i < 37; ++i)
            QTest::keyClick(number, Qt::Key_Up);
        ASSERT_EQ(number->text(), QStringLiteral("37"));
        // The 37th position of this drill asks question 4 of the quiz.
        WhenModal(
            [](QWidget* explain) {
                EXPECT_EQ(Control<QLabel>(explain, 1005)->text(), QStringLiteral("問題4の本文\n"));
                Click(explain, 1);
            },
            d);
        Click(d, 1040);
        EXPECT_EQ(number->text(), QStringLiteral("37"));
        Click(d, 2);
    });
}

using AnswerExplain = FinishedDrill;

TEST_F(AnswerExplain, ShowsTheQuestionOfTheDrillPosition) {
    SetUpDrill(5);
    CAnswerExplainDlg dlg(1);
    int code = RunModal(dlg, [&](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("解答と解説"));
        EXPECT_EQ(Control<QLabel>(d, 1005)->text(), QStringLiteral("問題4の本文\n"));
        EXPECT_EQ(Control<QLabel>(d, 1036)->text(), QStringLiteral("答え4"));
        EXPECT_EQ(Control<QPlainTextEdit>(d, 1035)->toPlainText(), QStringLiteral("解説4の一行目\n二行目"));
        EXPECT_TRUE(Control<QPlainTextEdit>(d, 1035)->isReadOnly());
        Click(d, 1);
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(dlg.m_strExplainText, QStringLiteral("解説4の一行目\r\n二行目"));
}

TEST_F(AnswerExplain, ShowsBothCorrectAnswersOfATwoAnswerQuestion) {
    SetUpDrill(3);
    doc.m_pQuestions[2].m_nAnswers = 2;
    CAnswerExplainDlg dlg(0);
    RunModal(dlg, [&](QWidget* d) {
        QLabel* answer = Control<QLabel>(d, 1036);
        EXPECT_EQ(answer->text(), QStringLiteral("答え3\n別解3"));
        // Both lines fit in the field.
        EXPECT_GE(answer->contentsRect().height(), 2 * answer->fontMetrics().lineSpacing());
        for (QPushButton* b : d->findChildren<QPushButton*>())
            EXPECT_TRUE(d->rect().contains(b->geometry())) << b->text().toStdString();
        EXPECT_EQ(d->findChildren<QPushButton*>().size(), 2);
        Click(d, 1);
    });
}

TEST_F(AnswerExplain, EscapeAndPrintOpenThePrintDialogAndKeepTheDialogOpen) {
    SetUpDrill(2);
    CAnswerExplainDlg dlg(0);
    int printDialogs = 0;
    int code = RunModal(dlg, [&](QWidget* d) {
        auto cancelPrint = [&](QWidget* print) {
            EXPECT_NE(qobject_cast<QPrintDialog*>(print), nullptr);
            ++printDialogs;
            print->close();
        };
        WhenModal(cancelPrint, d);
        QTest::keyClick(d, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        WhenModal(cancelPrint, d);
        Click(d, 2);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(Control<QLabel>(d, 1005)->text(), QStringLiteral("問題2の本文\n"));
        Click(d, 1);
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(printDialogs, 2);
}

} // namespace
