// The main road, offscreen: open a case, 結果印刷 (analysis and the real reports), tick both,
// 印刷 -> Preview started on the combined file; the numbering chosen on the numbering-style form
// shows in it.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "foundation/Cp932.h"
#include "foundation/ui/NumberBox.h"
#include "report/ui/InpRenbanForm.h"
#include "report/ui/MenuPrintForm.h"
#include "tests/engine/WallTestCases.h"
#include "tests/report/PrintMenuSupport.h"
#include "tests/support/MenuMainFixture.h"
#include "workspace/InputFile.h"

class PrintRoadTest : public QObject {
    Q_OBJECT

  private slots:
    void caseToPreviewWithNumberedHeadings() {
        ScopedTempFolder temp;
        MenuMainFixture f;
        // The shipped data files beside the program.
        const QDir bin(QCoreApplication::applicationDirPath());
        for (const char* name : {"Mibrox.fmt", "LINE_PRN.DEF", "STR_PRN.DEF"}) {
            QVERIFY(QFile::copy(bin.filePath(QString::fromLatin1(name)),
                                f.dir.filePath(QString::fromLatin1(name))));
        }
        RecordingStarter starter;
        MenuMainSetup setup = f.setup();
        setup.previewStarter = &starter;
        f.window = std::make_unique<frmMenuMain>(f.state, f.ui, setup);
        frmMenuMain& w = *f.window;
        w.show();

        // Numbering method 2 ("-") with style 1 on levels 1 and 2 and no indents, chosen on
        // the numbering-style form.
        QTimer::singleShot(0, [] {
            auto* form = qobject_cast<frmInpRenban*>(QApplication::activeModalWidget());
            if (form == nullptr) return;
            form->optMethod[2]->click();
            form->cboStyle[0]->setCurrentIndex(0);
            form->cboStyle[1]->setCurrentIndex(0);
            for (NumberBox* box : form->numMargin) box->setValue(0);
            form->cmdOK->click();
        });
        w.cmdMenu_Click(5);
        QCOMPARE(f.iniLong("Chapter", "Method"), 2L);

        const std::string casePath = f.path("quay.mbw");
        int err = 0;
        QVERIFY(SaveInputFile(walltest::QuayModel(), casePath, err));
        f.ui.fileAnswers.push_back(QString::fromStdString(casePath));
        w.mnuFileOpen_Click();
        QCOMPARE(f.state.CurrentFilePath, casePath);

        QStringList filesWhileOpen;
        std::vector<unsigned> modes;
        QByteArray reports[2];
        QByteArray combined;
        bool printEnabled = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<frmMenuPrint*>(QApplication::activeModalWidget());
            if (menu == nullptr) return;
            filesWhileOpen = temp.files();
            for (const QString& name : filesWhileOpen)
                modes.push_back(permissionBits(temp.path() + "/" + name));
            printEnabled = menu->cmdPreview->isEnabled();
            menu->cmdCheck[0]->click();
            menu->cmdPreview->click();
            for (int k = 0; k < 2; ++k) reports[k] = readBytes(menu->reportFile(k));
            combined = readBytes(menu->CombinedPrintFile());
            menu->cmdClose->click();
        });
        w.cmdMenu_Click(4);

        QVERIFY2(f.ui.messages.empty(),
                 f.ui.messages.empty() ? "" : qPrintable(f.ui.messages[0].text));
        QVERIFY(printEnabled);
        // Three report files and three figures of two files each, all private to the user.
        QCOMPARE(filesWhileOpen.size(), 9);
        for (unsigned mode : modes) QCOMPARE(mode, 0600U);
        QCOMPARE(starter.calls.size(), std::size_t{1});
        QCOMPARE(starter.calls[0].program, f.dir.filePath(QStringLiteral("Preview")));
        QCOMPARE(starter.calls[0].arguments.size(), 2);
        QCOMPARE(starter.calls[0].arguments[0],
                 QStringLiteral("/INI=\"%1\"").arg(QString::fromStdString(f.state.UserDataFolder)));
        QVERIFY(starter.calls[0].arguments[1].startsWith(temp.path() + "/~QM"));

        QVERIFY(!reports[0].isEmpty() && !reports[1].isEmpty());
        QCOMPARE(combined, reports[0] + '\x0c' + reports[1]);
        // Numbering runs on from the conditions report into the results report.
        QVERIFY(combined.startsWith("?R11. "));
        QVERIFY(combined.contains("\r\n?R21-1 "));
        QVERIFY(reports[1].startsWith("?R12. "));
        // Every file is gone once the menu has closed.
        QVERIFY(temp.files().isEmpty());
    }

    void missingFormatFileFailsBothReports() {
        ScopedTempFolder temp;
        MenuMainFixture f;
        RecordingStarter starter;
        MenuMainSetup setup = f.setup();
        setup.previewStarter = &starter;
        f.window = std::make_unique<frmMenuMain>(f.state, f.ui, setup);
        f.state.Model = walltest::QuayModel();
        bool printEnabled = true;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<frmMenuPrint*>(QApplication::activeModalWidget());
            if (menu == nullptr) return;
            printEnabled = menu->cmdPreview->isEnabled();
            menu->close();
        });
        f.window->cmdMenu_Click(4);
        QVERIFY(!printEnabled);
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("\n･『計算条件』の印刷ﾌｧｲﾙ生成ｴﾗｰ"
                                                       "\n･『計算結果』の印刷ﾌｧｲﾙ生成ｴﾗｰ"));
        QVERIFY(starter.calls.empty());
        QVERIFY(temp.files().isEmpty());
    }
};

QTEST_MAIN(PrintRoadTest)
#include "PrintRoad_qtest.moc"
