#include "platform/MessageBox.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Reads the next word (a run of non-blank bytes) into a buffer of 100 bytes: a longer word is cut
// to its first 99 bytes and the rest of it skipped. Returns false at the end of the file.
bool ReadWord(std::FILE* file, char (&word)[100]) {
    int c;
    while ((c = std::getc(file)) != EOF && std::isspace(c))
        ;
    if (c == EOF)
        return false;
    std::size_t length = 0;
    do {
        if (length < sizeof word - 1)
            word[length++] = static_cast<char>(c);
    } while ((c = std::getc(file)) != EOF && !std::isspace(c));
    word[length] = '\0';
    return true;
}

// Reads "correct/asked"; anything else, and a negative count, gives zero counts.
AnswerStat ReadEntry(const char* word, int index) {
    int correct = 0, asked = 0, used = 0;
    if (std::sscanf(word, "%9d/%9d%n", &correct, &asked, &used) != 2 || word[used] != '\0' || correct < 0 ||
        asked < 0)
        correct = asked = 0;
    return {correct, asked, index};
}

// Writes the whole record through a temporary file in the same folder that replaces the old one
// only once everything is written, so a failed save never loses the previous record.
bool WriteRecord(const std::string& fileName, const std::vector<AnswerStat>& stats, int count) {
    const QString name = QFile::decodeName(fileName.c_str());
    QFileInfo info(name);
    if (info.exists() && !info.isWritable())
        return false;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::string text = "'hkd" + std::to_string(count) + "\r\n";
    for (int i = 0; i < count; ++i) {
        const AnswerStat& stat = stats[static_cast<std::size_t>(i)];
        text += std::to_string(stat.m_nCorrect) + "/" + std::to_string(stat.m_nAsked) + "\r\n";
    }
    file.write(text.data(), static_cast<qint64>(text.size()));
    return file.commit();
}

// The record file lies beside the quiz: the quiz file's name in lower case with ".kwz" turned into
// ".hkd". A name without ".kwz" gets ".hkd" appended, so the record is never the quiz itself.
std::string RecordFileName(const QString& quizPath) {
    QFileInfo info(quizPath);
    std::string name = Cp932Lower(QFile::encodeName(info.fileName()).toStdString());
    bool replaced = false;
    for (std::size_t at = name.find(".kwz"); at != std::string::npos; at = name.find(".kwz", at + 4)) {
        name.replace(at, 4, ".hkd");
        replaced = true;
    }
    if (!replaced)
        name += ".hkd";
    return QFile::encodeName(info.absolutePath()).toStdString() + "/" + name;
}

} // namespace

void CKEPIRODoc::LoadAnswerRecord() {
    // After a new-document command the quiz has no name: its record stays the loaded quiz's own.
    if (!GetPathName().isEmpty() || m_strRecordFile.empty())
        m_strRecordFile = RecordFileName(GetPathName().isEmpty() ? GetTitle() : GetPathName());

    const std::size_t count = static_cast<std::size_t>(std::max(0, m_nCount));
    m_pStats.assign(count, AnswerStat{});
    for (std::size_t i = 0; i < count; ++i)
        m_pStats[i].m_nIndex = static_cast<int>(i);

    std::FILE* file = std::fopen(m_strRecordFile.c_str(), "rb");
    char word[100];
    if (file && ReadWord(file, word) && std::strncmp(word, "'hkd", 4) == 0) {
        int stored = 0;
        std::sscanf(word + 4, "%9d", &stored);
        const std::size_t entries = std::min(count, static_cast<std::size_t>(std::max(0, stored)));
        for (std::size_t i = 0; i < entries && ReadWord(file, word); ++i)
            m_pStats[i] = ReadEntry(word, static_cast<int>(i));
        std::fclose(file);
        return;
    }
    if (file)
        std::fclose(file);

    ShowMessage(QStringLiteral("正解率を記録するファイルを作成します"));
    if (!WriteRecord(m_strRecordFile, m_pStats, m_nCount))
        ShowMessage(QStringLiteral("ファイルを作れませんでした"));
}

void CKEPIRODoc::SaveAnswerRecord() {
    if (!WriteRecord(m_strRecordFile, m_pStats, static_cast<int>(std::min<std::size_t>(m_pStats.size(), std::max(0, m_nCount)))))
        ShowMessage(QStringLiteral("正解率ファイルに保存できませんでした"));
}
