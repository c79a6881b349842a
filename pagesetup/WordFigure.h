#pragma once
// The figure renderer of the Word export: one figure list file drawn into a white bitmap at
// 96 dots per inch, as large as the list's paper area.
//
// Pixels: a figure point (x, y) in mm of an entry with offsets (dx, dy) lands at pixel
// x = (dx + x) / 25.4 x 96 and y = (PaperH - (y + dy)) / 25.4 x 96, each rounded half to
// even; for a 150 x 130 mm paper the image is 567 x 491 pixels and the point (-dx, -dy) is
// its bottom-left pixel (0, 491).
//
// It reads the list, its data files and LINE_PRN.DEF / STR_PRN.DEF through the shared
// readers (formats/FigureFiles.h) with the preview's limits (20 list entries, 1000 points per
// data file, 20 style rows). A fault ends the figure where it occurs: what was drawn before
// it stays in the bitmap, and the fault is named.

#include <QImage>
#include <QString>

namespace word {

struct FigureBitmap {
    QImage image;   // null when no bitmap could be made (list unreadable, bad paper size)
    QString fault;  // empty when the whole figure was drawn
};

// `definitionFolder` holds LINE_PRN.DEF and STR_PRN.DEF (the program's own folder).
FigureBitmap DrawFigureBitmap(const QString& listPath, const QString& definitionFolder);

}  // namespace word
