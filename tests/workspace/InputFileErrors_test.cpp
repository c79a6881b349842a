// The input file under failure: error numbers, untouched models and untouched files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/workspace/InputFileTestSupport.h"
#include "workspace/InputFile.h"

namespace {

using namespace filetest;

std::string SampleBytes() {
    std::string bytes;
    int err = 0;
    EXPECT_TRUE(MakeInputFileBytes(SampleModel(), bytes, err));
    return bytes;
}

// The byte offset of the start of line n (1-based) of a CR LF text.
std::size_t LineStart(const std::string& bytes, int n) {
    std::size_t pos = 0;
    for (int i = 1; i < n; ++i) pos = bytes.find("\r\n", pos) + 2;
    return pos;
}

std::string ReplaceLine(const std::string& bytes, int n, const std::string& text) {
    const std::size_t b = LineStart(bytes, n);
    const std::size_t e = bytes.find("\r\n", b);
    return bytes.substr(0, b) + text + bytes.substr(e);
}

struct BadFile {
    const char* name;
    std::string bytes;
    int err;
};

void PrintTo(const BadFile& c, std::ostream* os) {
    *os << c.name;
}

class BadInputFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadInputFile, failsWithItsNumberAndLeavesTheModel) {
    const BadFile& c = GetParam();
    InputModel m = SampleModel();
    m.CondData(15) = Slot::text("marker");
    const InputModel before = m;
    int err = -1;
    EXPECT_FALSE(LoadInputFileFromBytes(m, c.bytes, InputFileVersion::V110, err));
    EXPECT_EQ(err, c.err);
    EXPECT_TRUE(SameModel(m, before));
}

