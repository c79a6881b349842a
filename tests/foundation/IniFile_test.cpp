#include "foundation/IniFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/PrivateProfile.h"
#include "tests/foundation/ScratchFolder.h"

namespace {

using ini::IniDocument;

TEST(IniDocument, ReadsLikeThePrivateProfileFunctions) {
    const IniDocument doc(
        "; comment\r\n"
        "[MenuMain]\r\n"
        "  Top = 1500  \r\n"
        "Left=\"  quoted  \"\r\n"
        "top=999\r\n"  // second match of a key: ignored
        ";Width=5\n"   // comment, LF only
        "[menumain]\n"
        "Height=7\n"  // second section of the same name: ignored
        "[Empty]\n"
        "Key=\n"
        "NoEquals\n"
        "[Last]\n"
        "x=no newline at end");
    EXPECT_EQ(doc.value("MenuMain", "Top"), "1500");
    EXPECT_EQ(doc.value("MENUMAIN", "TOP"), "1500");
    EXPECT_EQ(doc.value(" MenuMain ", " top "), "1500");
    EXPECT_EQ(doc.value("MenuMain", "Left"), "  quoted  ");
    EXPECT_FALSE(doc.value("MenuMain", "Width"));
    EXPECT_FALSE(doc.value("MenuMain", "Height"));
    EXPECT_EQ(doc.value("Empty", "Key"), "");
    EXPECT_FALSE(doc.value("Empty", "NoEquals"));
    EXPECT_EQ(doc.value("Last", "x"), "no newline at end");
    EXPECT_FALSE(doc.value("Missing", "x"));
}

TEST(IniDocument, DoubleByteNamesCompareExactly) {
    // "ア" is 83 41 and "ャ" 83 61: their second bytes differ only in ASCII case.
    // "ソ" is 83 5C and "ゾ" 83 5D: a second byte that looks like "]".
    const IniDocument doc("[\x83\x41]\r\nk=a\r\n[\x83\x5D\x83\x5C]\r\nk=zo\r\n");
    EXPECT_EQ(doc.value("\x83\x41", "k"), "a");
    EXPECT_FALSE(doc.value("\x83\x61", "k"));
    EXPECT_EQ(doc.value("\x83\x5D\x83\x5C", "K"), "zo");
}

TEST(IniDocument, ReplacesInPlaceKeepingEveryOtherByte) {
    const std::string before = "; keep me\n[A]\n  x = 1 ; not a comment\nY=2\r\n\r\n[B]\r\nz=3\r\n";
    IniDocument doc(before);
    ASSERT_TRUE(doc.setValue("a", "X", "42"));
    EXPECT_EQ(doc.bytes(), "; keep me\n[A]\nx=42\r\nY=2\r\n\r\n[B]\r\nz=3\r\n");
    EXPECT_EQ(doc.value("A", "x"), "42");
}

TEST(IniDocument, AppendsMissingKeysAndSections) {
    IniDocument doc("[A]\r\nx=1\r\n\r\n[B]\r\nz=3");
    ASSERT_TRUE(doc.setValue("A", "y", "2"));
    ASSERT_TRUE(doc.setValue("B", "w", "4"));
    ASSERT_TRUE(doc.setValue("C", "v", "5"));
    EXPECT_EQ(doc.bytes(), "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\nw=4\r\n[C]\r\nv=5\r\n");

    IniDocument empty;
    ASSERT_TRUE(empty.setValue("S", "k", "v"));
    EXPECT_EQ(empty.bytes(), "[S]\r\nk=v\r\n");
}

TEST(IniDocument, RefusesTextsThatWouldNotReadBack) {
    IniDocument doc("[A]\r\nx=1\r\n");
    EXPECT_FALSE(doc.setValue("A", "x", "1\r\n[Evil]"));
    EXPECT_FALSE(doc.setValue("A]", "x", "1"));
    EXPECT_FALSE(doc.setValue("A", "k=v", "1"));
    EXPECT_FALSE(doc.setValue("A", ";k", "1"));
    EXPECT_FALSE(doc.setValue("", "x", "1"));
    EXPECT_FALSE(doc.setValue("A", " ", "1"));
    EXPECT_FALSE(doc.setValue("A", "x", std::string_view("a\0b", 3)));
    EXPECT_FALSE(doc.setValue("A\x81", "x", "1"));  // a lead byte would swallow the "]"
    EXPECT_EQ(doc.bytes(), "[A]\r\nx=1\r\n");
    EXPECT_TRUE(doc.setValue("\x83\x5D", "x", "ok"));  // "ゾ": its 5D is no bracket
}

TEST(IniDocument, DeletesKeysAndSections) {
    IniDocument doc("[A]\r\nx=1\r\ny=2\r\n; about B\r\n[B]\r\nz=3\r\n\r\n[C]\r\nw=4\r\n");
    EXPECT_TRUE(doc.removeKey("A", "X"));
    EXPECT_FALSE(doc.removeKey("A", "X"));
    EXPECT_TRUE(doc.removeSection("b"));
    EXPECT_FALSE(doc.removeSection("b"));
    EXPECT_EQ(doc.bytes(), "[A]\r\ny=2\r\n; about B\r\n[C]\r\nw=4\r\n");
}

TEST(IniDocument, SurvivesHostileBytes) {
    std::string junk(200000, 'x');  // one huge line
    junk += std::string_view("\0[\0]=\xFF\x81\r\r\n[\x81", 12);
    const IniDocument doc(junk);
    EXPECT_FALSE(doc.value("x", "x"));
    IniDocument writable(junk);
    EXPECT_TRUE(writable.setValue("S", "k", "v"));
    EXPECT_EQ(writable.value("S", "k"), "v");
}

TEST(ParseProfileInt, ReadsTheLeadingInteger) {
    EXPECT_EQ(ini::parseProfileInt("12.5", 7), 12);
    EXPECT_EQ(ini::parseProfileInt("abc", 7), 0);
    EXPECT_EQ(ini::parseProfileInt("", 7), 7);
    EXPECT_EQ(ini::parseProfileInt("-1500", 0), -1500);
    EXPECT_EQ(ini::parseProfileInt("+5", 7), 0);
    EXPECT_EQ(ini::parseProfileInt("99999999999999", 0), 2147483647);
    EXPECT_EQ(ini::parseProfileInt("-99999999999999", 0), -2147483647 - 1);
}

// ---- files --------------------------------------------------------------------------------

TEST(IniFile, ReadingAMissingFileGivesDefaultsAndCreatesNothing) {
    ScratchFolder dir;
    const std::string path = dir.file("none.ini");
    CPrivateProfile profile;
    EXPECT_EQ(profile.GetValueLong(path, "S", "k"), 0);
    EXPECT_EQ(profile.GetValueString(path, "S", "k"), "");
    EXPECT_EQ(GetIniString("S", "k", path), "");
    EXPECT_TRUE(profile.DeleteValue(path, "S", "k"));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(IniFile, WriteCreatesTheFileAndKeepsItsPermissions) {
    ScratchFolder dir;
    const std::string path = dir.file("Mibrox.ini");
    ini::IniFile file(path);
    ASSERT_TRUE(file.writeString("MenuMain", "Top", "1500"));
    EXPECT_EQ(ScratchFolder::read(path), "[MenuMain]\r\nTop=1500\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(file.writeString("MenuMain", "Left", "30"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(file.readInt("menumain", "left", -1), 30);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IniFile, WritesThroughASymbolicLink) {
    ScratchFolder dir;
    ScratchFolder::write(dir.file("real.ini"), "[S]\nk=1\n");
    std::filesystem::create_symlink(dir.file("real.ini"), dir.file("link.ini"));
    ASSERT_TRUE(ini::IniFile(dir.file("link.ini")).writeString("S", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(ScratchFolder::read(dir.file("real.ini")), "[S]\nk=2\r\n");
}

// A writable file in a folder where no temporary file can be made is written in place, as
// the original's open for output would; a read-only file is refused and stays as it was.
TEST(IniFile, savingOverAReadOnlyFileFails) {
    ScratchFolder dir;
    const std::string path = dir.file("Preview.ini");
    const std::string original = "[Page]\r\nPaperSize=A4\r\n";
    ScratchFolder::write(path, original);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(CPrivateProfile().SetValueString(path, "Page", "PaperSize", "A3"));
    EXPECT_FALSE(CPrivateProfile().DeleteValue(path, "Page", "PaperSize"));
    EXPECT_EQ(ScratchFolder::read(path), original);

    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    // Root ignores folder permissions: write as an ordinary user in a child process.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && ::setuid(65534) != 0) std::_Exit(2);
            std::_Exit(CPrivateProfile().SetValueString(path, "Page", "PaperSize", "A3") ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ScratchFolder::read(path), "[Page]\r\nPaperSize=A3\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// Two running programs writing their settings at the same time lost each other's keys.
TEST(IniFile, twoRunningCopiesKeepEachOthersSettings) {
    ScratchFolder dir;
    const std::string path = dir.file("Mibrox.ini");
    constexpr int kKeys = 60;
    std::vector<pid_t> children;
    for (const char* section : {"A", "B", "C"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ini::IniFile file(path);
            bool ok = true;
            for (int i = 0; i < kKeys; ++i)
                ok = file.writeString(section, std::to_string(i), "v") && ok;
            std::_Exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const ini::IniFile file(path);
    int found = 0;
    for (const char* section : {"A", "B", "C"}) {
        for (int i = 0; i < kKeys; ++i)
            found += file.readString(section, std::to_string(i)) ? 1 : 0;
    }
    EXPECT_EQ(found, 3 * kKeys);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IniFile, RefusesWhatIsNotASmallRegularFile) {
    ScratchFolder dir;
    ini::IniFile folder(dir.path());
    EXPECT_FALSE(folder.writeString("S", "k", "v"));
    EXPECT_FALSE(folder.readString("S", "k"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ini::IniFile(dir.file("fifo")).readString("S", "k"));  // must not block
    const std::string big = dir.file("big.ini");
    ScratchFolder::write(big, "[S]\nk=1\n" + std::string(ini::kMaxIniFileBytes, ';'));
    EXPECT_FALSE(ini::IniFile(big).readString("S", "k"));
    EXPECT_FALSE(ini::IniFile(big).writeString("S", "k", "2"));
}

// Reads share one parsed copy until the file changes: our own write keeps what it wrote, a
// change by another program (a new inode, or new times and size) is read again.
TEST(IniFile, ReadsTheFileOnceUntilItChanges) {
    ScratchFolder dir;
    const std::string path = dir.file("Preview.ini");
    const auto writeAged = [&](std::string_view bytes, int secondsAgo) {
        ScratchFolder::write(path, bytes);
        const timespec past{::time(nullptr) - secondsAgo, 0};
        const timespec times[2] = {past, past};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    };
    writeAged("[Page]\r\nTop(mm)=25\r\nLeft(mm)=20\r\n", 3600);
    const std::size_t start = ini::fileReadCount();
    const auto readsSince = [&] { return ini::fileReadCount() - start; };
    CPrivateProfile profile;
    EXPECT_EQ(profile.GetValueLong(path, "Page", "Top(mm)"), 25);
    EXPECT_EQ(profile.GetValueString(path, "page", "left(mm)"), "20");
    EXPECT_EQ(ini::IniFile(path).readInt("Page", "Missing", 7), 7);
    EXPECT_EQ(readsSince(), 1u);

    ASSERT_TRUE(profile.SetValueString(path, "Page", "Top(mm)", "30"));  // reads under its lock
    EXPECT_EQ(profile.GetValueLong(path, "Page", "Top(mm)"), 30);
    EXPECT_EQ(profile.GetValueLong(path, "Page", "Left(mm)"), 20);
    EXPECT_EQ(readsSince(), 2u);

    // Rewritten in place by another program: same inode and size, other times.
    writeAged("[Page]\r\nTop(mm)=11\r\nLeft(mm)=22\r\n", 1800);
    EXPECT_EQ(profile.GetValueLong(path, "Page", "Top(mm)"), 11);
    EXPECT_EQ(profile.GetValueLong(path, "Page", "Left(mm)"), 22);
    EXPECT_EQ(readsSince(), 3u);

    // A whole document written at once is kept as written.
    ASSERT_TRUE(ini::replaceIniFile(path, "[Page]\r\nTop(mm)=5\r\n").ok());
    EXPECT_EQ(profile.GetValueLong(path, "Page", "Top(mm)"), 5);
    EXPECT_EQ(readsSince(), 3u);

    std::filesystem::remove(path);
    EXPECT_EQ(profile.GetValueLong(path, "Page", "Top(mm)"), 0);
}

// ---- CPrivateProfile ----------------------------------------------------------------------

TEST(PrivateProfile, StringReadsStopAt127Bytes) {
    ScratchFolder dir;
    const std::string path = dir.file("t.ini");
    CPrivateProfile profile;
    const std::string v127(127, 'a');
    ASSERT_TRUE(profile.SetValueString(path, "S", "k127", v127));
    ASSERT_TRUE(profile.SetValueString(path, "S", "k128", v127 + "b"));
    EXPECT_EQ(profile.GetValueString(path, "S", "k127"), v127);
    EXPECT_EQ(profile.GetValueString(path, "S", "k128"), v127);
    EXPECT_EQ(GetIniString("S", "k128", path), v127);
    EXPECT_EQ(profile.GetValueStringUnlimited(path, "S", "k128"), v127 + "b");

    // 126 single bytes and a double-byte character: the character is dropped whole.
    const std::string cut = std::string(126, 'x') + "天";
    ASSERT_TRUE(profile.SetValueString(path, "S", "dbcs", cut));
    EXPECT_EQ(profile.GetValueString(path, "S", "dbcs"), std::string(126, 'x'));
}

TEST(PrivateProfile, ConvertsJapaneseTextToCp932InTheFile) {
    ScratchFolder dir;
    const std::string path = dir.file("t.ini");
    CPrivateProfile profile;
    ASSERT_TRUE(profile.SetValueString(path, "ﾌｧｲﾙ", "名前", "検討ｹｰｽ"));
    EXPECT_EQ(ScratchFolder::read(path),
              "[\xCC\xA7\xB2\xD9]\r\n\x96\xBC\x91\x4F=\x8C\x9F\x93\xA2\xB9\xB0\xBD\r\n");
    EXPECT_EQ(profile.GetValueString(path, "ﾌｧｲﾙ", "名前"), "検討ｹｰｽ");
    EXPECT_EQ(profile.GetValueLong(path, "ﾌｧｲﾙ", "名前"), 0);

    EXPECT_FALSE(profile.SetValueStringExact(path, "S", "k", "a😀"));
    EXPECT_EQ(profile.GetValueString(path, "S", "k"), "");
    EXPECT_TRUE(profile.SetValueString(path, "S", "k", "a😀"));
    EXPECT_EQ(profile.GetValueString(path, "S", "k"), "a?");
}

TEST(PrivateProfile, IntegerReadsAndDeletion) {
    ScratchFolder dir;
    const std::string path = dir.file("t.ini");
    ScratchFolder::write(path, "[S]\r\na=12.5\r\nb=abc\r\nc=-30\r\nd=\"7\"\r\n");
    CPrivateProfile profile;
    EXPECT_EQ(profile.GetValueLong(path, "S", "a"), 12);
    EXPECT_EQ(profile.GetValueLong(path, "S", "b"), 0);
    EXPECT_EQ(profile.GetValueLong(path, "S", "c"), -30);
    EXPECT_EQ(profile.GetValueLong(path, "S", "d"), 7);
    EXPECT_TRUE(profile.DeleteValue(path, "s", "A"));
    EXPECT_EQ(ScratchFolder::read(path), "[S]\r\nb=abc\r\nc=-30\r\nd=\"7\"\r\n");
}

}  // namespace
