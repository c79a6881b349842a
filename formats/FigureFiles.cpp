#include "formats/FigureFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <optional>

#include "foundation/Cp932.h"
#include "foundation/FieldReader.h"
#include "foundation/NumberFormat.h"
#include "foundation/NumberRoutines.h"
#include "foundation/Numeric.h"
#include "foundation/SafeFile.h"
#include "formats/TextLines.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kEnd = "END";

// Section keywords, CP932.
struct Keywords {
    std::string points = cp932::fromUtf8("座標情報");
    std::string rects = cp932::fromUtf8("矩形情報");
    std::string lines = cp932::fromUtf8("線分情報");
    std::string circles = cp932::fromUtf8("円情報");
    std::string arcs = cp932::fromUtf8("円弧情報");
    std::string arrows = cp932::fromUtf8("矢印(1)");
    std::string texts = cp932::fromUtf8("文字情報");
};

const Keywords& keywords() {
    static const Keywords k;
    return k;
}

FigureReadResult fault(FigureReadStatus status, std::size_t line, std::string reason) {
    return FigureReadResult{status, line, std::move(reason)};
}

FigureReadResult readFile(const std::string& path, std::string& bytes) {
    safefile::ReadResult r = safefile::readRegularFile(path, kMaxFigureFileBytes);
    if (r.status == safefile::Status::TooLarge) {
        return fault(FigureReadStatus::TooLarge, 0, "file too large: " + path);
    }
    if (!r.ok()) return fault(FigureReadStatus::CannotOpen, 0, "cannot read " + path);
    bytes = std::move(r.bytes);
    return {};
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Comma-separated fields of one record line, trimmed.
std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(trim(line.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

// Numbers separated by any run of blanks or a comma.
std::vector<std::string_view> splitNumbers(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ',')) ++i;
        const std::size_t begin = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',') ++i;
        if (i > begin) fields.push_back(line.substr(begin, i - begin));
    }
    return fields;
}

std::optional<std::int32_t> toInt(std::string_view field) {
    const auto v = ParseDouble(field);
    if (!v) return std::nullopt;
    return ToInt32HalfEven(*v);
}

// Reads `count` numbers of a record; the first `ints` of them after `skip` are integers.
class RecordParser {
  public:
    RecordParser(std::string_view line, std::size_t lineNo)
        : m_fields(splitFields(line)), m_lineNo(lineNo) {}

    bool need(std::size_t n, FigureReadResult& r, const char* what) const {
        if (m_fields.size() >= n) return true;
        r = fault(FigureReadStatus::BadRecord, m_lineNo,
                  std::string("too few fields in a ") + what + " record");
        return false;
    }
    bool real(std::size_t i, double& out, FigureReadResult& r) const {
        const auto v = ParseDouble(m_fields[i]);
        if (!v) {
            r = fault(FigureReadStatus::BadNumber, m_lineNo,
                      "not a number: field " + std::to_string(i + 1));
            return false;
        }
        out = *v;
        return true;
    }
    bool integer(std::size_t i, std::int32_t& out, FigureReadResult& r) const {
        const auto v = toInt(m_fields[i]);
        if (!v) {
            r = fault(FigureReadStatus::BadNumber, m_lineNo,
                      "not a whole number: field " + std::to_string(i + 1));
            return false;
        }
        out = *v;
        return true;
    }
    bool isEnd() const { return m_fields.front() == kEnd; }

  private:
    std::vector<std::string_view> m_fields;
    std::size_t m_lineNo;
};

bool checkPoint(std::int32_t p, const FigureBuffer& b, std::size_t lineNo, FigureReadResult& r) {
    if (p >= 1 && static_cast<std::size_t>(p) <= b.points.size()) return true;
    r = fault(FigureReadStatus::BadPointNumber, lineNo,
              "point " + std::to_string(p) + " was not read");
    return false;
}

bool checkRoom(std::size_t size, std::size_t capacity, std::size_t lineNo, FigureReadResult& r,
               const char* what) {
    if (size < capacity) return true;
    r = fault(FigureReadStatus::TooManyRows, lineNo,
              std::string("more ") + what + " than " + std::to_string(capacity));
    return false;
}

