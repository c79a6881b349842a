#pragma once
// A number box on QLineEdit, the stand-in for the original's numeric input control.
//
// The value may be empty (no value) and may lie outside the limits: assignments by code are
// kept as given, and typed text is kept as typed. Unfocused the box shows its value by the
// display pattern, focused by the edit pattern (foundation/NumberFormat.h). Typed text is read
// locale-independently ("." is the decimal point); keystrokes that cannot form a number, or
// that would give more integer digits or decimals than the edit pattern has, are refused, so
// a typed value is exactly what the box shows. With limits set, the integer digits allowed
// are at least one more than the wider limit has, so a value just outside the limits (100
// in a 0..99 box) is taken and the leave check reports it. A value set by code keeps its
// precision.
//
// Leave check: when the focus leaves the box by Tab, Backtab, a mouse click or a shortcut and
// the value lies outside [minimum, maximum], the box beeps, shows the information box
// "入力範囲：<min> ～ <max>" (limits by the display pattern) titled with the caption text, and
// takes the focus back. A focus move to a widget whose property "causesValidation" is false
// (the Cancel button of a dialog) does not check. validateNow() runs the same check at once,
// for the OK button. An empty box always passes.

#include <QLineEdit>
#include <QString>
#include <limits>
#include <optional>

class QValidator;
class UiServices;

// Digits a number pattern allows before and after its "."; -1 for no limit.
struct NumberBoxPlaces {
    int integers = -1;
    int decimals = -1;
};

// The places of an edit pattern's first section ("##0.000" gives 3 and 3, "#####0" 6 and 0);
// an empty pattern sets no limit.
NumberBoxPlaces EditPatternPlaces(const QString& pattern);

class NumberBox : public QLineEdit {
    Q_OBJECT

  public:
    explicit NumberBox(UiServices& ui, QWidget* parent = nullptr);

    std::optional<double> value() const { return m_value; }
    // Any value, also one outside the limits; nullopt empties the box.
    void setValue(std::optional<double> value);

    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    void setLimits(double minimum, double maximum);

    QString displayPattern() const { return m_displayPattern; }
    QString editPattern() const { return m_editPattern; }
    void setDisplayPattern(const QString& pattern);
    void setEditPattern(const QString& pattern);

    // The box's own caption: the title of the range message.
    QString captionText() const { return m_caption; }
    void setCaptionText(const QString& caption) { m_caption = caption; }

    // Whether leaving the box (and validateNow) runs the range check; on by default.
    bool rangeCheckEnabled() const { return m_rangeCheck; }
    void setRangeCheckEnabled(bool on) { m_rangeCheck = on; }

    // True when the box holds a value below the minimum or above the maximum.
    bool isOutOfRange() const;
    // The text of the range message: "入力範囲：" min " ～ " max.
    QString rangeMessage() const;
    // Runs the range check now (when enabled): on failure beeps, shows the message, puts the
    // focus into the box and returns false.
    bool validateNow();

  signals:
    // The value changed, by typing or by code.
    void valueChanged();

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void showValue();
    void applyTypingPlaces();
    void onTextEdited(const QString& text);
    void report();

    UiServices& m_ui;
    QValidator* m_validator;  // owned by the box as its child
    std::optional<double> m_value;
    double m_min = std::numeric_limits<double>::lowest();  // no limits until set
    double m_max = std::numeric_limits<double>::max();
    QString m_displayPattern;
    QString m_editPattern;
    QString m_caption;
    bool m_rangeCheck = true;
    bool m_reporting = false;
    bool m_leaveRefused = false;   // a mouse leave was just refused and reported
    bool m_showingDisplay = true;  // the text is the display form of the value
};

// Reads the typed text of a number box: blanks around, an optional sign, digits with an
// optional "." (grouping commas are ignored). nullopt for an empty or incomplete text.
std::optional<double> ParseNumberBoxText(const QString& text);
