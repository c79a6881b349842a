// Start-up of Preview: the command line, the path routines and the factory Preview.ini.
#include "preview/StartUp.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/Cp932.h"
#include "foundation/IniFile.h"
#include "preview/PreviewSettings.h"
#include "tests/foundation/ScratchFolder.h"

namespace preview {
namespace {

struct CommandLineCase {
    const char* name;
    const char* line;
    bool hasIniSwitch;
    const char* iniFolder;
    const char* printFile;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.line;
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, GivesFolderAndPrintFile) {
    const CommandLineCase& c = GetParam();
    const ParsedCommandLine parsed = ParseCommandLine(c.line);
    EXPECT_FALSE(parsed.empty);
    EXPECT_EQ(parsed.hasIniSwitch, c.hasIniSwitch);
    EXPECT_EQ(parsed.iniFolder, c.iniFolder);
    EXPECT_EQ(parsed.printFilePath, c.printFile);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CommandLine,
    ::testing::Values(
        CommandLineCase{"MainProgramForm", "/INI=\"/d/u\" /c/t/a.prn", true, "/d/u", "/c/t/a.prn"},
        CommandLineCase{"RestTrimmed", "/INI=\"/d/u\"   /c/t/a.prn  ", true, "/d/u", "/c/t/a.prn"},
        CommandLineCase{"TextBeforeSwitchDropped", "x /INI=\"/d\" a.prn", true, "/d", "a.prn"},
        CommandLineCase{"FolderWithBlanks", "/INI=\"/my data\" a b.prn", true, "/my data",
                        "a b.prn"},
        CommandLineCase{"NothingAfterFolder", "/INI=\"/d/u\"", true, "/d/u", ""},
        CommandLineCase{"UnquotedFolderRunsToBlank", "/INI=/d/u /c/a.prn", true, "/d/u",
                        "/c/a.prn"},
        CommandLineCase{"UnquotedFolderAlone", "/INI=/d/u", true, "/d/u", ""},
        CommandLineCase{"UnclosedQuoteTakesRest", "/INI=\"/d/u /c/a.prn", true, "/d/u /c/a.prn",
                        ""},
        CommandLineCase{"QuotedDroppedFile", "\"/home/a b/x.prn\"", false, "", "/home/a b/x.prn"},
        CommandLineCase{"QuoteFirstNotLast", "\"/home/x.prnz", false, "", "/home/x.prn"},
        CommandLineCase{"LoneQuote", "\"", false, "", ""},
        CommandLineCase{"PlainPathUntrimmed", " /a b.prn ", false, "", " /a b.prn "},
        CommandLineCase{"LowerCaseSwitchIsAPath", "/ini=\"/d\" a.prn", false, "",
                        "/ini=\"/d\" a.prn"},
        CommandLineCase{"ColonIsOrdinary", "/c:x.prn", false, "", "/c:x.prn"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, EmptyAsksForTheMessage) {
    EXPECT_TRUE(ParseCommandLine("").empty);
}

TEST(PathParts, FileNameAndFolder) {
    EXPECT_EQ(GetFileNamePart("/c/t/a.prn"), "a.prn");
    EXPECT_EQ(GetFileNamePart("c:x.prn"), "c:x.prn");
    EXPECT_EQ(GetFileNamePart("x.prn"), "x.prn");
    EXPECT_EQ(GetFileNamePart("/c/t/"), "");
    EXPECT_EQ(GetFolderPart("/c/t/a.prn"), "/c/t");
    EXPECT_EQ(GetFolderPart("x.prn"), "");
    EXPECT_EQ(GetFolderPart("/x.prn"), "");
}

TEST(Caption, CarriesTheVersion) {
    EXPECT_EQ(PreviewCaption(1, 2, 3), "印刷ﾌﾟﾚﾋﾞｭｰ  Version 1.2.003");
    EXPECT_EQ(PreviewCaption(10, 0, 1234), "印刷ﾌﾟﾚﾋﾞｭｰ  Version 10.0.1234");
}

TEST(StartUpPlan, FoldersForEachForm) {
    const StartUpPlan withIni =
        PlanStartUp(ParseCommandLine("/INI=\"/d/u\" /c/t/a.prn"), "/h/.local/share", "/opt/p");
    EXPECT_EQ(withIni.iniPath, "/d/u/Preview.ini");
    EXPECT_EQ(withIni.printFileFolder, "/c/t");
    EXPECT_FALSE(withIni.usesUserFolder);

    const StartUpPlan dropped =
        PlanStartUp(ParseCommandLine("\"/c/a b.prn\""), "/h/.local/share", "/opt/p");
    EXPECT_EQ(dropped.iniPath, "/h/.local/share/Halvoren/Preview/Preview.ini");
    EXPECT_EQ(dropped.printFilePath, "/c/a b.prn");
    EXPECT_TRUE(dropped.usesUserFolder);

    // Without a known user folder the settings lie beside the program, never at the root.
    for (const char* base : {"", "/"}) {
        EXPECT_EQ(PlanStartUp(ParseCommandLine("a.prn"), base, "/opt/p").iniPath,
                  "/opt/p/Preview.ini");
    }
}

// Sections and keys of a file in the order they stand, as "Section/Key=Value" (UTF-8).
std::vector<std::string> entriesInOrder(const std::string& bytes) {
    std::vector<std::string> out;
    std::string section;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        const std::string line = cp932::toUtf8(bytes.substr(at, end - at));
        if (!line.empty() && line.front() == '[') {
            section = line.substr(1, line.size() - 2);
        } else if (!line.empty()) {
            out.push_back(section + "/" + line);
        }
        if (end == std::string::npos) break;
        at = end + 2;
    }
    return out;
}

TEST(FactoryFile, WritesEveryKeyInOrderAsCp932) {
    ScratchFolder dir;
    const ParsedCommandLine line = ParseCommandLine("/INI=\"" + dir.path() + "\" a.prn");
    const StartUpPlan plan = PrepareStartUp(line, "", "");
    const std::string bytes = ScratchFolder::read(plan.iniPath);
    ASSERT_FALSE(bytes.empty());
    const std::vector<std::string> entries = entriesInOrder(bytes);
    ASSERT_EQ(entries.size(), kFactoryKeys.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FactoryKey& k = kFactoryKeys[i];
        EXPECT_EQ(entries[i], std::string(k.section) + "/" + k.key + "=" + k.value);
    }
    EXPECT_EQ(entries.front(), "Printer/Device=");
    EXPECT_EQ(entries[23], "Header/strL=(日付)%d (時間)%t");
    EXPECT_EQ(entries.back(), "Footer/FontUnderLine=0");
    // CP932 bytes on disk: "明" is 0x96BE.
    EXPECT_NE(bytes.find("\x82\x6c\x82\x72 \x96\xbe\x92\xa9"), std::string::npos);

    // The factory values read back as the page settings of an A4 portrait page, from the copy
    // the writes kept: the 46 keys do not read the file again.
    const std::size_t reads = ini::fileReadCount();
    const PageSettings s = ReadPageSettings(plan.iniPath);
    EXPECT_EQ(ini::fileReadCount(), reads);
    EXPECT_EQ(s.bodyFontName, QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(s.bodySize0, 10.0);
    EXPECT_EQ(s.bodySize1, 8.0);
    EXPECT_EQ(s.paperSizeCode, 9);
    EXPECT_EQ(s.orientationCode, 0);
    EXPECT_EQ(s.marginTop, 1417);
    EXPECT_EQ(s.pageInit, 1);
    EXPECT_TRUE(s.headerFooter[0].enabled && s.headerFooter[0].showL && !s.headerFooter[0].showC);
    EXPECT_EQ(s.headerFooter[0].margin, 850);
    EXPECT_EQ(s.headerFooter[1].textC, QStringLiteral("- %p -"));
    EXPECT_EQ(s.headerFooter[1].fontName, QStringLiteral("Courier New"));
}

TEST(FactoryFile, ExistingFileIsNeverRewritten) {
    ScratchFolder dir;
    const std::string ini = dir.file("Preview.ini");
    ScratchFolder::write(ini, "[Page]\r\nPaperSize=B5\r\n");
    PrepareStartUp(ParseCommandLine("/INI=\"" + dir.path() + "\""), "", "");
    EXPECT_EQ(ScratchFolder::read(ini), "[Page]\r\nPaperSize=B5\r\n");
    std::filesystem::remove(ini);
    PrepareStartUp(ParseCommandLine("/INI=\"" + dir.path() + "\""), "", "");
    EXPECT_EQ(ReadPageSettings(ini).paperSizeCode, 9);
}

// A fresh account has no ~/.local/share yet: the whole chain is made.
TEST(FactoryFile, UserFolderIsCreatedWithItsParents) {
    ScratchFolder dir;
    const std::string data = dir.path() + "/.local/share";
    const StartUpPlan plan = PrepareStartUp(ParseCommandLine("x.prn"), data, "/nonexistent");
    EXPECT_TRUE(std::filesystem::is_directory(data + "/Halvoren/Preview"));
    EXPECT_TRUE(FileExists(plan.iniPath));
    EXPECT_FALSE(FileExists(dir.path()));  // a folder is not a file
}

TEST(PageSettingsReader, ReadingRules) {
    ScratchFolder dir;
    const std::string ini = dir.file("Preview.ini");
    ScratchFolder::write(
        ini,
        "[Page]\r\nPaperSize=a3\r\nOrientation=Y\r\nTop(mm)=12.5mm\r\nPageInit=-2\r\n"
        "[Header]\r\nflg=2\r\nflgL=1\r\nFontSize=\r\n[StdFont]\r\nSize0=abc\r\n");
    const PageSettings s = ReadPageSettings(ini);
    EXPECT_EQ(s.paperSizeCode, 9);  // compared case-sensitively
    EXPECT_EQ(s.orientationCode, 1);
    EXPECT_EQ(s.marginTop, 709);  // 12.5 mm
    EXPECT_EQ(s.pageInit, -2);
    EXPECT_FALSE(s.headerFooter[0].enabled);  // only exactly 1 switches on
    EXPECT_TRUE(s.headerFooter[0].showL);
    EXPECT_EQ(s.headerFooter[0].fontSize, 0.0);
    EXPECT_EQ(s.bodySize0, 0.0);
    for (const auto& [text, code] : std::vector<std::pair<const char*, int>>{
             {"A3", 8}, {"A4", 9}, {"A5", 11}, {"B4", 12}, {"B5", 13}, {"User", 256}, {"", 9}}) {
        EXPECT_EQ(PaperCodeFromText(text), code) << text;
    }
    EXPECT_EQ(MmToTwips(25), 1417);
    EXPECT_EQ(MmToTwips(1e300), 0);
}

}  // namespace
}  // namespace preview
