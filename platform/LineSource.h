#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// A source of text lines: each line comes without its CR LF or LF, and past the end of the input
// every further line is empty. Readers never ask whether the input has ended.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual std::string ReadLine() = 0;
    // 1-based number of the line last read (counting past the end too).
    int LineNumber() const { return m_nLine; }

protected:
    int m_nLine = 0;
};

// Lines of a byte string held in memory.
class StringLineSource : public LineSource {
public:
    explicit StringLineSource(std::string_view text) : m_text(text) {}
    std::string ReadLine() override;
    bool AtEnd() const { return m_pos >= m_text.size(); }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// Lines of an open file; the caller opens and closes the file.
class FileLineSource : public LineSource {
public:
    explicit FileLineSource(std::FILE* file) : m_file(file) {}
    std::string ReadLine() override;

private:
    std::FILE* m_file;
};
