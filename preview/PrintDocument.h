#pragma once
// Printing of a page document through QPrinter: every page (or the printer's from-to range)
// drawn by PageRenderer onto the paper, each page with its own paper size and orientation,
// origin at the paper's corner.

#include <QString>
#include <functional>

class QPrinter;

namespace preview {

class FontFactory;
struct PageDocument;

// The printer in use for a requested name: the name itself when such a printer exists,
// otherwise the system's default printer ("" when there is none).
QString resolvePrinterName(const QString& requested);

// Prints on the printer `printerName` ("" for the default). A `dialog`, when given, adjusts
// the printer (and its page range) first and returns false when cancelled. False with the
// reason when nothing could be printed; a cancelled dialog gives false with an empty reason.
bool printDocument(const PageDocument& document, FontFactory& fonts, const QString& printerName,
                   const std::function<bool(QPrinter&)>& dialog, QString* error);

// Prints on a printer set up by the caller (used by printDocument and by the tests, which
// print into a PDF file). Honours fromPage()/toPage() (0 = all pages).
bool printOnPrinter(const PageDocument& document, FontFactory& fonts, QPrinter& printer,
                    QString* error);

}  // namespace preview
