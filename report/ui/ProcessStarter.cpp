#include "report/ui/ProcessStarter.h"

#include <QProcess>

bool DetachedProcessStarter::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}