// One record of a section (not 文字情報); false with `r` set on a fault.
enum class Section { Points, Rects, Lines, Circles, Arcs, Arrows };

bool parseRecord(Section section, std::string_view line, std::size_t lineNo, FigureBuffer& b,
                 FigureReadResult& r) {
    RecordParser p(line, lineNo);
    switch (section) {
        case Section::Points: {
            FigPoint pt;
            if (!p.need(3, r, "point") || !p.real(1, pt.x, r) || !p.real(2, pt.y, r) ||
                !checkRoom(b.points.size(), FigureBuffer::kPointCapacity, lineNo, r, "points")) {
                return false;
            }
            b.points.push_back(pt);
            return true;
        }
        case Section::Rects: {
            FigRect x;
            if (!p.need(5, r, "rectangle") || !p.integer(1, x.from, r) || !p.integer(2, x.to, r) ||
                !p.integer(3, x.style, r) || !p.integer(4, x.extra, r) ||
                !checkPoint(x.from, b, lineNo, r) || !checkPoint(x.to, b, lineNo, r) ||
                !checkRoom(b.rects.size(), FigureBuffer::kRectCapacity, lineNo, r, "rectangles")) {
                return false;
            }
            b.rects.push_back(x);
            return true;
        }
        case Section::Lines: {
            FigLine x;
            if (!p.need(4, r, "line") || !p.integer(1, x.from, r) || !p.integer(2, x.to, r) ||
                !p.integer(3, x.style, r) || !checkPoint(x.from, b, lineNo, r) ||
                !checkPoint(x.to, b, lineNo, r) ||
                !checkRoom(b.lines.size(), FigureBuffer::kLineCapacity, lineNo, r, "lines")) {
                return false;
            }
            b.lines.push_back(x);
            return true;
        }
        case Section::Circles: {
            FigCircle x;
            if (!p.need(4, r, "circle") || !p.integer(1, x.centre, r) || !p.real(2, x.radius, r) ||
                !p.integer(3, x.style, r) || !checkPoint(x.centre, b, lineNo, r) ||
                !checkRoom(b.circles.size(), FigureBuffer::kCircleCapacity, lineNo, r, "circles")) {
                return false;
            }
            b.circles.push_back(x);
            return true;
        }
        case Section::Arcs: {
            FigArc x;
            if (!p.need(7, r, "arc") || !p.real(1, x.cx, r) || !p.real(2, x.cy, r) ||
                !p.real(3, x.radius, r) || !p.real(4, x.start, r) || !p.real(5, x.end, r) ||
                !p.integer(6, x.style, r) ||
                !checkRoom(b.arcs.size(), FigureBuffer::kArcCapacity, lineNo, r, "arcs")) {
                return false;
            }
            b.arcs.push_back(x);
            return true;
        }
        case Section::Arrows: {
            FigArrow x;
            if (!p.need(4, r, "arrow") || !p.integer(1, x.point, r) ||
                !p.integer(2, x.direction, r) || !p.integer(3, x.style, r) ||
                !checkPoint(x.point, b, lineNo, r) ||
                !checkRoom(b.arrows.size(), FigureBuffer::kArrowCapacity, lineNo, r, "arrows")) {
                return false;
            }
            b.arrows.push_back(x);
            return true;
        }
    }
    return false;
}

FigureReadResult parseBoxLine(std::string_view line, std::size_t lineNo, FigureBox& box) {
    const auto fields = splitFields(line);
    double v[6];
    if (fields.size() < 6) {
        return fault(FigureReadStatus::BadRecord, lineNo, "the bounding-box line needs 6 numbers");
    }
    for (int i = 0; i < 6; ++i) {
        const auto n = ParseDouble(fields[static_cast<std::size_t>(i)]);
        if (!n) return fault(FigureReadStatus::BadNumber, lineNo, "bad bounding-box number");
        v[i] = *n;
    }
    box = FigureBox{v[0], v[1], v[2], v[3], v[4], v[5]};
    return {};
}

