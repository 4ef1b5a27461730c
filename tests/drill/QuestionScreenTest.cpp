#include "drill/CKEPIROView.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"
#include "sound/CWinDA.h"
#include "support/ModalHelper.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

QuizQuestion Question(const QString& text, std::initializer_list<QString> choices, int answers) {
    QuizQuestion question;
    question.m_strText = ToCp932(text);
    int slot = 0;
    for (const QString& choice : choices)
        question.m_strChoice[slot++] = ToCp932(choice);
    question.m_nAnswers = answers;
    return question;
}

// A drill of four positions in file order with fixed arrangements, so that the screen positions
// of the correct choices are known:
//   0: one correct choice, shown at screen position 3 (1-based)
//   1: two correct choices, shown at screen positions 5 and 2
//   2: no correct choice
//   3: three correct choices
//   4: two choices only (the last three texts empty)
class QuestionScreen : public ::testing::Test {
protected:
    void SetUp() override {
        doc.m_pQuestions = {
            Question(QStringLiteral("一つ選ぶ問題\n"),
                     {QStringLiteral("正"), QStringLiteral("誤1"), QStringLiteral("誤2"),
                      QStringLiteral("誤3"), QStringLiteral("誤4")},
                     1),
            Question(QStringLiteral("二つ選ぶ問題\n"),
                     {QStringLiteral("正1"), QStringLiteral("正2"), QStringLiteral("誤1"),
                      QStringLiteral("誤2"), QStringLiteral("誤3")},
                     2),
            Question(QStringLiteral("正解のない問題\n"),
                     {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 0),
            Question(QStringLiteral("三つ正解の問題\n"),
                     {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}, 3),
            Question(QStringLiteral("二択\n"), {QStringLiteral("はい"), QStringLiteral("いいえ")}, 1),
        };
        doc.m_nCount = 5;
        doc.m_pStats.assign(5, AnswerStat{});
        for (int i = 0; i < 5; ++i)
            doc.m_pStats[i].m_nIndex = i;
        doc.m_nMode = 1;
        doc.m_nRangeFrom = 1;
        doc.m_nRangeTo = 5;
        doc.m_nDrillCount = 5;
        ASSERT_TRUE(doc.AllocateDrillArrays());
        doc.m_pOrder = {0, 1, 2, 3, 4};
        const std::vector<std::int32_t> orders[5] = {
            {1, 2, 0, 3, 4}, {2, 1, 3, 4, 0}, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}};
        for (int j = 0; j < 5; ++j)
            std::copy(orders[j].begin(), orders[j].end(), doc.m_pChoiceOrder.begin() + 5 * j);
        doc.m_pAnswerPos = {0x4000 + 2, 0x4000 + 1 + (4 << 4), 0x4000, 0x4000 + (1 << 4) + (2 << 8), 0x4000};
        doc.m_pCorrect.assign(5, -1);
        doc.m_bLoaded = 1;
        doc.m_bFinished = 0;

        view.m_pDocument = &doc;
        view.resize(view.FormSize());
        view.show();
        Show(0);
    }

    void Show(int position) {
        view.m_nCurrent = position;
        view.ShowQuestion(position);
    }

    // Clicks choice `position` (1-based) on its check button or on its text.
    void Click(int position, bool onText) {
        QWidget* target = onText ? static_cast<QWidget*>(view.m_pChoiceText[position - 1]) : Button(position);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    }

    QCheckBox* Button(int position) const {
        QCheckBox* buttons[5] = {view.m_btnChoice1, view.m_btnChoice2, view.m_btnChoice3, view.m_btnChoice4,
                                 view.m_btnChoice5};
        return buttons[position - 1];
    }

    // The selected choices (1-based); fails when the buttons and the flags disagree.
    std::set<int> Selection() const {
        std::set<int> selected;
        for (int k = 1; k <= 5; ++k) {
            EXPECT_EQ(Button(k)->isChecked(), view.m_bSelected[k - 1] == 1) << "choice " << k;
            if (view.m_bSelected[k - 1] == 1)
                selected.insert(k);
        }
        return selected;
    }

    QString Heading() const { return view.m_pQuestionText->text().section(u'\n', 0, 0); }

    CKEPIRODoc doc;
    CKEPIROView view;
};

} // namespace

TEST_F(QuestionScreen, ShowsHeadingTextAndChoicesInScreenOrder) {
    EXPECT_EQ(view.m_pQuestionText->text(), QStringLiteral("第1問\n一つ選ぶ問題\n"));
    const QString expected[5] = {QStringLiteral("誤1"), QStringLiteral("誤2"), QStringLiteral("正"),
                                 QStringLiteral("誤3"), QStringLiteral("誤4")};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(view.m_pChoiceText[k]->text(), expected[k]);
    EXPECT_EQ(view.m_strQuestion, ToCp932(QStringLiteral("第1問\n一つ選ぶ問題\n")));

    Show(4);
    EXPECT_EQ(Heading(), QStringLiteral("第5問"));
    EXPECT_EQ(view.m_pChoiceText[1]->text(), QStringLiteral("いいえ"));
    EXPECT_EQ(view.m_pChoiceText[4]->text(), QString());
}

