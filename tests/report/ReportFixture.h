#pragma once
// A print session over the fixture format file and drawing definitions, written as CP932 with
// CR LF into a scratch folder that is also the temporary folder of the test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "engine/WallAnalysis.h"
#include "foundation/Cp932.h"
#include "report/ReportWriter.h"
#include "tests/foundation/ScratchFolder.h"

// UTF-8 with LF -> CP932 with CR LF, as the build writes the shipped data files.
inline std::string ToCp932CrLf(std::string_view utf8) {
    std::string out;
    for (char c : cp932::fromUtf8(utf8)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

inline constexpr std::string_view kFixtureLineDefs =
    "line styles\n1, 0, 0, \"thin\"\n2, 2, 0, \"0.2\"\n3, 3, 0, \"wall\"\n4, 0, 2, \"tie\"\nEND\n";
inline constexpr std::string_view kFixtureTextDefs =
    "text styles\n1, 0, \"ＭＳ 明朝\", 200, 0, 0, 0, \"body\"\n"
    "2, 0, \"ＭＳ 明朝\", 240, 0, 0, 0, \"figure\"\nEND\n";

class ReportFixture {
  public:
    ReportFixture() {
        if (const char* old = std::getenv("TMPDIR")) m_oldTmpDir = old;
        ::setenv("TMPDIR", m_folder.path().c_str(), 1);
        const std::string fmt =
            ScratchFolder::read(std::string(MIBROX_TEST_DATA_DIR) + "/fixture.fmt");
        ScratchFolder::write(m_folder.file("Mibrox.fmt"), ToCp932CrLf(fmt));
        ScratchFolder::write(m_folder.file("LINE_PRN.DEF"), ToCp932CrLf(kFixtureLineDefs));
        ScratchFolder::write(m_folder.file("STR_PRN.DEF"), ToCp932CrLf(kFixtureTextDefs));
        m_session = std::make_unique<PrintSession>(ReportDataFiles::InFolder(m_folder.path()));
    }

    ~ReportFixture() {
        m_session.reset();
        if (m_oldTmpDir.empty()) {
            ::unsetenv("TMPDIR");
        } else {
            ::setenv("TMPDIR", m_oldTmpDir.c_str(), 1);
        }
    }
    ReportFixture(const ReportFixture&) = delete;
    ReportFixture& operator=(const ReportFixture&) = delete;

    const ScratchFolder& folder() const { return m_folder; }
    PrintSession& session() { return *m_session; }

    // Starts a build and a new report file for the next report.
    std::string startReport() {
        const std::string path = m_session->writer().NewReportFileName();
        m_session->writer().SetCurrentReportFile(path);
        return path;
    }

  private:
    std::string m_oldTmpDir;
    ScratchFolder m_folder;
    std::unique_ptr<PrintSession> m_session;
};

// A small anchored wall: top +3.0, tie +1.5, D.L. -6.0, land and sea layers of constant
// thickness, pitch 0.5 m.
inline InputModel SmallWall(int landLayers, int seaLayers, double allowableStress = 180) {
    InputModel m;
    ClearInputData(m);
    m.InputDataSet = true;
    m.CondData(CondTitle) = Slot::text("小型岸壁");
    const double conditions[] = {3.0,  1.5,  -6.0, 200000,          20000,
                                 1500, 1500, 1.2,  allowableStress, 0.5};
    for (int i = 0; i < 10; ++i) m.CondData(i + 2) = Slot::number(conditions[i]);
    const double landStep = 30.0 / landLayers;
    for (int i = 1; i <= landLayers; ++i) {
        m.LandLoads(1, i) = Slot::number(landStep);
        m.LandLoads(2, i) = Slot::number(10 + 6 * (i - 1) * landStep);
        m.LandLoads(3, i) = Slot::number(10 + 6 * i * landStep);
    }
    const double seaStep = seaLayers > 0 ? 20.0 / seaLayers : 0;
    for (int i = 1; i <= seaLayers; ++i) {
        m.SeaLoads(1, i) = Slot::number(seaStep);
        m.SeaLoads(2, i) = Slot::number(30 * (i - 1) * seaStep);
        m.SeaLoads(3, i) = Slot::number(30 * i * seaStep);
    }
    m.LandLoadCount = landLayers;
    m.SeaLoadCount = seaLayers;
    return m;
}

// Compares bytes with tests/report/golden/<name> byte for byte; with
// MIBROX_REGENERATE_GOLDEN=1 in the environment writes them there instead (golden/regenerate.sh).
inline void ExpectGolden(const std::string& name, const std::string& bytes) {
    const std::string path = std::string(MIBROX_TEST_DATA_DIR) + "/golden/" + name;
    if (const char* regen = std::getenv("MIBROX_REGENERATE_GOLDEN"); regen && *regen == '1') {
        ScratchFolder::write(path, bytes);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << "no golden file " << name;
    EXPECT_EQ(ScratchFolder::read(path), bytes) << "differs from golden/" << name;
}
