// The print menu: the files it builds, the join, the start of Preview, the messages, the
// check buttons and the clean-up on every way of closing.

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "foundation/PrivateProfile.h"
#include "report/ui/MenuPrintForm.h"
#include "tests/report/PrintMenuSupport.h"
#include "tests/support/FakeUiServices.h"
#include "workspace/WorkspaceState.h"

namespace {

using Icon = UiServices::Icon;

const QByteArray kReport[2] = {"?R1条件\r\n  line one\r\n\x0cpage two\r\n",
                               "?R1結果\r\n  result\r\n"};

// A print menu whose reports are fixed texts (or fail), each with one figure file.
struct Fixture {
    explicit Fixture(const QString& tempName = QStringLiteral("tmp")) : temp(tempName) {}
    ScopedTempFolder temp;
    QTemporaryDir program;
    FakeUiServices ui;
    RecordingStarter starter;
    DetachedProcessStarter detached;
    bool real = false;  // start a real process
    std::string programFolder = program.path().toStdString();
    bool fails[2] = {false, false};
    int fillNamesIn = -1;  // the report that uses up every report name of the session

    std::string ini() const { return program.filePath(QStringLiteral("Mibrox.ini")).toStdString(); }
    std::string userFolder() const {
        return program.filePath(QStringLiteral("user")).toStdString();
    }
    void setTicks(const char* first, const char* second) const {
        CPrivateProfile().SetValueString(ini(), "MenuPrint", "0", first);
        CPrivateProfile().SetValueString(ini(), "MenuPrint", "1", second);
    }

    std::unique_ptr<frmMenuPrint> open() {
        PrintMenuSetup setup;
        setup.iniFilePath = ini();
        setup.programFolder = programFolder;
        setup.previewIniFolder = userFolder();
        setup.dataFiles = ReportDataFiles::InFolder(setup.programFolder);
        setup.writeReport = [this](PrintSession& session, int index) {
            session.NewFigureFileName();
            if (index == fillNamesIn) {
                while (session.ReportFileList().count() < session.ReportFileList().capacity()) {
                    session.ReportFileList().take();
                }
            }
            QFile file(QString::fromStdString(session.writer().CurrentReportFile()));
            if (!file.open(QIODevice::Append)) return false;
            file.write(kReport[index]);
            return !fails[index];
        };
        ProcessStarter& used = real ? static_cast<ProcessStarter&>(detached) : starter;
        auto menu = std::make_unique<frmMenuPrint>(ui, used, std::move(setup));
        menu->show();
        return menu;
    }
};

}  // namespace

class MenuPrintFormTest : public QObject {
    Q_OBJECT

  private slots:
    void combinedFileHoldsTheTickedReports_data() {
        QTest::addColumn<QString>("tick0");
        QTest::addColumn<QString>("tick1");
        QTest::addColumn<QByteArray>("combined");
        QTest::newRow("both") << "1"
                              << "1" << kReport[0] + '\x0c' + kReport[1];
        QTest::newRow("conditions") << "1"
                                    << "0" << kReport[0];
        QTest::newRow("results, no leading form feed") << "0"
                                                       << "1" << kReport[1];
    }
    void combinedFileHoldsTheTickedReports() {
        QFETCH(QString, tick0);
        QFETCH(QString, tick1);
        QFETCH(QByteArray, combined);
        Fixture f;
        f.setTicks(tick0.toLatin1().constData(), tick1.toLatin1().constData());
        auto menu = f.open();
        QCOMPARE(menu->windowTitle(), QStringLiteral("検討結果の印刷"));
        QCOMPARE(menu->chkPrintItem[0]->isChecked(), tick0 == "1");
        QCOMPARE(menu->chkPrintItem[1]->isChecked(), tick1 == "1");
        QVERIFY(f.ui.messages.empty());
        QVERIFY(menu->cmdPreview->isEnabled());
        // Three report files and two figure files, private to the user.
        const QStringList files = f.temp.files();
        QCOMPARE(files.size(), 5);
        for (const QString& name : files) {
            QCOMPARE(permissionBits(f.temp.path() + "/" + name), 0600U);
        }
        QCOMPARE(menu->session().ReportFileList().names().back(), menu->CombinedPrintFile());

        menu->cmdPreview->click();
        QCOMPARE(readBytes(menu->CombinedPrintFile()), combined);
        QCOMPARE(f.starter.calls.size(), std::size_t{1});
        QCOMPARE(f.starter.calls[0].program, f.program.filePath(QStringLiteral("Preview")));
        QCOMPARE(
            f.starter.calls[0].arguments,
            QStringList({QStringLiteral("/INI=\"%1\"").arg(QString::fromStdString(f.userFolder())),
                         QString::fromStdString(menu->CombinedPrintFile())}));
        // Pressed again, the combined file is built afresh, not appended to.
        menu->cmdPreview->click();
        QCOMPARE(readBytes(menu->CombinedPrintFile()), combined);
        QCOMPARE(f.starter.calls.size(), std::size_t{2});
    }

