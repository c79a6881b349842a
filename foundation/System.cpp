#include "foundation/System.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QString fromUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

std::optional<CommandLineParts> SplitCommandLine(std::string_view cmdLine) {
    std::size_t i = 0;
    while (i < cmdLine.size() && isBlank(cmdLine[i])) ++i;
    CommandLineParts parts;
    if (i < cmdLine.size() && cmdLine[i] == '"') {
        const std::size_t close = cmdLine.find('"', i + 1);
        if (close == std::string_view::npos) return std::nullopt;
        parts.program = cmdLine.substr(i + 1, close - i - 1);
        i = close + 1;
    } else {
        const std::size_t start = i;
        while (i < cmdLine.size() && !isBlank(cmdLine[i])) ++i;
        parts.program = cmdLine.substr(start, i - start);
    }
    if (parts.program.empty()) return std::nullopt;

    for (;;) {
        while (i < cmdLine.size() && isBlank(cmdLine[i])) ++i;
        if (i >= cmdLine.size()) break;
        const std::size_t start = i;
        bool quoted = false;
        while (i < cmdLine.size() && (quoted || !isBlank(cmdLine[i]))) {
            if (cmdLine[i] == '"') quoted = !quoted;
            ++i;
        }
        std::string_view arg = cmdLine.substr(start, i - start);
        if (arg.size() >= 2 && arg.front() == '"' && arg.back() == '"' &&
            arg.find('"', 1) == arg.size() - 1) {
            arg = arg.substr(1, arg.size() - 2);
        }
        parts.arguments.emplace_back(arg);
    }
    return parts;
}

bool CSystem::Shell(std::string_view CmdLine, std::optional<int> WindowStyle,
                    std::optional<bool> Wait) const {
    (void)WindowStyle;
    const auto parts = SplitCommandLine(CmdLine);
    if (!parts) return false;
    QStringList arguments;
    for (const auto& arg : parts->arguments) arguments << fromUtf8(arg);
    const QString program = fromUtf8(parts->program);

    if (!Wait.value_or(false)) return QProcess::startDetached(program, arguments);

    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(-1)) return false;
    process.waitForFinished(-1);
    return true;
}