// Lines of the sample: 25 land count " 3 ", 26-34 land layers, 35 sea count, 36-41 sea.
INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputFile,
    ::testing::Values(
        BadFile{"empty", "", 62}, BadFile{"twoLines", "a\r\nb\r\n", 62},
        BadFile{"cutInsideSeaTable", SampleBytes().substr(0, LineStart(SampleBytes(), 40)), 62},
        BadFile{"cutBeforeLandCount", SampleBytes().substr(0, LineStart(SampleBytes(), 25)), 62},
        BadFile{"landCount100", ReplaceLine(SampleBytes(), 25, " 100 "), 9},
        BadFile{"landCount32767", ReplaceLine(SampleBytes(), 25, " 32767 "), 9},
        BadFile{"landCountNegative", ReplaceLine(SampleBytes(), 25, "-1 "), 9},
        BadFile{"seaCount32768", ReplaceLine(SampleBytes(), 35, " 32768 "), 6},
        BadFile{"seaCountBelowRange", ReplaceLine(SampleBytes(), 35, "-40000"), 6},
        BadFile{"countNotWhole", ReplaceLine(SampleBytes(), 25, " 1.5 "), 13},
        BadFile{"countText", ReplaceLine(SampleBytes(), 25, "three"), 13},
        BadFile{"countQuoted", ReplaceLine(SampleBytes(), 25, "\"3\""), 13},
        BadFile{"layerText", ReplaceLine(SampleBytes(), 27, "\"10\""), 13},
        BadFile{"flagText", ReplaceLine(SampleBytes(), 4, "yes"), 13},
        BadFile{"binary", std::string("\x00\xff\x81\r\n\x00\x00\r\n\xfe\r\n\x01\x02", 14), 13},
        BadFile{"nulLines", std::string(200, '\0'), 62},
        BadFile{"enormousLine", std::string(3u << 20, 'x'), 62},
        BadFile{"tooLarge", std::string(inputfile::kMaxFileBytes + 1, '\n'), 7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InputFileReader, quoteInsideTheCaseNameKeepsLaterFieldsAligned) {
    InputModel m = SampleModel();
    m.CondData(CondTitle) = Slot::text("A\"B");
    std::string bytes;
    int err = 0;
    ASSERT_TRUE(MakeInputFileBytes(m, bytes, err));
    EXPECT_NE(bytes.find("\r\n\"A\"B\"\r\n"), std::string::npos);  // written unchanged
    InputModel back;
    ClearInputData(back);
    ASSERT_TRUE(LoadInputFileFromBytes(back, bytes, InputFileVersion::V110, err));
    EXPECT_EQ(back.CondData(CondTitle).toText(), "A");
    EXPECT_EQ(*back.CondData(CondTopLevel).toNumber(), 3.0);
    EXPECT_EQ(back.SeaLoadCount, 2);
}

// A case-name line "A"B,C" loaded with every later field shifted by the text after the comma.
TEST(InputFileReader, caseNameWithQuoteAndCommaKeepsLaterFieldsAligned) {
    for (const char* name : {"A\"B,C", "A\",5,6", "A\"\",,,"}) {
        InputModel m = SampleModel();
        m.CondData(CondTitle) = Slot::text(name);
        std::string bytes;
        int err = 0;
        ASSERT_TRUE(MakeInputFileBytes(m, bytes, err));
        InputModel back;
        ClearInputData(back);
        ASSERT_TRUE(LoadInputFileFromBytes(back, bytes, InputFileVersion::V110, err)) << name;
        EXPECT_EQ(back.CondData(CondTitle).toText(), "A") << name;
        m.CondData(CondTitle) = Slot::text("A");
        EXPECT_TRUE(SameModel(back, m)) << name;
    }
}

// A case name of 2 MiB loaded, analysed and saved into a file over the read limit that then
// failed to open with error 7. Neither side accepts such a model now.
TEST(InputFileReader, whatIsWrittenReadsBack) {
    ScratchDir dir;
    InputModel m = SampleModel();
    m.CondData(CondTitle) = Slot::text(std::string(2u << 20, 'N'));
    std::string bytes;
    int err = 0;
    ASSERT_TRUE(MakeInputFileBytes(m, bytes, err));
    ASSERT_GT(bytes.size(), inputfile::kMaxFileBytes);
    EXPECT_FALSE(SaveInputFile(m, dir.file("big.mbw"), err));
    EXPECT_EQ(err, 7);
    EXPECT_TRUE(OnlyFiles(dir, {}));

    // The same name in a file that is within the limit (a short first line) is refused too.
    const std::size_t line1End = bytes.find("\r\n");
    const std::string file = "X" + bytes.substr(line1End);
    ASSERT_LE(file.size(), inputfile::kMaxFileBytes);
    InputModel read = SampleModel();
    err = 0;
    EXPECT_FALSE(LoadInputFileFromBytes(read, file, InputFileVersion::V110, err));
    EXPECT_EQ(err, 7);
    EXPECT_TRUE(SameModel(read, SampleModel()));

    // The largest name that fits still makes the full round trip.
    const std::size_t spare = inputfile::kMaxFileBytes - (bytes.size() - 2 * (2u << 20));
    m.CondData(CondTitle) = Slot::text(std::string(spare / 2, 'N'));
    ASSERT_TRUE(SaveInputFile(m, dir.file("fits.mbw"), err));
    EXPECT_TRUE(LoadInputFile(read, dir.file("fits.mbw"), err));
    EXPECT_TRUE(SameModel(read, m));
}

TEST(InputFileReader, fileSystemFailuresHaveTheirNumbers) {
    ScratchDir dir;
    InputModel m = SampleModel();
    const InputModel before = m;
    int err = 0;
    EXPECT_FALSE(LoadInputFile(m, dir.file("missing.mbw"), err));
    EXPECT_EQ(err, 53);
    EXPECT_FALSE(LoadInputFile(m, dir.file("nofolder/a.mbw"), err));
    EXPECT_EQ(err, 76);
    EXPECT_FALSE(LoadInputFile(m, dir.path().string(), err));
    EXPECT_EQ(err, 75);
    EXPECT_FALSE(LoadInputFile(m, "", err));
    EXPECT_EQ(err, 52);
    EXPECT_FALSE(LoadInputFile(m, dir.file(std::string(300, 'n')), err));
    EXPECT_EQ(err, 52);
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(LoadInputFileV100(m, dir.file("pipe"), err));  // refused, not waited on
    EXPECT_EQ(err, 75);
    EXPECT_TRUE(SameModel(m, before));
    if (::geteuid() != 0) {
        WriteBytes(dir.file("locked.mbw"), SampleBytes());
        ::chmod(dir.file("locked.mbw").c_str(), 0);
        EXPECT_FALSE(LoadInputFile(m, dir.file("locked.mbw"), err));
        EXPECT_EQ(err, 70);
    }
}

TEST(InputFileWriter, replacesTheTargetKeepingItsModeAndLinks) {
    ScratchDir dir;
    const std::string target = dir.file("real.mbw");
    WriteBytes(target, "old");
    ::chmod(target.c_str(), 0640);
    ASSERT_EQ(::symlink("real.mbw", dir.file("link.mbw").c_str()), 0);
    int err = 0;
    ASSERT_TRUE(SaveInputFile(SampleModel(), dir.file("link.mbw"), err));
    EXPECT_EQ(ReadBytes(target), SampleBytes());
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link.mbw").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_TRUE(OnlyFiles(dir, {"real.mbw", "link.mbw"}));
}

TEST(InputFileWriter, failureLeavesTheOldFileAndNoTemporary) {
    ScratchDir dir;
    int err = 0;
    EXPECT_FALSE(SaveInputFile(SampleModel(), dir.file("nofolder/a.mbw"), err));
    EXPECT_EQ(err, 76);
    ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0700), 0);
    EXPECT_FALSE(SaveInputFile(SampleModel(), dir.file("sub"), err));
    EXPECT_EQ(err, 75);
    EXPECT_FALSE(SaveInputFile(SampleModel(), "", err));
    EXPECT_EQ(err, 52);
    EXPECT_TRUE(OnlyFiles(dir, {"sub"}));
}

// Saving over a read-only input file used to succeed: the rename replaced a file the user
// may not write. It fails with 70 and the file stays; a writable file in a folder where no
// temporary file can be made is written in place.
TEST(InputFileWriter, savingOverAReadOnlyFileFails) {
    ScratchDir dir;
    const std::string target = dir.file("keep.mbw");
    WriteBytes(target, "old contents");
    ::chmod(target.c_str(), 0444);
    int err = 0;
    EXPECT_FALSE(SaveInputFile(SampleModel(), target, err));
    EXPECT_EQ(err, 70);
    EXPECT_EQ(ReadBytes(target), "old contents");

    ::chmod(target.c_str(), 0666);
    ::chmod(dir.path().c_str(), 0555);
    // Root ignores folder permissions: save as an ordinary user in a child process.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && ::setuid(65534) != 0) std::_Exit(2);
            int code = 0;
            std::_Exit(SaveInputFile(SampleModel(), target, code) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(ReadBytes(target), SampleBytes());
    EXPECT_TRUE(OnlyFiles(dir, {"keep.mbw"}));
}

}  // namespace
