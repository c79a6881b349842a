#pragma once
// What one run of the wall analysis produces. Written only by RunWallAnalysis; never cleared,
// so readers use the counts. All arrays are 1-based.
//
// Units: elevations m (D.L.), moments kN*m/m, forces kN/m, stresses N/mm2, deflections m in
// SectionTable and mm in DeltaMax/DeltaMin.

#include <string>

#include "foundation/OneBased.h"

constexpr int kMaxSectionRows = 9999;
constexpr int kMaxLayerRows = 99;

// Summary slots.
enum Summary : int {
    SummaryTipLevel = 1,
    SummaryMmax = 2,
    SummaryMmaxLevel = 3,
    SummaryMmin = 4,
    SummaryMminLevel = 5,
    SummaryZeroMomentLevel = 6,
    SummaryTieReaction = 7,
    SummaryTipReaction = 8,
    SummaryStressAtMmax = 9,
    SummaryStressAtMmin = 10,
};

// SectionRow fields: 1 elevation m, 2 deflection m, 3 slope, 4 moment, 5 shear.
using SectionRow = OneBased<double, 5>;
// LayerRow fields: 1 top elevation, 2 bottom elevation, 3 thickness, 4 top and 5 bottom pressure.
using LayerRow = OneBased<double, 5>;

struct AnalysisResult {
    OneBased<double, 10> ResultSummary;

    std::string ResultCaseTitle;  // UTF-8
    double ResultTopLevel = 0;
    double ResultTieLevel = 0;
    double ResultDesignLevel = 0;
    double ResultInertia = 0;
    double ResultYoung = 0;

    OneBased<int, 2> LayerRowCounts;
    // LayerTable(side)(layer)(field): side 1 land, 2 sea.
    OneBased<OneBased<LayerRow, kMaxLayerRows>, 2> LayerTable;

    double ComputedTipLevel = 0;
    double MmaxLevel = 0;
    double MmaxValue = 0;
    double MmaxShear = 0;
    double MminLevel = 0;
    double MminValue = 0;
    double MminShear = 0;
    double ZeroMomentLevel = 0;
    double TieReaction = 0;
    double TipReaction = 0;

    int UpperRowCount = 0;
    int SectionRowCount = 0;
    OneBased<SectionRow, kMaxSectionRows> SectionTable;

    double DeltaMax = 0;
    double DeltaMin = 0;
    double ComputedEmbedment = 0;
    double RequiredEmbedment = 0;
    double RequiredTipLevel = 0;
};
