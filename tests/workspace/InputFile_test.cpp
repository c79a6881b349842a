// The input file: exact bytes, golden files, round trips and version 1.00.

#include "workspace/InputFile.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/workspace/InputFileTestSupport.h"

namespace {

using namespace filetest;

const std::string kGoldenDir = std::string(MIBROX_TEST_DATA_DIR) + "/golden/";

// Compares with a golden file; MIBROX_REGENERATE_GOLDEN=1 rewrites it instead.
void ExpectGolden(const std::string& name, const std::string& bytes) {
    const std::string path = kGoldenDir + name;
    if (const char* regen = std::getenv("MIBROX_REGENERATE_GOLDEN"); regen && *regen == '1') {
        WriteBytes(path, bytes);
        return;
    }
    EXPECT_EQ(ReadBytes(path), bytes) << name;
}

TEST(InputFileWriter, emptyModelIsTwentySixLines) {
    InputModel m;
    ClearInputData(m);
    std::string bytes;
    int err = 0;
    ASSERT_TRUE(MakeInputFileBytes(m, bytes, err));
    std::string want =
        "HALVOREN INPUT FILE FORMAT V1\x81\x46\r\n"
        "PRODUCT NAME                   [\x83\x7E\x83\x75\x83\x8D\x83\x4E\x83\x58]\r\n"
        "INPUT FILE VERSION             [1.10]\r\n"
        "#FALSE#\r\n";
    for (int i = 0; i < 20; ++i) want += "\r\n";
    want += " 0 \r\n 0 \r\n";
    EXPECT_EQ(bytes, want);
    EXPECT_EQ(ReadBytes(kGoldenDir + "empty.mbw"), bytes);
}

TEST(InputFileWriter, writesTheGoldenFiles) {
    ScratchDir dir;
    int err = 0;
    InputModel empty;
    ClearInputData(empty);
    ASSERT_TRUE(SaveInputFile(empty, dir.file("empty.mbw"), err));
    ExpectGolden("empty.mbw", ReadBytes(dir.file("empty.mbw")));
    ASSERT_TRUE(SaveInputFile(SampleModel(), dir.file("sample.mbw"), err));
    ExpectGolden("sample.mbw", ReadBytes(dir.file("sample.mbw")));
    EXPECT_TRUE(OnlyFiles(dir, {"empty.mbw", "sample.mbw"}));  // no temporary left
}

TEST(InputFileWriter, caseNameStandsInShiftJisOnLinesOneAndFive) {
    InputModel m;
    ClearInputData(m);
    m.CondData(CondTitle) = Slot::text("岸壁");
    std::string bytes;
    int err = 0;
    ASSERT_TRUE(MakeInputFileBytes(m, bytes, err));
    EXPECT_EQ(bytes.find("V1\x81\x46\x8A\xDD\x95\xC7\r\n"), 27u);
    EXPECT_NE(bytes.find("#FALSE#\r\n\"\x8A\xDD\x95\xC7\"\r\n"), std::string::npos);
}

TEST(InputFileWriter, layerCountOutsideTheTableWritesNothing) {
    ScratchDir dir;
    InputModel m = SampleModel();
    m.SeaLoadCount = 100;
    int err = 0;
    EXPECT_FALSE(SaveInputFile(m, dir.file("a.mbw"), err));
    EXPECT_EQ(err, 9);
    EXPECT_TRUE(OnlyFiles(dir, {}));
}

TEST(InputFileRoundTrip, everyValueReadsBackExactly) {
    ScratchDir dir;
    InputModel m = SampleModel();
    m.CondData(12) = Slot::number(-2.5e-300);  // a reserved slot is kept too
    m.CondData(20) = Slot::text("x");
    int err = 0;
    ASSERT_TRUE(SaveInputFile(m, dir.file("a.mbw"), err));
    InputModel back;
    ClearInputData(back);
    ASSERT_TRUE(LoadInputFile(back, dir.file("a.mbw"), err));
    EXPECT_TRUE(SameModel(m, back));
    EXPECT_EQ(back.CondData(CondTitle).toText(), "第２岸壁（－１０ｍ）ｹｰｽA");
    EXPECT_EQ(*back.LandLoads(3, 2).toNumber(), 1.0 / 3);
}

TEST(InputFileReader, readsShortAndLongDecimalForms) {
    std::string bytes =
        "HALVOREN INPUT FILE FORMAT V1\x81\x46\r\nP\r\nINPUT FILE VERSION             [1.10]\r\n"
        "#TRUE#\r\n\"A\"\r\n0.5\r\n.5\r\n-.25\r\n1E+3\r\n";
    for (int i = 0; i < 15; ++i) bytes += "\r\n";
    bytes += " 1 \r\n.5\r\n10\r\n20\r\n 0 \r\n";
    InputModel m;
    ClearInputData(m);
    int err = 0;
    ASSERT_TRUE(LoadInputFileFromBytes(m, bytes, InputFileVersion::V110, err));
    EXPECT_EQ(*m.CondData(2).toNumber(), 0.5);
    EXPECT_EQ(*m.CondData(3).toNumber(), 0.5);
    EXPECT_EQ(*m.CondData(4).toNumber(), -0.25);
    EXPECT_EQ(*m.CondData(5).toNumber(), 1000);
    EXPECT_TRUE(m.CondData(6).isEmpty());
    EXPECT_EQ(m.LandLoadCount, 1);
    EXPECT_EQ(*m.LandLoads(1, 1).toNumber(), 0.5);
}

TEST(InputFileReader, version110OverwritesInPlaceAndKeepsRowsBeyondTheCounts) {
    InputModel m = SampleModel();
    InputModel small;
    ClearInputData(small);
    small.LandLoadCount = 1;
    small.LandLoads(1, 1) = Slot::number(7);
    std::string bytes;
    int err = 0;
    ASSERT_TRUE(MakeInputFileBytes(small, bytes, err));
    ASSERT_TRUE(LoadInputFileFromBytes(m, bytes, InputFileVersion::V110, err));
    EXPECT_EQ(m.LandLoadCount, 1);
    EXPECT_EQ(*m.LandLoads(1, 1).toNumber(), 7);
    EXPECT_EQ(*m.LandLoads(1, 3).toNumber(), 45.25);  // beyond the count: as before
    EXPECT_TRUE(m.CondData(CondPitch).isEmpty());
}

TEST(InputFileReader, version100ClearsFirstAndLeavesThePitchEmpty) {
    std::string bytes =
        "HALVOREN INPUT FILE FORMAT V1\x81\x46old\r\n"
        "PRODUCT NAME                   [\x83\x7E\x83\x75\x83\x8D\x83\x4E\x83\x58]\r\n"
        "INPUT FILE VERSION             [1.00]\r\n"
        "#TRUE#\r\n\"old\"\r\n3\r\n1.5\r\n-10\r\n200000\r\n40000\r\n2000\r\n2000\r\n1.2\r\n180\r\n"
        " 1 \r\n2\r\n10\r\n20\r\n 0 \r\n";
    ScratchDir dir;
    WriteBytes(dir.file("v100.mbw"), bytes);
    InputModel m = SampleModel();
    int err = 0;
    ASSERT_TRUE(LoadInputFileV100(m, dir.file("v100.mbw"), err));
    EXPECT_TRUE(m.InputDataSet);
    EXPECT_EQ(m.CondData(CondTitle).toText(), "old");
    EXPECT_EQ(*m.CondData(CondSafetyFactor).toNumber(), 1.2);
    EXPECT_EQ(*m.CondData(CondAllowableStress).toNumber(), 180);
    EXPECT_TRUE(m.CondData(CondPitch).isEmpty());
    EXPECT_EQ(m.LandLoadCount, 1);
    EXPECT_EQ(m.SeaLoadCount, 0);
    EXPECT_TRUE(m.LandLoads(1, 2).isEmpty());  // cleared before reading
    EXPECT_TRUE(m.SeaLoads(1, 1).isEmpty());
}

}  // namespace
