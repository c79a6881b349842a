// Start of Preview and its window, on a fake control: the message for an empty command line,
// the factory settings, the caption, the status panels, the outline and the saved placement.
#include <QApplication>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>

#include "foundation/Cp932.h"
#include "foundation/PrivateProfile.h"
#include "preview/StartUp.h"
#include "preview/ui/PreviewMain.h"
#include "tests/foundation/ScratchFolder.h"
#include "tests/preview/FakePreviewControl.h"
#include "tests/support/FakeUiServices.h"

using namespace preview;

class FrmPreviewTest : public QObject {
    Q_OBJECT

    static ControlFactory fakeControl() {
        return [] { return ControlAndView{std::make_unique<FakePreviewControl>(), nullptr}; };
    }
    static StartUpEnvironment environment(const ScratchFolder& dir) {
        StartUpEnvironment env;
        env.localDataFolder = dir.path();
        env.programFolder = dir.path();
        return env;
    }

  private slots:
    void emptyCommandLineShowsTheMessageAndEnds() {
        ScratchFolder dir;
        FakeUiServices ui;
        const PreviewProgram program = Main("", environment(dir), ui, fakeControl());
        QVERIFY(!program.window);
        QCOMPARE(ui.messages.size(), std::size_t(1));
        QCOMPARE(ui.messages[0].title, QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral(
                     "印刷ﾌｧｲﾙを印刷ﾌﾟﾚﾋﾞｭｰｱｲｺﾝにｴｸｽﾌﾟﾛｰﾗなどからDrag & Dropで指定して下さい。"));
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);
        QVERIFY(!FileExists(dir.file("Halvoren/Preview/Preview.ini")));
    }

    void printFileOpensWithOutlineAndStatusPanels() {
        ScratchFolder dir;
        const std::string prn = dir.file("r.prn");
        ScratchFolder::write(prn, cp932::fromUtf8("?R11. 設計条件\r\ntext\r\n\f?R22. 結果\r\n"));
        FakeUiServices ui;
        const std::string line = "/INI=\"" + dir.path() + "\" " + prn;
        PreviewProgram program = Main(line, environment(dir), ui, fakeControl());
        QVERIFY(program.window);
        frmPreview& w = *program.window;
        // Preview's own version, as its about box gives it (the caption had Mibrox's 1.5).
        QCOMPARE(w.windowTitle(), QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ  Version 3.2.000"));
        QVERIFY(FileExists(dir.file("Preview.ini")));
        QCOMPARE(w.statusPanelText(2), QString::fromStdString(prn));
        QVERIFY(w.statusPanelText(1).startsWith(QStringLiteral("　ﾍﾙﾌﾟ")));
        QVERIFY(w.statusPanelText(3).startsWith(QLatin1Char(' ')));
        QCOMPARE(w.outlineTree()->topLevelItemCount(), 1);
        QCOMPARE(w.outlineTree()->topLevelItem(0)->text(0), QStringLiteral("1. 設計条件(0001)"));
        QCOMPARE(w.outlineTree()->topLevelItem(0)->child(0)->text(0),
                 QStringLiteral("2. 結果(0002)"));
        QVERIFY(ui.messages.empty());
        auto& control = static_cast<FakePreviewControl&>(*program.control);
        QCOMPARE(control.pageCount(), 2);

        program.control->setDevice(QStringLiteral("Office printer"));
        w.close();
        const CPrivateProfile profile;
        QCOMPARE(profile.GetValueString(dir.file("Preview.ini"), "Printer", "Device"),
                 std::string("Office printer"));
        QVERIFY(profile.GetValueLong(dir.file("Preview.ini"), "Preview", "Width") > 0);
    }

    void unreadablePrintFileIsNamedInAMessage() {
        ScratchFolder dir;
        FakeUiServices ui;
        const std::string missing = dir.file("gone.prn");
        PreviewProgram program =
            Main("/INI=\"" + dir.path() + "\" " + missing, environment(dir), ui, fakeControl());
        QCOMPARE(ui.messages.size(), std::size_t(1));
        QVERIFY(ui.messages[0].text.contains(QString::fromStdString(missing)));
        QCOMPARE(program.control->pageCount(), 1);
    }

    void aDocumentCutAtTheModelsCapacityIsReportedWithItsLastPage() {
        ScratchFolder dir;
        const std::string prn = dir.file("r.prn");
        ScratchFolder::write(prn, "1\r\n\f2\r\n\f3\r\n\f4\r\n");
        FakeUiServices ui;
        const ControlFactory threePages = [] {
            auto control = std::make_unique<FakePreviewControl>();
            control->maxPages = 3;
            return ControlAndView{std::move(control), nullptr};
        };
        PreviewProgram program =
            Main("/INI=\"" + dir.path() + "\" " + prn, environment(dir), ui, threePages);
        QCOMPARE(ui.messages.size(), std::size_t(1));
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("文書が大きすぎるため、3ﾍﾟｰｼﾞ目で打ち切りました。\n") +
                     QString::fromStdString(prn));
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Warning);
    }

    // The first window was 900 pixels wide, which hid the paging tools behind the toolbar's
    // overflow button; on a screen that allows it the whole toolbar shows.
    void firstWindowShowsTheWholeToolbar() {
        ScratchFolder dir;
        FakeUiServices ui;
        PreviewProgram program =
            Main("/INI=\"" + dir.path() + "\"", environment(dir), ui, fakeControl());
        QVERIFY(program.window);
        const frmPreview& w = *program.window;
        const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
        QVERIFY2(screenWidth >= 1600, "the test's screen is 1920 pixels wide");
        QVERIFY(w.width() >= w.toolBar()->sizeHint().width());
        QVERIFY(w.width() <= screenWidth);
        // The outline opens at a fifth of the window, as the outline tool gives it (not 180).
        QCOMPARE(w.splitter()->sizes().at(0), qRound(0.2 * w.width()));
    }

    void noPrintFileOpensAnEmptyWindow() {
        ScratchFolder dir;
        FakeUiServices ui;
        PreviewProgram program =
            Main("/INI=\"" + dir.path() + "\"", environment(dir), ui, fakeControl());
        QVERIFY(program.window);
        QCOMPARE(program.control->pageCount(), 0);
        QVERIFY(ui.messages.empty());
    }
};

// A screen wider than the offscreen default (800 pixels), as the program meets on a desk.
int main(int argc, char** argv) {
    ScratchFolder dir;
    const std::string config = dir.file("screen.json");
    ScratchFolder::write(config,
                         "{\"screens\": [{\"name\": \"desk\", \"x\": 0, \"y\": 0, "
                         "\"width\": 1920, \"height\": 1080, \"logicalDpi\": 96}]}");
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.c_str());
    QApplication app(argc, argv);
    FrmPreviewTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "FrmPreview_qtest.moc"
