#pragma once

#include "quiz/AnswerStat.h"
#include "quiz/QuizQuestion.h"

#include <QString>
#include <cstdint>
#include <ctime>
#include <vector>

class LineSource;

// The framework's archive as the document sees it: storing, or loading from a source of lines.
struct CArchive {
    bool m_bStoring = false;
    LineSource* m_pLines = nullptr;
    bool IsStoring() const { return m_bStoring; }
};

// The one document of the program: the question set of the open quiz, the drill settings, the
// statistics and the per-drill arrays. The drill, the record file and the dialogs use the fields
// directly.
class CKEPIRODoc {
public:
    CKEPIRODoc();
    ~CKEPIRODoc();
    CKEPIRODoc(const CKEPIRODoc&) = delete;
    CKEPIRODoc& operator=(const CKEPIRODoc&) = delete;

    // The program's current document, set by the constructor.
    static CKEPIRODoc* s_pCurrent;

    void Serialize(CArchive& ar);
    void LoadQuestionSet(LineSource& lines);
    void ReleaseQuestionSet();
    // Releases the five per-drill arrays; the questions and the statistics stay.
    void ReleaseDrillArrays();
    void AskDrillSettings();
    bool AllocateDrillArrays();
    void LoadAnswerRecord();
    void SaveAnswerRecord();

    // The framework's side of a document: open a quiz file through an archive, start afresh.
    // Returns false when the file cannot be read (the document then keeps what it held).
    bool OnOpenDocument(const QString& path);
    bool OnNewDocument();
    void SetPathName(const QString& path);
    QString GetPathName() const { return m_strPathName; }
    QString GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title) { m_strTitle = title; }

    std::int32_t m_bFinished = 1;
    std::int32_t m_bBeep = 0;
    std::time_t m_tStart = 0;
    std::string m_strRecordFile;
    std::int32_t m_nRangeTo = 0;
    std::int32_t m_nRangeFrom = 0;
    std::int32_t m_nCount = 0;
    std::vector<std::int32_t> m_pChoiceOrder;
    std::vector<std::int32_t> m_pAnswerPos;
    std::vector<std::int32_t> m_pCorrect;
    std::vector<std::int32_t> m_pOrder;
    std::vector<std::int32_t> m_pPrevOrder;
    std::int32_t m_bLoaded = 0;
    std::vector<QuizQuestion> m_pQuestions;
    std::vector<AnswerStat> m_pStats;
    std::int32_t m_nDrillCount = 50;
    std::int32_t m_nMode = 0;

    // The most questions a quiz may hold: a count line above it rejects the file instead of asking
    // for memory that no quiz needs.
    static constexpr std::int32_t kMaxQuestions = 100000;

private:
    void RejectFile();
    void FailAllocation();

    QString m_strTitle;
    QString m_strPathName;
};

// "v1.1:Q:C:E:A" of a header-form record line; false when the line is not a header.
struct QuizHeader {
    int nQuestionLines = 0;
    int nChoices = 0;
    int nExplanationLines = 0;
    int nAnswers = 0;
    int nNumbersRead = 0; // how many of the six numbers the line holds
};
bool IsHeaderLine(const std::string& line);
QuizHeader ReadHeader(const std::string& line);
