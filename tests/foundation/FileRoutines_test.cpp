#include "foundation/FileRoutines.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "foundation/System.h"
#include "foundation/TempFile.h"
#include "foundation/UserFolder.h"
#include "tests/foundation/ChildProcess.h"
#include "tests/foundation/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

// Sets (or with nullopt unsets) an environment variable for one test.
class EnvironmentOverride {
  public:
    EnvironmentOverride(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~EnvironmentOverride() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(TempFile, NamesAreNewPrivateFilesInTmpdir) {
    ScratchFolder dir;
    EnvironmentOverride tmp("TMPDIR", dir.path() + "/");
    const auto a = MakeTempFileName();
    const auto b = MakeTempFileName();
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    for (const auto& name : {*a, *b}) {
        EXPECT_EQ(fs::path(name).parent_path(), fs::path(dir.path()));
        const std::string base = fs::path(name).filename().string();
        EXPECT_EQ(base.substr(0, 3), "~QM");
        EXPECT_EQ(base.substr(base.size() - 4), ".TMP");
        EXPECT_EQ(base.find_first_not_of("0123456789ABCDEF", 3), base.size() - 4);
        struct stat st {};
        ASSERT_EQ(::stat(name.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(st.st_size, 0);
    }
}

TEST(TempFile, UnusableTmpdirFallsBackToTmp) {
    {
        EnvironmentOverride tmp("TMPDIR", std::string("/no/such/folder"));
        EXPECT_EQ(TempFolder(), "/tmp");
    }
    {
        EnvironmentOverride tmp("TMPDIR", std::string("relative"));
        EXPECT_EQ(TempFolder(), "/tmp");
    }
}

TEST(TempFile, ListRefusesTheNameBeyondItsCapacityBeforeCreatingAFile) {
    ScratchFolder dir;
    EnvironmentOverride tmp("TMPDIR", dir.path());
    TempNameList list(2);
    EXPECT_TRUE(list.take());
    EXPECT_TRUE(list.take());
    EXPECT_FALSE(list.take());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
    list.removeAll();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(FileRoutines, FolderAndFileOperationsReportFailure) {
    ScratchFolder dir;
    const std::string sub = dir.file("sub");
    EXPECT_TRUE(MakeFolder(sub));
    EXPECT_FALSE(MakeFolder(sub));              // exists already
    EXPECT_FALSE(MakeFolder(dir.file("a/b")));  // parent missing
    EXPECT_FALSE(RemoveFile(sub));              // a folder is no file
    EXPECT_TRUE(fs::is_directory(sub));

    const std::string f = dir.file("f.txt");
    EXPECT_FALSE(RemoveFile(f));
    ScratchFolder::write(f, "content");
    EXPECT_TRUE(CreateEmptyFile(f));
    EXPECT_EQ(fs::file_size(f), 0u);
    EXPECT_TRUE(RemoveFile(f));
    EXPECT_FALSE(fs::exists(f));
    EXPECT_TRUE(CreateEmptyFile(f));
    EXPECT_TRUE(fs::exists(f));
    EXPECT_FALSE(CreateEmptyFile(sub));
    EXPECT_FALSE(CreateEmptyFile(dir.file("a/b")));
}

TEST(AppendTextFile, EndsEveryLineWithCrLfAndCopiesOtherBytes) {
    ScratchFolder dir;
    const std::string dest = dir.file("all.TMP");
    const std::string src = dir.file("one.TMP");
    ScratchFolder::write(dest, "head\r\n");
    ScratchFolder::write(src, std::string("a\nb\r\n\fc\rd\n\0e", 12));
    ASSERT_TRUE(AppendTextFile(dest, src));
    EXPECT_EQ(ScratchFolder::read(dest), std::string("head\r\na\r\nb\r\n\fc\rd\r\n\0e\r\n", 22));

    ScratchFolder::write(src, "");
    ASSERT_TRUE(AppendTextFile(dest, src));
    EXPECT_EQ(fs::file_size(dest), 22u);
}

TEST(AppendTextFile, MissingSourceFailsAndLeavesTheDestination) {
    ScratchFolder dir;
    const std::string dest = dir.file("all.TMP");
    EXPECT_FALSE(AppendTextFile(dest, dir.file("missing")));
    EXPECT_TRUE(fs::exists(dest));
    EXPECT_EQ(fs::file_size(dest), 0u);
    ScratchFolder::write(dest, "x\r\n");
    EXPECT_FALSE(AppendTextFile(dest, dir.file("missing")));
    EXPECT_EQ(ScratchFolder::read(dest), "x\r\n");
    EXPECT_FALSE(AppendTextFile(dest, dest));  // would grow without end
    EXPECT_EQ(ScratchFolder::read(dest), "x\r\n");
}

TEST(ReadInputFileVersion, TakesLineThreeFromColumn33) {
    ScratchFolder dir;
    const std::string f = dir.file("in.mbw");
    const std::string prefix(32, '-');  // columns 1..32
    struct Case {
        std::string content;
        std::string expected;
    };
    const Case cases[] = {
        {"tag\r\nproduct\r\n" + prefix + "[1.10]\r\nmore\r\n", "[1.10"},
        {"tag\nproduct\n" + prefix + "1.00]", "1.00"},  // LF, no final line end
        {"tag\r\nproduct\r\n" + prefix + "]\r\n", ""},  // exactly 33 characters
        {"tag\r\nproduct\r\n" + std::string(31, '-') + "]\r\n", "error"},
        {"tag\r\nproduct\r\n", "error"},  // two lines
        {"", "error"},
    };
    for (const auto& c : cases) {
        ScratchFolder::write(f, c.content);
        EXPECT_EQ(ReadInputFileVersion(f), c.expected) << c.content;
    }
    EXPECT_EQ(ReadInputFileVersion(dir.file("missing")), "error");
    EXPECT_EQ(ReadInputFileVersion(dir.path()), "error");
}

TEST(UserFolder, FollowsTheDataHomeAndNeverTheRoot) {
    ScratchFolder dir;
    {
        EnvironmentOverride home("HOME", dir.path());
        EnvironmentOverride xdg("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(GetLocalAppDataFolder(), dir.path() + "/.local/share");
        const auto made = EnsureUserDataFolder("Mibrox");
        ASSERT_TRUE(made);
        EXPECT_EQ(*made, dir.path() + "/.local/share/Halvoren/Mibrox");
        EXPECT_TRUE(fs::is_directory(*made));
        EXPECT_EQ(EnsureUserDataFolder("Mibrox"), made);  // exists already: fine
        EXPECT_FALSE(EnsureUserDataFolder("../x"));
    }
    {
        EnvironmentOverride home("HOME", std::string("/"));
        EnvironmentOverride xdg("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(GetLocalAppDataFolder(), "");
        EXPECT_FALSE(EnsureUserDataFolder("Preview"));
    }
    {
        EnvironmentOverride home("HOME", std::nullopt);
        EnvironmentOverride xdg("XDG_DATA_HOME", dir.path() + "/data/");
        EXPECT_EQ(GetLocalAppDataFolder(), dir.path() + "/data");
    }
}

// A Mibrox.ini beside the program that may be written, in a folder that may not (an
// administrator's set-up), was dropped for an empty one in the per-user folder.
TEST(UserFolder, settingsBesideTheProgramStayWhereverTheyCanBeWritten) {
    struct Case {
        mode_t mode;       // of the file beside the program, holding "[A]"
        const char* own;   // the per-user file before, "" when there is none
        const char* used;  // "program" or "user"
        const char* ownAfter;
    } const cases[] = {{0666, "", "program", ""},      // a per-user file begins as a copy of the
                       {0444, "", "user", "[A]"},      // file beside the program, but none is
                       {0444, "[B]", "user", "[B]"}};  // replaced
    for (const Case& c : cases) {
        ScratchFolder dir;
        const std::string program = dir.file("program"), user = dir.file("user");
        fs::create_directories(user);
        fs::create_directories(program);
        ScratchFolder::write(program + "/Mibrox.ini", "[A]");
        if (*c.own) ScratchFolder::write(user + "/Mibrox.ini", c.own);
        fs::permissions(program + "/Mibrox.ini", fs::perms(c.mode));
        fs::permissions(dir.path(), fs::perms(0755));
        fs::permissions(program, fs::perms(0555));
        fs::permissions(user, fs::perms::all);
        const int rc = InChild([&]() -> int {
            if (!DropRoot()) return kChildSkipped;
            return SettingsFilePath(program, user, "Mibrox.ini") ==
                   dir.file(c.used) + "/Mibrox.ini";
        });
        if (rc == kChildSkipped) GTEST_SKIP() << "cannot give up root here";
        EXPECT_EQ(rc, 1) << c.mode;
        EXPECT_EQ(ScratchFolder::read(user + "/Mibrox.ini"), c.ownAfter);
    }
}

TEST(SplitCommandLine, SplitsLikeTheStartOfAWindowsProcess) {
    auto parts =
        SplitCommandLine("\"/opt/my app/Preview\" /INI=\"/home/a b/Mibrox\" /tmp/~QM1.TMP");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->program, "/opt/my app/Preview");
    ASSERT_EQ(parts->arguments.size(), 2u);
    EXPECT_EQ(parts->arguments[0], "/INI=\"/home/a b/Mibrox\"");  // quotes kept for Preview
    EXPECT_EQ(parts->arguments[1], "/tmp/~QM1.TMP");

    parts = SplitCommandLine("  sh -c \"echo a  b\"  ");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->program, "sh");
    EXPECT_EQ(parts->arguments, (std::vector<std::string>{"-c", "echo a  b"}));

    EXPECT_FALSE(SplitCommandLine(""));
    EXPECT_FALSE(SplitCommandLine("   "));
    EXPECT_FALSE(SplitCommandLine("\"/unclosed"));
    EXPECT_FALSE(SplitCommandLine("\"\" arg"));
}

TEST(CSystem, StartsAndWaitsAndReportsAFailedStart) {
    ScratchFolder dir;
    const std::string marker = dir.file("ran");
    CSystem system;
    ASSERT_TRUE(system.Shell("/bin/sh -c \"echo ok > '" + marker + "'\"", 1, true));
    EXPECT_EQ(ScratchFolder::read(marker), "ok\n");  // waited for the end
    EXPECT_FALSE(system.Shell(dir.file("no-such-program"), 1, true));
    EXPECT_FALSE(system.Shell(dir.file("no-such-program")));
    EXPECT_TRUE(system.Shell("/bin/true"));
    EXPECT_FALSE(system.Shell(""));
}

}  // namespace
