#include "workspace/ui/FileCommands.h"

#include "foundation/NumberFormat.h"
#include "workspace/ui/MenuMainTexts.h"

namespace t = menumain_text;

RecentFileList RecentListAfterUse(const RecentFileList& old, const std::string& path) {
    int match = -1;
    for (int i = 0; i < 4; ++i) {
        if (old[static_cast<size_t>(i)] == path) match = i;
    }
    RecentFileList result;
    result[0] = path;
    size_t next = 1;
    for (int i = 0; i < 4 && next < 4; ++i) {
        if (i == match) continue;
        result[next++] = old[static_cast<size_t>(i)];
    }
    return result;
}

QString RecentEntryCaption(int n, const std::string& path) {
    QString text = QString::fromStdString(path);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 ").arg(n) + text;
}

bool HasMbwExtension(const std::string& path) {
    const QString name = QString::fromStdString(path);
    return name.size() >= 3 && name.right(3).toUpper() == QStringLiteral("MBW");
}

std::string FileTitleOf(const std::string& path) {
    const auto pos = path.find_last_of('/');
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string FolderOf(const std::string& path) {
    const auto pos = path.find_last_of('/');
    if (pos == std::string::npos) return {};
    return pos == 0 ? std::string("/") : path.substr(0, pos);
}

QString MainCaption(const QString& fileTitle) {
    QString caption = QString::fromUtf8(t::ProductTitle);
    if (!fileTitle.isEmpty()) caption += QString::fromUtf8(t::CaptionSeparator) + fileTitle;
    return caption;
}

QString ExitQuestionText(const std::string& currentFilePath) {
    return QString::fromUtf8(t::ExitQuestion) + QStringLiteral("\n\n") +
           QString::fromUtf8(t::ExitFileLabel) + QString::fromStdString(currentFilePath);
}

QString OpenQuestionText(const std::string& currentFilePath) {
    return QString::fromUtf8(t::OpenQuestion) + QStringLiteral("\n\n") +
           QString::fromUtf8(t::ExitFileLabel) + QString::fromStdString(currentFilePath);
}

QString NotSupportedText(const std::string& version) {
    return QString::fromUtf8(t::NotSupportedHead) + QString::fromStdString(version) +
           QString::fromUtf8(t::NotSupportedTail);
}

namespace {
QString errorText(const char* head, int code) {
    return QString::fromUtf8(head) + QString::fromUtf8(t::ErrorCodeHead) +
           QString::fromStdString(FormatNumber(code, t::ErrorCodeFormat)) + QStringLiteral("\n\n") +
           QString::fromUtf8(t::ErrorContact);
}
}  // namespace

QString ReadErrorText(int code) {
    return errorText(t::ReadErrorText, code);
}
QString WriteErrorText(int code) {
    return errorText(t::WriteErrorText, code);
}
