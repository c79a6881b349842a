#pragma once
// Why reading or replacing a file, printing or an export failed, in the words Preview's
// messages show: the one place that words the reasons its cores return, for the preview and
// its Word export alike. Also the atomic replacement of a file that the exports share.

#include <QByteArray>
#include <QString>

#include "foundation/SafeFile.h"

namespace preview {

// The reason alone ("ｱｸｾｽが拒否されました" and the like); empty for a success.
QString DescribeFileFailure(const safefile::Outcome& outcome);

// "<path>: <reason>".
QString DescribeFileFailure(const QString& path, const safefile::Outcome& outcome);

// True when the file at `path` can be written: its folder exists and takes a new file, or the
// file exists and may be rewritten in place. Otherwise `error` (when given) names the file and
// the reason, so that an export can stop before it builds anything.
bool CheckReplaceableFile(const QString& path, QString* error);

// The message for a file that cannot be read: "ﾌｧｲﾙを読み込めませんでした。", the path and the
// reason, each on its own line.
QString FileNotReadMessage(const QString& path, const QString& reason);

// Replaces the file at `path` by `bytes` atomically; on failure the old file stays and `error`
// (when given) names the file and the reason.
bool ReplaceFileReporting(const QString& path, const QByteArray& bytes, QString* error);

// What else the preview's commands can fail on.
enum class Fault {
    DocumentBusy,      // a document is still being made
    NoPagesToPrint,    // an empty document
    NoPagesToExport,   // an empty document
    NoPrinter,         // no printer is installed
    PrinterNotOpened,  // detail: the printer's name
    PageRefused,       // detail: the page number
    PrintFailed,       // the printer did not take the job
    PdfNotStarted,     // the PDF writer did not start
    PdfNotFinished,    // detail: why the outline or the compression failed
};

// The reason in the words of the messages; `detail` as the fault says.
QString DescribeFault(Fault fault, const QString& detail = {});

}  // namespace preview
