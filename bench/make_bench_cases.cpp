// Writes the benchmark cases of bench/cases as input files:
//   make_bench_cases <folder>
// quay.mbw        a quay wall, 20 layers per side, 0.5 m pitch (the typical case)
// layers99.mbw    the same wall with 99 layers per side
// rows9999.mbw    99 layers per side, D.L. -8.0, 2 mm pitch, top raised to just fit 9999 rows
// rows_over.mbw   the same 1 mm higher at the top: more than 9999 rows, the analysis fails
// rows8000.mbw    the typical wall dredged to D.L. -28.0 at a 6 mm pitch: a 49 m wall, about
//                 8 200 section rows (the long report of the report benchmark)

#include <cstdio>
#include <memory>
#include <string>

#include "engine/WallAnalysis.h"
#include "workspace/InputFile.h"

namespace {

// Active earth pressure with a surcharge and residual water pressure, kN/m2 at depth d
// below the top of the wall (+3.0); the residual water level lies 1.5 m below the top.
double LandPressure(double d) {
    const double earth = 3 + 0.3 * 18 * (d < 2 ? d : 2) + 0.3 * 9 * (d > 2 ? d - 2 : 0);
    const double water = d < 1.5 ? 0 : (d < 3 ? (d - 1.5) * 10 : 15);
    return earth + water;
}

// Passive resistance below D.L., reduced: 36 kN/m2 per metre of depth.
double SeaPressure(double d) {
    return 36 * d;
}

void SetLayer(LoadTable& table, int row, double thickness, double top, double bottom) {
    table(1, row) = Slot::number(thickness);
    table(2, row) = Slot::number(top);
    table(3, row) = Slot::number(bottom);
}

// `layers` land layers over 45 m from the top and as many sea layers over 30 m from D.L.;
// `raise` lifts the top (and the first land layer's top) without moving the other layers.
InputModel QuayWall(const char* name, int layers, double pitch, double raise,
                    double design = -10.0) {
    InputModel m;
    ClearInputData(m);
    m.InputDataSet = true;
    m.CondData(CondTitle) = Slot::text(name);
    const double conditions[] = {3.0 + raise, 1.5,  design, 200000, 40000,
                                 2000,        2000, 1.2,    180,    pitch};
    for (int i = 0; i < 10; ++i) m.CondData(i + 2) = Slot::number(conditions[i]);
    const double landStep = 45.0 / layers;
    for (int i = 0; i < layers; ++i) {
        const double top = i * landStep, bottom = (i + 1) * landStep;
        SetLayer(m.LandLoads, i + 1, landStep + (i == 0 ? raise : 0), LandPressure(top),
                 LandPressure(bottom));
    }
    const double seaStep = 30.0 / layers;
    for (int i = 0; i < layers; ++i) {
        SetLayer(m.SeaLoads, i + 1, seaStep, SeaPressure(i * seaStep),
                 SeaPressure((i + 1) * seaStep));
    }
    m.LandLoadCount = layers;
    m.SeaLoadCount = layers;
    return m;
}

// D.L. of the long-table cases: a shallower dredge level gives about 9 250 rows at 2 mm
// before the top is raised.
constexpr double kRowsDesign = -8.0;

bool Save(const std::string& folder, const char* file, const InputModel& m) {
    int err = 0;
    if (!SaveInputFile(m, folder + "/" + file, err)) {
        std::fprintf(stderr, "cannot write %s: error %d\n", file, err);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_cases <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    auto result = std::make_unique<AnalysisResult>();
    // Raise the top millimetre by millimetre while the table still fits.
    int best = -1;
    int rows = 0;
    for (int mm = 0; mm <= 2000; ++mm) {
        const InputModel m = QuayWall("rows", 99, 0.002, mm / 1000.0, kRowsDesign);
        if (!RunWallAnalysis(m, *result)) break;
        best = mm;
        rows = result->SectionRowCount;
    }
    if (best < 0) {
        std::fprintf(stderr, "no fitting top level\n");
        return 1;
    }
    std::printf("rows9999.mbw: top raised %d mm, %d rows\n", best, rows);
    const bool ok =
        Save(folder, "quay.mbw", QuayWall("岸壁 -10m 標準", 20, 0.5, 0)) &&
        Save(folder, "layers99.mbw", QuayWall("岸壁 99層", 99, 0.5, 0)) &&
        Save(folder, "rows9999.mbw",
             QuayWall("岸壁 9999行", 99, 0.002, best / 1000.0, kRowsDesign)) &&
        Save(folder, "rows8000.mbw", QuayWall("岸壁 -28m 6mmピッチ", 20, 0.006, 0, -28.0)) &&
        Save(folder, "rows_over.mbw",
             QuayWall("岸壁 行数超過", 99, 0.002, (best + 1) / 1000.0, kRowsDesign));
    return ok ? 0 : 1;
}
