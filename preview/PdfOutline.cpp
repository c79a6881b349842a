#include "preview/PdfOutline.h"

// Only the shared-pointer API of libqpdf.
#define POINTERHOLDER_TRANSITION 4

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <set>

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

// The content with each text object that follows "<state> gs" for one of the given graphics
// states (as QPdfWriter writes a text run: "<state> gs\nBT\n...\nET\n") wrapped in a span that
// stands for no text.
std::string spanBoldPass(const std::string& content, const std::set<std::string>& states) {
    std::vector<std::string> keys;
    for (const std::string& state : states) keys.push_back(state + " gs\nBT\n");
    std::vector<std::size_t> next;
    for (const std::string& key : keys) next.push_back(content.find(key));
    std::string out;
    std::size_t at = 0;
    for (;;) {
        std::size_t found = std::string::npos, length = 0;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (next[k] != std::string::npos && next[k] < at) next[k] = content.find(keys[k], at);
            if (next[k] < found) found = next[k], length = keys[k].size();
        }
        if (found == std::string::npos) break;
        const std::size_t begin = found + length - 3;  // at "BT"
        const std::size_t end = content.find("\nET\n", begin);
        if (end == std::string::npos) break;
        out.append(content, at, begin - at);
        out += "/Span <</ActualText ()>> BDC\n";
        out.append(content, begin, end + 4 - begin);
        out += "EMC\n";
        at = end + 4;
    }
    if (at == 0) return content;
    out.append(content, at, std::string::npos);
    return out;
}

// The emboldening pass: the graphics states of the marked alpha become opaque, and the text
// drawn under them leaves the text layer.
void unmarkBoldPass(QPDF& pdf) {
    std::vector<std::pair<QPDFPageObjectHelper, std::set<std::string>>> marked;
    std::vector<QPDFObjectHandle> states;
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        QPDFObjectHandle all = page.getAttribute("/Resources", false).getKey("/ExtGState");
        if (!all.isDictionary()) continue;
        std::set<std::string> names;
        for (const std::string& name : all.getKeys()) {
            QPDFObjectHandle state = all.getKey(name);
            if (!state.isDictionary()) continue;
            QPDFObjectHandle alpha = state.getKey("/ca");
            if (alpha.isNumber() &&
                std::abs(alpha.getNumericValue() * 255 - kBoldPassAlpha) < 0.5) {
                names.insert(name);
                states.push_back(state);
            }
        }
        if (!names.empty()) marked.emplace_back(page, std::move(names));
    }
    for (QPDFObjectHandle& state : states) {
        state.replaceKey("/ca", QPDFObjectHandle::newInteger(1));
        state.replaceKey("/CA", QPDFObjectHandle::newInteger(1));
    }
    for (auto& [page, names] : marked) {
        QPDFObjectHandle contents = page.getObjectHandle().getKey("/Contents");
        std::vector<QPDFObjectHandle> streams =
            contents.isArray() ? contents.getArrayAsVector() : std::vector{contents};
        for (QPDFObjectHandle& stream : streams) {
            if (!stream.isStream()) continue;
            std::shared_ptr<Buffer> data = stream.getStreamData(qpdf_dl_generalized);
            const std::string content(reinterpret_cast<const char*>(data->getBuffer()),
                                      data->getSize());
            stream.replaceStreamData(spanBoldPass(content, names), QPDFObjectHandle::newNull(),
                                     QPDFObjectHandle::newNull());
        }
    }
}

std::string finishWithQpdf(std::string_view drawn, const std::vector<OutlineItem>& outline,
                           bool compress) {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile("export", drawn.data(), drawn.size());
    unmarkBoldPass(pdf);
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
