#include "platform/LineSource.h"

namespace {
void DropLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}
} // namespace

std::string StringLineSource::ReadLine() {
    ++m_nLine;
    if (m_pos >= m_text.size())
        return {};
    std::size_t end = m_text.find('\n', m_pos);
    std::string line(m_text.substr(m_pos, end == std::string_view::npos ? std::string_view::npos : end - m_pos));
    m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
    DropLineEnd(line);
    return line;
}

std::string FileLineSource::ReadLine() {
    ++m_nLine;
    std::string line;
    int c;
    while ((c = std::getc(m_file)) != EOF && c != '\n')
        line += static_cast<char>(c);
    DropLineEnd(line);
    return line;
}
