#pragma once

#include <cstdint>
#include <string>

// One question of a quiz. Texts are code page 932 bytes as in the quiz file, with LF line breaks.
// The correct choices are always the first m_nAnswers slots.
struct QuizQuestion {
    std::string m_strText;
    std::string m_strChoice[5];
    std::string m_strExplanation;
    std::int32_t m_nNumber = 0;
    std::int32_t m_nAnswers = 0;
};