FigureReadResult parseData(std::string_view bytes, FigureData& out, bool boxOnly) {
    out = FigureData{};
    LineCursor cursor(bytes);
    std::string_view line;
    if (!cursor.next(line)) return fault(FigureReadStatus::MissingEnd, 1, "no title line");
    out.Title1 = cp932::toUtf8(line);
    if (!cursor.next(line)) return fault(FigureReadStatus::MissingEnd, 2, "no second title line");
    out.Title2 = cp932::toUtf8(line);
    if (!cursor.next(line)) return fault(FigureReadStatus::MissingEnd, 3, "no bounding-box line");
    if (auto r = parseBoxLine(line, cursor.line(), out.box); !r.ok()) return r;
    if (boxOnly) return {};

    const Keywords& k = keywords();
    bool pointsSeen = false;
    FigureBuffer& b = out.buffer;
    while (cursor.next(line)) {
        const std::size_t headerLine = cursor.line();
        if (line == k.texts) {
            for (;;) {
                std::string_view text;
                if (!cursor.next(text)) {
                    return fault(FigureReadStatus::MissingEnd, headerLine,
                                 "text section without END");
                }
                if (text == kEnd) break;
                std::string_view values;
                if (!cursor.next(values)) {
                    return fault(FigureReadStatus::MissingEnd, cursor.line(),
                                 "text without its values");
                }
                RecordParser p(values, cursor.line());
                FigText t;
                FigureReadResult r;
                if (!p.need(4, r, "text") || !p.real(0, t.x, r) || !p.real(1, t.y, r) ||
                    !p.integer(2, t.style, r) || !p.integer(3, t.direction, r) ||
                    !checkRoom(b.texts.size(), FigureBuffer::kTextCapacity, cursor.line(), r,
                               "texts")) {
                    return r;
                }
                t.text = cp932::toUtf8(text);
                b.texts.push_back(std::move(t));
            }
            continue;
        }
        Section section;
        if (line == k.points) {
            if (pointsSeen)
                return fault(FigureReadStatus::BadRecord, headerLine, "a second point section");
            pointsSeen = true;
            section = Section::Points;
        } else if (line == k.rects) {
            section = Section::Rects;
        } else if (line == k.lines) {
            section = Section::Lines;
        } else if (line == k.circles) {
            section = Section::Circles;
        } else if (line == k.arcs) {
            section = Section::Arcs;
        } else if (line == k.arrows) {
            section = Section::Arrows;
        } else {
            continue;  // any other line (a fill section included) is passed over
        }
        for (;;) {
            if (!cursor.next(line)) {
                return fault(FigureReadStatus::MissingEnd, headerLine, "section without END");
            }
            if (trim(line.substr(0, line.find(','))) == kEnd) break;
            FigureReadResult r;
            if (!parseRecord(section, line, cursor.line(), b, r)) return r;
        }
    }
    return {};
}

void requireFinite(double v, const char* what) {
    if (!std::isfinite(v)) throw ReportError(std::string("figure value not finite: ") + what);
}

std::string sjisLine(std::string_view utf8, const char* what) {
    if (utf8.find_first_of("\r\n") != std::string_view::npos) {
        throw ReportError(std::string("line end inside a figure ") + what);
    }
    return cp932::fromUtf8(utf8);
}

// An integer of the "####0" pictures: its decimal digits, "-" when negative, no padding.
void appendInt(std::string& out, std::int32_t v) {
    char text[16];
    const auto res = std::to_chars(text, text + sizeof text, v);
    out.append(text, res.ptr);
}

void appendReal(std::string& out, const NumberPattern& pattern, double v, const char* what) {
    requireFinite(v, what);
    out += pattern.format(v);
}

void sep(std::string& out) {
    out += ", ";
}

// A file with content is replaced atomically. A new or empty file (the temporary names the
// session has just made for the figure) is written in place, without the flushes to disk
// that atomic replacement costs: nothing reads it before the report names it.
void writeFigureFile(const std::string& path, const std::string& bytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) {
        safefile::Descriptor fd(
            ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        struct stat opened {};
        if (fd.valid() && ::fstat(fd.get(), &opened) == 0 && S_ISREG(opened.st_mode) &&
            safefile::writeAll(fd.get(), bytes) && fd.close()) {
            return;
        }
        throw ReportError("cannot write figure file " + path);
    }
    if (!safefile::replaceFile(path, bytes).ok()) {
        throw ReportError("cannot write figure file " + path);
    }
}

}  // namespace