TEST_F(QuestionScreen, DefaultSelectionFollowsTheCorrectCount) {
    const struct {
        int position;
        std::set<int> selected;
    } cases[] = {{0, {1}}, {1, {1, 2}}, {2, {1}}, {3, {1}}};
    for (const auto& c : cases) {
        Click(5, false);
        Click(4, false);
        Show(c.position);
        EXPECT_EQ(Selection(), c.selected) << "position " << c.position;
        EXPECT_EQ(view.m_nNeeded, doc.m_pQuestions[c.position].m_nAnswers);
    }
}

TEST_F(QuestionScreen, ClicksOnButtonsAndTextsFollowTheCorrectCount) {
    const struct {
        const char* name;
        int position;
        std::vector<int> clicks;
        std::set<int> selected;
    } cases[] = {
        {"one answer: a click moves the selection", 0, {3}, {3}},
        {"one answer: clicking the selected choice keeps it", 0, {3, 3}, {3}},
        {"one answer: clicking the default choice keeps it", 0, {1}, {1}},
        {"two answers: a third click replaces the pair", 1, {4}, {4}},
        {"two answers: a second choice is added", 1, {4, 5}, {4, 5}},
        {"two answers: a full pair is replaced again", 1, {4, 5, 1}, {1}},
        {"no answer: every click leaves just the clicked choice", 2, {2, 4}, {4}},
        {"an empty choice text can be selected", 4, {5}, {5}},
    };
    for (bool onText : {false, true}) {
        for (const auto& c : cases) {
            Show(c.position);
            for (int click : c.clicks)
                Click(click, onText);
            EXPECT_EQ(Selection(), c.selected) << c.name << (onText ? " (texts)" : " (buttons)");
        }
    }
}

TEST_F(QuestionScreen, JudgesTheSelectionAndCountsCorrectAnswers) {
    const struct {
        const char* name;
        int position;
        std::vector<int> clicks;
        int correct;
    } cases[] = {
        {"one answer, default selection is wrong", 0, {}, 0},
        {"one answer, the correct choice", 0, {3}, 1},
        {"one answer, another choice", 0, {5}, 0},
        {"two answers, both selected", 1, {5, 2}, 1},
        {"two answers, only one of them selected", 1, {5}, 0},
        {"two answers, the defaults (one right, one wrong)", 1, {}, 0},
    };
    for (const auto& c : cases) {
        doc.m_pStats[c.position].m_nCorrect = 0;
        doc.m_pCorrect[c.position] = -1;
        Show(c.position);
        for (int click : c.clicks)
            Click(click, false);
        QTest::mouseClick(view.m_pAnswerButton, Qt::LeftButton);
        EXPECT_EQ(doc.m_pCorrect[c.position], c.correct) << c.name;
        EXPECT_EQ(doc.m_pStats[c.position].m_nCorrect, c.correct) << c.name;
        EXPECT_EQ(view.m_nCurrent, c.position + 1) << c.name;
        EXPECT_EQ(Heading(), QStringLiteral("第%1問").arg(c.position + 2)) << c.name;
    }
}

TEST_F(QuestionScreen, AnswerWithAnotherCorrectCountShowsTheQuestionAgain) {
    for (int position : {2, 3}) {
        Show(position);
        Click(3, false);
        QTest::mouseClick(view.m_pAnswerButton, Qt::LeftButton);
        EXPECT_EQ(view.m_nCurrent, position);
        EXPECT_EQ(doc.m_pCorrect[position], -1);
        EXPECT_EQ(doc.m_pStats[position].m_nCorrect, 0);
        EXPECT_EQ(Heading(), QStringLiteral("第%1問").arg(position + 1));
        EXPECT_EQ(Selection(), std::set<int>{1});
    }
}

TEST_F(QuestionScreen, AnswerDoesNothingWithoutARunningDrill) {
    doc.m_bLoaded = 0;
    Click(3, false);
    view.OnAnswer();
    EXPECT_EQ(view.m_nCurrent, 0);
    EXPECT_EQ(doc.m_pCorrect[0], -1);

    doc.m_bLoaded = 1;
    doc.m_bFinished = 1;
    view.OnAnswer();
    EXPECT_EQ(view.m_nCurrent, 0);
    EXPECT_EQ(doc.m_pStats[0].m_nCorrect, 0);
}

TEST_F(QuestionScreen, AnswerAndDontKnowPastTheLastPositionRecordNothing) {
    // The ended drill stays on screen when another quiz failed to open: the per-drill arrays have
    // no entry at the current position.
    doc.m_nDrillCount = 1;
    doc.m_pCorrect.assign(1, -1);
    doc.m_pAnswerPos.resize(1);
    Show(0);
    view.m_nCurrent = 1;
    Click(3, false);
    view.OnAnswer();
    view.OnDontKnow();
    EXPECT_EQ(view.m_nCurrent, 1);
    EXPECT_EQ(doc.m_pCorrect, std::vector<std::int32_t>{-1});
    EXPECT_EQ(doc.m_pStats[0].m_nCorrect, 0);
    EXPECT_EQ(Heading(), QStringLiteral("第1問"));
}

