// The product's message boxes.
#include <QAbstractButton>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include "foundation/ui/AppSetup.h"
#include "foundation/ui/UiServices.h"
#include "tests/support/WhenModalShown.h"

namespace {

// Whether a shown box leaves room for its whole title in the window manager's bold font.
bool wideEnoughForTitle(const QMessageBox& box) {
    QFont bold = box.font();
    bold.setBold(true);
    return box.width() > QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 100;
}

}  // namespace

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
        QVERIFY2(wideEnoughForTitle(box), qPrintable(QString::number(box.width())));
        QCOMPARE(box.windowTitle(), title);
        QCOMPARE(box.text(), QStringLiteral("入力範囲：1.0 ～ 2.0"));
        QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.icon(), QMessageBox::Information);
    }

    // The file dialog's own overwrite question was as narrow as its short Japanese text and
    // cut its title "ﾌｧｲﾙに名前を付けて保存...".
    void saveAsOverwriteQuestionIsWideEnoughForItsTitle() {
        const std::unique_ptr<QTranslator> japanese = InstallQtTranslation(*qApp);
        QTemporaryDir dir;
        FileDialogRequest request;
        request.open = false;
        request.title = QStringLiteral("ﾌｧｲﾙに名前を付けて保存...");
        request.initialFile = dir.filePath(QStringLiteral("a.mbw"));
        request.overwritePrompt = true;
        QFile(request.initialFile).open(QIODevice::WriteOnly);
        bool wide = false;
        WhenModalShown<QFileDialog>([&](QFileDialog& dialog) {
            WhenModalShown<QMessageBox>([&](QMessageBox& box) {
                wide = box.windowTitle() == request.title && wideEnoughForTitle(box);
                box.button(QMessageBox::Yes)->click();
            });
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        QCOMPARE(QtUiServices().fileDialog(nullptr, request), std::optional(request.initialFile));
        QVERIFY(wide);
    }
};

QTEST_MAIN(UiServicesTest)
#include "UiServices_qtest.moc"
