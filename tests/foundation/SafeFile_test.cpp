// Whole-file reading and atomic replacement where their callers' tests do not reach: the exact
// byte cap and the targets that must be refused rather than replaced. Keeping the mode, the
// old file on failure and FIFOs on reading are tested through IniFile and the input file.

#include "foundation/SafeFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "tests/foundation/ChildProcess.h"
#include "tests/foundation/ScratchFolder.h"

namespace {

using safefile::Status;

TEST(SafeFile, ReadHonoursTheCapToTheByte) {
    ScratchFolder dir;
    ScratchFolder::write(dir.file("four"), "1234");
    const auto exact = safefile::readRegularFile(dir.file("four"), 4);
    EXPECT_TRUE(exact.ok());
    EXPECT_EQ(exact.bytes, "1234");
    const auto over = safefile::readRegularFile(dir.file("four"), 3);
    EXPECT_EQ(over.status, Status::TooLarge);
    EXPECT_TRUE(over.bytes.empty());
    const auto missing = safefile::readRegularFile(dir.file("none"), 4);
    EXPECT_EQ(missing.status, Status::Failed);
    EXPECT_EQ(missing.err, ENOENT);
    EXPECT_EQ(safefile::readRegularFile(dir.file("four") + std::string(1, '\0'), 4).err, EINVAL);
}

TEST(SafeFile, ReplaceRefusesTargetsItWouldDestroy) {
    ScratchFolder dir;
    namespace fs = std::filesystem;
    // A dangling link stays a dangling link: nothing is created beside or behind it.
    fs::create_symlink(dir.file("gone"), dir.file("dangling"));
    const auto dangling = safefile::replaceFile(dir.file("dangling"), "x");
    EXPECT_EQ(dangling.status, Status::Failed);
    EXPECT_EQ(dangling.err, ENOENT);
    EXPECT_TRUE(fs::is_symlink(dir.file("dangling")));
    // A FIFO or a folder is not swapped for a regular file.
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(safefile::replaceFile(dir.file("fifo"), "x").status, Status::NotRegularFile);
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));
    ASSERT_TRUE(fs::create_directory(dir.file("sub")));
    EXPECT_EQ(safefile::replaceFile(dir.file("sub"), "x").status, Status::NotRegularFile);
    EXPECT_EQ(safefile::replaceFile(dir.file("sub/."), "x").status, Status::NotRegularFile);
    EXPECT_EQ(safefile::replaceFile("", "x").err, EINVAL);
    // No temporary file is left behind by any of them.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3);
    EXPECT_TRUE(fs::is_empty(dir.file("sub")));
}

TEST(SafeFile, ReplaceWorksForANameNearTheFileSystemLimit) {
    ScratchFolder dir;
    const std::string longName = dir.file(std::string(250, 'a') + ".mbw");
    ASSERT_TRUE(safefile::replaceFile(longName, "first").ok());
    ASSERT_TRUE(safefile::replaceFile(longName, "second").ok());
    EXPECT_EQ(safefile::readRegularFile(longName, 100).bytes, "second");
}

// Saves a megabyte under a file-size limit of 4 KiB, which kills the process mid-write.
void SaveKilledWhileWriting(const std::string& target) {
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = limit.rlim_max = 0;
    ::setrlimit(RLIMIT_CORE, &limit);
    (void)safefile::replaceFile(target, std::string(1 << 20, 'x'));
    std::_Exit(0);
}

