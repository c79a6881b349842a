#pragma once
// The range that each condition's number box on the conditions form allows, in the units of
// the condition slots (elevations m, E N/mm2, I cm4/m, Z cm3/m, ΔL m). The form takes its
// limits from here and the analysis refuses a condition outside a range the form checks, so
// that a hand-edited file cannot reach results no form input can give.

#include "engine/InputModel.h"

struct ConditionLimit {
    Cond slot;
    double min;
    double max;
    // The form checks the range when the box is left; the safety factor and the allowable
    // stress boxes carry their limits unchecked.
    bool checked;
};

inline constexpr ConditionLimit kConditionLimits[] = {
    {CondTopLevel, -999.999, 999.999, true},
    {CondTieLevel, -999.999, 999.999, true},
    {CondDesignLevel, -999.999, 999.999, true},
    {CondYoung, 10000, 999999, true},
    {CondInertia, 1000, 9999999, true},
    {CondZUpper, 0, 99999, true},
    {CondZLower, 0, 99999, true},
    {CondSafetyFactor, 1.0, 2.0, false},
    {CondAllowableStress, 0, 999, false},
    {CondPitch, 0.1, 1.0, true},
};

// The limits of a condition slot's box; the case name and the slots after ΔL have none.
inline const ConditionLimit* ConditionLimitOf(int slot) {
    for (const ConditionLimit& limit : kConditionLimits) {
        if (limit.slot == slot) return &limit;
    }
    return nullptr;
}
