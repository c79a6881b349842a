#pragma once
// The deflection-curve analysis of an anchored sheet-pile wall.

#include "engine/AnalysisResult.h"
#include "engine/InputModel.h"

// Rebuilds `result` from `model`. False on any failure (a slot that is not a number, a
// condition outside the range its form box checks (engine/ConditionLimits.h), a division by
// zero, an overflow, a non-converging search, more than 9999 table rows); the
// fields written before the failure keep their new values. Never writes NaN or infinity.
bool RunWallAnalysis(const InputModel& model, AnalysisResult& result);
