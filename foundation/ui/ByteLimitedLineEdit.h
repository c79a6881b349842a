#pragma once
// A one-line text box whose length limit counts CP932 bytes (a double-byte character counts
// two), the stand-in for the original's text box with a length limit.
//
// Typing or pasting past the limit keeps only what fits: the characters just inserted (those
// before the cursor) are dropped from their end. Refused characters (for example the double
// quote) and, when asked, characters that CP932 cannot hold are dropped as they arrive. Text
// set by code passes the same filter and is cut at the limit from its end.

#include <QLineEdit>
#include <QString>

class ByteLimitedLineEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit ByteLimitedLineEdit(QWidget* parent = nullptr);

    // Largest length in CP932 bytes; 0 means no limit.
    int byteLimit() const { return m_byteLimit; }
    void setByteLimit(int bytes);

    // Characters never accepted.
    QString refusedCharacters() const { return m_refused; }
    void setRefusedCharacters(const QString& characters);

    // Whether characters without a CP932 form are refused.
    bool refusesUnencodable() const { return m_refuseUnencodable; }
    void setRefusesUnencodable(bool on);

    // The filter applied to a new text: `cursor` is the position after the inserted text and
    // is moved with the removals. Public for the validator and for tests.
    QString filtered(const QString& text, int& cursor) const;

  private:
    void refilter();

    int m_byteLimit = 0;
    QString m_refused;
    bool m_refuseUnencodable = false;
};
