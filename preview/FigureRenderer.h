#pragma once
// Draws the figures of a figure list file onto the current page of the preview control, with
// the pens of LINE_PRN.DEF and the fonts of STR_PRN.DEF from the program's folder.
//
// Coordinates: figure points are millimetres, x to the right and y upward; a point (x, y) of
// an entry with offsets (dx, dy) goes to the page (twips, y downward) at
//   x = MmToTwips(X0 + dx + x),  y = MmToTwips(Y0 + PaperH - (y + dy)),
// where (X0, Y0) is the paper area's top-left corner on the page in mm. Example: an area of
// 150 x 130 mm at (10, 20) puts the point (-dx, -dy) at (567, 8504) twips, the area's
// bottom-left corner.
//
// Errors: an unreadable list ends the call before anything is drawn; an unreadable data file
// or one with a fault draws what was read before the fault and ends the list there. The
// control's text font and angle are restored on every way out.

#include <QString>
#include <vector>

#include "formats/FigureFiles.h"
#include "formats/FigureGeometry.h"
#include "formats/LoadCache.h"
#include "preview/PreviewDocument.h"

namespace preview {

class FigureRenderer : private FigureCanvas {
  public:
    // Files are read through `files`, once per load.
    FigureRenderer(PreviewControl& control, QString programFolder, LoadCache& files);

    // Draws every entry of the list (at most 20) with the paper area's top-left corner at
    // (x0, y0) mm; reports whether the list was read and its paper height.
    FigureDrawResult DrawFigure(double x0, double y0, const QString& listPath);

    // Why the last figure stopped early ("" when it was drawn whole).
    const QString& lastFailure() const { return m_failure; }

  private:
    int FigToPageX(double x) const;
    int FigToPageY(double y) const;
    bool SelectFigPen(int row);
    bool SelectFigFont(int row);
    bool drawData(const FigureData& data);
    // The drawing calls of the shared walk (DrawFigureBuffer).
    void selectPen(std::int32_t row) override { SelectFigPen(row); }
    void selectFont(std::int32_t row) override { SelectFigFont(row); }
    void line(const FigPoint& a, const FigPoint& b) override;
    void rectangle(const FigPoint& a, const FigPoint& b) override;
    void ellipse(const FigPoint& centre, double radius) override;
    void text(const FigText& t) override;

    PreviewControl& m_control;
    QString m_programFolder;
    LoadCache& m_files;
    // The figure being drawn
    double m_x0 = 0, m_y0 = 0, m_paperH = 0;
    double m_dx = 0, m_dy = 0;
    std::vector<LineStyleDef> m_lineStyles;
    std::vector<TextStyleDef> m_textStyles;
    int m_currentPen = 0, m_currentFont = 0, m_currentDirection = 0;
    bool m_fillSet = false;
    QString m_failure;
};

}  // namespace preview
