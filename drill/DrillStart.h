#pragma once

#include "quiz/AnswerStat.h"
#include "quiz/QuizQuestion.h"

#include <cstdint>
#include <functional>

class CKEPIRODoc;

// The drill start without any widget: which question stands at each drill position, and in which
// order its choices are shown.

// A source of non-negative pseudo-random numbers (std::rand in the program).
using DrawRandom = std::function<int()>;

// The correct-position word before any correct choice has been placed.
constexpr std::int32_t kAnswerPosBase = 0x4000;

// Sorts entries lo to hi (both inclusive) of the table on one of its counts, ascending. The order
// in which equal keys end up is part of the drill's behaviour (it decides ties between questions),
// so this is the one partition sort the drill uses, never a library sort.
void PartitionSort(AnswerStat* table, int lo, int hi, std::int32_t AnswerStat::*key);

// The question asked least often; among those the one answered correctly least often; among full
// ties the one the two sorts leave first. Works on a scratch copy of the n entries (n >= 1).
int PickLeastAsked(const AnswerStat* stats, int n);

// Lays out one question's choices on the five screen positions: choiceOrder[k] receives the stored
// choice shown at screen position k. Returns the correct-position word: kAnswerPosBase plus, for
// the t-th correct choice met in screen order, its screen position shifted left by 4*t.
std::int32_t ArrangeChoices(const QuizQuestion& question, std::int32_t choiceOrder[5],
                            const DrawRandom& draw);

// Seeds std::rand with the milliseconds since the program started, modulo 60000.
void SeedDrillRandom();

// Fills the per-drill arrays for positions 0 to m_nDrillCount - 1: the question of each position
// (least asked first in random mode, the range in file order in sequential mode), its asked count
// raised at once, and its choice arrangement. Positions beyond the arrays are not touched.
void PrepareDrillPositions(CKEPIRODoc& doc, const DrawRandom& draw);
