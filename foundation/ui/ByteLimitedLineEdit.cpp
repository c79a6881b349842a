#include "foundation/ui/ByteLimitedLineEdit.h"

#include <QValidator>
#include <vector>

#include "foundation/Cp932.h"

namespace {

// Hands every change of the box to its filter; the filtered text replaces the input.
class ByteLimitValidator final : public QValidator {
  public:
    explicit ByteLimitValidator(ByteLimitedLineEdit* box) : QValidator(box), m_box(box) {}

    State validate(QString& input, int& pos) const override {
        int cursor = pos;
        input = m_box->filtered(input, cursor);
        pos = cursor;
        return Acceptable;
    }

  private:
    ByteLimitedLineEdit* m_box;
};

// One character of a text: its UTF-16 length and its CP932 byte count.
struct Piece {
    QString text;
    std::size_t bytes;
};

std::vector<Piece> split(const QString& text) {
    std::vector<Piece> pieces;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        const QString c = text.mid(i, n);
        pieces.push_back({c, cp932::byteLength(c.toStdString())});
        i += n;
    }
    return pieces;
}

}  // namespace

ByteLimitedLineEdit::ByteLimitedLineEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new ByteLimitValidator(this));
}

void ByteLimitedLineEdit::setByteLimit(int bytes) {
    m_byteLimit = bytes < 0 ? 0 : bytes;
    refilter();
}

void ByteLimitedLineEdit::setRefusedCharacters(const QString& characters) {
    m_refused = characters;
    refilter();
}

void ByteLimitedLineEdit::setRefusesUnencodable(bool on) {
    m_refuseUnencodable = on;
    refilter();
}

void ByteLimitedLineEdit::refilter() {
    const QString current = text();
    int cursor = static_cast<int>(current.size());
    const QString kept = filtered(current, cursor);
    if (kept != current) setText(kept);
}

QString ByteLimitedLineEdit::filtered(const QString& text, int& cursor) const {
    std::vector<Piece> pieces;
    std::size_t bytes = 0;
    std::size_t cursorPiece = 0;  // pieces before the cursor
    int position = 0;
    for (Piece& p : split(text)) {
        const bool before = position < cursor;
        position += static_cast<int>(p.text.size());
        const bool refused = (p.text.size() == 1 && m_refused.contains(p.text.at(0))) ||
                             (m_refuseUnencodable && !cp932::canEncode(p.text.toStdString()));
        if (refused) continue;
        if (before) ++cursorPiece;
        bytes += p.bytes;
        pieces.push_back(std::move(p));
    }
    if (m_byteLimit > 0) {
        const auto limit = static_cast<std::size_t>(m_byteLimit);
        // Drop what was just inserted (before the cursor) first, then the end.
        while (bytes > limit && cursorPiece > 0) {
            --cursorPiece;
            bytes -= pieces[cursorPiece].bytes;
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(cursorPiece));
        }
        while (bytes > limit && !pieces.empty()) {
            bytes -= pieces.back().bytes;
            pieces.pop_back();
        }
    }
    QString result;
    int newCursor = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i < cursorPiece) newCursor += static_cast<int>(pieces[i].text.size());
        result += pieces[i].text;
    }
    cursor = newCursor;
    return result;
}
