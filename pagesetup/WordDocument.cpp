#include "pagesetup/WordDocument.h"

#include <QProcess>

namespace word {

float MillimetersToPoints(float mm) {
    return mm * 72.0f / 25.4f;
}

float PointsToMillimeters(float points) {
    return points * 25.4f / 72.0f;
}

namespace {
constexpr int kQueryTimeoutMs = 5000;
const QString kDocxMimeType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document");
}  // namespace

bool XdgWordDesktop::hasWordProcessor() const {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), kDocxMimeType});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return false;
    return !QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed().isEmpty();
}

bool XdgWordDesktop::openDocument(const QString& path) const {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

}  // namespace word
