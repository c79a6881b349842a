// CPageSetupDialog driven through the Qt page-setup dialog offscreen: units, minimum margins,
// orientation, accept and cancel.

#include <QApplication>
#include <QDoubleSpinBox>
#include <QPageSetupDialog>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "foundation/ui/PageSetupDialog.h"
#include "tests/support/FakeUiServices.h"
#include "tests/support/WhenModalShown.h"

namespace {

// Runs `act` on the page-setup dialog once it is shown, then accepts or rejects it.
void whenShown(bool accept, const std::function<void(QPageSetupDialog&)>& act = {}) {
    WhenModalShown<QPageSetupDialog>([accept, act](QPageSetupDialog& dialog) {
        if (act) act(dialog);
        if (accept) {
            dialog.accept();
        } else {
            dialog.reject();
        }
    });
}

void setMargins(CPageSetupDialog& d, std::int32_t top, std::int32_t bottom, std::int32_t left,
                std::int32_t right) {
    d.setMarginTop(top);
    d.setMarginBottom(bottom);
    d.setMarginLeft(left);
    d.setMarginRight(right);
}

}  // namespace

class PageSetupDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void marginsComeBackInTheUnitTheFlagsSelect_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::newRow("1/100 mm") << (PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS) << 2500 << 1270;
        QTest::newRow("1/1000 inch") << (PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES) << 1000 << 500;
        QTest::newRow("hook and template bits cleared")
            << (PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS | 0x2000 | 0x8000 | 0x40000) << 2000
            << 1000;
    }
    void marginsComeBackInTheUnitTheFlagsSelect() {
        QFETCH(int, flags);
        QFETCH(int, top);
        QFETCH(int, left);
        FakeUiServices ui;
        CPageSetupDialog d(ui);
        d.setFlags(flags);
        setMargins(d, top, top + 100, left, left + 200);
        d.setCopies(3);
        whenShown(true);
        QVERIFY(d.Show());
        QCOMPARE(d.MarginTop(), top);
        QCOMPARE(d.MarginBottom(), top + 100);
        QCOMPARE(d.MarginLeft(), left);
        QCOMPARE(d.MarginRight(), left + 200);
        QCOMPARE(d.Orientation(), 1);
        QCOMPARE(d.PaperWidth(), 2100);  // A4, the default paper
        QCOMPARE(d.PaperLength(), 2970);
        QCOMPARE(d.PrintScale(), 100);
        QCOMPARE(d.Duplex(), 1);
        QVERIFY(d.YResolution() > 0);
        QCOMPARE(d.Copies(), std::int16_t{3});
        QCOMPARE(d.Flags(), flags);
        QVERIFY(ui.messages.empty());
    }

    void minimumMarginsHoldTheMarginsUp() {
        FakeUiServices ui;
        CPageSetupDialog d(ui);
        d.setFlags(PSD_MARGINS | PSD_MINMARGINS | PSD_INHUNDREDTHSOFMILLIMETERS);
        setMargins(d, 500, 2500, 1000, 3000);
        d.setMarginMinTop(1500);
        d.setMarginMinBottom(1500);
        d.setMarginMinLeft(1500);
        d.setMarginMinRight(1500);
        whenShown(true);
        QVERIFY(d.Show());
        QCOMPARE(d.MarginTop(), 1500);
        QCOMPARE(d.MarginBottom(), 2500);
        QCOMPARE(d.MarginLeft(), 1500);
        QCOMPARE(d.MarginRight(), 3000);
        QCOMPARE(d.MarginMinTop(), 1500);
        QCOMPARE(d.MarginMinRight(), 1500);
    }

    void landscapeAndAnEditedMarginAreReported() {
        FakeUiServices ui;
        CPageSetupDialog d(ui);
        d.setFlags(PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS);
        setMargins(d, 2000, 2000, 2000, 2000);
        whenShown(true, [](QPageSetupDialog& dialog) {
            auto* landscape = dialog.findChild<QRadioButton*>(QStringLiteral("landscape"));
            QVERIFY(landscape);
            landscape->click();
            auto* left = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("leftMargin"));
            QVERIFY(left);
            left->setValue(left->value() * 2);
        });
        QVERIFY(d.Show());
        QCOMPARE(d.Orientation(), 2);
        QCOMPARE(d.PaperWidth(), 2100);  // the paper itself does not turn
        QCOMPARE(d.PaperLength(), 2970);
        QVERIFY(qAbs(d.MarginLeft() - 4000) <= 1);
    }

    void cancelChangesNothing() {
        FakeUiServices ui;
        CPageSetupDialog d(ui);
        d.setFlags(PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS);
        setMargins(d, 1, 2, 3, 4);
        d.setOrientation(7);
        d.setPaperWidth(-1);
        whenShown(false, [](QPageSetupDialog& dialog) {
            dialog.findChild<QRadioButton*>(QStringLiteral("landscape"))->click();
        });
        QVERIFY(!d.Show());
        QCOMPARE(d.Orientation(), 7);
        QCOMPARE(d.PaperWidth(), -1);
        QCOMPARE(d.MarginTop(), 1);
        QCOMPARE(d.MarginRight(), 4);
        QCOMPARE(d.DeviceName(), QString());
    }
};

QTEST_MAIN(PageSetupDialogTest)
#include "PageSetupDialog_qtest.moc"
