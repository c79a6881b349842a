#pragma once
// The three figures of the reports. Each drawer fills a FigureBuffer in millimetres (point 1
// the top of the wall at (0, 0), y upward), writes the figure's data file and list file to
// two new temporary names of the session and returns the list file's path. Every division
// and every value is checked: a figure that cannot be drawn throws ReportError, which fails
// the report that asked for it.

#include <string>

#include "engine/AnalysisResult.h"
#include "report/ReportWriter.h"

// The layered pressures on the wall, land side to the right, sea side to the left, on a
// paper area of PaperW x PaperH mm (the conditions report uses 150 x 130).
std::string DrawLoadDistributionFigure(PrintSession& session, const AnalysisResult& result,
                                       double PaperW, double PaperH);

// The bending-moment diagram over the depth (results report: 100 x 100 mm).
std::string DrawMomentFigure(PrintSession& session, const AnalysisResult& result, double PaperW,
                             double PaperH);

// The deflection in mm over the depth (results report: 100 x 100 mm).
std::string DrawDeflectionFigure(PrintSession& session, const AnalysisResult& result, double PaperW,
                                 double PaperH);
