// The product's message boxes.
#include <QFontMetrics>
#include <QMessageBox>
#include <QtTest>

#include "foundation/ui/UiServices.h"

class UiServicesTest : public QObject {
    Q_OBJECT
  private slots:
    // The range message of a box with a long caption cut its title ("矢板壁のﾔﾝ…").
    void rangeMessageIsWideEnoughForItsTitle() {
        const QString title = QStringLiteral("矢板壁の根入れ長に対する安全率Ｆ");
        QMessageBox box;
        ConfigureMessageBox(box, QStringLiteral("入力範囲：1.0 ～ 2.0"), title,
                            UiServices::Buttons::Ok, UiServices::Icon::Information);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QFont bold = box.font();
        bold.setBold(true);
        QVERIFY2(box.width() > QFontMetrics(bold).horizontalAdvance(title) + 100,
                 qPrintable(QString::number(box.width())));
        QCOMPARE(box.windowTitle(), title);
        QCOMPARE(box.text(), QStringLiteral("入力範囲：1.0 ～ 2.0"));
        QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.icon(), QMessageBox::Information);
    }
};

QTEST_MAIN(UiServicesTest)
#include "UiServices_qtest.moc"
