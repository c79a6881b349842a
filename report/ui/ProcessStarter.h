#pragma once
// Starting another program without waiting for it, as a seam: the product starts a detached
// process, tests record the request. The program and each argument are passed as they are
// (never joined into one line and split again), so blanks inside them are kept.

#include <QString>
#include <QStringList>

class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // True when the program was started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

// The product implementation: QProcess::startDetached.
class DetachedProcessStarter final : public ProcessStarter {
  public:
    bool startDetached(const QString& program, const QStringList& arguments) override;
};