    void nothingTickedBeepsAndStartsNothing() {
        Fixture f;
        auto menu = f.open();
        menu->cmdPreview->click();
        QCOMPARE(f.ui.beeps, 1);
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("印刷項目はひとつ以上選択して下さい。"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("検討結果の印刷"));
        QCOMPARE(f.ui.messages[0].icon, Icon::Information);
        QVERIFY(f.starter.calls.empty());
    }

    void failedReportsAreNamedAndDisablePrinting_data() {
        QTest::addColumn<bool>("fail0");
        QTest::addColumn<bool>("fail1");
        QTest::addColumn<int>("fillNamesIn");
        QTest::addColumn<QString>("text");
        const QString conditions = QStringLiteral("\n･『計算条件』の印刷ﾌｧｲﾙ生成ｴﾗｰ");
        const QString results = QStringLiteral("\n･『計算結果』の印刷ﾌｧｲﾙ生成ｴﾗｰ");
        QTest::newRow("conditions") << true << false << -1 << conditions;
        QTest::newRow("results") << false << true << -1 << results;
        QTest::newRow("both") << true << true << -1 << conditions + results;
        QTest::newRow("no name for the results") << false << false << 0 << results;
        QTest::newRow("no name for the combined file") << false << false << 1 << QString();
    }
    void failedReportsAreNamedAndDisablePrinting() {
        QFETCH(bool, fail0);
        QFETCH(bool, fail1);
        QFETCH(int, fillNamesIn);
        QFETCH(QString, text);
        Fixture f;
        f.fails[0] = fail0;
        f.fails[1] = fail1;
        f.fillNamesIn = fillNamesIn;
        auto menu = f.open();
        QVERIFY(!menu->cmdPreview->isEnabled());
        if (text.isEmpty()) {
            QVERIFY(f.ui.messages.empty());
            QVERIFY(menu->CombinedPrintFile().empty());
            return;
        }
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.messages[0].text, text);
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("ミブロクス"));
        QCOMPARE(f.ui.messages[0].icon, Icon::Critical);
    }

    void failedJoinStepStopsWithAMessage_data() {
        QTest::addColumn<int>("fault");
        QTest::newRow("combined file cannot be emptied") << 0;
        QTest::newRow("second report missing") << 1;
        QTest::newRow("start fails") << 2;
    }
    void failedJoinStepStopsWithAMessage() {
        QFETCH(int, fault);
        Fixture f;
        f.setTicks("1", "1");
        auto menu = f.open();
        const QString combined = QString::fromStdString(menu->CombinedPrintFile());
        if (fault == 0) {
            QFile::remove(combined);
            QDir().mkdir(combined);
        } else if (fault == 1) {
            QFile::remove(QString::fromStdString(menu->reportFile(1)));
        } else {
            f.starter.result = false;
        }
        menu->cmdPreview->click();
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.messages[0].icon, Icon::Critical);
        if (fault == 2) {
            QCOMPARE(f.starter.calls.size(), std::size_t{1});
            QCOMPARE(f.ui.messages[0].text,
                     QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰを起動できませんでした。\n") +
                         f.program.filePath(QStringLiteral("Preview")));
        } else {
            QVERIFY(f.starter.calls.empty());
            QCOMPARE(f.ui.messages[0].text,
                     QStringLiteral("印刷ﾌｧｲﾙの結合でｴﾗｰが発生しました。\n") + combined);
        }
        if (fault == 0) QDir().rmdir(combined);
    }

    // Blanks, runs of blanks included, in the program folder and the temporary folder.
    void realPreviewStartsFromFoldersWithBlanks() {
        Fixture f(QStringLiteral("temp  files x"));
        const QString folder = f.program.filePath(QStringLiteral("Halvoren  Mibrox x"));
        QVERIFY(QDir().mkpath(folder));
        f.programFolder = folder.toStdString();
        f.real = true;
        const QString stub = folder + QStringLiteral("/Preview");
        const QString record = folder + QStringLiteral("/args.txt");
        QFile script(stub);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\nout=\"$(dirname \"$0\")/args.txt\"\n"
            "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.part\"\n"
            "mv \"$out.part\" \"$out\"\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        f.setTicks("0", "1");
        auto menu = f.open();
        menu->cmdPreview->click();
        QVERIFY(f.ui.messages.empty());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QFile args(record);
        QVERIFY(args.open(QIODevice::ReadOnly));
        const QStringList received =
            QString::fromUtf8(args.readAll()).split(u'\n', Qt::SkipEmptyParts);
        const QString combined = QString::fromStdString(menu->CombinedPrintFile());
        QVERIFY(combined.contains(QStringLiteral("temp  files x/~QM")));
        QCOMPARE(
            received,
            QStringList({QStringLiteral("/INI=\"%1\"").arg(QString::fromStdString(f.userFolder())),
                         combined}));
    }

    void checkButtons() {
        Fixture f;
        f.setTicks("1", "0");
        auto menu = f.open();
        QCheckBox* conditions = menu->chkPrintItem[0];
        QCheckBox* results = menu->chkPrintItem[1];
        results->setEnabled(false);
        menu->cmdCheck[2]->click();  // invert: a disabled item is never ticked
        QVERIFY(!conditions->isChecked() && !results->isChecked());
        menu->cmdCheck[0]->click();
        QVERIFY(conditions->isChecked() && !results->isChecked());
        results->setEnabled(true);
        menu->cmdCheck[2]->click();
        QVERIFY(!conditions->isChecked() && results->isChecked());
        menu->cmdCheck[1]->click();
        QVERIFY(!conditions->isChecked() && !results->isChecked());
        QCOMPARE(menu->cmdCheck[0]->text(), QStringLiteral("全項目選択"));
        QCOMPARE(menu->cmdCheck[1]->text(), QStringLiteral("全項目選択解除"));
        QCOMPARE(menu->cmdCheck[2]->text(), QStringLiteral("全項目選択反転"));
    }

    void everyWayOfClosingDeletesTheFilesAndKeepsTheTicks_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("閉じる") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
        QTest::newRow("destroyed while open") << 3;
    }
    void everyWayOfClosingDeletesTheFilesAndKeepsTheTicks() {
        QFETCH(int, way);
        Fixture f;
        auto menu = f.open();
        menu->chkPrintItem[1]->setChecked(true);
        menu->cmdPreview->click();
        QCOMPARE(f.temp.files().size(), 5);
        switch (way) {
            case 0:
                menu->cmdClose->click();
                break;
            case 1:
                QTest::keyClick(menu.get(), Qt::Key_Escape);
                break;
            case 2:
                menu->close();
                break;
            default:
                menu.reset();
                QVERIFY(f.temp.files().isEmpty());
                return;
        }
        QVERIFY(!menu->isVisible());
        QVERIFY(f.temp.files().isEmpty());
        const CPrivateProfile profile;
        QCOMPARE(profile.GetValueString(f.ini(), "MenuPrint", "0"), "0");
        QCOMPARE(profile.GetValueString(f.ini(), "MenuPrint", "1"), "1");
        QVERIFY(!profile.GetValueString(f.ini(), "MenuPrint", "Top").empty());
    }
};

QTEST_MAIN(MenuPrintFormTest)
#include "MenuPrintForm_qtest.moc"
