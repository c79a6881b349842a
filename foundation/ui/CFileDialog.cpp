#include "foundation/ui/CFileDialog.h"

#include <QFileInfo>

QStringList FilterToNameFilters(const QString& filter) {
    QStringList result;
    if (filter.isEmpty()) return result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& raw : parts.at(i + 1).split(QLatin1Char(';'))) {
            const QString p = raw.trimmed();
            if (p.isEmpty()) continue;
            if (!patterns.contains(p)) patterns << p;
            const QString upper = p.toUpper();
            if (!patterns.contains(upper)) patterns << upper;
        }
        if (patterns.isEmpty()) continue;
        result << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}

FileDialogRequest CFileDialog::request(bool fOpen) const {
    FileDialogRequest r;
    r.open = fOpen;
    r.title = m_dialogTitle;
    r.filters = FilterToNameFilters(m_filter);
    // FilterIndex 0 (no custom filter here) or out of range selects the first pair.
    r.filterIndex = m_filterIndex >= 1 && m_filterIndex <= r.filters.size() ? m_filterIndex - 1 : 0;
    r.initialDir = m_initialDir;
    r.initialFile = m_fileName;
    r.defaultSuffix =
        m_defaultExt.startsWith(QLatin1Char('.')) ? m_defaultExt.mid(1) : m_defaultExt;
    r.fileMustExist = (m_flags & OFN_FILEMUSTEXIST) != 0;
    r.pathMustExist = (m_flags & OFN_PATHMUSTEXIST) != 0;
    r.overwritePrompt = (m_flags & OFN_OVERWRITEPROMPT) != 0;
    // OFN_HIDEREADONLY: the Qt dialog has no read-only check box, so it is always hidden.
    return r;
}

bool CFileDialog::Show(bool fOpen) {
    const std::optional<QString> chosen = m_ui.fileDialog(m_parent, request(fOpen));
    if (!chosen || chosen->isEmpty()) return false;
    m_fileName = *chosen;
    m_fileTitle = QFileInfo(*chosen).fileName();
    return true;
}
