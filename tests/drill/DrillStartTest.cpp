#include "drill/DrillStart.h"

#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

std::vector<AnswerStat> Stats(const std::vector<std::pair<int, int>>& correctAsked) {
    std::vector<AnswerStat> stats;
    for (const auto& [correct, asked] : correctAsked)
        stats.push_back({correct, asked, static_cast<std::int32_t>(stats.size())});
    return stats;
}

// Hands out the given numbers in turn and records how many were taken.
struct ScriptedDraws {
    std::vector<int> numbers;
    std::size_t taken = 0;
    DrawRandom Source() {
        return [this] {
            EXPECT_LT(taken, numbers.size()) << "more draws than scripted";
            return taken < numbers.size() ? numbers[taken++] : 0;
        };
    }
};

QuizQuestion Question(std::initializer_list<QString> choices, int answers) {
    QuizQuestion question;
    int slot = 0;
    for (const QString& choice : choices)
        question.m_strChoice[slot++] = ToCp932(choice);
    question.m_nAnswers = answers;
    return question;
}

// A document holding `count` one-choice questions (their arrangement draws nothing) and a drill.
void LoadQuestions(CKEPIRODoc& doc, int count, int mode, int drillCount,
                   const std::vector<AnswerStat>& stats = {}) {
    doc.m_nCount = count;
    doc.m_pQuestions.assign(count, Question({QStringLiteral("A")}, 1));
    doc.m_pStats = stats.empty() ? Stats(std::vector<std::pair<int, int>>(count)) : stats;
    doc.m_nMode = mode;
    doc.m_nDrillCount = drillCount;
    ASSERT_TRUE(doc.AllocateDrillArrays());
}

} // namespace

TEST(PartitionSort, SortsAscendingAndKeepsEveryEntry) {
    std::mt19937 generator(7);
    for (int size : {1, 2, 3, 5, 17, 200, 5000}) {
        for (int keyRange : {1, 2, 10, 1000000}) {
            std::vector<AnswerStat> table(size);
            for (int i = 0; i < size; ++i)
                table[i] = {static_cast<std::int32_t>(generator() % keyRange),
                            static_cast<std::int32_t>(generator() % keyRange), i};
            std::vector<AnswerStat> sorted = table;
            PartitionSort(sorted.data(), 0, size - 1, &AnswerStat::m_nAsked);
            ASSERT_TRUE(std::is_sorted(sorted.begin(), sorted.end(),
                                       [](auto& a, auto& b) { return a.m_nAsked < b.m_nAsked; }))
                << size << " entries, keys below " << keyRange;
            std::vector<int> seen(size, 0);
            for (const AnswerStat& entry : sorted) {
                ++seen[entry.m_nIndex];
                EXPECT_EQ(entry.m_nCorrect, table[entry.m_nIndex].m_nCorrect);
            }
            EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
        }
    }
}

TEST(PartitionSort, SortsOnlyTheGivenRange) {
    std::vector<AnswerStat> table = Stats({{0, 9}, {0, 3}, {0, 7}, {0, 1}, {0, 0}});
    PartitionSort(table.data(), 1, 3, &AnswerStat::m_nAsked);
    std::vector<int> asked;
    for (const AnswerStat& entry : table)
        asked.push_back(entry.m_nAsked);
    EXPECT_EQ(asked, (std::vector<int>{9, 1, 3, 7, 0}));
}

TEST(PickLeastAsked, TakesLeastAskedThenLeastCorrect) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> correctAsked;
        int expected;
    } cases[] = {
        {"single question", {{4, 4}}, 0},
        {"least asked wins", {{0, 3}, {0, 1}, {0, 2}}, 1},
        {"asked count before correct count", {{0, 2}, {9, 1}}, 1},
        {"equal asked: least correct wins", {{2, 1}, {0, 1}, {1, 1}}, 1},
        {"correct count only among the least asked", {{5, 2}, {3, 2}, {0, 7}, {1, 2}}, 3},
        {"full tie of five", {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}, 0},
        {"full tie of two", {{1, 1}, {1, 1}}, 0},
    };
    for (const Case& c : cases) {
        const std::vector<AnswerStat> stats = Stats(c.correctAsked);
        const std::vector<AnswerStat> before = stats;
        EXPECT_EQ(PickLeastAsked(stats.data(), static_cast<int>(stats.size())), c.expected) << c.name;
        for (std::size_t i = 0; i < stats.size(); ++i)
            EXPECT_TRUE(stats[i].m_nAsked == before[i].m_nAsked &&
                        stats[i].m_nCorrect == before[i].m_nCorrect &&
                        stats[i].m_nIndex == before[i].m_nIndex)
                << c.name << ": the table changed";
    }
}

