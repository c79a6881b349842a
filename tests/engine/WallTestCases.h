#pragma once
// Input models shared by the engine tests.

#include "engine/InputModel.h"

namespace walltest {

struct Conditions {
    double top = 3.0, tie = 1.5, design = -10.0;
    double young = 200000, inertia = 40000, zUpper = 2000, zLower = 2000;
    double factor = 1.2, allowable = 180, pitch = 0.5;
};

inline void SetConditions(InputModel& m, const Conditions& c) {
    m.CondData(CondTitle) = Slot::text("test");
    const double values[] = {c.top,    c.tie,    c.design, c.young,     c.inertia,
                             c.zUpper, c.zLower, c.factor, c.allowable, c.pitch};
    for (int i = 0; i < 10; ++i) m.CondData(i + 2) = Slot::number(values[i]);
}

inline void AddLayer(InputModel& m, bool land, double thickness, double top, double bottom) {
    int& count = land ? m.LandLoadCount : m.SeaLoadCount;
    LoadTable& table = land ? m.LandLoads : m.SeaLoads;
    ++count;
    table(1, count) = Slot::number(thickness);
    table(2, count) = Slot::number(top);
    table(3, count) = Slot::number(bottom);
}

// A quay wall: active earth pressure with residual water on the land side in 20 layers from
// the top, passive resistance growing with depth on the sea side in 20 layers from D.L.
inline InputModel QuayModel(const Conditions& c = {}) {
    InputModel m;
    ClearInputData(m);
    SetConditions(m, c);
    m.InputDataSet = true;
    auto land = [](double d) {  // kN/m2 at depth d below the top
        const double earth = 3 + 0.3 * 18 * (d < 2 ? d : 2) + 0.3 * 9 * (d > 2 ? d - 2 : 0);
        const double water = d < 1.5 ? 0 : (d < 3 ? (d - 1.5) * 10 : 15);
        return earth + water;
    };
    double d = 0;
    for (int i = 0; i < 20; ++i) {
        const double t = i < 10 ? 1.3 : 3.2;
        AddLayer(m, true, t, land(d), land(d + t));
        d += t;
    }
    for (int i = 0; i < 20; ++i) AddLayer(m, false, 1.5, 36.0 * 1.5 * i, 36.0 * 1.5 * (i + 1));
    return m;
}

// Top and tie at 0, D.L. at -h; a uniform land pressure p over the whole wall and a uniform
// sea pressure q below D.L. The embedment is h (sqrt(k / (k - 1)) - 1) with k = sqrt(q / p).
inline InputModel UniformModel(double h, double p, double q, double pitch = 0.5) {
    InputModel m;
    ClearInputData(m);
    Conditions c;
    c.top = 0;
    c.tie = 0;
    c.design = -h;
    c.pitch = pitch;
    SetConditions(m, c);
    AddLayer(m, true, 90, p, p);
    AddLayer(m, false, 90, q, q);
    return m;
}

}  // namespace walltest
