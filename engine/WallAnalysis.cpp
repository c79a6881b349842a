// Wall analysis: beam solution at the embedment, section-force table, extreme values and the
// writing of the result. The load model and the embedment search are in WallLoads.cpp.

#include "engine/WallAnalysis.h"

#include <cmath>
#include <cstdint>

#include "engine/WallAnalysisDetail.h"
#include "foundation/Numeric.h"

namespace wall {

namespace {

bool finite(double v) {
    return std::isfinite(v);
}

constexpr double kProbeStep = 0.2;           // m, step of the two extreme-moment searches
constexpr double kTolerance = 0.001;         // m, end of every bisection and table segment
constexpr double kMinSectionModulus = 1e-7;  // m3/m, below which no stress is given
// Loops that the arithmetic alone would bound only for sane inputs.
constexpr int kMaxProbes = 100000;  // 20 km of wall
constexpr int kMaxBisections = 200;

}  // namespace

bool SolveBeam(const ResidualState& s, double EI, BeamSolution& b) {
    if (EI == 0 || s.L2 == 0) return false;
    const double L1 = s.L1, L2 = s.L2;
    const double M1 = s.seg1.M, T1 = s.seg1.T, Y1 = s.seg1.Y;
    const double M2 = s.seg2.M, T2 = s.seg2.T, Y2 = s.seg2.Y;
    b.EI = EI;
    b.L1 = L1;
    b.L2 = L2;
    b.M1 = M1;
    b.M2 = M2;
    b.y0[0] = (L2 / 6 * ((L2 + 3 * L1) * M1 - (3 * L1 + 2 * L2) * M2) + L1 * T1 + (L1 + L2) * T2 -
               Y1 - Y2) /
              EI;
    b.t0[0] = -(L2 / 2 * (M1 - M2) + T1 + T2) / EI;
    b.c2[0] = 0;
    b.c3[0] = 0;
    b.y0[1] = (L2 * L2 / 6 * (M1 - 2 * M2) + T2 * L2 - Y2) / EI;
    b.t0[1] = -(L2 / 2 * (M1 - M2) + T2) / EI;
    b.c2[1] = M1 / (2 * EI);
    b.c3[1] = -(M1 + M2) / (6 * EI * L2);
    b.Ap = (M1 + M2) / L2 + s.seg1.S;
    b.Rd = b.Ap - (s.seg1.S + s.seg2.S);
    b.items[0] = &s.segments[0];
    b.items[1] = &s.segments[1];
    for (int k = 0; k < 2; ++k) {
        if (!finite(b.y0[k]) || !finite(b.t0[k]) || !finite(b.c2[k]) || !finite(b.c3[k])) {
            return false;
        }
    }
    return finite(b.Ap) && finite(b.Rd);
}

bool SectionStateAt(const BeamSolution& b, int segment, double z, SectionState& out) {
    const int k = segment - 1;
    const Integrals sum = SumIntegrals(*b.items[k], z);
    const double y0 = b.y0[k], t0 = b.t0[k], c2 = b.c2[k], c3 = b.c3[k];
    out.deflection = y0 + t0 * z + c2 * (z * z) + c3 * (z * z * z) + sum.Y / b.EI;
    out.slope = t0 + 2 * c2 * z + 3 * c3 * (z * z) + sum.T / b.EI;
    if (segment == 1) {
        out.moment = -b.EI * (2 * c2 + 6 * c3 * z) - sum.M;
        out.shear = -b.EI * 6 * c3 - sum.S;
    } else {
        const double slopeOfMoment = (b.M1 + b.M2) / b.L2;
        out.moment = slopeOfMoment * z - b.M1 - sum.M;
        out.shear = slopeOfMoment - sum.S;
    }
    return finite(out.deflection) && finite(out.slope) && finite(out.moment) && finite(out.shear);
}

// Upper extreme: probes 0.4, 0.6, .. m below the tie until the shear turns negative, then
// bisection between the tie and that probe. A probe below the tip that still finds no
// negative shear ends the search: the shear stays Rd from there on.
bool FindUpperExtreme(const BeamSolution& beam, double& m, SectionState& at) {
    double z = kProbeStep;
    SectionState st;
    for (int n = 0;; ++n) {
        if (n >= kMaxProbes) return false;
        z = z + kProbeStep;
        if (!SectionStateAt(beam, 2, z, st)) return false;
        if (st.shear < 0) break;
        if (z > beam.L2) return false;
    }
    double lo = 0, hi = z;
    for (int n = 0;; ++n) {
        if (n >= kMaxBisections) return false;
        m = (hi + lo) / 2;
        if (!SectionStateAt(beam, 2, m, at)) return false;
        if (at.shear >= 0) {
            lo = m;
        } else {
            hi = m;
        }
        if (std::fabs(hi - lo) < kTolerance) return true;
    }
}

// Lower extreme: probes upward from the tip in 0.2 m steps until the shear turns negative,
// then bisection between that probe and the tip. A probe above the tie that still finds no
// negative shear ends the search.
bool FindLowerExtreme(const BeamSolution& beam, double& m, SectionState& at) {
    double z = beam.L2;
    SectionState st;
    for (int n = 0;; ++n) {
        if (n >= kMaxProbes) return false;
        z = z - kProbeStep;
        if (!SectionStateAt(beam, 2, z, st)) return false;
        if (st.shear < 0) break;
        if (z < 0) return false;
    }
    double lo = z, hi = beam.L2;
    for (int n = 0;; ++n) {
        if (n >= kMaxBisections) return false;
        m = (hi + lo) / 2;
        if (!SectionStateAt(beam, 2, m, at)) return false;
        if (at.shear > 0) {
            hi = m;
        } else {
            lo = m;
        }
        if (std::fabs(hi - lo) < kTolerance) return true;
    }
}

// The point of zero moment between tie and tip, by bisection.
bool FindZeroMoment(const BeamSolution& beam, double& m) {
    double lo = 0, hi = beam.L2;
    SectionState st;
    for (int n = 0;; ++n) {
        if (n >= kMaxBisections) return false;
        m = (lo + hi) / 2;
        if (!SectionStateAt(beam, 2, m, st)) return false;
        if (st.moment >= 0) {
            lo = m;
        } else {
            hi = m;
        }
        if (std::fabs(hi - lo) < kTolerance) return true;
    }
}

namespace {

// Tabulates one segment from z = 0 to its length L at the output pitch, rows from
// `firstRow` + 1 on; returns the number of rows written through `rows`.
bool tabulateSegment(const BeamSolution& beam, const WorkingValues& v, int segment, double L,
                     double startLevel, int firstRow, AnalysisResult& result, int& rows) {
    int j = 0;
    double z = 0;
    for (;;) {
        SectionState st;
        if (!SectionStateAt(beam, segment, z, st)) return false;
        const double level = startLevel - z;
        if (!finite(level)) return false;
        ++j;
        const int row = firstRow + j;
        if (row > kMaxSectionRows) return false;
        SectionRow& out = result.SectionTable(row);
        out(1) = level;
        out(2) = st.deflection;
        out(3) = st.slope;
        out(4) = st.moment;
        out(5) = st.shear;
        if (std::fabs(z - L) < kTolerance) break;
        // Back onto the millimetre grid of the pitch when the sum has drifted off it.
        const auto zmm = ToInt32HalfEven(z * 1000);
        if (!zmm || v.pitchMm == 0) return false;
        const std::int64_t rem = static_cast<std::int64_t>(*zmm) % v.pitchMm;
        if (rem != 0) {
            z = z + v.pitch - static_cast<double>(rem) / 1000;
        } else {
            z = z + v.pitch;
        }
        if (z > L) z = L;
        if (!finite(z)) return false;
    }
    rows = j;
    return true;
}

// Each input layer placed at its elevations, from `level` downward.
bool placeLayers(const std::array<Layer, kMaxLoadLayers>& rows, int count, double level,
                 OneBased<LayerRow, kMaxLayerRows>& table) {
    for (int i = 1; i <= count; ++i) {
        const Layer& in = rows[static_cast<std::size_t>(i - 1)];
        const double bottom = level - in.thickness;
        if (!finite(bottom)) return false;
        LayerRow& out = table(i);
        out(1) = level;
        out(2) = bottom;
        out(3) = in.thickness;
        out(4) = in.top;
        out(5) = in.bottom;
        level = bottom;
    }
    return true;
}

bool analyse(const InputModel& model, AnalysisResult& result) {
    WorkingValues v;
    if (!ReadWorkingValues(model, v)) return false;
    double x = 0;
    ResidualState state;
    if (!FindEmbedment(v, x, state)) return false;

    BeamSolution beam;
    if (!SolveBeam(state, v.EI, beam)) return false;
    const double tipLevel = v.DL - x;
    if (!finite(tipLevel)) return false;
    result.ComputedTipLevel = tipLevel;
    result.TieReaction = beam.Ap;
    result.TipReaction = beam.Rd;

    int rows = 0;
    if (!tabulateSegment(beam, v, 1, beam.L1, v.H, 0, result, rows)) return false;
    result.UpperRowCount = rows;
    result.SectionRowCount = rows;
    if (!tabulateSegment(beam, v, 2, beam.L2, v.Ht, result.SectionRowCount, result, rows)) {
        return false;
    }
    result.SectionRowCount += rows;

    double m = 0;
    SectionState at;
    if (!FindUpperExtreme(beam, m, at) || !finite(v.Ht - m)) return false;
    result.MmaxLevel = v.Ht - m;
    result.MmaxValue = at.moment;
    result.MmaxShear = at.shear;
    if (!FindLowerExtreme(beam, m, at) || !finite(v.Ht - m)) return false;
    result.MminLevel = v.Ht - m;
    result.MminValue = at.moment;
    result.MminShear = at.shear;
    if (!FindZeroMoment(beam, m) || !finite(v.Ht - m)) return false;
    result.ZeroMomentLevel = v.Ht - m;

    double sigma1 = 0, sigma2 = 0;
    if (v.Z1 > kMinSectionModulus) sigma1 = std::fabs(result.MmaxValue) / v.Z1 / 1000;
    if (v.Z2 > kMinSectionModulus) sigma2 = std::fabs(result.MminValue) / v.Z2 / 1000;
    if (!finite(sigma1) || !finite(sigma2)) return false;

    double deltaMax = result.SectionTable(1)(2) * 1000;
    double deltaMin = deltaMax;
    for (int row = 1; row <= result.SectionRowCount; ++row) {
        const double d = result.SectionTable(row)(2) * 1000;
        if (!finite(d)) return false;
        if (d > deltaMax) deltaMax = d;
        if (d < deltaMin) deltaMin = d;
    }
    result.DeltaMax = deltaMax;
    result.DeltaMin = deltaMin;

    double required = 0;
    if (!TryRoundHalfUp(x, 3, x) || !TryRoundHalfUp(v.F * x, 3, required) ||
        !finite(v.DL - required) || !finite(v.DL - x)) {
        return false;
    }
    result.ComputedEmbedment = x;
    result.RequiredEmbedment = required;
    result.RequiredTipLevel = v.DL - required;

    const double summary[10] = {v.DL - x,
                                result.MmaxValue,
                                result.MmaxLevel,
                                result.MminValue,
                                result.MminLevel,
                                result.ZeroMomentLevel,
                                result.TieReaction,
                                result.TipReaction,
                                sigma1,
                                sigma2};
    for (int i = 1; i <= 10; ++i) result.ResultSummary(i) = summary[i - 1];

    result.ResultCaseTitle = model.CondData(CondTitle).toText();
    result.ResultTopLevel = v.H;
    result.ResultTieLevel = v.Ht;
    result.ResultDesignLevel = v.DL;
    result.ResultYoung = *model.CondData(CondYoung).toNumber();
    result.ResultInertia = *model.CondData(CondInertia).toNumber();
    result.LayerRowCounts(1) = model.LandLoadCount;
    if (!placeLayers(v.land, v.landCount, v.H, result.LayerTable(1))) return false;
    result.LayerRowCounts(2) = model.SeaLoadCount;
    return placeLayers(v.sea, v.seaCount, v.DL, result.LayerTable(2));
}

}  // namespace

}  // namespace wall

bool RunWallAnalysis(const InputModel& model, AnalysisResult& result) {
    try {
        return wall::analyse(model, result);
    } catch (const std::exception&) {
        return false;  // an index past a bound
    }
}
