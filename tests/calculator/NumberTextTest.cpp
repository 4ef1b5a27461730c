#include "NumberText.h"

#include <cfloat>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

struct TextCase {
    double value;
    const char* text;
};

TEST(NumberText, WritesStandardTextForm) {
    const TextCase cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {5, "5"},
        {-5, "-5"},
        {3.5, "3.5"},
        {-0.25, "-0.25"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {100000000000000, "100000000000000"},
        {123456789012345, "123456789012345"},
        {999999999999999, "999999999999999"},
        {1e15, "1E+15"},
        {1234567890123456, "1.23456789012346E+15"},
        {-1234567890123456, "-1.23456789012346E+15"},
        {9999999999999999.0, "1E+16"},
        {1e100, "1E+100"},
        {DBL_MAX, "1.79769313486232E+308"},
        {0.0001, "0.0001"},
        {0.000123456789012345678, "0.000123456789012346"},
        {0.00001, "1E-05"},
        {-1.5e-7, "-1.5E-07"},
        {DBL_MIN, "2.2250738585072E-308"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberText::ToText(c.value), c.text) << c.value;
}

TEST(NumberText, PutsBlankBeforeNonNegativeNumbers) {
    const TextCase cases[] = {{0, " 0"}, {7, " 7"}, {-7, "-7"}, {1e20, " 1E+20"}, {-2.5, "-2.5"}};
    for (const auto& c : cases)
        EXPECT_EQ(NumberText::ToTextWithSignBlank(c.value), c.text) << c.value;
}

struct ReadCase {
    const char* text;
    std::optional<double> value;
};

TEST(NumberText, StrictReadingTakesOneNumberWithBlanksAround) {
    const ReadCase cases[] = {
        {"5", 5},
        {"  -12.5\t", -12.5},
        {"+7", 7},
        {".5", 0.5},
        {"3.", 3},
        {"1.23456789012346E+15", 1.23456789012346e15},
        {"1e3", 1000},
        {"1E-05", 1e-5},
        {"1.7976931348623E+308", 1.7976931348623e308},
        {"1.79769313486232E+308", std::nullopt}, // the largest double as displayed, rounded up
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"E", std::nullopt},
        {"12 5", std::nullopt},
        {"12abc", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"1E", std::nullopt},
        {"1E+", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1E+309", std::nullopt},
        {"-1E+400", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberText::ToNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberText, LenientScanSkipsBlanksAndStopsAtTheFirstStrangeCharacter) {
    const ReadCase cases[] = {
        {"0 5", 5},
        {" 5", 5},
        {"12 5", 125},
        {"-5 3", -53},
        {"- 5", -5},
        {"3.5 7", 3.57},
        {"1 2 . 5", 12.5},
        {"123456789012345 6", 1234567890123456},
        {"1.23456789012346E+15 7", 1.23456789012346e157},
        {"1E-05 3", 1e-53},
        {"12abc", 12},
        {"1.2.3", 1.2},
        {"1E", 1},
        {"1E+", 1},
        {"", 0},
        {" 8", 8},
        {"E 5", 0},
        {"1E+307 9", std::nullopt},
        {"1.23456789012346E+157 8", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberText::ScanNumber(c.text), c.value) << '"' << c.text << '"';
}

} // namespace
