// The reasons a file failure shows: worded, never a bare number.
#include "formats/FileFailure.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <cerrno>
#include <filesystem>

#include "tests/foundation/ScratchFolder.h"

namespace preview {
namespace {

TEST(FileFailure, EveryReasonAUserMeetsIsWorded) {
    ScratchFolder dir;
    std::filesystem::create_symlink(dir.file("b"), dir.file("a"));
    std::filesystem::create_symlink(dir.file("a"), dir.file("b"));
    const safefile::ReadResult loop = safefile::readRegularFile(dir.file("a"), 100);
    ASSERT_EQ(loop.err, ELOOP);

    const QRegularExpression digit(QStringLiteral("[0-9]"));
    std::vector<safefile::Outcome> outcomes = {
        loop, {safefile::Status::NotRegularFile, 0}, {safefile::Status::TooLarge, 0}};
    for (int err :
         {ENOENT,   ENOTDIR,   EACCES, EPERM,     EROFS,      ENOSPC, EDQUOT,  EISDIR, ENAMETOOLONG,
          EIO,      EINVAL,    EMFILE, ENFILE,    ENOMEM,     EBUSY,  ETXTBSY, EAGAIN, ENOLCK,
          EFBIG,    EOVERFLOW, EEXIST, ENOTEMPTY, EMLINK,     EXDEV,  ENXIO,   ENODEV, ESTALE,
          ENOTCONN, ETIMEDOUT, EINTR,  ECANCELED, EOPNOTSUPP, EBADF}) {
        outcomes.push_back({safefile::Status::Failed, err});
    }
    for (const safefile::Outcome& outcome : outcomes) {
        const QString reason = DescribeFileFailure(outcome);
        EXPECT_FALSE(reason.isEmpty()) << outcome.err;
        EXPECT_FALSE(reason.contains(digit)) << outcome.err << ": " << reason.toStdString();
    }
    // A code no file call is known to give still names its number, behind a sentence.
    EXPECT_EQ(DescribeFileFailure({safefile::Status::Failed, 4321}),
              QStringLiteral("予期しないｴﾗｰが発生しました (ｴﾗｰ番号 4321)"));
}

}  // namespace
}  // namespace preview
