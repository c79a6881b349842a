#pragma once
// Why reading or replacing a file failed, in the words the preview's messages show, and the
// atomic replacement of a file that the exports share.

#include <QByteArray>
#include <QString>

#include "foundation/SafeFile.h"

namespace preview {

// The reason alone ("ｱｸｾｽが拒否されました" and the like); empty for a success.
QString DescribeFileFailure(const safefile::Outcome& outcome);

// "<path>: <reason>".
QString DescribeFileFailure(const QString& path, const safefile::Outcome& outcome);

// The message for a file that cannot be read: "ﾌｧｲﾙを読み込めませんでした。", the path and the
// reason, each on its own line.
QString FileNotReadMessage(const QString& path, const QString& reason);

// Replaces the file at `path` by `bytes` atomically; on failure the old file stays and `error`
// (when given) names the file and the reason.
bool ReplaceFileReporting(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace preview
