#include "preview/PdfOutline.h"

// Only the shared-pointer API of libqpdf.
#define POINTERHOLDER_TRANSITION 4

#include <algorithm>
#include <exception>
#include <memory>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace preview {

namespace {

// An outline node while the tree is built; children in order.
struct OutlineNode {
    const OutlineItem* item = nullptr;
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
        const OutlineItem& entry = *child->item;
        QPDFPageObjectHelper& page = pages[std::size_t(entry.page)];
        const double height = page.getMediaBox().getArrayItem(3).getNumericValue();
        QPDFObjectHandle dest = QPDFObjectHandle::newArray();
        dest.appendItem(page.getObjectHandle());
        dest.appendItem(QPDFObjectHandle::newName("/XYZ"));
        dest.appendItem(QPDFObjectHandle::newReal(entry.left, 2));
        dest.appendItem(QPDFObjectHandle::newReal(height - entry.top, 2));
        dest.appendItem(QPDFObjectHandle::newInteger(0));
        QPDFObjectHandle item = QPDFObjectHandle::newDictionary();
        item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(entry.title));
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

std::string finishWithQpdf(std::string_view drawn, const std::vector<OutlineItem>& outline,
                           bool compress) {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile("export", drawn.data(), drawn.size());
    if (!outline.empty()) {
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        OutlineNode root;
        root.object = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        root.object.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
        std::vector<OutlineNode*> lastAtLevel{&root};  // lastAtLevel[n]: last node of level n
        for (const OutlineItem& entry : outline) {
            if (entry.page < 0 || std::size_t(entry.page) >= pages.size()) continue;
            const std::size_t parentLevel =
                std::min<std::size_t>(std::size_t(entry.level) - 1, lastAtLevel.size() - 1);
            OutlineNode* parent = lastAtLevel[parentLevel];
            parent->children.push_back(std::make_unique<OutlineNode>());
            OutlineNode* node = parent->children.back().get();
            node->item = &entry;
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
    writer.setCompressStreams(compress);
    writer.write();
    std::shared_ptr<Buffer> bytes = writer.getBufferSharedPointer();
    return std::string(reinterpret_cast<const char*>(bytes->getBuffer()), bytes->getSize());
}

}  // namespace

std::string finishPdf(std::string_view pdf, const std::vector<OutlineItem>& outline, bool compress,
                      std::string& reason) {
    try {
        return finishWithQpdf(pdf, outline, compress);
    } catch (const std::exception& e) {
        reason = e.what();
        return std::string();
    }
}

}  // namespace preview
