#include "platform/LineSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

std::vector<std::string> ReadAll(LineSource& lines, int count) {
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(lines.ReadLine());
    return out;
}

const std::vector<std::string> kExpected = {"one", "", "two\rx", "three", "", ""};

TEST(LineSource, DropsLineEndsAndReadsEmptyLinesPastTheEnd) {
    const std::string text = "one\r\n\ntwo\rx\r\nthree";
    StringLineSource memory(text);
    EXPECT_EQ(ReadAll(memory, 6), kExpected);
    EXPECT_EQ(memory.LineNumber(), 6);

    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    FileLineSource fromFile(file);
    EXPECT_EQ(ReadAll(fromFile, 6), kExpected);
    std::fclose(file);
}

} // namespace
