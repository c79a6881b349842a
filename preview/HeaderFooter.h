#pragma once
// Header and footer texts: the clock seam and the expansion of the page, file, date and time
// tokens of one part.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace preview {

// The time source of the date and time tokens; tests give a fixed one.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// What the tokens stand for on one page.
struct TokenValues {
    int pageCounter = 0;  // "%p": when 0 or less the whole part becomes empty
    QString fileName;     // "%f": the file-name part of the previewed file
    QDateTime now;        // "%d" the long date, "%t" the time, both Japanese
};

// Replaces, in this order, the first "%p", "%f", "%d" and "%t" of the part, each by its
// value; the upper-case form of a token ("%P" ...) is replaced only when the lower-case one
// is absent. Later tokens are searched in the text the earlier ones produced.
QString ExpandHeaderFooterTokens(QString part, const TokenValues& values);

}  // namespace preview
