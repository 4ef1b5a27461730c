#pragma once

#include <cstdint>

// The answer statistics of one question; m_nIndex names the question even in a sorted copy.
struct AnswerStat {
    std::int32_t m_nCorrect = 0;
    std::int32_t m_nAsked = 0;
    std::int32_t m_nIndex = 0;
};
