#pragma once
// The one drawing routine of a page: draws the items of one page of a PageDocument onto any
// QPainter (the view widget, QPrinter, QPdfWriter, a QImage) through one transform from
// twips to the device. Text runs are drawn as glyph runs of the same raw fonts that measured
// them (FontFactory), so positions on every device agree with the recorded ones; everything
// is drawn as vectors. The painter's own state is restored on return.
//
// Only what can be seen is drawn: shapes are clipped to the paper (and the visible rect)
// before they are stroked or filled, pens and fonts are capped at what the paper can show,
// and the work done is charged to a WorkBudget. A page whose drawing would pass its budget is
// drawn up to there and marked with a note in its top-left corner.

#include <QRectF>
#include <QTransform>
#include <cstddef>

class QPainter;

namespace preview {

class FontFactory;
class WorkBudget;
struct PageDocument;

// Twips to device units for a device of dpiX x dpiY dots per inch, the paper's top-left corner
// at `origin` (device units). Example: at 96 dpi, twip (1440, 720) maps to (96, 48) + origin.
QTransform twipsToDevice(double dpiX, double dpiY, QPointF origin = QPointF());

// Draws page `pageIndex` (0-based; nothing when out of range). With a valid `visibleTwips`,
// only what lies in it is drawn. The paper itself (white) is not painted. Simulated bold
// draws the glyphs a second time, slightly to the right, with the alpha `boldPassAlpha`: the
// PDF export marks that pass so that it can keep it out of the text layer.
// The work is charged to `budget` (a budget of WorkBudget::kPageDraw when null). Returns
// false when the budget ran out: the page is then drawn up to there and marked.
bool drawPage(QPainter& painter, const PageDocument& document, std::size_t pageIndex,
              FontFactory& fonts, const QTransform& toDevice, const QRectF& visibleTwips = QRectF(),
              int boldPassAlpha = 255, WorkBudget* budget = nullptr);

}  // namespace preview
