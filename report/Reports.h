#pragma once
// The two reports of the print file: the calculation conditions (section "矢板壁の計算" of
// Mibrox.fmt, with the load-distribution figure and the land and sea load tables) and the
// results (sections "検討結果", "断面力" and "応力度", with the section-force table, the moment
// and deflection figures and the stress check).
//
// Each appends to the session's current report file (set by the print menu after
// NewReportFileName) and numbers its headings from the session's numbering state, which runs
// on from one report to the next. A failure ends the report: what was written stays in the
// file, the function returns false and `reason` (when given) says what failed. Figures are
// written to new temporary files listed in the session's figure file list.

#include <string>

#include "engine/AnalysisResult.h"
#include "engine/InputModel.h"
#include "report/ReportWriter.h"

// The stress check of both reports: Z above ground, Z below ground and the allowable stress
// all strictly above 0.1.
bool StressCheckHolds(double zUpper, double zLower, double allowableStress);

// Writes the conditions report. `model` gives the section moduli, F and the allowable stress
// (CondData 7-10); everything else comes from `result` of the analysis just run.
bool WriteConditionsReport(PrintSession& session, const InputModel& model,
                           const AnalysisResult& result, std::string* reason = nullptr);

// Writes the results report. `model` gives D.L., the section moduli, F and the allowable
// stress (CondData 4, 7-10).
bool WriteResultReport(PrintSession& session, const InputModel& model, const AnalysisResult& result,
                       std::string* reason = nullptr);