TEST_F(QuestionScreen, PlainAccessKeysSelectAndAnswer) {
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::keyClick(&view, Qt::Key_3);
    EXPECT_EQ(Selection(), std::set<int>{3});
    QTest::keyClick(&view, Qt::Key_0);
    EXPECT_EQ(doc.m_pCorrect[0], 1);
    EXPECT_EQ(Heading(), QStringLiteral("第2問"));
    QTest::keyClick(&view, Qt::Key_4);
    // With Alt the button's own access key clicks it, after the button's short press animation.
    QTest::keyClick(&view, Qt::Key_5, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([this] { return view.m_bSelected[4] == 1; }));
    EXPECT_EQ(Selection(), (std::set<int>{4, 5}));
}

TEST(QuestionScreenDrillStart, PreparesTheDrillAndShowsItsFirstQuestion) {
    QTemporaryDir folder;
    const QString quiz = folder.filePath(QStringLiteral("drill.kwz"));
    QFile file(quiz);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("3\r\n");
    file.close();

    CKEPIRODoc doc;
    CKEPIROView view;
    view.m_pDocument = &doc;
    view.OnInitialUpdate();
    EXPECT_EQ(view.m_pQuestionText->text(), QString()) << "nothing to show before a quiz is loaded";

    doc.SetPathName(quiz);
    doc.m_pQuestions = {Question(QStringLiteral("一\n"), {QStringLiteral("あ")}, 1),
                        Question(QStringLiteral("二\n"), {QStringLiteral("い")}, 1),
                        Question(QStringLiteral("三\n"), {QStringLiteral("う")}, 1)};
    doc.m_nCount = 3;
    doc.m_pStats.assign(3, AnswerStat{});
    doc.m_nMode = 0;
    doc.m_nDrillCount = 5;
    ASSERT_TRUE(doc.AllocateDrillArrays());
    doc.m_bLoaded = 1;
    doc.m_bFinished = 0;
    view.m_nCurrent = 3;
    {
        MessageBoxRecorder boxes;
        view.OnInitialUpdate();
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("正解率を記録するファイルを作成します")});
    }
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("drill.hkd"))));
    EXPECT_EQ(view.m_nCurrent, 0);
    EXPECT_EQ(view.m_pQuestionText->text(), QStringLiteral("第1問\n一\n"));
    EXPECT_EQ(view.m_pChoiceText[0]->text(), QStringLiteral("あ"));
    int asked = 0;
    for (const AnswerStat& stat : doc.m_pStats)
        asked += stat.m_nAsked;
    EXPECT_EQ(asked, 5);
    EXPECT_EQ(doc.m_pOrder, (std::vector<std::int32_t>{0, 1, 2, 0, 1}));
}

TEST_F(QuestionScreen, CorrectAnswerWithTheBeepOptionPlaysOneOK) {
    QTemporaryDir folder;
    view.m_strProgramDir = folder.path() + QStringLiteral("/");
    // Not a wave file: the player's complaint shows which file it was given.
    QFile fake(folder.filePath(QStringLiteral("OneOK.wav")));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a wave file");
    fake.close();
    const struct {
        const char* name;
        int beep;
        int choice;
        QStringList messages;
    } cases[] = {
        {"correct with the option", 1, 3, {WaveFileMessage(WaveFileNoRiff)}},
        {"wrong with the option", 1, 2, {}},
        {"correct without the option", 0, 3, {}},
    };
    for (const auto& c : cases) {
        doc.m_bBeep = c.beep;
        doc.m_pStats[0].m_nCorrect = 0;
        Show(0);
        Click(c.choice, false);
        MessageBoxRecorder boxes;
        QTest::mouseClick(view.m_pAnswerButton, Qt::LeftButton);
        EXPECT_EQ(boxes.texts, c.messages) << c.name;
        EXPECT_EQ(doc.m_pStats[0].m_nCorrect, c.choice == 3 ? 1 : 0) << c.name << ": counted all the same";
    }
}

TEST_F(QuestionScreen, OneOKFromTheProgramFolderPlaysWithoutComplaint) {
    ASSERT_TRUE(QFile::exists(view.m_strProgramDir + QStringLiteral("OneOK.wav")));
    doc.m_bBeep = 1;
    Click(3, false);
    MessageBoxRecorder boxes;
    QTest::mouseClick(view.m_pAnswerButton, Qt::LeftButton);
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(u'|').toStdString();
    EXPECT_EQ(doc.m_pStats[0].m_nCorrect, 1);
}

TEST_F(QuestionScreen, ReleasedPlayerIsReported) {
    view.OnDestroy();
    MessageBoxRecorder boxes;
    view.PlayWave(view.m_strProgramDir + QStringLiteral("OneOK.wav"));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("CWinDA class is not implemented.")});
}
