#include "quiz/CKEPIRODoc.h"

#include "drill/CKEPIROView.h"
#include "platform/LineSource.h"
#include "platform/MessageBox.h"
#include "quiz/CModeSelectDlg.h"

#include <QApplication>
#include <QFileInfo>
#include <cctype>
#include <climits>
#include <cstdio>
#include <new>

CKEPIRODoc* CKEPIRODoc::s_pCurrent = nullptr;

namespace {

// The most lines one group of a header-form record may have; a larger figure is no quiz.
constexpr long kMaxGroupLines = 10000;

// Reads a decimal number the way the C library's "%d" does: blanks first, an optional sign, then
// digits. Values beyond the int range are held at its ends. Returns false when no digit follows.
bool ReadNumber(const std::string& text, std::size_t& pos, int& value) {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    std::size_t at = pos;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at])))
        return false;
    long long number = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        if (number <= INT_MAX)
            number = number * 10 + (text[at] - '0');
        ++at;
    }
    if (negative)
        number = -number;
    value = static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, number)));
    pos = at;
    return true;
}

int ReadCount(const std::string& line) {
    std::size_t pos = 0;
    int value = 0;
    return ReadNumber(line, pos, value) ? value : 0;
}

void ReadLines(LineSource& lines, int count, std::string& text) {
    for (int i = 0; i < count; ++i) {
        text += lines.ReadLine();
        text += '\n';
    }
}

} // namespace

bool IsHeaderLine(const std::string& line) {
    return line.compare(0, 4, "v1.1") == 0;
}

QuizHeader ReadHeader(const std::string& line) {
    // "v%d.%d:%d:%d:%d:%d" on the first 100 bytes; the two version numbers are not used.
    const std::string text = line.substr(0, 100);
    QuizHeader header;
    int* targets[6] = {
        nullptr,         nullptr, &header.nQuestionLines, &header.nChoices, &header.nExplanationLines,
        &header.nAnswers};
    const char separators[6] = {'v', '.', ':', ':', ':', ':'};
    std::size_t pos = 0;
    for (int i = 0; i < 6; ++i) {
        if (pos >= text.size() || text[pos] != separators[i])
            break;
        ++pos;
        int value = 0;
        if (!ReadNumber(text, pos, value))
            break;
        if (targets[i])
            *targets[i] = value;
        header.nNumbersRead = i + 1;
    }
    return header;
}

CKEPIRODoc::CKEPIRODoc() {
    s_pCurrent = this;
}

CKEPIRODoc::~CKEPIRODoc() {
    if (s_pCurrent == this)
        s_pCurrent = nullptr;
}

void CKEPIRODoc::ReleaseQuestionSet() {
    std::vector<QuizQuestion>().swap(m_pQuestions);
    std::vector<AnswerStat>().swap(m_pStats);
    ReleaseDrillArrays();
}

void CKEPIRODoc::ReleaseDrillArrays() {
    std::vector<std::int32_t>().swap(m_pChoiceOrder);
    std::vector<std::int32_t>().swap(m_pAnswerPos);
    std::vector<std::int32_t>().swap(m_pCorrect);
    std::vector<std::int32_t>().swap(m_pOrder);
    std::vector<std::int32_t>().swap(m_pPrevOrder);
}

void CKEPIRODoc::AskDrillSettings() {
    CModeSelectDlg::Answers answer;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        CModeSelectDlg dlg;
        dlg.exec();
        answer = {dlg.m_nMode, dlg.m_nFrom, dlg.m_nTo, dlg.m_bBeep};
    } else {
        // Without a window (kepiro --dump) the dialog is answered with what it shows at opening.
        answer = CModeSelectDlg::OpeningAnswers(*this);
    }
    m_nRangeFrom = static_cast<std::int32_t>(answer.m_nFrom);
    m_nRangeTo = static_cast<std::int32_t>(answer.m_nTo);
    m_nDrillCount = m_nRangeTo - m_nRangeFrom + 1;
    m_nMode = answer.m_nMode;
    m_bBeep = answer.m_bBeep;
}

bool CKEPIRODoc::AllocateDrillArrays() {
    const std::size_t size = static_cast<std::size_t>(std::max(0, m_nMode == 0 ? m_nDrillCount : m_nCount));
    try {
        m_pChoiceOrder.assign(size * 5, 0);
        m_pAnswerPos.assign(size, 0);
        m_pCorrect.assign(size, 0);
        m_pOrder.assign(size, 0);
        m_pPrevOrder.assign(size, 0);
    } catch (const std::bad_alloc&) {
        FailAllocation();
        return false;
    }
    return true;
}

