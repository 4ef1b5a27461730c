#include "results/DrillResult.h"

#include "drill/CKEPIROView.h"
#include "quiz/CKEPIRODoc.h"

#include <algorithm>

int ScorePercent(int nCorrect, int nCount) {
    if (nCount <= 0)
        return 0;
    return static_cast<int>(static_cast<double>(nCorrect) / static_cast<double>(nCount) * 100);
}

QString TimeScoreText(long nSeconds, int nScore) {
    return QString::asprintf("%ld秒:%3d点", nSeconds, nScore);
}

int CountCorrect(const CKEPIRODoc& doc) {
    int n = std::min<int>(doc.m_nDrillCount, static_cast<int>(doc.m_pCorrect.size()));
    int c = 0;
    for (int k = 0; k < n; ++k)
        c += doc.m_pCorrect[k] == 1;
    return c;
}

QString DrillTimeScore(const CKEPIRODoc& doc, std::time_t now, int* pScore) {
    int score = ScorePercent(CountCorrect(doc), doc.m_nDrillCount);
    if (pScore)
        *pScore = score;
    return TimeScoreText(static_cast<long>(now - doc.m_tStart), score);
}

bool PlayFanfareIfPerfect(const CKEPIRODoc& doc, int nScore) {
    CKEPIROView* view = CKEPIROView::s_pCurrent;
    if (nScore != 100 || !doc.m_bBeep || !view)
        return false;
    view->PlayWave(view->m_strProgramDir + QStringLiteral("AllOK.wav"));
    return true;
}
