#include "preview/HeaderFooter.h"

namespace preview {

namespace {

// Index of the first lower-case token, else of the upper-case one; -1 when neither.
qsizetype findToken(const QString& text, QChar letter) {
    const qsizetype lower = text.indexOf(QLatin1Char('%') + QString(letter.toLower()));
    if (lower >= 0) return lower;
    return text.indexOf(QLatin1Char('%') + QString(letter.toUpper()));
}

// The system's time format without its time-zone part.
QString timeText(const QTime& time, const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return locale.toString(time, format.trimmed());
}

}  // namespace

QString ExpandHeaderFooterTokens(QString part, const TokenValues& values) {
    qsizetype at = findToken(part, QLatin1Char('p'));
    if (at >= 0) {
        if (values.pageCounter <= 0) return QString();
        part.replace(at, 2, QString::number(values.pageCounter));
    }
    at = findToken(part, QLatin1Char('f'));
    if (at >= 0) part.replace(at, 2, values.fileName);
    at = findToken(part, QLatin1Char('d'));
    if (at >= 0)
        part.replace(at, 2, values.locale.toString(values.now.date(), QLocale::LongFormat));
    at = findToken(part, QLatin1Char('t'));
    if (at >= 0) part.replace(at, 2, timeText(values.now.time(), values.locale));
    return part;
}

}  // namespace preview
