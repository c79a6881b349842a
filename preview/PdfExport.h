#pragma once
// PDF export of a page document: QPdfWriter draws the pages (PageRenderer, at 1440 dpi, so a
// device unit is a twip) into memory; libqpdf then adds the outline made from the heading
// tags and writes the file with or without stream compression. The file is replaced
// atomically: a failed export leaves the old file and reports why.
//
// Outline: a tag "<prefix><level>|<title>" of page p at (x, y) twips becomes an entry at
// level `level` (1 at the top; a level-n entry goes under the last entry of level n-1, or
// higher up when there is none) pointing at page p with its top-left at (x, y).

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <vector>

#include "preview/PreviewControl.h"

namespace preview {

class FontFactory;
struct PageDocument;
struct PageFormat;

// The page layout of a page format: paper size and orientation, no margins.
QPageLayout pageLayoutFor(const PageFormat& format);

// One entry of the outline, in document order.
struct PdfHeading {
    int level = 1;
    QString title;
    int page = 0;  // 0-based
    int x = 0;     // twips
    int y = 0;
};

// The headings among the tags of the document.
std::vector<PdfHeading> pdfHeadings(const PageDocument& document, const QString& tagPrefix);

// The PDF bytes of the document; empty with the reason on failure. The export has one
// WorkBudget (kExportBase + kExportPerPage a page) that the pages drawn and the bookmarks
// charge; each page may spend up to kPageDraw of it (drawn up to there and marked beyond), and
// a page or outline that the rest of it cannot pay for stops the export (texts::
// PdfExportTooLarge).
QByteArray buildPdf(const PageDocument& document, FontFactory& fonts, const PdfOptions& options,
                    QString* error);

// buildPdf, then the file replaced atomically; a target whose folder is missing or refuses the
// file fails before anything is built.
bool writePdfFile(const PageDocument& document, FontFactory& fonts, const QString& path,
                  const PdfOptions& options, QString* error);

}  // namespace preview
