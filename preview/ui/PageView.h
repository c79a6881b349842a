#pragma once
// The view of a PageControl's document: a scrolling area that shows the preview page at the
// zoom (or two pages, the thumbnails of all pages, the whole page, the page width, as the
// control's zoom mode says; placement by layoutPages). Only the pages, and of them only the
// items, that meet the exposed part of the viewport are drawn, through the one page renderer.
//
// The view reads the control and never changes the document. It moves the preview page on
// Page Up / Page Down / Home / End and on a click on a thumbnail, and reports the zoom of the
// fitting modes back to the control (setFittedZoom). The control must outlive the view.

#include <QAbstractScrollArea>

#include "preview/PageControl.h"
#include "preview/PageLayout.h"

namespace preview {

class PageView : public QAbstractScrollArea, public PageControlView {
    Q_OBJECT
  public:
    explicit PageView(PageControl& control, QWidget* parent = nullptr);
    ~PageView() override;

    // PageControlView
    void documentChanged() override;
    void displayChanged() override;

    const PageLayout& layout() const { return m_layout; }
    // Pages drawn by the last paint, 0-based (for tests).
    const std::vector<int>& lastPaintedPages() const { return m_painted; }

    // Makes the control print through a QPrintDialog over `parent` (page range enabled).
    static void installPrintDialog(PageControl& control, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void relayout();
    QPoint scrollOffset() const;

    PageControl& m_control;
    PageLayout m_layout;
    int m_shownPage = 0;
    std::vector<int> m_painted;
};

}  // namespace preview
