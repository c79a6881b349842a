#include "preview/HeaderFooter.h"

namespace preview {

namespace {

// Index of the first lower-case token, else of the upper-case one; -1 when neither.
qsizetype findToken(const QString& text, QChar letter) {
    const qsizetype lower = text.indexOf(QLatin1Char('%') + QString(letter.toLower()));
    if (lower >= 0) return lower;
    return text.indexOf(QLatin1Char('%') + QString(letter.toUpper()));
}

// The Japanese system's long date ("2026年12月9日") and time ("8:05:03"), whatever the
// process locale.
QString dateText(const QDate& date) {
    return QString::number(date.year()) + QStringLiteral("年") + QString::number(date.month()) +
           QStringLiteral("月") + QString::number(date.day()) + QStringLiteral("日");
}

QString timeText(const QTime& time) {
    return QLocale::c().toString(time, QStringLiteral("H:mm:ss"));
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
    if (at >= 0) part.replace(at, 2, dateText(values.now.date()));
    at = findToken(part, QLatin1Char('t'));
    if (at >= 0) part.replace(at, 2, timeText(values.now.time()));
    return part;
}

}  // namespace preview
