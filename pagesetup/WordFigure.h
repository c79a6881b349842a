#pragma once
// The figure renderer of the Word export: one figure list file drawn into a white picture at
// 300 dots per inch (less for a paper area so large that the picture would pass its allowance
// of pixels, 16 million at most), anti-aliased, as large as the list's paper area and placed
// in the document at that size.
//
// Pixels: a figure point (x, y) in mm of an entry with offsets (dx, dy) lands at pixel
// x = (dx + x) / 25.4 x dpi and y = (PaperH - (y + dy)) / 25.4 x dpi; for a 150 x 130 mm
// paper the picture is 1772 x 1535 pixels and the point (-dx, -dy) its bottom-left corner.
//
// It draws what the preview draws, through the same walk and geometry (formats/
// FigureGeometry.h): every point of a data file, 20 list entries, 20 style rows, the pens in
// millimetres. A text that would run past the picture's edge is moved inside it. A fault ends
// the figure where it occurs: what was drawn before it stays in the picture, and it is named.
//
// Cost: the picture's bytes, the items, texts and glyphs drawn (the glyph pixels only as far as
// the picture shows them) and the dashes stroked are charged to the export's budget; a refused
// charge ends the figure like a fault and leaves the budget spent.

#include <QImage>
#include <QSizeF>
#include <QString>
#include <cstddef>

#include "formats/WorkBudget.h"

namespace word {

struct FigureBitmap {
    QImage image;   // null when no picture could be made (list unreadable, bad paper size)
    QSizeF points;  // its size in the document (the paper area); empty: the image's at 96 dpi
    QString fault;  // empty when the whole figure was drawn
};

// What one figure may cost: the most pixels of its picture and the budget it charges (none
// when null).
struct FigureAllowance {
    static constexpr std::size_t kLargestPicture = 16'000'000;
    std::size_t maxPixels = kLargestPicture;
    preview::WorkBudget* budget = nullptr;
};

// `definitionFolder` holds LINE_PRN.DEF and STR_PRN.DEF (the program's own folder).
FigureBitmap DrawFigureBitmap(const QString& listPath, const QString& definitionFolder,
                              const FigureAllowance& allowance = {});

}  // namespace word
