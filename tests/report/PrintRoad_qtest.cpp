// The main road, offscreen: open a case, 結果印刷 (analysis and the real reports), tick both,
// 印刷 -> Preview started on the combined file; the numbering chosen in Mibrox.ini shows in it.

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "foundation/Cp932.h"
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
        // Numbering method 2 ("-"), style 1 on levels 1 and 2, no indents.
        for (const auto& [key, value] : {std::pair{"Method", "2"},
                                         {"Style1", "1"},
                                         {"Style2", "1"},
                                         {"Margin1", "0"},
                                         {"Margin2", "0"}}) {
            f.setIni("Chapter", key, value);
        }
        RecordingStarter starter;
        MenuMainSetup setup = f.setup();
        setup.previewStarter = &starter;
        f.window = std::make_unique<frmMenuMain>(f.state, f.ui, setup);
        frmMenuMain& w = *f.window;
        w.show();

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
};

QTEST_MAIN(PrintRoadTest)
#include "PrintRoad_qtest.moc"
