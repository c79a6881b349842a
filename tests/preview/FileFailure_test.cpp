// The reasons a file failure shows: worded, the number only behind a sentence.
#include "formats/FileFailure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "tests/foundation/ScratchFolder.h"

namespace preview {
namespace {

TEST(FileFailure, ReasonsAreWorded) {
    ScratchFolder dir;
    std::filesystem::create_symlink(dir.file("b"), dir.file("a"));
    std::filesystem::create_symlink(dir.file("a"), dir.file("b"));
    EXPECT_EQ(DescribeFileFailure(safefile::readRegularFile(dir.file("a"), 100)),
              QStringLiteral("ｼﾝﾎﾞﾘｯｸﾘﾝｸが循環しているか、多すぎます"));
    EXPECT_EQ(DescribeFileFailure(safefile::readRegularFile(std::string("x\0y", 3), 100)),
              QStringLiteral("ﾌｧｲﾙ名または内容が正しくありません"));
    EXPECT_EQ(DescribeFileFailure({safefile::Status::Failed, 4321}),
              QStringLiteral("予期しないｴﾗｰが発生しました (ｴﾗｰ番号 4321)"));
}

}  // namespace
}  // namespace preview