// ---- Definitions -------------------------------------------------------------------------

namespace {

// Reads the definition file's records; `row` reads the fields after the key.
template <typename Row, typename ReadRow>
FigureReadResult parseDefs(std::string_view bytes, std::vector<Row>& rows, std::size_t maxRows,
                           ReadRow readRow) {
    rows.clear();
    FieldReader reader(bytes);
    if (!reader.skipLine()) return fault(FigureReadStatus::MissingEnd, 1, "empty definition file");
    for (;;) {
        FieldValue key;
        if (!reader.readField(key)) {
            return fault(FigureReadStatus::MissingEnd, reader.lineNumber(), "no END key");
        }
        if (key.kind == FieldValue::Kind::Text && key.text == kEnd) return {};
        if (rows.size() >= maxRows) {
            return fault(FigureReadStatus::TooManyRows, reader.lineNumber(),
                         "more than " + std::to_string(maxRows) + " rows");
        }
        Row row;
        if (auto r = readRow(reader, row); !r.ok()) return r;
        FieldValue comment;
        if (!reader.readField(comment)) {
            return fault(FigureReadStatus::MissingEnd, reader.lineNumber(), "record ends early");
        }
        rows.push_back(std::move(row));
    }
}

FigureReadResult readIntField(FieldReader& reader, std::int32_t& out) {
    FieldValue v;
    const std::size_t line = reader.lineNumber();
    if (!reader.readField(v)) return fault(FigureReadStatus::MissingEnd, line, "record ends early");
    if (v.kind == FieldValue::Kind::Empty) {
        out = 0;
        return {};
    }
    std::optional<std::int32_t> n;
    if (v.kind == FieldValue::Kind::Number) n = ToInt32HalfEven(v.number);
    if (!n) return fault(FigureReadStatus::BadNumber, line, "not a whole number");
    out = *n;
    return {};
}

}  // namespace

FigureReadResult ParseLineStyleDefs(std::string_view bytes, std::vector<LineStyleDef>& rows,
                                    std::size_t maxRows) {
    return parseDefs(bytes, rows, maxRows, [](FieldReader& reader, LineStyleDef& row) {
        if (auto r = readIntField(reader, row.WidthCode); !r.ok()) return r;
        return readIntField(reader, row.PatternCode);
    });
}

FigureReadResult ParseTextStyleDefs(std::string_view bytes, std::vector<TextStyleDef>& rows,
                                    std::size_t maxRows) {
    return parseDefs(bytes, rows, maxRows, [](FieldReader& reader, TextStyleDef& row) {
        if (auto r = readIntField(reader, row.Value1); !r.ok()) return r;
        FieldValue font;
        const std::size_t line = reader.lineNumber();
        if (!reader.readField(font)) {
            return fault(FigureReadStatus::MissingEnd, line, "record ends early");
        }
        if (font.kind != FieldValue::Kind::Text && font.kind != FieldValue::Kind::Empty) {
            return fault(FigureReadStatus::BadRecord, line, "the font name is not a text");
        }
        row.FontName = cp932::toUtf8(font.text);
        for (std::int32_t* field : {&row.Size, &row.Bold, &row.Italic, &row.Underline}) {
            if (auto r = readIntField(reader, *field); !r.ok()) return r;
        }
        return FigureReadResult{};
    });
}

FigureReadResult LoadLineStyleDefs(const std::string& path, std::vector<LineStyleDef>& rows,
                                   std::size_t maxRows) {
    rows.clear();
    std::string bytes;
    if (auto r = readFile(path, bytes); !r.ok()) return r;
    return ParseLineStyleDefs(bytes, rows, maxRows);
}

FigureReadResult LoadTextStyleDefs(const std::string& path, std::vector<TextStyleDef>& rows,
                                   std::size_t maxRows) {
    rows.clear();
    std::string bytes;
    if (auto r = readFile(path, bytes); !r.ok()) return r;
    return ParseTextStyleDefs(bytes, rows, maxRows);
}

