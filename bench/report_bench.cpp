// Writes both reports of input files as the print menu does and times them:
//   report_bench --out DIR FILE.mbw...
// Per file: read it, run the analysis, then write DIR/<stem>.conditions.prn and
// DIR/<stem>.results.prn with their figures. Numbering comes from the Chapter section of
// Mibrox.ini beside this program (defaults when there is none); Mibrox.fmt, LINE_PRN.DEF and
// STR_PRN.DEF are read from there too. Figure files go to the temporary folder ($TMPDIR) and
// are kept, so the print files stay viewable. Prints "name value" lines: file, ok,
// conditions_pages, results_pages, conditions_ms, results_ms (writing time with figures,
// analysis excluded; the best of five builds, so that a busy machine disturbs it less). A file
// that cannot be read or analysed gives "ok 0" and "reason" with the words why. Exit status
// 1 when any file failed.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AnalysisFailure.h"
#include "engine/WallAnalysis.h"
#include "foundation/FileRoutines.h"
#include "foundation/SafeFile.h"
#include "report/Reports.h"
#include "workspace/InputFile.h"

namespace {

constexpr int kRuns = 5;

std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

std::string Milliseconds(double ms) {
    char text[32];
    const auto res = std::to_chars(text, text + sizeof text, ms, std::chars_format::fixed, 3);
    return std::string(text, res.ptr);
}

int PageCount(const std::string& path) {
    const safefile::ReadResult r = safefile::readRegularFile(path, std::size_t{1} << 30);
    if (!r.ok() || r.bytes.empty()) return 0;
    return static_cast<int>(std::count(r.bytes.begin(), r.bytes.end(), '\f')) + 1;
}

using WriteReport = bool (*)(PrintSession&, const InputModel&, const AnalysisResult&, std::string*);

// Writes one report into `path` (emptied first); returns the time in ms, or -1 on failure.
double TimeReport(PrintSession& session, WriteReport write, const std::string& path,
                  const InputModel& model, const AnalysisResult& result) {
    if (!CreateEmptyFile(path)) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        return -1;
    }
    session.writer().SetCurrentReportFile(path);
    std::string reason;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = write(session, model, result, &reason);
    const auto end = std::chrono::steady_clock::now();
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), reason.c_str());
        return -1;
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

bool RunFile(const std::string& folder, const std::string& outDir, const std::string& path) {
    std::printf("file %s\n", path.c_str());
    InputModel model;
    ClearInputData(model);
    int err = 0;
    auto result = std::make_unique<AnalysisResult>();
    const bool loaded = LoadInputFile(model, path, err);
    if (!loaded || !RunWallAnalysis(model, *result)) {
        const std::string reason =
            loaded ? bench::AnalysisFailureReason(model) : bench::LoadErrorText(err);
        std::fprintf(stderr, "%s: not analysed: %s\n", path.c_str(), reason.c_str());
        std::printf("ok 0\n");
        std::printf("reason %s\n", reason.c_str());
        return false;
    }
    const std::string stem = std::filesystem::path(path).stem().string();
    const std::string conditions = outDir + "/" + stem + ".conditions.prn";
    const std::string results = outDir + "/" + stem + ".results.prn";
    const NumberingSettings numbering = ReadNumberingSettings(folder + "/Mibrox.ini");
    // The best of a few builds, each a print session of its own; the files of the last one
    // are kept.
    double conditionsMs = -1, resultsMs = -1;
    bool ok = true;
    for (int run = 0; run < kRuns && ok; ++run) {
        PrintSession session(ReportDataFiles::InFolder(folder));
        session.BeginBuild(numbering);
        const double c = TimeReport(session, WriteConditionsReport, conditions, model, *result);
        const double r = TimeReport(session, WriteResultReport, results, model, *result);
        ok = c >= 0 && r >= 0;
        conditionsMs = run == 0 ? c : std::min(conditionsMs, c);
        resultsMs = run == 0 ? r : std::min(resultsMs, r);
        if (ok && run + 1 < kRuns) session.RemoveAllFiles();
    }
    std::printf("ok %d\n", ok ? 1 : 0);
    std::printf("conditions_pages %d\n", PageCount(conditions));
    std::printf("results_pages %d\n", PageCount(results));
    std::printf("conditions_ms %s\n", Milliseconds(conditionsMs).c_str());
    std::printf("results_ms %s\n", Milliseconds(resultsMs).c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            outDir = argv[++i];
        } else {
            files.push_back(arg);
        }
    }
    if (outDir.empty() || files.empty()) {
        std::fprintf(stderr, "usage: report_bench --out DIR FILE.mbw...\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    const std::string folder = ProgramFolder();
    bool allOk = true;
    for (const std::string& file : files) allOk = RunFile(folder, outDir, file) && allOk;
    return allOk ? 0 : 1;
}
