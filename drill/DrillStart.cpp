#include "drill/DrillStart.h"

#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"

#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Taken when the program is loaded: the seed counts from the program's start, not from the first
// drill.
const auto s_programStart = std::chrono::steady_clock::now();

const std::string& Maru() {
    static const std::string maru = ToCp932(QStringLiteral("○"));
    return maru;
}

const std::string& Batsu() {
    static const std::string batsu = ToCp932(QStringLiteral("×"));
    return batsu;
}

void IdentityOrder(std::int32_t choiceOrder[5]) {
    for (int k = 0; k < 5; ++k)
        choiceOrder[k] = k;
}

} // namespace

void PartitionSort(AnswerStat* table, int lo, int hi, std::int32_t AnswerStat::*key) {
    // The left part of every partition goes on a stack of our own instead of a recursive call: a
    // record file can hold counts that make the partitions lopsided, and the parts are disjoint,
    // so the order in which they are sorted does not change the result.
    std::vector<std::pair<int, int>> pending{{lo, hi}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        while (from < to) {
            const std::int32_t pivot = table[(from + to) / 2].*key;
            int i = from;
            int j = to;
            for (;;) {
                while (table[i].*key < pivot)
                    ++i;
                while (pivot < table[j].*key)
                    --j;
                if (i >= j)
                    break;
                std::swap(table[i], table[j]);
                ++i;
                --j;
            }
            if (from < i - 1)
                pending.emplace_back(from, i - 1);
            from = j + 1;
        }
    }
}

int PickLeastAsked(const AnswerStat* stats, int n) {
    std::vector<AnswerStat> scratch(stats, stats + n);
    PartitionSort(scratch.data(), 0, n - 1, &AnswerStat::m_nAsked);
    // Only the run of least-asked entries can change the first entry; the later runs would be
    // sorted on the correct count too, without effect on the pick.
    int runEnd = 0;
    while (runEnd + 1 < n && scratch[runEnd + 1].m_nAsked == scratch[0].m_nAsked)
        ++runEnd;
    if (runEnd > 0)
        PartitionSort(scratch.data(), 0, runEnd, &AnswerStat::m_nCorrect);
    return scratch[0].m_nIndex;
}

std::int32_t ArrangeChoices(const QuizQuestion& question, std::int32_t choiceOrder[5],
                            const DrawRandom& draw) {
    const std::string* c = question.m_strChoice;
    if (c[2].empty() && c[3].empty() && c[4].empty()) {
        // "○" always stands first; the word records where the stored first choice went.
        if (c[0] == Maru() && c[1] == Batsu()) {
            IdentityOrder(choiceOrder);
            return kAnswerPosBase;
        }
        if (c[0] == Batsu() && c[1] == Maru()) {
            IdentityOrder(choiceOrder);
            std::swap(choiceOrder[0], choiceOrder[1]);
            return kAnswerPosBase + 1;
        }
    }
    if (c[1].empty()) {
        IdentityOrder(choiceOrder);
        return kAnswerPosBase;
    }

    const int m = c[2].empty() ? 2 : c[3].empty() ? 3 : c[4].empty() ? 4 : 5;
    bool placed[5] = {};
    std::int32_t word = kAnswerPosBase;
    int correctPlaced = 0;
    for (int k = 0; k < m; ++k) {
        int r;
        do {
            r = draw() % m;
            if (r < 0)
                r += m;
        } while (placed[r]);
        placed[r] = true;
        choiceOrder[k] = r;
        if (r < question.m_nAnswers) {
            word += k << (4 * correctPlaced);
            ++correctPlaced;
        }
    }
    for (int k = m; k < 5; ++k)
        choiceOrder[k] = k;
    return word;
}

void SeedDrillRandom() {
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                         s_programStart);
    std::srand(static_cast<unsigned>(elapsed.count() % 60000));
}

void PrepareDrillPositions(CKEPIRODoc& doc, const DrawRandom& draw) {
    const std::size_t room =
        std::min({doc.m_pOrder.size(), doc.m_pAnswerPos.size(), doc.m_pChoiceOrder.size() / 5});
    const int positions = std::clamp<std::int64_t>(doc.m_nDrillCount, 0, static_cast<std::int64_t>(room));
    const int questions = static_cast<int>(std::min<std::size_t>(
        {static_cast<std::size_t>(std::max(doc.m_nCount, 0)), doc.m_pQuestions.size(), doc.m_pStats.size()}));

    for (int j = 0; j < positions; ++j) {
        doc.m_pAnswerPos[j] = kAnswerPosBase;
        int q = -1;
        if (doc.m_nMode == 0) {
            if (questions >= 1)
                q = PickLeastAsked(doc.m_pStats.data(), questions);
        } else {
            q = doc.m_nRangeFrom - 1 + j;
        }
        doc.m_pOrder[j] = q;
        std::int32_t* choiceOrder = &doc.m_pChoiceOrder[5 * static_cast<std::size_t>(j)];
        if (q < 0 || q >= questions) {
            // Only a range outside the quiz gets here; the position then shows nothing.
            IdentityOrder(choiceOrder);
            continue;
        }
        ++doc.m_pStats[q].m_nAsked;
        doc.m_pAnswerPos[j] = ArrangeChoices(doc.m_pQuestions[q], choiceOrder, draw);
    }
}
