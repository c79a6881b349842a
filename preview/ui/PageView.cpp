#include "preview/ui/PageView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>

#include "preview/PageRenderer.h"

namespace preview {

PageView::PageView(PageControl& control, QWidget* parent)
    : QAbstractScrollArea(parent), m_control(control) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    // The mid-grey around the pages; the viewport paints its background role (Base).
    palette.setColor(viewport()->backgroundRole(), QColor(128, 128, 128));
    viewport()->setPalette(palette);
    m_control.setView(this);
    relayout();
}

PageView::~PageView() {
    m_control.setView(nullptr);
}

void PageView::documentChanged() {
    relayout();
    viewport()->update();
}

void PageView::displayChanged() {
    relayout();
    viewport()->update();
}

void PageView::relayout() {
    PageLayoutInput input;
    input.mode = m_control.zoomMode();
    input.zoom = m_control.zoom();
    input.viewport = viewport()->size();
    input.dpiX = logicalDpiX();
    input.dpiY = logicalDpiY();
    input.previewPage = m_control.previewPage();
    for (const Page& page : m_control.document().pages) {
        input.pages.emplace_back(page.format.width, page.format.height);
    }
    m_layout = layoutPages(input);
    horizontalScrollBar()->setRange(0,
                                    std::max(0, m_layout.content.width() - input.viewport.width()));
    verticalScrollBar()->setRange(0,
                                  std::max(0, m_layout.content.height() - input.viewport.height()));
    horizontalScrollBar()->setPageStep(input.viewport.width());
    verticalScrollBar()->setPageStep(input.viewport.height());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    if (m_shownPage != m_control.previewPage()) {
        m_shownPage = m_control.previewPage();
        if (m_control.zoomMode() != ZoomMode::Thumbnail) verticalScrollBar()->setValue(0);
    }
    if (m_control.zoomMode() != ZoomMode::Percentage && !input.pages.empty()) {
        m_control.setFittedZoom(m_layout.fittedZoom);
    }
}

QPoint PageView::scrollOffset() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void PageView::paintEvent(QPaintEvent* event) {
    m_painted.clear();
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPoint offset = scrollOffset();
    const QRect exposed = event->rect();
    for (const PagePlacement& placement : m_layout.placements) {
        const QRect onScreen = placement.rect.translated(-offset);
        if (!onScreen.adjusted(-1, -1, 4, 4).intersects(exposed)) continue;
        m_painted.push_back(placement.page);
        painter.fillRect(onScreen.translated(3, 3), QColor(64, 64, 64));
        painter.fillRect(onScreen, Qt::white);
        const QTransform toDevice(m_layout.scaleX, 0, 0, m_layout.scaleY, onScreen.left(),
                                  onScreen.top());
        const QRectF visible = toDevice.inverted().mapRect(QRectF(exposed.intersected(onScreen)));
        painter.save();
        painter.setClipRect(onScreen);
        drawPage(painter, m_control.document(), std::size_t(placement.page), m_control.fonts(),
                 toDevice, visible);
        painter.restore();
        if (m_control.zoomMode() == ZoomMode::Thumbnail &&
            placement.page + 1 == m_control.previewPage()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.drawRect(onScreen.adjusted(-2, -2, 1, 1));
        }
    }
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void PageView::scrollContentsBy(int, int) {
    viewport()->update();
}

void PageView::keyPressEvent(QKeyEvent* event) {
    const int page = m_control.previewPage();
    const int step = m_control.zoomMode() == ZoomMode::TwoPages ? 2 : 1;
    switch (event->key()) {
        case Qt::Key_PageDown:
            m_control.setPreviewPage(page + step);
            break;
        case Qt::Key_PageUp:
            m_control.setPreviewPage(page - step);
            break;
        case Qt::Key_Home:
            m_control.setPreviewPage(1);
            break;
        case Qt::Key_End:
            m_control.setPreviewPage(m_control.pageCount());
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    event->accept();
}

void PageView::mousePressEvent(QMouseEvent* event) {
    if (m_control.zoomMode() == ZoomMode::Thumbnail) {
        const QPoint at = event->position().toPoint() + scrollOffset();
        for (const PagePlacement& placement : m_layout.placements) {
            if (placement.rect.contains(at)) {
                m_control.setPreviewPage(placement.page + 1);
                viewport()->update();
                break;
            }
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void PageView::installPrintDialog(PageControl& control, QWidget* parent) {
    control.setPrintDialog([&control, parent](QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setMinMax(1, std::max(1, control.pageCount()));
        return dialog.exec() == QDialog::Accepted;
    });
}

}  // namespace preview
