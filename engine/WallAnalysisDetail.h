#pragma once
// Internals of the wall analysis, exposed for table tests and the benchmark. Not for the forms.
//
// Coordinates: the depth s runs downward from the wall top (s = 0 at elevation H). Segment 1
// runs from the top to the tie (length L1 = H - Ht), segment 2 from the tie to the tip
// (length L2 = Ht - DL + x). Inside a segment z is the local depth from its start.
// Example: H = 3.0, Ht = 1.5, DL = -10.0, x = 6.0 gives L1 = 1.5, L2 = 17.5; the point
// z = 2.0 of segment 2 lies at elevation 1.5 - 2.0 = -0.5.
//
// Every routine that can fail returns false instead of raising: an index past a bound, a
// division by zero or a value that is no longer finite. Nothing here allocates.

#include <array>

#include "engine/InputModel.h"

namespace wall {

constexpr int kMaxWorkLayers = kMaxLoadLayers + 1;  // a whole table plus the sea's free layer
constexpr int kMaxClippedItems = 99;
constexpr int kMaxSegmentItems = 198;
constexpr double kItemDropLimit = 0.0009;  // kN/m: items with |resultant| <= this are ignored

// One row of a layered table: thickness m, pressure at the top and at the bottom kN/m2.
struct Layer {
    double thickness = 0;
    double top = 0;
    double bottom = 0;
};

struct WorkLayers {
    std::array<Layer, kMaxWorkLayers> rows{};
    int count = 0;
};

// A trapezoidal load on a segment: intensity p0 at `offset`, p1 at offset + length.
struct LoadItem {
    double p0 = 0;
    double p1 = 0;
    double offset = 0;
    double length = 0;
};

struct ClippedItems {
    std::array<LoadItem, kMaxClippedItems> items{};
    int count = 0;
};

// The four repeated integrals of a load up to a point: resultant S (kN/m), moment M about the
// point (kN*m/m) and the third and fourth integrals T and Y used for slope and deflection.
struct Integrals {
    double S = 0;
    double M = 0;
    double T = 0;
    double Y = 0;
};

// A load item with its whole-item integrals worked out once, so a section state costs a few
// multiplications per item. The values are those IntegrateTrapezoidLoad computes.
struct PreparedItem {
    double p0, p1, offset, length, end;  // end = offset + length
    double slope;                        // (p1 - p0) / length, 0 when the length is 0
    double C, D, G, K;                   // integrals of the whole item about its end
};

struct SegmentItems {
    std::array<PreparedItem, kMaxSegmentItems> items;
    int count = 0;
};

// The working values read from the conditions (units converted) and the load tables.
struct WorkingValues {
    double H = 0, Ht = 0, DL = 0;
    double E = 0;   // kN/m2
    double I = 0;   // m4/m
    double Z1 = 0;  // m3/m
    double Z2 = 0;  // m3/m
    double F = 0;
    double allowableStress = 0;  // N/mm2, read only
    double pitch = 0;            // m
    int pitchMm = 0;
    double EI = 0;
    int landCount = 0;
    int seaCount = 0;
    std::array<Layer, kMaxLoadLayers> land{};  // as entered
    std::array<Layer, kMaxLoadLayers> sea{};   // as entered (not negated)
    WorkLayers landLayers;                     // the land rows to clip
    WorkLayers seaLayers;                      // free layer down to D.L., sea rows negated
};

// What one evaluation of the residual leaves behind.
struct ResidualState {
    double L1 = 0, L2 = 0;
    Integrals seg1;  // segment 1 at its end
    Integrals seg2;  // segment 2 at its end
    double r = 0;
    std::array<SegmentItems, 2> segments;  // loads acting on segments 1 and 2
};

// Reads the conditions 2..11 and the load rows 1..count. False for a slot that is not a
// number, a value that is not finite, a condition outside its form range (a pitch only above
// it), a pitch whose millimetres overflow, or a count above 99.
bool ReadWorkingValues(const InputModel& model, WorkingValues& values);

// Clips the layers of `layers`, stacked from depth 0 downward, to the segment [a, a + b].
// False on a 100th kept item or a value that is not finite.
bool ClipLoadLayers(const WorkLayers& layers, double a, double b, ClippedItems& out);

// The four integrals at local coordinate z of a trapezoidal load (p0 .. p1 over
// [a, a + b]). False when a result is not finite.
bool IntegrateTrapezoidLoad(double p0, double p1, double a, double b, double z, Integrals& out);

// Fills a prepared item; false when a whole-item integral is not finite.
bool PrepareItem(const LoadItem& item, PreparedItem& out);

// Sums the integrals of every item of a segment at z, in item order.
Integrals SumIntegrals(const SegmentItems& items, double z);

// Places both tables on the two segments for the trial depth x and returns the residual
// r = 2 M2 - M1 - (6 / L2) T2 + (6 / L2^2) Y2 with the segment integrals.
bool EvaluateEmbedmentResidual(const WorkingValues& values, double x, ResidualState& state);

// The three-stage search for the embedment: the first trial depth 0, 1, .. 99 m with r > 0,
// the next whole metre below it with r < 0, then bisection to 1 mm. `state` holds the last
// evaluation (at the returned depth). False when a stage does not succeed in 100 evaluations.
bool FindEmbedment(const WorkingValues& values, double& x, ResidualState& state);

}  // namespace wall

namespace wall {

// The closed-form beam solution at the final embedment: per segment the deflection y0 and
// slope t0 at its start and the quadratic and cubic coefficients c2, c3 (index 0 = segment 1,
// index 1 = segment 2), with the reactions. Refers to the segment items of a ResidualState,
// which must outlive it.
struct BeamSolution {
    double EI = 0;
    double L1 = 0, L2 = 0;
    double M1 = 0, M2 = 0;
    std::array<double, 2> y0{}, t0{}, c2{}, c3{};
    double Ap = 0;  // tie reaction kN/m
    double Rd = 0;  // tip reaction kN/m
    const SegmentItems* items[2] = {nullptr, nullptr};
};

// Deflection m, slope, moment kN*m/m and shear kN/m at one point.
struct SectionState {
    double deflection = 0;
    double slope = 0;
    double moment = 0;
    double shear = 0;
};

// False when EI or L2 is 0 or a coefficient is not finite.
bool SolveBeam(const ResidualState& state, double EI, BeamSolution& beam);

// The state at local coordinate z of segment 1 or 2; false when a value is not finite.
bool SectionStateAt(const BeamSolution& beam, int segment, double z, SectionState& out);

// Mmax: probes 0.4, 0.6, .. m below the tie until the shear is negative, then bisection to
// 1 mm between the tie and that probe; `m` is the last midpoint and `at` its state. Fails
// when a probe below the tip (where the shear stays Rd) still finds no negative shear.
bool FindUpperExtreme(const BeamSolution& beam, double& m, SectionState& at);

// Mmin: probes upward from the tip in 0.2 m steps, then bisection between the probe and the
// tip. Fails when a probe above the tie still finds no negative shear.
bool FindLowerExtreme(const BeamSolution& beam, double& m, SectionState& at);

// The zero-moment point between tie and tip by bisection to 1 mm.
bool FindZeroMoment(const BeamSolution& beam, double& m);

}  // namespace wall
