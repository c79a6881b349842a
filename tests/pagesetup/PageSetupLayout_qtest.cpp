// What the page-setup dialog stores changes the next layout of the preview (ID_Update): the
// dialog writes Preview.ini, the preview document reads it when it lays a print file out, and
// the pages carry the new paper, orientation, margins and header.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "foundation/ui/NumberBox.h"
#include "pagesetup/PageSetupForm.h"
#include "preview/PageControl.h"
#include "preview/PreviewDocument.h"
#include "preview/StartUp.h"
#include "tests/preview/FakePreviewControl.h"
#include "tests/support/FakeUiServices.h"

class PageSetupLayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void updateLaysOutWithWhatTheDialogStored() {
        QTemporaryDir dir;
        const std::string ini = dir.filePath(QStringLiteral("Preview.ini")).toStdString();
        preview::CreateDefaultIniFile(ini);
        const QString printFile = dir.filePath(QStringLiteral("report.prn"));
        QFile prn(printFile);
        QVERIFY(prn.open(QIODevice::WriteOnly));
        prn.write("LINE 1\r\nLINE 2\r\n");
        prn.close();

        FakeUiServices ui;
        frmPageSetup form(ui, ini, QString());
        form.show();
        form.cboYSize->setCurrentText(QStringLiteral("B5"));
        form.optMuki[1]->click();
        const double margins[] = {10, 20, 30, 40};
        for (std::size_t i = 0; i < 4; ++i) form.numYohaku[i]->setValue(margins[i]);
        form.numPage->setValue(5);
        form.chkHeaderC->click();
        form.txtHeaderC->setText(QStringLiteral("頁%p"));
        form.btnOk->click();
        QVERIFY(ui.messages.empty());

        preview::FakePreviewControl control;
        preview::DocumentContext context;
        context.iniPath = ini;
        preview::PreviewDocument document(control, context);
        QVERIFY(document.LoadPrintFile(printFile).ok);
        QCOMPARE(control.paperSize(), 13);
        QCOMPARE(control.orientation(), 1);
        QCOMPARE(control.marginTop(), 567);  // 10 mm
        QCOMPARE(control.marginBottom(), 1134);
        QCOMPARE(control.marginLeft(), 1701);
        QCOMPARE(control.marginRight(), 2268);
        QVERIFY(!control.pages.empty());
        QCOMPARE(control.pages.front().paperSize, 13);
        QCOMPARE(control.pages.front().orientation, 1);
        QCOMPARE(control.pages.front().header[1], QStringLiteral("頁5"));

        // The page model lays the pages out on landscape JIS B5 paper.
        preview::PageControl model;
        preview::PreviewDocument modelDocument(model, context);
        QVERIFY(modelDocument.LoadPrintFile(printFile).ok);
        QVERIFY(!model.document().pages.empty());
        const preview::PageFormat format = model.document().pages.front().format;
        QCOMPARE(format, preview::pageFormatFor(13, 1));
        QVERIFY(format.width > format.height);
        QCOMPARE(model.marginLeft(), 1701);
    }
};

QTEST_MAIN(PageSetupLayoutTest)
#include "PageSetupLayout_qtest.moc"
