#pragma once
// Why an input file was not analysed, in words for the benchmark programs: the input file's
// error number with its meaning, or the condition that the analysis refuses (with the range
// of its form box, engine/ConditionLimits.h), or the stage of the analysis that failed.

#include <cmath>
#include <string>

#include "engine/AnalysisResult.h"
#include "engine/ConditionLimits.h"
#include "engine/WallAnalysisDetail.h"
#include "foundation/NumberFormat.h"
#include "workspace/InputFile.h"

namespace bench {

// The meaning of an error number of LoadInputFile.
inline std::string LoadErrorText(int err) {
    using namespace inputfile;
    const char* what = "unknown error";
    switch (err) {
        case kErrOverflow:
            what = "overflow";
            break;
        case kErrTooLarge:
            what = "file too large to be an input file";
            break;
        case kErrSubscript:
            what = "subscript out of range (a count outside 0..99)";
            break;
        case kErrTypeMismatch:
            what = "type mismatch (a field is not of its kind)";
            break;
        case kErrBadFileName:
            what = "bad file name";
            break;
        case kErrFileNotFound:
            what = "file not found";
            break;
        case kErrDeviceIo:
            what = "device I/O error";
            break;
        case kErrDiskFull:
            what = "disk full";
            break;
        case kErrPastEnd:
            what = "input past end of file";
            break;
        case kErrPermission:
            what = "permission denied";
            break;
        case kErrDiskNotReady:
            what = "disk not ready";
            break;
        case kErrAccess:
            what = "path or file access error";
            break;
        case kErrPathNotFound:
            what = "path not found";
            break;
        default:
            break;
    }
    return "cannot read the input file (error " + std::to_string(err) + ": " + what + ")";
}

// The reason RunWallAnalysis returned false for `model`, checked in the order the analysis
// reads its input.
inline std::string AnalysisFailureReason(const InputModel& model) {
    static const char* const kNames[] = {"case name",
                                         "top-of-wall elevation",
                                         "tie-rod elevation",
                                         "design sea-bottom elevation D.L.",
                                         "E",
                                         "I",
                                         "Z above ground",
                                         "Z below ground",
                                         "safety factor F",
                                         "allowable stress",
                                         "output pitch"};
    const auto name = [&](int slot) {
        return "condition " + std::to_string(slot) + " (" + kNames[slot - 1] + ")";
    };
    double value[CondPitch + 1] = {};
    for (int slot = CondTopLevel; slot <= CondPitch; ++slot) {
        const auto v = model.CondData(slot).toNumber();
        if (!v || !std::isfinite(*v)) {
            return name(slot) + " is not a number: \"" + model.CondData(slot).toText() + "\"";
        }
        value[slot] = *v;
    }
    for (const int slot : {CondYoung, CondInertia, CondSafetyFactor, CondPitch}) {
        if (!(value[slot] > 0))
            return name(slot) + " " + FormatGeneralNumber(value[slot]) + " is not above 0";
    }
    if (value[CondTieLevel] > value[CondTopLevel]) {
        return name(CondTieLevel) + " " + FormatGeneralNumber(value[CondTieLevel]) +
               " lies above the top of the wall " + FormatGeneralNumber(value[CondTopLevel]);
    }
    for (const ConditionLimit& limit : kConditionLimits) {
        const double v = value[limit.slot];
        // A pitch finer than the form's is accepted.
        const bool below = limit.slot != CondPitch && v < limit.min;
        if (limit.checked && (below || v > limit.max)) {
            return name(limit.slot) + " " + FormatGeneralNumber(v) + " outside its range " +
                   FormatGeneralNumber(limit.min) + " .. " + FormatGeneralNumber(limit.max);
        }
    }
    const struct {
        const char* side;
        int count;
        const LoadTable& table;
    } sides[] = {{"land", model.LandLoadCount, model.LandLoads},
                 {"sea", model.SeaLoadCount, model.SeaLoads}};
    for (const auto& s : sides) {
        if (s.count > kMaxLoadLayers) {
            return std::string(s.side) + " layer count " + std::to_string(s.count) + " above 99";
        }
        for (int row = 1; row <= s.count; ++row) {
            for (int field = 1; field <= 3; ++field) {
                const auto v = s.table(field, row).toNumber();
                if (!v || !std::isfinite(*v)) {
                    return std::string(s.side) + " layer " + std::to_string(row) + " field " +
                           std::to_string(field) + " is not a number";
                }
            }
        }
    }
    wall::WorkingValues v;
    if (!wall::ReadWorkingValues(model, v)) return "the conditions cannot be read";
    double x = 0;
    wall::ResidualState state;
    if (!wall::FindEmbedment(v, x, state)) {
        return "no embedment found: the search for the residual's root did not succeed";
    }
    wall::BeamSolution beam;
    if (!wall::SolveBeam(state, v.EI, beam)) return "no beam solution at the embedment";
    // Both segments from end to end at the pitch.
    const double rows = std::ceil(state.L1 / v.pitch) + std::ceil(state.L2 / v.pitch) + 2;
    if (rows > kMaxSectionRows) {
        return "the section table needs about " + FormatGeneralNumber(rows) + " rows, more than " +
               std::to_string(kMaxSectionRows) + " (a wall of " +
               FormatGeneralNumber(state.L1 + state.L2) + " m at a pitch of " +
               FormatGeneralNumber(v.pitch) + " m)";
    }
    return "the extreme moments, the zero-moment point or a result value could not be found";
}

}  // namespace bench
