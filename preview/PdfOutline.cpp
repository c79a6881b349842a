#include "preview/PdfOutline.h"

// Only the shared-pointer API of libqpdf.
#define POINTERHOLDER_TRANSITION 4

#include <malloc.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <qpdf/Buffer.hh>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <set>
#include <stdexcept>

namespace preview {

namespace {

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

// A link of an outline entry ("/Next" and so on) to entry `node` of objects numbered from `base`
// (the outline's root is node 0); nothing when there is none.
void appendLink(std::string& out, const char* key, int node, int base) {
    if (node < 0) return;
    out += key;
    out += ' ';
    out += std::to_string(base + node);
    out += " 0 R";
}

void appendNumber(std::string& out, double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, std::isfinite(value) ? value : 0.0,
                                   std::chars_format::fixed, 2);
    out.append(text, end.ptr);
}

// Appends the outline to a finished PDF as an update of it: the entries as new objects, the
// catalog again with the outline, a cross-reference section and a trailer pointing back to
// the file's own. The entries are written as text, not through libqpdf's objects, which hold
// kilobytes an entry: a million headings cost the size of their text, not gigabytes.
void appendOutline(std::string& pdf, const std::vector<OutlineItem>& outline) {
    // What the update refers to, read from the file (its page tree only); libqpdf's objects
    // are let go before the entries are written.
    std::vector<std::string> pageRefs;
    std::vector<double> heights;
    QPDFObjGen root;
    int base = 0;
    std::string catalogText, trailerId;
    {
        QPDF written;
        written.setSuppressWarnings(true);
        written.processMemoryFile("export", pdf.data(), pdf.size());
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(written).getAllPages()) {
            pageRefs.push_back(page.getObjectHandle().getObjGen().unparse(' ') + " R");
            heights.push_back(page.getMediaBox().getArrayItem(3).getNumericValue());
        }
        QPDFObjectHandle trailer = written.getTrailer();
        QPDFObjectHandle catalog = written.getRoot();
        root = catalog.getObjGen();
        base = trailer.getKey("/Size").getIntValueAsInt();
        catalog.removeKey("/Outlines");
        catalog.replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));
        catalogText = catalog.unparseResolved();
        const std::size_t close = catalogText.rfind(">>");
        if (close == std::string::npos) throw std::runtime_error("catalog is no dictionary");
        catalogText.insert(close, " /Outlines " + std::to_string(base) + " 0 R ");
        if (trailer.getKey("/ID").isArray()) trailerId = " /ID " + trailer.getKey("/ID").unparse();
    }
    const std::size_t mark = pdf.rfind("startxref");
    if (mark == std::string::npos) throw std::runtime_error("no startxref");
    const std::string previous = std::to_string(std::strtoull(pdf.c_str() + mark + 9, nullptr, 10));

    // The tree: node 0 the root, node k the k-th entry kept; children in order.
    struct Node {
        const OutlineItem* item = nullptr;
        int parent = -1, first = -1, last = -1, prev = -1, next = -1;
        long long count = 0;
    };
    std::vector<Node> nodes(1);
    std::vector<int> lastAtLevel{0};  // lastAtLevel[n]: the last node of level n
    for (const OutlineItem& entry : outline) {
        if (entry.page < 0 || std::size_t(entry.page) >= pageRefs.size()) continue;
        const std::size_t parentLevel =
            std::min<std::size_t>(std::size_t(entry.level) - 1, lastAtLevel.size() - 1);
        const int parent = lastAtLevel[parentLevel];
        const int node = int(nodes.size());
        nodes.push_back(Node{&entry, parent});
        if (nodes[parent].last >= 0) {
            nodes[nodes[parent].last].next = node;
            nodes[node].prev = nodes[parent].last;
        } else {
            nodes[parent].first = node;
        }
        nodes[parent].last = node;
        lastAtLevel.resize(parentLevel + 1);
        lastAtLevel.push_back(node);
    }
    for (std::size_t k = nodes.size() - 1; k > 0; --k) {
        nodes[nodes[k].parent].count += 1 + nodes[k].count;
    }

    std::size_t room = 64 * nodes.size() + 256;  // the update, reserved at once: a bound
    for (const OutlineItem& entry : outline) room += 2 * entry.title.size() + 160;
    pdf.reserve(pdf.size() + room);
    if (pdf.empty() || pdf.back() != '\n') pdf += '\n';
    std::vector<std::size_t> offsets;
    offsets.reserve(nodes.size());
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        const Node& node = nodes[k];
        offsets.push_back(pdf.size());
        pdf += std::to_string(base + int(k));
        pdf += " 0 obj\n<<";
        if (k == 0) {
            pdf += " /Type /Outlines";
        } else {
            const OutlineItem& entry = *node.item;
            pdf += " /Title ";
            pdf += QPDFObjectHandle::newUnicodeString(entry.title).unparse();
            appendLink(pdf, " /Parent", node.parent, base);
            pdf += " /Dest [";
            pdf += pageRefs[std::size_t(entry.page)];
            pdf += " /XYZ ";
            appendNumber(pdf, entry.left);
            pdf += ' ';
            appendNumber(pdf, heights[std::size_t(entry.page)] - entry.top);
            pdf += " 0]";
            appendLink(pdf, " /Prev", node.prev, base);
            appendLink(pdf, " /Next", node.next, base);
        }
        appendLink(pdf, " /First", node.first, base);
        appendLink(pdf, " /Last", node.last, base);
        if (node.first >= 0) pdf += " /Count " + std::to_string(node.count);
        pdf += " >>\nendobj\n";
    }
    const std::size_t catalogOffset = pdf.size();
    pdf += root.unparse(' ') + " obj\n" + catalogText + "\nendobj\n";

    const std::size_t xref = pdf.size();
    char entry[24];
    pdf += "xref\n" + std::to_string(root.getObj()) + " 1\n";
    std::snprintf(entry, sizeof entry, "%010zu %05d n \n", catalogOffset, root.getGen());
    pdf += entry;
    pdf += std::to_string(base) + ' ' + std::to_string(nodes.size()) + '\n';
    for (std::size_t offset : offsets) {
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(base + nodes.size()) + " /Root " +
           root.unparse(' ') + " R /Prev " + previous;
    pdf += trailerId + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

std::string finishWithQpdf(std::string_view drawn, bool compress) {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile("export", drawn.data(), drawn.size());
    unmarkBoldPass(pdf);
    std::string finished;
    Pl_String output("export", nullptr, finished);
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&output);
    writer.setDeterministicID(true);
    writer.setDecodeLevel(qpdf_dl_generalized);
    writer.setCompressStreams(compress);
    writer.setObjectStreamMode(qpdf_o_disable);  // a plain cross-reference table to update
    writer.write();
    return finished;
}

}  // namespace

std::string finishPdf(std::string_view pdf,
                      const std::function<std::vector<OutlineItem>()>& outline, bool compress,
                      std::string& reason) {
    try {
        std::string finished = finishWithQpdf(pdf, compress);
        // libqpdf let go of a great many small objects: hand their memory back before the
        // outline, whose text is one large block, is written.
        malloc_trim(0);
        const std::vector<OutlineItem> items = outline();
        if (!items.empty()) appendOutline(finished, items);
        return finished;
    } catch (const std::exception& e) {
        reason = e.what();
        return std::string();
    }
}

}  // namespace preview
