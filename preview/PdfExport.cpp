#include "preview/PdfExport.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "formats/FileFailure.h"
#include "formats/WorkBudget.h"
#include "foundation/SafeFile.h"
#include "preview/PageModel.h"
#include "preview/PageRenderer.h"
#include "preview/PdfOutline.h"
#include "preview/PreviewTexts.h"

namespace preview {

namespace {

QPageSize::PageSizeId pageSizeId(int paperCode) {
    switch (paperCode) {
        case PaperA3:
            return QPageSize::A3;
        case PaperA5:
            return QPageSize::A5;
        case PaperB4:
            return QPageSize::JisB4;
        case PaperB5:
            return QPageSize::JisB5;
        default:
            return QPageSize::A4;
    }
}

}  // namespace

QPageLayout pageLayoutFor(const PageFormat& format) {
    return QPageLayout(QPageSize(pageSizeId(format.paperCode)),
                       format.orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

namespace {

// Calls `use` with each heading among the tags of the document, in order.
template <typename Use>
void forEachHeading(const PageDocument& document, const QString& tagPrefix, Use use) {
    for (std::size_t p = 0; p < document.pages.size(); ++p) {
        for (const PageTag& tag : document.pages[p].tags) {
            if (!tag.text.startsWith(tagPrefix)) continue;
            const qsizetype bar = tag.text.indexOf(QLatin1Char('|'), tagPrefix.size());
            if (bar < 0) continue;
            bool ok = false;
            const int level = tag.text.mid(tagPrefix.size(), bar - tagPrefix.size()).toInt(&ok);
            if (!ok || level < 1 || level > 9) continue;
            use(PdfHeading{level, tag.text.mid(bar + 1), static_cast<int>(p), tag.x, tag.y});
        }
    }
}

}  // namespace

std::vector<PdfHeading> pdfHeadings(const PageDocument& document, const QString& tagPrefix) {
    std::vector<PdfHeading> entries;
    forEachHeading(document, tagPrefix, [&](const PdfHeading& entry) { entries.push_back(entry); });
    return entries;
}

namespace {

// The PDF bytes of the document; empty with the reason on failure.
std::string finishedPdf(const PageDocument& document, FontFactory& fonts, const PdfOptions& options,
                        QString* error) {
    if (document.pages.empty()) {
        if (error) *error = DescribeFault(Fault::NoPagesToExport);
        return {};
    }
    // One budget for the whole export; each page may spend its own share of it
    // (WorkBudget::kPageDraw: beyond that the page is marked and the export goes on), but a
    // page stopped by what is left of the whole stops the export, and so do the bookmarks.
    WorkBudget budget(WorkBudget::kExportBase + document.pages.size() * WorkBudget::kExportPerPage);
    QByteArray drawn;
    {
        QBuffer buffer(&drawn);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1440);  // a device unit is a twip
        writer.setCreator(QStringLiteral("Preview"));
        writer.setPageLayout(pageLayoutFor(document.pages.front().format));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error) *error = DescribeFault(Fault::PdfNotStarted);
            return {};
        }
        for (std::size_t p = 0; p < document.pages.size(); ++p) {
            if (p > 0) {
                writer.setPageLayout(pageLayoutFor(document.pages[p].format));
                writer.newPage();
            }
            const bool lastShare = budget.left() <= WorkBudget::kPageDraw;
            WorkBudget share(std::min(budget.left(), WorkBudget::kPageDraw));
            const bool whole =
                share.charge(Work::Page) && drawPage(painter, document, p, fonts, QTransform(),
                                                     QRectF(), kBoldPassAlpha, &share);
            for (std::size_t kind = 0; kind < std::size_t(Work::Count); ++kind) {
                budget.charge(Work(kind), share.count(Work(kind)));
            }
            if (!whole && lastShare) {
                painter.end();
                if (error) {
                    *error = QString::fromUtf8(texts::PdfExportTooLarge).arg(p + 1);
                }
                return {};
            }
        }
        painter.end();
    }
    auto outline = [&] {
        drawn = QByteArray();  // finished: the drawn pages are no longer needed
        std::vector<OutlineItem> items;
        forEachHeading(document, options.tagPrefix, [&](const PdfHeading& entry) {
            if (!budget.charge(Work::OutlineEntry)) return;
            items.push_back(OutlineItem{entry.level, entry.title.toStdString(), entry.page,
                                        entry.x / 20.0, entry.y / 20.0});
        });
        return items;
    };
    std::string reason;
    std::string finished = finishPdf(std::string_view(drawn.constData(), std::size_t(drawn.size())),
                                     outline, options.compressionLevel != 0, reason);
    if (budget.spent()) {
        if (error) *error = QString::fromUtf8(texts::PdfExportTooLarge).arg(document.pages.size());
        return {};
    }
    if (finished.empty() && error) {
        *error = DescribeFault(Fault::PdfNotFinished, QString::fromStdString(reason));
    }
    return finished;
}

}  // namespace

QByteArray buildPdf(const PageDocument& document, FontFactory& fonts, const PdfOptions& options,
                    QString* error) {
    const std::string bytes = finishedPdf(document, fonts, options, error);
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

bool writePdfFile(const PageDocument& document, FontFactory& fonts, const QString& path,
                  const PdfOptions& options, QString* error) {
    if (!CheckReplaceableFile(path, error)) return false;
    const std::string bytes = finishedPdf(document, fonts, options, error);
    if (bytes.empty()) return false;
    // Written from the finished bytes themselves: a large outline is not copied again.
    return ReplaceFileReporting(
        path, QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())), error);
}

}  // namespace preview