// ---- Buffer ------------------------------------------------------------------------------

std::int32_t FigureBuffer::addPoint(double x, double y) {
    if (points.size() >= kPointCapacity) throw ReportError("more figure points than 20000");
    points.push_back({x, y});
    return static_cast<std::int32_t>(points.size());
}

void FigureBuffer::addLine(std::int32_t from, std::int32_t to, std::int32_t style) {
    if (lines.size() >= kLineCapacity) throw ReportError("more figure lines than 20000");
    lines.push_back({from, to, style});
}

void FigureBuffer::addText(std::string utf8, std::int32_t style, std::int32_t direction, double x,
                           double y) {
    if (texts.size() >= kTextCapacity)
        throw ReportError("more figure texts than " + std::to_string(kTextCapacity));
    texts.push_back({std::move(utf8), style, direction, x, y});
}

void FigureBuffer::clear() {
    *this = FigureBuffer{};
}

// ---- Readers -----------------------------------------------------------------------------

FigureReadResult ParseFigureData(std::string_view bytes, FigureData& out) {
    return parseData(bytes, out, false);
}

FigureReadResult ReadFigureDataFile(const std::string& path, FigureData& out) {
    out = FigureData{};
    std::string bytes;
    if (auto r = readFile(path, bytes); !r.ok()) return r;
    return ParseFigureData(bytes, out);
}

FigureReadResult ReadFigureBox(const std::string& path, FigureBox& box) {
    std::string bytes;
    if (auto r = readFile(path, bytes); !r.ok()) return r;
    FigureData data;
    FigureReadResult r = parseData(bytes, data, true);
    if (r.ok()) box = data.box;
    return r;
}

FigureReadResult ParseFigureList(std::string_view bytes, FigureList& out, std::size_t maxEntries) {
    out = FigureList{};
    LineCursor cursor(bytes);
    std::string_view line;
    auto twoNumbers = [&](double& a, double& b) -> FigureReadResult {
        if (!cursor.next(line))
            return fault(FigureReadStatus::MissingEnd, cursor.line() + 1, "missing numbers line");
        const auto fields = splitNumbers(line);
        if (fields.size() < 2)
            return fault(FigureReadStatus::BadRecord, cursor.line(), "two numbers expected");
        const auto x = ParseDouble(fields[0]);
        const auto y = ParseDouble(fields[1]);
        if (!x || !y) return fault(FigureReadStatus::BadNumber, cursor.line(), "not a number");
        a = *x;
        b = *y;
        return {};
    };
    if (!cursor.next(line)) return fault(FigureReadStatus::MissingEnd, 1, "no title line");
    out.Title = cp932::toUtf8(line);
    if (auto r = twoNumbers(out.PaperW, out.PaperH); !r.ok()) return r;
    for (;;) {
        if (!cursor.next(line))
            return fault(FigureReadStatus::MissingEnd, cursor.line() + 1, "no END line");
        if (trim(line) == kEnd) return {};
        FigureListEntry entry;
        entry.FileName = cp932::toUtf8(line);
        if (auto r = twoNumbers(entry.OffsetX, entry.OffsetY); !r.ok()) return r;
        if (out.entries.size() < maxEntries) out.entries.push_back(std::move(entry));
    }
}

FigureReadResult ReadFigureListFile(const std::string& path, FigureList& out,
                                    std::size_t maxEntries) {
    out = FigureList{};
    std::string bytes;
    if (auto r = readFile(path, bytes); !r.ok()) return r;
    return ParseFigureList(bytes, out, maxEntries);
}

// ---- Writers -----------------------------------------------------------------------------

double MeasureTextWidth(const std::vector<TextStyleDef>& styles, std::int32_t style,
                        std::string_view utf8) {
    if (style < 1 || static_cast<std::size_t>(style) > styles.size()) {
        throw ReportError("text style " + std::to_string(style) + " was not read");
    }
    const double h = TwipsToMm(styles[static_cast<std::size_t>(style) - 1].Size);
    const std::string sjis = cp932::fromUtf8(utf8);
    std::size_t doubles = 0, singles = 0;
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        if (cp932::isDoubleByteAt(sjis, i)) {
            ++doubles;
            ++i;
        } else {
            ++singles;
        }
    }
    return static_cast<double>(doubles) * h + static_cast<double>(singles) * h / 2;
}

