#include "formats/FileFailure.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <string_view>

namespace preview {

namespace {

// Every reason the file calls can give, in words; a code no call here is known to give keeps
// its number behind a sentence.
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
        case ELOOP:
            return QStringLiteral("ｼﾝﾎﾞﾘｯｸﾘﾝｸが循環しているか、多すぎます");
        case EINVAL:
            return QStringLiteral("ﾌｧｲﾙ名または内容が正しくありません");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("開いているﾌｧｲﾙが多すぎます");
        case ENOMEM:
            return QStringLiteral("ﾒﾓﾘが不足しています");
        case EBUSY:
        case ETXTBSY:
            return QStringLiteral("ﾌｧｲﾙが使用中です");
        case EAGAIN:
        case ENOLCK:
            return QStringLiteral("ﾌｧｲﾙをﾛｯｸできません。しばらくしてからやり直して下さい");
        case EFBIG:
        case EOVERFLOW:
            return QStringLiteral("ﾌｧｲﾙが大きすぎます");
        case EEXIST:
            return QStringLiteral("同じ名前のﾌｧｲﾙが既にあります");
        case ENOTEMPTY:
            return QStringLiteral("ﾌｫﾙﾀﾞが空ではありません");
        case EMLINK:
            return QStringLiteral("ﾘﾝｸが多すぎます");
        case EXDEV:
            return QStringLiteral("別のﾄﾞﾗｲﾌﾞへは置き換えられません");
        case ENXIO:
        case ENODEV:
            return QStringLiteral("装置が見つかりません");
        case ESTALE:
        case ENOTCONN:
        case ETIMEDOUT:
        case ECONNABORTED:
        case ECONNRESET:
        case ENETDOWN:
        case ENETUNREACH:
        case EHOSTDOWN:
        case EHOSTUNREACH:
            return QStringLiteral("ﾈｯﾄﾜｰｸ上のﾌｧｲﾙに接続できません");
        case EINTR:
        case ECANCELED:
            return QStringLiteral("処理が中断されました");
        case EOPNOTSUPP:
            return QStringLiteral("この場所ではこの操作はできません");
        case EBADF:
        case EFAULT:
            return QStringLiteral("ﾌｧｲﾙを扱えませんでした");
        default:
            return QStringLiteral("予期しないｴﾗｰが発生しました (ｴﾗｰ番号 %1)").arg(err);
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

bool CheckReplaceableFile(const QString& path, QString* error) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    struct stat info {};
    int err = 0;
    if (::stat(folder.constData(), &info) != 0) {
        err = errno;
    } else if (!S_ISDIR(info.st_mode)) {
        err = ENOTDIR;
    } else if (::access(folder.constData(), W_OK | X_OK) != 0) {
        err = errno;
        if (::access(QFile::encodeName(path).constData(), W_OK) == 0) err = 0;
    }
    if (err == 0) return true;
    if (error) *error = DescribeFileFailure(path, safefile::Outcome{safefile::Status::Failed, err});
    return false;
}

QString FileNotReadMessage(const QString& path, const QString& reason) {
    return QStringLiteral("ﾌｧｲﾙを読み込めませんでした。") + QLatin1Char('\n') + path +
           QLatin1Char('\n') + reason;
}

bool ReplaceFileReporting(const QString& path, const QByteArray& bytes, QString* error) {
    const safefile::Outcome outcome =
        safefile::replaceFile(QFile::encodeName(path).toStdString(),
                              std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (outcome.ok()) return true;
    if (error) *error = DescribeFileFailure(path, outcome);
    return false;
}

QString DescribeFault(Fault fault, const QString& detail) {
    switch (fault) {
        case Fault::DocumentBusy:
            return QStringLiteral("文書の作成中です");
        case Fault::NoPagesToPrint:
            return QStringLiteral("印刷するﾍﾟｰｼﾞがありません");
        case Fault::NoPagesToExport:
            return QStringLiteral("出力するﾍﾟｰｼﾞがありません");
        case Fault::NoPrinter:
            return QStringLiteral("ﾌﾟﾘﾝﾀがｲﾝｽﾄｰﾙされていません");
        case Fault::PrinterNotOpened:
            return QStringLiteral("ﾌﾟﾘﾝﾀ「%1」を開けません").arg(detail);
        case Fault::PageRefused:
            return QStringLiteral("ﾌﾟﾘﾝﾀが %1 ﾍﾟｰｼﾞ目を受け付けませんでした").arg(detail);
        case Fault::PrintFailed:
            return QStringLiteral("印刷に失敗しました");
        case Fault::PdfNotStarted:
            return QStringLiteral("PDFの作成を開始できません");
        case Fault::PdfNotFinished:
            return QStringLiteral("PDFを完成できませんでした: %1").arg(detail);
    }
    return {};
}

}  // namespace preview
