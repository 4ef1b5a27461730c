#pragma once

#include <QString>
#include <ctime>

class CKEPIRODoc;

// Score out of 100 of c correct answers in n positions, truncated toward zero (29 of 50 gives 57).
// A drill stopped before its first answer has no positions and scores 0.
int ScorePercent(int nCorrect, int nCount);

// The results line "%ld秒:%3d点".
QString TimeScoreText(long nSeconds, int nScore);

// Correct answers among the drill's positions.
int CountCorrect(const CKEPIRODoc& doc);

// The results line of a finished drill, timed from m_tStart to `now`, and its score.
QString DrillTimeScore(const CKEPIRODoc& doc, std::time_t now, int* pScore = nullptr);

// "AllOK.wav" from the program's folder through the question screen, after a perfect drill with
// the sound option on. Returns whether it was started.
bool PlayFanfareIfPerfect(const CKEPIRODoc& doc, int nScore);
