#include "preview/PdfExport.h"

// Only the shared-pointer API of libqpdf.
#define POINTERHOLDER_TRANSITION 4

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <exception>
#include <memory>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "foundation/SafeFile.h"
#include "preview/PageModel.h"
#include "preview/PageRenderer.h"
#include "preview/VdfFormat.h"

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

// An outline node while the tree is built; children in order.
struct OutlineNode {
    const OutlineEntry* entry = nullptr;
    std::vector<std::unique_ptr<OutlineNode>> children;
    QPDFObjectHandle object;
};

int countDescendants(const OutlineNode& node) {
    int count = 0;
    for (const auto& child : node.children) count += 1 + countDescendants(*child);
    return count;
}

// Makes the indirect objects of the node's children and links them (all entries open).
void linkChildren(QPDF& pdf, OutlineNode& parent, std::vector<QPDFPageObjectHelper>& pages) {
    for (auto& child : parent.children) {
        const OutlineEntry& entry = *child->entry;
        QPDFPageObjectHelper& page = pages[std::size_t(entry.page)];
        const double top = page.getMediaBox().getArrayItem(3).getNumericValue();
        QPDFObjectHandle dest = QPDFObjectHandle::newArray();
        dest.appendItem(page.getObjectHandle());
        dest.appendItem(QPDFObjectHandle::newName("/XYZ"));
        dest.appendItem(QPDFObjectHandle::newReal(entry.x / 20.0, 2));
        dest.appendItem(QPDFObjectHandle::newReal(top - entry.y / 20.0, 2));
        dest.appendItem(QPDFObjectHandle::newInteger(0));
        QPDFObjectHandle item = QPDFObjectHandle::newDictionary();
        item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(entry.title.toStdString()));
        item.replaceKey("/Parent", parent.object);
        item.replaceKey("/Dest", dest);
        child->object = pdf.makeIndirectObject(item);
    }
    for (std::size_t i = 0; i < parent.children.size(); ++i) {
        OutlineNode& child = *parent.children[i];
        if (i > 0) child.object.replaceKey("/Prev", parent.children[i - 1]->object);
        if (i + 1 < parent.children.size()) {
            child.object.replaceKey("/Next", parent.children[i + 1]->object);
        }
        linkChildren(pdf, child, pages);
    }
    if (!parent.children.empty()) {
        parent.object.replaceKey("/First", parent.children.front()->object);
        parent.object.replaceKey("/Last", parent.children.back()->object);
        parent.object.replaceKey("/Count", QPDFObjectHandle::newInteger(countDescendants(parent)));
    }
}

// The outline, the page mode and the compression, written by libqpdf.
QByteArray finishWithQpdf(const QByteArray& drawn, const std::vector<OutlineEntry>& outline,
                          int compressionLevel) {
    QPDF pdf;
    pdf.processMemoryFile("export", drawn.constData(), std::size_t(drawn.size()));
    if (!outline.empty()) {
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        OutlineNode root;
        root.object = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        root.object.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
        std::vector<OutlineNode*> lastAtLevel{&root};  // lastAtLevel[n]: last node of level n
        for (const OutlineEntry& entry : outline) {
            if (entry.page < 0 || std::size_t(entry.page) >= pages.size()) continue;
            const std::size_t parentLevel =
                std::min<std::size_t>(std::size_t(entry.level) - 1, lastAtLevel.size() - 1);
            OutlineNode* parent = lastAtLevel[parentLevel];
            parent->children.push_back(std::make_unique<OutlineNode>());
            OutlineNode* node = parent->children.back().get();
            node->entry = &entry;
            lastAtLevel.resize(parentLevel + 1);
            lastAtLevel.push_back(node);
        }
        linkChildren(pdf, root, pages);
        QPDFObjectHandle catalog = pdf.getRoot();
        catalog.replaceKey("/Outlines", root.object);
        catalog.replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));
    }
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setDeterministicID(true);
    writer.setDecodeLevel(qpdf_dl_generalized);
    writer.setCompressStreams(compressionLevel != 0);
    writer.write();
    std::shared_ptr<Buffer> bytes = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(bytes->getBuffer()),
                      static_cast<qsizetype>(bytes->getSize()));
}

}  // namespace

QPageLayout pageLayoutFor(const PageFormat& format) {
    return QPageLayout(QPageSize(pageSizeId(format.paperCode)),
                       format.orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

std::vector<OutlineEntry> outlineEntries(const PageDocument& document, const QString& tagPrefix) {
    std::vector<OutlineEntry> entries;
    for (std::size_t p = 0; p < document.pages.size(); ++p) {
        for (const PageTag& tag : document.pages[p].tags) {
            if (!tag.text.startsWith(tagPrefix)) continue;
            const qsizetype bar = tag.text.indexOf(QLatin1Char('|'), tagPrefix.size());
            if (bar < 0) continue;
            bool ok = false;
            const int level = tag.text.mid(tagPrefix.size(), bar - tagPrefix.size()).toInt(&ok);
            if (!ok || level < 1 || level > 9) continue;
            entries.push_back(
                OutlineEntry{level, tag.text.mid(bar + 1), static_cast<int>(p), tag.x, tag.y});
        }
    }
    return entries;
}

QByteArray buildPdf(const PageDocument& document, FontFactory& fonts, const PdfOptions& options,
                    QString* error) {
    if (document.pages.empty()) {
        if (error) *error = QStringLiteral("the document has no pages");
        return {};
    }
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
            if (error) *error = QStringLiteral("the PDF writer cannot start");
            return {};
        }
        for (std::size_t p = 0; p < document.pages.size(); ++p) {
            if (p > 0) {
                writer.setPageLayout(pageLayoutFor(document.pages[p].format));
                writer.newPage();
            }
            drawPage(painter, document, p, fonts, QTransform());
        }
        painter.end();
    }
    try {
        return finishWithQpdf(drawn, outlineEntries(document, options.tagPrefix),
                              options.compressionLevel);
    } catch (const std::exception& e) {
        if (error) *error = QStringLiteral("the PDF could not be finished: %1").arg(e.what());
        return {};
    }
}

bool writePdfFile(const PageDocument& document, FontFactory& fonts, const QString& path,
                  const PdfOptions& options, QString* error) {
    const QByteArray bytes = buildPdf(document, fonts, options, error);
    if (bytes.isEmpty()) return false;
    const safefile::Outcome outcome =
        safefile::replaceFile(QFile::encodeName(path).toStdString(),
                              std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!outcome.ok()) {
        if (error) *error = describeFileFailure(path, outcome);
        return false;
    }
    return true;
}

}  // namespace preview
