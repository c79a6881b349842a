// Times the wall analysis on input files and prints its results:
//   wall_bench [--table] [file.mbw ...]
// Without files it runs the shipped cases of bench/cases. Per file: the results, then the
// time per analysis, one "name value" pair per line, numbers with 17 significant digits.
// --table adds every section-table row as "row elevation deflection slope moment shear".
// A file that cannot be read or analysed gives "ok 0" (with "load_error" and the error number
// when it cannot be read) and "reason" with the words why; the exit status is then 1 when
// the file was given.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AnalysisFailure.h"
#include "engine/WallAnalysis.h"
#include "workspace/InputFile.h"

namespace {

std::string Number(double v) {
    char text[64];
    const auto res = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 17);
    return std::string(text, res.ptr);
}

void Print(const char* name, double v) {
    std::printf("%s %s\n", name, Number(v).c_str());
}
void Print(const char* name, int v) {
    std::printf("%s %d\n", name, v);
}

std::vector<std::string> ShippedCases() {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(MIBROX_BENCH_CASES_DIR, ec)) {
        if (e.path().extension() == ".mbw") files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool RunFile(const std::string& path, bool table) {
    std::printf("file %s\n", path.c_str());
    InputModel model;
    ClearInputData(model);
    int err = 0;
    if (!LoadInputFile(model, path, err)) {
        Print("ok", 0);
        Print("load_error", err);
        std::printf("reason %s\n", bench::LoadErrorText(err).c_str());
        return false;
    }
    auto result = std::make_unique<AnalysisResult>();
    if (!RunWallAnalysis(model, *result)) {
        Print("ok", 0);
        std::printf("reason %s\n", bench::AnalysisFailureReason(model).c_str());
        return false;
    }
    Print("ok", 1);
    const AnalysisResult& r = *result;
    Print("ComputedEmbedment", r.ComputedEmbedment);
    Print("RequiredEmbedment", r.RequiredEmbedment);
    Print("ComputedTipLevel", r.ComputedTipLevel);
    for (int i = 1; i <= 10; ++i) {
        const std::string name = "ResultSummary" + std::to_string(i);
        Print(name.c_str(), r.ResultSummary(i));
    }
    Print("DeltaMax", r.DeltaMax);
    Print("DeltaMin", r.DeltaMin);
    Print("UpperRowCount", r.UpperRowCount);
    Print("SectionRowCount", r.SectionRowCount);
    if (table) {
        for (int i = 1; i <= r.SectionRowCount; ++i) {
            const SectionRow& row = r.SectionTable(i);
            std::printf("row %d %s %s %s %s %s\n", i, Number(row(1)).c_str(),
                        Number(row(2)).c_str(), Number(row(3)).c_str(), Number(row(4)).c_str(),
                        Number(row(5)).c_str());
        }
    }
    // At least 5 runs and about half a second per file.
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    long runs = 0;
    double seconds = 0;
    do {
        RunWallAnalysis(model, *result);
        ++runs;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (runs < 5 || seconds < 0.5);
    Print("us_per_analysis", seconds * 1e6 / static_cast<double>(runs));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool table = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--table") == 0) {
            table = true;
        } else {
            files.emplace_back(argv[i]);
        }
    }
    // The shipped cases include one made to fail: only files given decide the exit status.
    const bool given = !files.empty();
    if (!given) files = ShippedCases();
    if (files.empty()) {
        std::fprintf(stderr, "no input files\n");
        return 2;
    }
    bool allLoaded = true;
    for (const auto& f : files) allLoaded = RunFile(f, table) && allLoaded;
    return allLoaded || !given ? 0 : 1;
}