FigureBox ComputeFigureBox(const FigureBuffer& buffer, const std::vector<TextStyleDef>& styles) {
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    if (!buffer.points.empty()) {
        xmin = xmax = buffer.points.front().x;
        ymin = ymax = buffer.points.front().y;
    }
    auto take = [&](double x, double y) {
        if (x < xmin) xmin = x;
        if (x > xmax) xmax = x;
        if (y < ymin) ymin = y;
        if (y > ymax) ymax = y;
    };
    for (std::size_t i = 1; i < buffer.points.size(); ++i)
        take(buffer.points[i].x, buffer.points[i].y);
    for (const FigText& t : buffer.texts) {
        take(t.x, t.y);
        if (t.direction != 1 && t.direction != 3) continue;
        if (t.style < 1 || static_cast<std::size_t>(t.style) > styles.size()) {
            throw ReportError("text style " + std::to_string(t.style) + " was not read");
        }
        const double h = TwipsToMm(styles[static_cast<std::size_t>(t.style) - 1].Size);
        const double w = MeasureTextWidth(styles, t.style, t.text);
        if (t.direction == 1) {
            take(t.x - h, t.y + w);
        } else {
            take(t.x + w, t.y + h);
        }
    }
    return FigureBox{xmax - xmin, ymax - ymin, xmin, ymin, xmax, ymax};
}

std::string MakeFigureDataBytes(const FigureBuffer& buffer, std::string_view title1,
                                std::string_view title2, const std::vector<TextStyleDef>& styles) {
    const Keywords& k = keywords();
    const NumberPattern real("###0.000000");
    const FigureBox box = ComputeFigureBox(buffer, styles);
    std::string out;
    out.reserve(64 + buffer.points.size() * 40 + buffer.lines.size() * 24 +
                buffer.texts.size() * 48);
    out += sjisLine(title1, "title");
    out += kCrLf;
    out += sjisLine(title2, "title");
    out += kCrLf;
    const double boxValues[] = {box.Width, box.Height, box.XMin, box.YMin, box.XMax, box.YMax};
    for (int i = 0; i < 6; ++i) {
        requireFinite(boxValues[i], "bounding box");
        if (i > 0) sep(out);
        out += FormatNumber(boxValues[i], "###0.00");
    }
    out += kCrLf;

    auto section = [&](const std::string& keyword, std::size_t count, auto&& record) {
        out += keyword;
        out += kCrLf;
        for (std::size_t i = 0; i < count; ++i) {
            record(i, static_cast<std::int32_t>(i + 1));
            out += kCrLf;
        }
        out += kEnd;
        out += kCrLf;
    };
    section(k.points, buffer.points.size(), [&](std::size_t i, std::int32_t n) {
        appendInt(out, n);
        sep(out);
        appendReal(out, real, buffer.points[i].x, "point x");
        sep(out);
        appendReal(out, real, buffer.points[i].y, "point y");
    });
    if (!buffer.rects.empty()) {
        section(k.rects, buffer.rects.size(), [&](std::size_t i, std::int32_t n) {
            const FigRect& r = buffer.rects[i];
            for (std::int32_t v : {n, r.from, r.to, r.style}) {
                appendInt(out, v);
                sep(out);
            }
            appendInt(out, r.extra);
        });
    }
    if (!buffer.lines.empty()) {
        section(k.lines, buffer.lines.size(), [&](std::size_t i, std::int32_t n) {
            const FigLine& l = buffer.lines[i];
            for (std::int32_t v : {n, l.from, l.to}) {
                appendInt(out, v);
                sep(out);
            }
            appendInt(out, l.style);
        });
    }
    if (!buffer.circles.empty()) {
        section(k.circles, buffer.circles.size(), [&](std::size_t i, std::int32_t n) {
            const FigCircle& c = buffer.circles[i];
            appendInt(out, n);
            sep(out);
            appendInt(out, c.centre);
            sep(out);
            appendReal(out, real, c.radius, "circle radius");
            sep(out);
            appendInt(out, c.style);
        });
    }
    if (!buffer.arcs.empty()) {
        section(k.arcs, buffer.arcs.size(), [&](std::size_t i, std::int32_t n) {
            const FigArc& a = buffer.arcs[i];
            appendInt(out, n);
            for (double v : {a.cx, a.cy, a.radius, a.start, a.end}) {
                sep(out);
                appendReal(out, real, v, "arc");
            }
            sep(out);
            appendInt(out, a.style);
        });
    }
    if (!buffer.arrows.empty()) {
        section(k.arrows, buffer.arrows.size(), [&](std::size_t i, std::int32_t n) {
            const FigArrow& a = buffer.arrows[i];
            for (std::int32_t v : {n, a.point, a.direction}) {
                appendInt(out, v);
                sep(out);
            }
            appendInt(out, a.style);
        });
    }
    if (!buffer.texts.empty()) {
        out += k.texts;
        out += kCrLf;
        for (const FigText& t : buffer.texts) {
            const std::string text = sjisLine(t.text, "text");
            if (text == kEnd) throw ReportError("a figure text reads as END");
            out += text;
            out += kCrLf;
            appendReal(out, real, t.x, "text x");
            sep(out);
            appendReal(out, real, t.y, "text y");
            sep(out);
            appendInt(out, t.style);
            sep(out);
            appendInt(out, t.direction);
            out += kCrLf;
        }
        out += kEnd;
        out += kCrLf;
    }
    return out;
}