void CKEPIRODoc::FailAllocation() {
    ShowMessage(QStringLiteral("エラ－"));
    ReleaseQuestionSet();
    m_bLoaded = 0;
    m_bFinished = 1;
    if (CKEPIROView::s_pCurrent)
        CKEPIROView::s_pCurrent->QuitProgram();
}

void CKEPIRODoc::RejectFile() {
    ShowMessage(QStringLiteral("kwzファイルじゃありません"));
    ReleaseQuestionSet();
    m_nMode = 0;
    m_nDrillCount = 50;
    m_bLoaded = 0;
    m_bFinished = 1;
}

void CKEPIRODoc::LoadQuestionSet(LineSource& lines) {
    if (m_bLoaded)
        ReleaseQuestionSet();
    m_bFinished = 0;
    m_nCount = ReadCount(lines.ReadLine());
    AskDrillSettings();
    if (m_nCount < 1 || m_nCount > kMaxQuestions) {
        RejectFile();
        return;
    }
    bool allocated = true;
    try {
        m_pQuestions.assign(static_cast<std::size_t>(m_nCount), QuizQuestion{});
        m_pStats.assign(static_cast<std::size_t>(m_nCount), AnswerStat{});
    } catch (const std::bad_alloc&) {
        allocated = false;
    }
    if (!allocated) {
        FailAllocation();
        return;
    }
    if (!AllocateDrillArrays())
        return;

    for (int t = 0; t < m_nCount; ++t) {
        QuizQuestion& question = m_pQuestions[static_cast<std::size_t>(t)];
        const std::string first = lines.ReadLine();
        if (IsHeaderLine(first)) {
            const QuizHeader header = ReadHeader(first);
            if (header.nQuestionLines > kMaxGroupLines || header.nChoices > kMaxGroupLines ||
                header.nExplanationLines > kMaxGroupLines) {
                RejectFile();
                return;
            }
            ReadLines(lines, header.nQuestionLines, question.m_strText);
            for (int k = 0; k < header.nChoices; ++k) {
                std::string choice = lines.ReadLine();
                choice += lines.ReadLine();
                // A sixth choice and beyond has no slot: it is read past and dropped.
                if (k < 5)
                    question.m_strChoice[k] = std::move(choice);
            }
            ReadLines(lines, header.nExplanationLines, question.m_strExplanation);
            question.m_nAnswers = header.nAnswers;
            // A true/false question holds only its correct mark; the other mark is the second choice.
            static const std::string maru = "\x81\x9B", batsu = "\x81\x7E";
            const bool onlyFirst = question.m_strChoice[1].empty() && question.m_strChoice[2].empty() &&
                                   question.m_strChoice[3].empty() && question.m_strChoice[4].empty();
            if (onlyFirst && question.m_strChoice[0] == maru)
                question.m_strChoice[1] = batsu;
            else if (onlyFirst && question.m_strChoice[0] == batsu)
                question.m_strChoice[1] = maru;
        } else if (first.empty()) {
            ReadLines(lines, 4, question.m_strText);
            for (int k = 0; k < 4; ++k)
                question.m_strChoice[k] = lines.ReadLine();
            question.m_strExplanation = lines.ReadLine();
            question.m_strExplanation += '\n';
            question.m_strExplanation += lines.ReadLine();
            question.m_nAnswers = 1;
        } else {
            RejectFile();
            return;
        }
        question.m_nNumber = t;
    }
    m_bLoaded = 1;
    m_tStart = std::time(nullptr);
}

void CKEPIRODoc::Serialize(CArchive& ar) {
    // Quiz files are only ever read: storing writes nothing.
    if (ar.IsStoring() || !ar.m_pLines)
        return;
    LoadQuestionSet(*ar.m_pLines);
}

bool CKEPIRODoc::OnOpenDocument(const QString& path) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        ShowMessage(QStringLiteral("%1 を開けませんでした。").arg(path));
        return false;
    }
    // An empty file gives the reader nothing: the document keeps what it holds.
    const int first = std::getc(file);
    if (first == EOF) {
        std::fclose(file);
        return false;
    }
    std::ungetc(first, file);
    FileLineSource lines(file);
    CArchive ar;
    ar.m_pLines = &lines;
    Serialize(ar);
    std::fclose(file);
    SetPathName(path);
    return true;
}

bool CKEPIRODoc::OnNewDocument() {
    // The question set and the settings stay; only the name goes.
    m_strPathName.clear();
    m_strTitle = QStringLiteral("無題");
    return true;
}

void CKEPIRODoc::SetPathName(const QString& path) {
    QFileInfo info(path);
    m_strPathName = info.absoluteFilePath();
    m_strTitle = info.fileName();
}
