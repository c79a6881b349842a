#pragma once
// A small document for the export and file tests: three pages, the second and third
// landscape, with headings of two levels, text, lines, an ellipse and a picture.
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include "preview/PageControl.h"

namespace preview {

inline void buildSampleDocument(PageControl& control) {
    control.setPaperSize(PaperA4);
    control.setOrientation(0);
    control.setMargins(1417, 1417, 1417, 1417);
    control.setFont(FontSpec{QStringLiteral("ＭＳ 明朝"), 10.0});
    control.startDoc();
    control.setCurrentX(1417);
    control.setCurrentY(1417);
    control.beginTag(QStringLiteral("%TOC|1|1. 設計条件"));
    control.endTag();
    control.printText(QStringLiteral("1. 設計条件"));
    control.setCurrentX(1417);
    control.setCurrentY(1617);
    control.beginTag(QStringLiteral("%TOC|2|1.1 荷重"));
    control.endTag();
    control.printText(QStringLiteral("1.1 荷重 Load"));
    control.setPenWidth(17);
    control.drawLine(1417, 2000, 10489, 2000);
    control.setFillStyle(1);
    control.setPenStyle(2);
    control.drawEllipse(2000, 3000, 4000, 4000);
    QImage picture(16, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    control.drawPicture(picture, 5000, 5000);
    control.setOrientation(1);
    control.newPage();
    control.setCurrentY(1417);
    control.beginTag(QStringLiteral("%TOC|2|1.2 土圧"));
    control.setFontBold(true);
    control.printText(QStringLiteral("Landscape 横"));
    control.newPage();
    control.setCurrentY(3000);
    control.beginTag(QStringLiteral("%TOC|1|2. 計算結果"));
    control.setTextAngle(900);
    control.printText(QStringLiteral("縦"));
    control.endDoc();
}

// Runs a command-line tool; empty output when it is missing or fails.
inline QString runTool(const QString& program, const QStringList& arguments, bool* found) {
    *found = !QStandardPaths::findExecutable(program).isEmpty();
    if (!*found) return QString();
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace preview
