#pragma once
// Helpers of the print-menu tests: a recording process starter, a temporary folder that
// the temporary names go to while a test runs, and file helpers.

#include <sys/stat.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "report/ui/ProcessStarter.h"

class RecordingStarter final : public ProcessStarter {
  public:
    struct Call {
        QString program;
        QStringList arguments;
    };
    bool startDetached(const QString& program, const QStringList& arguments) override {
        calls.push_back({program, arguments});
        return result;
    }
    std::vector<Call> calls;
    bool result = true;
};

// Points TMPDIR at a new folder for the scope's lifetime (the name may carry blanks).
class ScopedTempFolder {
  public:
    explicit ScopedTempFolder(const QString& name = QStringLiteral("tmp"))
        : m_old(qgetenv("TMPDIR")), m_hadOld(qEnvironmentVariableIsSet("TMPDIR")) {
        QDir(m_dir.path()).mkdir(name);
        m_path = m_dir.filePath(name);
        qputenv("TMPDIR", m_path.toUtf8());
    }
    ~ScopedTempFolder() {
        if (m_hadOld) {
            qputenv("TMPDIR", m_old);
        } else {
            qunsetenv("TMPDIR");
        }
    }
    QString path() const { return m_path; }
    QStringList files() const {
        return QDir(m_path).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

  private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld;
    QString m_path;
};

inline QByteArray readBytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline unsigned permissionBits(const QString& path) {
    struct stat st {};
    return ::stat(path.toLocal8Bit().constData(), &st) == 0 ? (st.st_mode & 07777U) : 0U;
}
