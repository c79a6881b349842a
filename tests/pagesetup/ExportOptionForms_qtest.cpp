// The Word and PDF option dialogs: texts, Help, centring, the closing rule of UsrTag and the
// PDF option carried from one opening to the next.

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "pagesetup/ExportOptionForms.h"
#include "tests/support/WhenModalShown.h"

namespace {

// Runs `act` on the modal option dialog once it is shown.
void whenShown(std::function<void(ExportOptionForm&)> act) {
    WhenModalShown<ExportOptionForm>(std::move(act));
}

bool isCentred(const QWidget& form) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect contents = form.geometry();
    return qAbs(contents.left() - std::max(0, (screen.width() - contents.width()) / 2)) <= 1 &&
           qAbs(contents.top() - std::max(0, (screen.height() - contents.height()) / 2)) <= 1;
}

}  // namespace

class ExportOptionFormsTest : public QObject {
    Q_OBJECT

  private slots:
    void bothDialogsShowTheirTextsCentredWithoutHelp_data() {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<int>("lines");
        QTest::newRow("word") << false << "Word形式のｴｸｽﾎﾟｰﾄ..."
                              << "Word形式のｴｸｽﾎﾟｰﾄ機能を利用するためには ご利用のシステムに " << 6;
        QTest::newRow("pdf") << true << "PDF形式のｴｸｽﾎﾟｰﾄ..."
                             << "作成するPDF形式のﾌｧｲﾙは，Adobe Reader 等で正常に表示されますが，"
                             << 7;
    }
    void bothDialogsShowTheirTextsCentredWithoutHelp() {
        QFETCH(bool, pdf);
        std::unique_ptr<ExportOptionForm> form;
        if (pdf) {
            form = std::make_unique<frmInpPDFOption>();
        } else {
            form = std::make_unique<frmInpWordOption>();
        }
        form->show();
        QTEST(form->windowTitle(), "caption");
        const QStringList lines = form->Text1->toPlainText().split(u'\n');
        QTEST(static_cast<int>(lines.size()), "lines");
        QTEST(lines.front(), "firstLine");
        QVERIFY(form->Text1->isReadOnly());
        QCOMPARE(form->btnOk->text(), QStringLiteral("OK(&O)"));
        QCOMPARE(form->btnCancel->text(), QStringLiteral("ｷｬﾝｾﾙ(&C)"));
        QVERIFY(!form->btnHelp->isVisible());
        QVERIFY(isCentred(*form));
        // Shown again after being moved, it is centred again.
        form->move(3, 4);
        form->btnCancel->click();
        form->show();
        QVERIFY(isCentred(*form));

        frmInpWordOption withHelp;
        withHelp.UsrHelpFile = QStringLiteral("Preview.chm");
        withHelp.show();
        QVERIFY(withHelp.btnHelp->isVisible());
    }

    void pdfNoticeAndCheckBoxText() {
        frmInpPDFOption form;
        QCOMPARE(form.chkPDFComp->text(), QStringLiteral("PDF形式ファイルを圧縮モードで作成する"));
        QVERIFY(form.Text1->toPlainText().endsWith(QStringLiteral("度大きくなります。")));
        frmInpWordOption word;
        QCOMPARE(word.Text1->toPlainText().split(u'\n').at(4), QString());
    }

    void pdfOptionIsCarriedFromOneOpeningToTheNext() {
        CInpPDFOption PDFOption;
        PDFOption.InpFlg = false;
        whenShown([](ExportOptionForm& form) {
            auto& pdf = static_cast<frmInpPDFOption&>(form);
            QVERIFY(pdf.chkPDFComp->isChecked());
            pdf.chkPDFComp->click();
            pdf.btnOk->click();
        });
        QVERIFY(AskPdfExportOptions(nullptr, PDFOption));
        QCOMPARE(PDFOption.IsCompress, 0);
        QVERIFY(PDFOption.InpFlg);

        // Shown unticked next time; ticking it and cancelling changes nothing.
        PDFOption.InpFlg = false;
        whenShown([](ExportOptionForm& form) {
            auto& pdf = static_cast<frmInpPDFOption&>(form);
            QVERIFY(!pdf.chkPDFComp->isChecked());
            pdf.chkPDFComp->click();
            pdf.btnCancel->click();
        });
        QVERIFY(!AskPdfExportOptions(nullptr, PDFOption));
        QCOMPARE(PDFOption.IsCompress, 0);
        QVERIFY(!PDFOption.InpFlg);

        whenShown([](ExportOptionForm& form) { form.close(); });
        QVERIFY(!AskPdfExportOptions(nullptr, PDFOption));
        whenShown([](ExportOptionForm& form) { form.btnOk->click(); });
        QVERIFY(AskWordExportOptions(nullptr));
        whenShown([](ExportOptionForm& form) { form.btnCancel->click(); });
        QVERIFY(!AskWordExportOptions(nullptr));
    }

    void aCancelledOkLeavesNoStaleTagAfterTheCloseBox() {
        frmInpWordOption form;
        QObject::connect(&form, &DialogBase::SaveData, &form, [](bool& cancel) { cancel = true; });
        form.show();
        form.btnOk->click();
        QVERIFY(form.isVisible());
        QCOMPARE(form.UsrTag, QStringLiteral("OK"));
        QVERIFY(form.close());
        QCOMPARE(form.UsrTag, QString());
        form.show();
        form.btnCancel->click();
        QCOMPARE(form.UsrTag, QStringLiteral("ｷｬﾝｾﾙ"));
        form.show();
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.UsrTag, QString());
    }
};

QTEST_MAIN(ExportOptionFormsTest)
#include "ExportOptionForms_qtest.moc"