// A save killed while writing (here by exceeding the file-size limit) used to leave a hidden
// temporary file beside the target for ever.
TEST(SafeFile, killedSaveLeavesNoTemporaryFile) {
    ScratchFolder dir;
    const std::string target = dir.file("a.mbw");
    ScratchFolder::write(target, "old");
    EXPECT_EXIT(SaveKilledWhileWriting(target), ::testing::KilledBySignal(SIGXFSZ), "");
    EXPECT_EQ(ScratchFolder::read(target), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A file that may not be written is not replaced (root included, by the missing write bits);
// the folder and the file stay as they were.
TEST(SafeFile, savingOverAReadOnlyFileFails) {
    ScratchFolder dir;
    const std::string target = dir.file("a.mbw");
    ScratchFolder::write(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const auto outcome = safefile::replaceFile(target, "new");
    EXPECT_EQ(outcome.status, Status::Failed);
    EXPECT_EQ(outcome.err, EACCES);
    EXPECT_EQ(ScratchFolder::read(target), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// The in-place rewrite (a writable file in a folder that is not) cut the old file before it
// knew that the new one fits: a full disk left a broken file.
TEST(SafeFile, inPlaceRewriteOnAFullDiskKeepsTheOldFile) {
    ScratchFolder dir;
    const std::string target = dir.file("a.pdf");
    const int rc = InChild([&] {
        const bool tmpfs = MountPrivateTmpfs(dir.path(), "size=256k");
        ScratchFolder::write(target, "old");
        rlimit limit{4096, 4096};  // else an injected failure: the file-size limit
        if (tmpfs) {
            ScratchFolder::write(dir.file("filler"), std::string(200 * 1024, 'f'));
        } else if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit)) {
            return 2;
        }
        if (::chmod(target.c_str(), 0666) != 0 || ::chmod(dir.path().c_str(), 0555) != 0) return 3;
        if (!DropRoot()) return kChildSkipped;
        const auto outcome = safefile::replaceFile(target, std::string(128 * 1024, 'n'));
        const bool ok =
            outcome.err == (tmpfs ? ENOSPC : EFBIG) && ScratchFolder::read(target) == "old";
        return ok ? 0 : 1;
    });
    if (rc == kChildSkipped) GTEST_SKIP() << "cannot give up root here";
    EXPECT_EQ(rc, 0);
}

// Replacing a file on a read-only mount said "access denied"; only a new file there got the
// real reason.
TEST(SafeFile, readOnlyMountIsTheReasonForOldAndNewFiles) {
    ScratchFolder dir;
    const int rc = InChild([&] {
        if (!MountPrivateTmpfs(dir.path(), "size=64k")) return kChildSkipped;
        ScratchFolder::write(dir.file("old.mbw"), "old");
        if (::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            return kChildSkipped;
        }
        return safefile::replaceFile(dir.file("old.mbw"), "new").err == EROFS &&
                       safefile::replaceFile(dir.file("new.mbw"), "new").err == EROFS
                   ? 0
                   : 1;
    });
    if (rc == kChildSkipped) GTEST_SKIP() << "no private mounts here";
    EXPECT_EQ(rc, 0);
}

// A save killed between naming and renaming its temporary file left it beside the target for
// ever; the next write there removes such files of ours once no writer holds them.
TEST(SafeFile, nextWriteRemovesTemporaryFilesThatKilledSavesLeft) {
    ScratchFolder dir;
    const char* const names[] = {".~0123ABCD.tmp",   // left by a killed save: removed
                                 ".~4567CDEF.tmp",   // held by its writer
                                 ".~89ABCDEF.tmp",   // too young: its writer may be at work
                                 ".~0123abcd.tmp"};  // not our pattern
    for (const char* name : names) {
        ScratchFolder::write(dir.file(name), "left");
        const std::time_t when = ::time(nullptr) - (name[3] == '9' ? 10 : 120);
        const timespec times[2] = {{when, 0}, {when, 0}};
        ::utimensat(AT_FDCWD, dir.file(name).c_str(), times, 0);
    }
    const safefile::Descriptor held(::open(dir.file(names[1]).c_str(), O_RDONLY));
    ASSERT_EQ(::flock(held.get(), LOCK_EX), 0);
    ASSERT_TRUE(safefile::replaceFile(dir.file("a.mbw"), "new").ok());
    for (const char* name : names) {
        EXPECT_EQ(std::filesystem::exists(dir.file(name)), name != names[0]) << name;
    }
}

}  // namespace
