// Load model of the wall analysis: reading the inputs, clipping the layered tables to the two
// beam segments, integrating trapezoidal loads and the search for the embedment.

#include <cmath>

#include "engine/ConditionLimits.h"
#include "engine/WallAnalysisDetail.h"
#include "foundation/Numeric.h"

namespace wall {

namespace {

bool finite(double v) {
    return std::isfinite(v);
}

bool readNumber(const Slot& slot, double& out) {
    const auto v = slot.toNumber();
    if (!v || !finite(*v)) return false;
    out = *v;
    return true;
}

bool readTable(const LoadTable& table, int count, std::array<Layer, kMaxLoadLayers>& rows) {
    if (count > kMaxLoadLayers) return false;  // a row past the table's end
    for (int i = 1; i <= count; ++i) {
        Layer& row = rows[static_cast<std::size_t>(i - 1)];
        if (!readNumber(table(1, i), row.thickness) || !readNumber(table(2, i), row.top) ||
            !readNumber(table(3, i), row.bottom)) {
            return false;
        }
    }
    return true;
}

// Appends the clipped items to a segment, preparing each.
bool appendItems(const ClippedItems& clipped, SegmentItems& segment) {
    for (int i = 0; i < clipped.count; ++i) {
        if (segment.count >= kMaxSegmentItems) return false;
        if (!PrepareItem(clipped.items[static_cast<std::size_t>(i)],
                         segment.items[static_cast<std::size_t>(segment.count)])) {
            return false;
        }
        ++segment.count;
    }
    return true;
}

bool integralsFinite(const Integrals& v) {
    return finite(v.S) && finite(v.M) && finite(v.T) && finite(v.Y);
}

}  // namespace

bool ReadWorkingValues(const InputModel& model, WorkingValues& v) {
    const ConditionSet& c = model.CondData;
    double young = 0, inertia = 0, z1 = 0, z2 = 0;
    if (!readNumber(c(CondTopLevel), v.H) || !readNumber(c(CondTieLevel), v.Ht) ||
        !readNumber(c(CondDesignLevel), v.DL) || !readNumber(c(CondYoung), young) ||
        !readNumber(c(CondInertia), inertia) || !readNumber(c(CondZUpper), z1) ||
        !readNumber(c(CondZLower), z2) || !readNumber(c(CondSafetyFactor), v.F) ||
        !readNumber(c(CondAllowableStress), v.allowableStress) ||
        !readNumber(c(CondPitch), v.pitch)) {
        return false;
    }
    // Conditions no real wall has, which the forms' ranges keep out but a file may hold:
    // a stiffness, safety factor or pitch that is not above 0, or a tie above the wall top,
    // give deflections of kilometres or a negative embedment instead of an error, and an E
    // of 1e-300 results of 300 digits.
    if (!(young > 0) || !(inertia > 0) || !(v.F > 0) || !(v.pitch > 0) || v.Ht > v.H) {
        return false;
    }
    for (const ConditionLimit& limit : kConditionLimits) {
        if (!limit.checked) continue;
        const double value = *c(limit.slot).toNumber();
        // A pitch finer than the form's gives more rows, never other results; the table's
        // row limit bounds it.
        const bool belowRange = limit.slot != CondPitch && value < limit.min;
        if (belowRange || value > limit.max) return false;
    }
    v.E = young * 1000.0;
    v.I = inertia / 1e8;
    v.Z1 = z1 / 1e6;
    v.Z2 = z2 / 1e6;
    const auto mm = ToInt32HalfEven(v.pitch * 1000.0);
    if (!mm) return false;
    v.pitchMm = *mm;
    v.EI = v.E * v.I;
    if (!finite(v.E) || !finite(v.EI)) return false;
    v.landCount = model.LandLoadCount;
    v.seaCount = model.SeaLoadCount;
    if (!readTable(model.LandLoads, v.landCount, v.land) ||
        !readTable(model.SeaLoads, v.seaCount, v.sea)) {
        return false;
    }
    // The land rows as they are; the sea rows below a load-free layer from the top down to
    // D.L., with their pressures negated (they act the other way).
    v.landLayers.count = v.landCount < 0 ? 0 : v.landCount;
    for (int i = 0; i < v.landLayers.count; ++i) v.landLayers.rows[i] = v.land[i];
    const int seaRows = v.seaCount + 1;
    v.seaLayers.count = seaRows < 0 ? 0 : seaRows;
    if (v.seaLayers.count > 0) {
        const double freeDepth = v.H - v.DL;
        if (!finite(freeDepth)) return false;
        v.seaLayers.rows[0] = {freeDepth, 0.0, 0.0};
        for (int i = 1; i < v.seaLayers.count; ++i) {
            const Layer& s = v.sea[static_cast<std::size_t>(i - 1)];
            v.seaLayers.rows[static_cast<std::size_t>(i)] = {s.thickness, -s.top, -s.bottom};
        }
    }
    return true;
}

bool ClipLoadLayers(const WorkLayers& layers, double a, double b, ClippedItems& out) {
    out.count = 0;
    const double end = a + b;
    double m = 0;
    for (int i = 0; i < layers.count; ++i) {
        const Layer& layer = layers.rows[static_cast<std::size_t>(i)];
        const double d = layer.thickness;
        const double q0 = layer.top;
        const double q1 = layer.bottom;
        const double o = m + d;
        const double top = m;
        m = o;
        if (!(o > a && top < end)) continue;
        LoadItem item;
        double C = 0;
        if (top < a && o > end) {  // the layer covers the whole segment
            if (d == 0) return false;
            const double A = q0 + (q1 - q0) / d * (a - top);
            const double B = q0 + (q1 - q0) / d * (end - top);
            item = {A, B, 0.0, b};
            C = b / 2 * (A + B);
        } else if (top >= a && o <= end) {  // the layer lies inside the segment
            item = {q0, q1, top - a, d};
            C = d / 2 * (q0 + q1);
        } else if (top < a) {  // starts above the segment, ends inside
            if (d == 0) return false;
            const double A = q0 + (q1 - q0) / d * (a - top);
            item = {A, q1, 0.0, o - a};
            C = (o - a) / 2 * (A + q1);
        } else {  // starts inside, runs past the end
            if (d == 0) return false;
            const double B = q0 + (q1 - q0) / d * (end - top);
            item = {q0, B, top - a, end - top};
            C = (end - top) / 2 * (q0 + B);
        }
        if (!finite(C) || !finite(item.p0) || !finite(item.p1) || !finite(item.offset) ||
            !finite(item.length)) {
            return false;
        }
        if (!(std::fabs(C) > kItemDropLimit)) continue;
        if (out.count >= kMaxClippedItems) return false;  // a 100th item
        out.items[static_cast<std::size_t>(out.count++)] = item;
    }
    return true;
}

bool PrepareItem(const LoadItem& item, PreparedItem& out) {
    const double p0 = item.p0, p1 = item.p1, b = item.length;
    out.p0 = p0;
    out.p1 = p1;
    out.offset = item.offset;
    out.length = b;
    out.end = item.offset + b;
    out.slope = b != 0 ? (p1 - p0) / b : 0.0;
    out.C = b / 2 * (p0 + p1);
    out.D = b * b / 6 * (2 * p0 + p1);
    out.G = b * b * b / 24 * (3 * p0 + p1);
    out.K = b * b * b * b / 120 * (4 * p0 + p1);
    return finite(out.end) && finite(out.slope) && finite(out.C) && finite(out.D) &&
           finite(out.G) && finite(out.K);
}

namespace {

// The integrals of one prepared item at z, added to `sum`.
inline void accumulate(const PreparedItem& it, double z, Integrals& sum) {
    if (z <= it.offset) return;  // contributes exactly zero
    if (z <= it.end) {
        const double e = z - it.offset;
        const double q = it.p0 + it.slope * e;
        const double e2 = e * e;
        sum.S += e / 2 * (q + it.p0);
        sum.M += e2 / 6 * (q + 2 * it.p0);
        sum.T += e2 * e / 24 * (q + 3 * it.p0);
        sum.Y += e2 * e2 / 120 * (q + 4 * it.p0);
    } else {
        const double e = z - it.end;
        const double e2 = e * e;
        sum.S += it.C;
        sum.M += it.C * e + it.D;
        sum.T += it.C * e2 / 2 + it.D * e + it.G;
        sum.Y += it.C * (e2 * e) / 6 + it.D * e2 / 2 + it.G * e + it.K;
    }
}

}  // namespace

bool IntegrateTrapezoidLoad(double p0, double p1, double a, double b, double z, Integrals& out) {
    out = {};
    PreparedItem it;
    if (!PrepareItem({p0, p1, a, b}, it)) return false;
    accumulate(it, z, out);
    return integralsFinite(out);
}

Integrals SumIntegrals(const SegmentItems& items, double z) {
    Integrals sum;
    for (int i = 0; i < items.count; ++i)
        accumulate(items.items[static_cast<std::size_t>(i)], z, sum);
    return sum;
}

bool EvaluateEmbedmentResidual(const WorkingValues& v, double x, ResidualState& state) {
    const double L1 = v.H - v.Ht;
    const double L2 = v.Ht - v.DL + x;
    if (!finite(L1) || !finite(L2)) return false;
    state.L1 = L1;
    state.L2 = L2;
    const double starts[2] = {0.0, L1};
    const double lengths[2] = {L1, L2};

    ClippedItems clipped;
    for (int k = 0; k < 2; ++k) {
        SegmentItems& segment = state.segments[static_cast<std::size_t>(k)];
        segment.count = 0;
        if (!ClipLoadLayers(v.landLayers, starts[k], lengths[k], clipped)) return false;
        if (!appendItems(clipped, segment)) return false;
        if (!ClipLoadLayers(v.seaLayers, starts[k], lengths[k], clipped)) return false;
        if (!appendItems(clipped, segment)) return false;
    }
    state.seg1 = SumIntegrals(state.segments[0], L1);
    state.seg2 = SumIntegrals(state.segments[1], L2);
    if (!integralsFinite(state.seg1) || !integralsFinite(state.seg2)) return false;
    if (L2 == 0) return false;  // division by zero
    const Integrals& s1 = state.seg1;
    const Integrals& s2 = state.seg2;
    state.r = 2 * s2.M - s1.M - (6 / L2) * s2.T + (6 / (L2 * L2)) * s2.Y;
    return finite(state.r);
}

bool FindEmbedment(const WorkingValues& v, double& xOut, ResidualState& state) {
    constexpr int kEvaluations = 100;
    // Rising edge: the first whole-metre depth from 0 m with a positive residual.
    double x = -1;
    bool found = false;
    for (int n = 0; n < kEvaluations && !found; ++n) {
        x = x + 1;
        if (!EvaluateEmbedmentResidual(v, x, state)) return false;
        found = state.r > 0;
    }
    if (!found) return false;
    // Falling edge: the next whole metre below it with a negative residual.
    double x2 = x;
    found = false;
    for (int n = 0; n < kEvaluations && !found; ++n) {
        x2 = x2 + 1;
        if (!EvaluateEmbedmentResidual(v, x2, state)) return false;
        found = state.r < 0;
    }
    if (!found) return false;
    // Bisection to 1 mm.
    for (int n = 0; n < kEvaluations; ++n) {
        const double xm = (x + x2) / 2;
        if (!EvaluateEmbedmentResidual(v, xm, state)) return false;
        if (state.r > 0) {
            x = xm;
        } else {
            x2 = xm;
        }
        if (std::fabs(x - x2) < 0.001) {
            xOut = xm;
            return true;
        }
    }
    return false;
}

}  // namespace wall