TEST(ArrangeChoices, ArrangesEachCaseAndPacksCorrectPositions) {
    const QString maru = QStringLiteral("○"), batsu = QStringLiteral("×");
    struct Case {
        const char* name;
        QuizQuestion question;
        std::vector<int> draws;
        std::vector<int> order;
        std::int32_t word;
    } cases[] = {
        {"true/false stored as ○ ×", Question({maru, batsu}, 1), {}, {0, 1, 2, 3, 4}, 0x4000},
        {"true/false stored as × ○: ○ first, correct at 1",
         Question({batsu, maru}, 1),
         {},
         {1, 0, 2, 3, 4},
         0x4001},
        {"true/false word ignores the answer count", Question({batsu, maru}, 2), {}, {1, 0, 2, 3, 4}, 0x4001},
        {"○ × with a third choice is shuffled",
         Question({maru, batsu, QStringLiteral("△")}, 1),
         {2, 0, 1},
         {2, 0, 1, 3, 4},
         0x4001},
        {"single choice stays, draws nothing",
         Question({QStringLiteral("A")}, 1),
         {},
         {0, 1, 2, 3, 4},
         0x4000},
        {"third empty: only the first two shuffled",
         Question(
             {QStringLiteral("A"), QStringLiteral("B"), QString(), QStringLiteral("D"), QStringLiteral("E")},
             1),
         {3, 4},
         {1, 0, 2, 3, 4},
         0x4001},
        {"four choices, repeated draws are drawn again",
         Question({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}, 1),
         {0, 4, 3, 0, 1, 2},
         {0, 3, 1, 2, 4},
         0x4000},
        {"two correct landing at screen positions 3 and 1",
         Question({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                   QStringLiteral("E")},
                  2),
         {2, 2, 1, 4, 1, 0, 3},
         {2, 1, 4, 0, 3},
         0x4000 + 1 + (3 << 4)},
        {"two correct at positions 0 and 2",
         Question({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, 2),
         {1, 2, 0},
         {1, 2, 0, 3, 4},
         0x4000 + 0 + (2 << 4)},
    };
    for (Case& c : cases) {
        ScriptedDraws draws{c.draws};
        std::int32_t order[5] = {-1, -1, -1, -1, -1};
        const std::int32_t word = ArrangeChoices(c.question, order, draws.Source());
        EXPECT_EQ(std::vector<int>(order, order + 5), c.order) << c.name;
        EXPECT_EQ(word, c.word) << c.name;
        EXPECT_EQ(draws.taken, c.draws.size()) << c.name;
    }
}

TEST(PrepareDrillPositions, FreshQuestionsAreAskedInTheOrderTheSortGivesTies) {
    CKEPIRODoc doc;
    LoadQuestions(doc, 5, 0, 8);
    PrepareDrillPositions(doc, [] { return 0; });
    EXPECT_EQ(doc.m_pOrder, (std::vector<std::int32_t>{0, 2, 4, 1, 3, 0, 2, 4}));
    std::vector<int> asked;
    for (const AnswerStat& stat : doc.m_pStats)
        asked.push_back(stat.m_nAsked);
    EXPECT_EQ(asked, (std::vector<int>{2, 1, 2, 1, 2}));
    EXPECT_EQ(doc.m_pAnswerPos, std::vector<std::int32_t>(8, 0x4000));
}

TEST(PrepareDrillPositions, QuestionFarBehindIsAskedUntilItCatchesUp) {
    CKEPIRODoc doc;
    LoadQuestions(doc, 3, 0, 3, Stats({{0, 0}, {0, 5}, {0, 5}}));
    PrepareDrillPositions(doc, [] { return 0; });
    EXPECT_EQ(doc.m_pOrder, (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(doc.m_pStats[0].m_nAsked, 3);
    EXPECT_EQ(doc.m_pStats[1].m_nAsked, 5);
}

TEST(PrepareDrillPositions, SequentialModeAsksTheRangeInFileOrder) {
    CKEPIRODoc doc;
    LoadQuestions(doc, 10, 1, 3);
    doc.m_nRangeFrom = 5;
    doc.m_nRangeTo = 7;
    PrepareDrillPositions(doc, [] { return 0; });
    ASSERT_EQ(doc.m_pOrder.size(), 10u);
    EXPECT_EQ(std::vector<std::int32_t>(doc.m_pOrder.begin(), doc.m_pOrder.begin() + 3),
              (std::vector<std::int32_t>{4, 5, 6}));
    for (int q = 0; q < 10; ++q)
        EXPECT_EQ(doc.m_pStats[q].m_nAsked, q >= 4 && q <= 6 ? 1 : 0) << "question " << q;
}

TEST(PrepareDrillPositions, SameStatisticsGiveTheSameQuestions) {
    std::vector<std::int32_t> orders[2];
    for (auto& order : orders) {
        CKEPIRODoc doc;
        LoadQuestions(doc, 7, 0, 12, Stats({{1, 3}, {0, 2}, {4, 4}, {0, 2}, {2, 9}, {0, 0}, {1, 2}}));
        PrepareDrillPositions(doc, [] { return 0; });
        order = doc.m_pOrder;
    }
    EXPECT_EQ(orders[0], orders[1]);
    EXPECT_EQ(orders[0][0], 5);
}

TEST(PrepareDrillPositions, RangeOutsideTheQuizTouchesNoStatistics) {
    CKEPIRODoc doc;
    LoadQuestions(doc, 3, 1, 3);
    doc.m_nRangeFrom = 2; // positions 0..2 ask questions 1, 2 and 3; there is no question 3
    PrepareDrillPositions(doc, [] { return 0; });
    EXPECT_EQ(doc.m_pOrder, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(doc.m_pStats[0].m_nAsked + doc.m_pStats[1].m_nAsked + doc.m_pStats[2].m_nAsked, 2);
    EXPECT_EQ(doc.m_pAnswerPos[2], 0x4000);
}
