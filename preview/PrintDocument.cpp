#include "preview/PrintDocument.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "formats/FileFailure.h"
#include "preview/PageModel.h"
#include "preview/PageRenderer.h"
#include "preview/PdfExport.h"

namespace preview {

QString resolvePrinterName(const QString& requested) {
    if (!requested.isEmpty() && !QPrinterInfo::printerInfo(requested).isNull()) return requested;
    return QPrinterInfo::defaultPrinterName();
}

bool printDocument(const PageDocument& document, FontFactory& fonts, const QString& printerName,
                   const std::function<bool(QPrinter&)>& dialog, QString* error) {
    QPrinter printer(QPrinter::HighResolution);
    const QString name = resolvePrinterName(printerName);
    if (!name.isEmpty()) printer.setPrinterName(name);
    if (!document.pages.empty())
        printer.setPageLayout(pageLayoutFor(document.pages.front().format));
    // The dialog may still choose a printer, or a file, when none is installed.
    if (dialog && !dialog(printer)) {
        if (error) error->clear();
        return false;
    }
    if (printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty()) {
        if (error) *error = DescribeFault(Fault::NoPrinter);
        return false;
    }
    return printOnPrinter(document, fonts, printer, error);
}

bool printOnPrinter(const PageDocument& document, FontFactory& fonts, QPrinter& printer,
                    QString* error) {
    const int count = static_cast<int>(document.pages.size());
    if (count == 0) {
        if (error) *error = DescribeFault(Fault::NoPagesToPrint);
        return false;
    }
    int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    int to = printer.toPage() > 0 ? printer.toPage() : count;
    from = std::clamp(from, 1, count);
    to = std::clamp(to, from, count);
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutFor(document.pages[std::size_t(from - 1)].format));
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error) *error = DescribeFault(Fault::PrinterNotOpened, printer.printerName());
        return false;
    }
    for (int page = from; page <= to; ++page) {
        if (page > from) {
            printer.setPageLayout(pageLayoutFor(document.pages[std::size_t(page - 1)].format));
            if (!printer.newPage()) {
                painter.end();
                if (error) *error = DescribeFault(Fault::PageRefused, QString::number(page));
                return false;
            }
        }
        const double dpiX = printer.logicalDpiX(), dpiY = printer.logicalDpiY();
        drawPage(painter, document, std::size_t(page - 1), fonts, twipsToDevice(dpiX, dpiY));
    }
    if (!painter.end()) {
        if (error) *error = DescribeFault(Fault::PrintFailed);
        return false;
    }
    return true;
}

}  // namespace preview
