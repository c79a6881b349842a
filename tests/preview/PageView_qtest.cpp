// The view widget: pages follow the control, only visible pages are painted, paging keys and
// thumbnail clicks move the preview page.
#include <QtTest>

#include "PageControlFixture.h"
#include "preview/ui/PageView.h"

using namespace preview;

class PageViewTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_control = std::make_unique<PageControl>();
        buildSampleDocument(*m_control);
        m_view = std::make_unique<PageView>(*m_control);
        m_view->resize(600, 500);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup() {
        m_view.reset();
        m_control.reset();
    }

    void drawsOnlyThePreviewPageAtAZoom() {
        m_control->setZoom(50);
        m_view->viewport()->repaint();
        QCOMPARE(m_view->lastPaintedPages(), std::vector<int>{0});
        m_control->setPreviewPage(2);
        m_view->viewport()->repaint();
        QCOMPARE(m_view->lastPaintedPages(), std::vector<int>{1});
        const QImage shot = m_view->viewport()->grab().toImage();
        const QRect page = m_view->layout().placements.at(0).rect;
        QCOMPARE(shot.pixelColor(page.center()), QColor(Qt::white));
        // The page's edges show against the mid-grey around it (it was white on white).
        QCOMPARE(shot.pixelColor(page.left() - 4, page.top() + 4), QColor(128, 128, 128));
    }

    void pagingKeysMoveThePreviewPageWithinTheDocument() {
        QTest::keyClick(m_view.get(), Qt::Key_PageDown);
        QCOMPARE(m_control->previewPage(), 2);
        QTest::keyClick(m_view.get(), Qt::Key_End);
        QCOMPARE(m_control->previewPage(), 3);
        QTest::keyClick(m_view.get(), Qt::Key_PageDown);
        QCOMPARE(m_control->previewPage(), 3);
        QTest::keyClick(m_view.get(), Qt::Key_Home);
        QCOMPARE(m_control->previewPage(), 1);
    }

    void aClickOnAThumbnailShowsThatPage() {
        m_control->setZoomMode(ZoomMode::Thumbnail);
        m_view->viewport()->repaint();
        QCOMPARE(m_view->lastPaintedPages(), (std::vector<int>{0, 1, 2}));
        const QRect third = m_view->layout().placements.at(2).rect;
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, third.center());
        QCOMPARE(m_control->previewPage(), 3);
    }

    void fittingModesReportTheirZoom() {
        m_control->setZoomMode(ZoomMode::WholePage);
        QVERIFY(m_control->zoom() < 100);
        QCOMPARE(m_control->zoomMode(), ZoomMode::WholePage);
        m_control->setZoom(m_control->zoom() + m_control->zoomStep());  // back to per cent
        QCOMPARE(m_control->zoomMode(), ZoomMode::Percentage);
    }

    void aNewDocumentReplacesTheShownOne() {
        m_control->reset();
        m_view->viewport()->repaint();
        QVERIFY(m_view->lastPaintedPages().empty());
        m_control->startDoc();
        m_control->endDoc();
        m_view->viewport()->repaint();
        QCOMPARE(m_view->lastPaintedPages(), std::vector<int>{0});
    }

  private:
    std::unique_ptr<PageControl> m_control;
    std::unique_ptr<PageView> m_view;
};

QTEST_MAIN(PageViewTest)
#include "PageView_qtest.moc"