void WriteFigureDataFile(const std::string& path, std::string_view title1, std::string_view title2,
                         const FigureBuffer& buffer, const std::vector<TextStyleDef>& styles) {
    writeFigureFile(path, MakeFigureDataBytes(buffer, title1, title2, styles));
}

std::string FigureListNumber(double value) {
    requireFinite(value, "list number");
    std::string text = value < 0 ? "-" : " ";
    text += FormatGeneralNumber(std::fabs(value));
    return text;
}

std::string MakeFigureListBytes(std::string_view title, double PaperW, double PaperH,
                                const std::vector<FigureListEntry>& entries) {
    auto pair = [](double a, double b) {
        std::string first = FigureListNumber(a);
        const std::size_t zone = 14;
        first.append((first.size() / zone + 1) * zone - first.size(), ' ');
        return first + FigureListNumber(b);
    };
    std::string out = sjisLine(title, "list title");
    out += kCrLf;
    out += pair(PaperW, PaperH);
    out += kCrLf;
    for (const FigureListEntry& e : entries) {
        if (!cp932::canEncode(e.FileName) || e.FileName.empty() || e.FileName == kEnd) {
            throw ReportError("figure file path cannot be written: " + e.FileName);
        }
        out += sjisLine(e.FileName, "file path");
        out += kCrLf;
        out += pair(e.OffsetX, e.OffsetY);
        out += kCrLf;
    }
    out += kEnd;
    out += kCrLf;
    return out;
}

void WriteFigureListFile(const std::string& path, std::string_view title, double PaperW,
                         double PaperH, const std::vector<FigureListEntry>& entries) {
    writeFigureFile(path, MakeFigureListBytes(title, PaperW, PaperH, entries));
}

void LayoutFigures(const std::string& listPath, std::string_view title, double PaperW,
                   double PaperH, std::vector<FigureListEntry>& entries) {
    for (FigureListEntry& e : entries) {
        FigureBox box;
        const FigureReadResult r = ReadFigureBox(e.FileName, box);
        if (!r.ok()) throw ReportError("figure data file: " + r.reason);
        e.Width = box.Width;
        e.Height = box.Height;
        e.XMin = box.XMin;
        e.YMin = box.YMin;
        e.XMax = box.XMax;
        e.YMax = box.YMax;
    }
    if (!entries.empty()) {
        FigureListEntry& first = entries.front();
        first.OffsetX = (PaperW - first.Width) / 2 - first.XMin;
        first.OffsetY = (PaperH - first.Height) / 2 - first.YMin;
    }
    WriteFigureListFile(listPath, title, PaperW, PaperH, entries);
}
