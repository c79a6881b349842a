#include "foundation/ui/NumberBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>
#include <QVariant>
#include <algorithm>
#include <cmath>

#include "foundation/NumberFormat.h"
#include "foundation/Numeric.h"
#include "foundation/ui/UiServices.h"

namespace {

// Accepts every text that can grow into a number: blanks, an optional leading sign, digits,
// grouping commas and at most one "."; with places set, no more integer digits or decimals
// than the edit pattern has (so a typed value is exactly what the box shows).
class NumberTextValidator final : public QValidator {
  public:
    using QValidator::QValidator;

    void setPlaces(NumberBoxPlaces places) { m_places = places; }

    State validate(QString& input, int&) const override {
        const QString t = input.trimmed();
        bool point = false;
        bool digit = false;
        int integers = 0;
        int decimals = 0;
        for (qsizetype i = 0; i < t.size(); ++i) {
            const QChar c = t.at(i);
            if (c >= u'0' && c <= u'9') {
                digit = true;
                ++(point ? decimals : integers);
            } else if (c == u'.' && !point) {
                point = true;
            } else if (c == u',' && !point) {
            } else if ((c == u'-' || c == u'+') && i == 0) {
            } else {
                return Invalid;
            }
        }
        if (m_places.integers >= 0 && integers > m_places.integers) return Invalid;
        if (m_places.decimals >= 0 &&
            (decimals > m_places.decimals || (point && m_places.decimals == 0))) {
            return Invalid;
        }
        return digit || t.isEmpty() ? Acceptable : Intermediate;
    }

  private:
    NumberBoxPlaces m_places;
};

// Integer digits of the larger limit's magnitude; -1 when a limit is not a whole-number range
// a box can hold (the default limits).
int LimitDigits(double minimum, double maximum) {
    const double widest = std::max(std::fabs(minimum), std::fabs(maximum));
    if (!std::isfinite(widest) || widest >= 1e15) return -1;
    int digits = 1;
    for (double rest = std::floor(widest); rest >= 10; rest = std::floor(rest / 10)) ++digits;
    return digits;
}

QString format(double value, const QString& pattern) {
    return QString::fromStdString(FormatNumber(value, pattern.toStdString()));
}

}  // namespace

NumberBoxPlaces EditPatternPlaces(const QString& pattern) {
    NumberBoxPlaces places;
    if (pattern.isEmpty()) return places;
    const QString positive = pattern.section(u';', 0, 0);
    const qsizetype point = positive.indexOf(u'.');
    places.integers = 0;
    places.decimals = 0;
    for (qsizetype i = 0; i < positive.size(); ++i) {
        if (positive.at(i) != u'#' && positive.at(i) != u'0') continue;
        ++(point >= 0 && i > point ? places.decimals : places.integers);
    }
    return places;
}

std::optional<double> ParseNumberBoxText(const QString& text) {
    QString t = text.trimmed();
    t.remove(u',');
    if (t.isEmpty()) return std::nullopt;
    // ParseDouble takes an exponent too; a box never offers one.
    if (t.contains(u'e', Qt::CaseInsensitive)) return std::nullopt;
    return ParseDouble(t.toStdString());
}

NumberBox::NumberBox(UiServices& ui, QWidget* parent)
    : QLineEdit(parent), m_ui(ui), m_validator(new NumberTextValidator(this)) {
    setValidator(m_validator);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::textEdited, this, &NumberBox::onTextEdited);
}

void NumberBox::setValue(std::optional<double> value) {
    m_leaveRefused = false;
    if (value && !std::isfinite(*value)) value.reset();
    const bool changed = value != m_value;
    m_value = value;
    showValue();
    if (changed) emit valueChanged();
}

void NumberBox::setLimits(double minimum, double maximum) {
    m_min = minimum;
    m_max = maximum;
    applyTypingPlaces();
}

void NumberBox::applyTypingPlaces() {
    // One integer digit beyond the limits' own can be typed, so that a value just outside
    // them (100 in a 0..99 box) reaches the range check instead of losing a digit.
    NumberBoxPlaces places = EditPatternPlaces(m_editPattern);
    const int limitDigits = LimitDigits(m_min, m_max);
    if (places.integers >= 0 && limitDigits >= 0)
        places.integers = std::max(places.integers, limitDigits + 1);
    static_cast<NumberTextValidator*>(m_validator)->setPlaces(places);
}

void NumberBox::setDisplayPattern(const QString& pattern) {
    m_displayPattern = pattern;
    showValue();
}

void NumberBox::setEditPattern(const QString& pattern) {
    m_editPattern = pattern;
    applyTypingPlaces();
    showValue();
}

bool NumberBox::isOutOfRange() const {
    return m_value && (*m_value < m_min || *m_value > m_max);
}

QString NumberBox::rangeMessage() const {
    return QStringLiteral("入力範囲：") + format(m_min, m_displayPattern) + QStringLiteral(" ～ ") +
           format(m_max, m_displayPattern);
}

bool NumberBox::validateNow() {
    if (!m_rangeCheck || !isOutOfRange()) return true;
    if (m_leaveRefused) {
        // The click that left the box has already been answered by the leave check.
        m_leaveRefused = false;
        setFocus(Qt::OtherFocusReason);
        return false;
    }
    report();
    return false;
}

void NumberBox::report() {
    if (m_reporting) return;
    m_reporting = true;
    m_ui.beep();
    m_ui.message(window(), rangeMessage(), m_caption, UiServices::Buttons::Ok,
                 UiServices::Icon::Information);
    setFocus(Qt::OtherFocusReason);
    selectAll();
    m_reporting = false;
}

void NumberBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Typed text stays as typed when the focus comes back (after a refused leave or a window
    // switch); only the display form is replaced by the edit form.
    if (m_showingDisplay) showValue();
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        selectAll();
}

void NumberBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    // A window switch or a popup (the range message itself) is no leave.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    // Only a leave by the user checks; a move by code does not.
    const bool userLeave = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                           reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
    const QWidget* target = QApplication::focusWidget();
    const bool targetValidates = target == nullptr ||
                                 target->property("causesValidation").toBool() ||
                                 !target->property("causesValidation").isValid();
    m_leaveRefused = false;
    if (userLeave && targetValidates && !validateNow()) {
        // A click on a button goes on to press it after this refusal; if that is OK, its
        // check must not report the same value a second time.
        m_leaveRefused =
            reason == Qt::MouseFocusReason && qobject_cast<const QAbstractButton*>(target);
        return;
    }
    if (!hasFocus()) showValue();
}

void NumberBox::showValue() {
    m_showingDisplay = !hasFocus();
    if (!m_value) {
        setText(QString());
        return;
    }
    setText(format(*m_value, m_showingDisplay ? m_displayPattern : m_editPattern));
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
    m_leaveRefused = false;
    QLineEdit::keyPressEvent(event);
}

void NumberBox::onTextEdited(const QString& text) {
    const std::optional<double> value = ParseNumberBoxText(text);
    if (value == m_value) return;
    m_value = value;
    emit valueChanged();
}
