#include "preview/FileFailure.h"

#include <QFile>
#include <cerrno>
#include <string_view>

#include "preview/PreviewTexts.h"

namespace preview {

namespace {

QString describeErrno(int err) {
    switch (err) {
        case ENOENT:
            return QStringLiteral("ﾌｧｲﾙまたはﾌｫﾙﾀﾞが見つかりません");
        case ENOTDIR:
            return QStringLiteral("ﾌｫﾙﾀﾞが見つかりません");
        case EACCES:
        case EPERM:
            return QStringLiteral("ｱｸｾｽが拒否されました");
        case EROFS:
            return QStringLiteral("読み取り専用の場所です");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("ﾃﾞｨｽｸの空き領域が不足しています");
        case EISDIR:
            return QStringLiteral("ﾌｫﾙﾀﾞです");
        case ENAMETOOLONG:
            return QStringLiteral("ﾌｧｲﾙ名が長すぎます");
        case EIO:
            return QStringLiteral("入出力ｴﾗｰが発生しました");
        default:
            return QStringLiteral("ｴﾗｰ番号 %1").arg(err);
    }
}

}  // namespace

QString DescribeFileFailure(const safefile::Outcome& outcome) {
    switch (outcome.status) {
        case safefile::Status::Ok:
            return QString();
        case safefile::Status::NotRegularFile:
            return QStringLiteral("通常のﾌｧｲﾙではありません");
        case safefile::Status::TooLarge:
            return QStringLiteral("ﾌｧｲﾙが大きすぎます");
        case safefile::Status::Failed:
            break;
    }
    return describeErrno(outcome.err);
}

QString DescribeFileFailure(const QString& path, const safefile::Outcome& outcome) {
    return QStringLiteral("%1: %2").arg(path, DescribeFileFailure(outcome));
}

QString FileNotReadMessage(const QString& path, const QString& reason) {
    return QString::fromUtf8(texts::FileNotRead) + QLatin1Char('\n') + path + QLatin1Char('\n') +
           reason;
}

bool ReplaceFileReporting(const QString& path, const QByteArray& bytes, QString* error) {
    const safefile::Outcome outcome =
        safefile::replaceFile(QFile::encodeName(path).toStdString(),
                              std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (outcome.ok()) return true;
    if (error) *error = DescribeFileFailure(path, outcome);
    return false;
}

}  // namespace preview
