// The preview window's toolbar on the real page control, with a three-page print file of two
// chapters, their sections and a figure: the tool table, zoom, paging, the outline, printing,
// and the PDF and VDF exports checked from outside with poppler-utils and qpdf.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <filesystem>

#include "foundation/Cp932.h"
#include "foundation/PrivateProfile.h"
#include "pagesetup/ExportOptionForms.h"
#include "preview/PageControl.h"
#include "preview/ui/PageView.h"
#include "preview/ui/PreviewCommands.h"
#include "preview/ui/PreviewMain.h"
#include "preview/ui/PreviewToolbar.h"
#include "formats/FigureFiles.h"
#include "tests/foundation/ScratchFolder.h"
#include "tests/support/FakeUiServices.h"

using namespace preview;

namespace {

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// pdfinfo's page count and the first page's size in whole points.
struct PdfFacts {
    int pages = 0;
    int width = 0;
    int height = 0;
};
PdfFacts pdfFacts(const QString& path) {
    PdfFacts facts;
    for (const QString& line : run(QStringLiteral("pdfinfo"), {path}).split(QLatin1Char('\n'))) {
        const QStringList words = line.simplified().split(QLatin1Char(' '));
        if (line.startsWith(QLatin1String("Pages:")) && words.size() > 1)
            facts.pages = words[1].toInt();
        if (line.startsWith(QLatin1String("Page size:")) && words.size() > 4) {
            facts.width = qRound(words[2].toDouble());
            facts.height = qRound(words[4].toDouble());
        }
    }
    return facts;
}

QString pdfText(const QString& path) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
        .simplified();
}

// The outline as "level:title@page" lines, depth first.
void flatten(const QJsonArray& items, int level, QStringList& out) {
    for (const QJsonValue& v : items) {
        const QJsonObject o = v.toObject();
        out << QStringLiteral("%1:%2@%3")
                   .arg(level)
                   .arg(o.value(QStringLiteral("title")).toString())
                   .arg(o.value(QStringLiteral("destpageposfrom1")).toInt());
        flatten(o.value(QStringLiteral("kids")).toArray(), level + 1, out);
    }
}
QStringList pdfOutline(const QString& path) {
    const QByteArray json =
        run(QStringLiteral("qpdf"),
            {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), path})
            .toUtf8();
    QStringList out;
    flatten(QJsonDocument::fromJson(json).object().value(QStringLiteral("outlines")).toArray(), 1,
            out);
    return out;
}

bool hasFlate(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll().contains("/FlateDecode");
}

}  // namespace

class PreviewToolbarTest : public QObject {
    Q_OBJECT

    // One program on the print file of the fixture.
    struct Fixture {
        ScratchFolder dir;
        FakeUiServices ui;
        PreviewProgram program;
        std::string prn;

        explicit Fixture(bool withFile = true) {
            prn = dir.file("report.prn");
            ScratchFolder::write(dir.file("LINE_PRN.DEF"),
                                 cp932::fromUtf8("\"線種\"\r\n1, 0, 0, \"細\"\r\nEND\r\n"));
            ScratchFolder::write(dir.file("STR_PRN.DEF"),
                                 cp932::fromUtf8("\"文字\"\r\n1, 0, \"ＭＳ 明朝\", 200, 0, 0, 0, "
                                                 "\"a\"\r\nEND\r\n"));
            FigureBuffer figure;
            figure.addLine(figure.addPoint(0, 0), figure.addPoint(100, 100), 1);
            const std::string data = dir.file("fig1.dat");
            WriteFigureDataFile(data, "t1", "t2", figure, {{0, "a", 200, 0, 0, 0}});
            WriteFigureListFile(dir.file("fig.lst"), "t", 150, 130, {{data, 0, 0}});
            ScratchFolder::write(
                prn, cp932::fromUtf8("?R11. 設計条件\r\n本文の一行目\r\n?R21.1 土質条件\r\n"
                                     "?FG;010;020;" +
                                     dir.file("fig.lst") +
                                     "\r\n\f?R21.2 荷重条件\r\n荷重の説明\r\n\f?R12. 計算結果\r\n"
                                     "?R22.1 断面力\r\n結果の一行\r\n"));
            start(withFile ? prn : std::string());
        }
        void start(const std::string& file, bool withView = false) {
            program.window.reset();  // the window before its control
            program.control.reset();
            StartUpEnvironment env;
            env.localDataFolder = dir.path();
            env.programFolder = dir.path();
            program = Main("/INI=\"" + dir.path() + "\" " + file, env, ui, [withView] {
                auto control = std::make_unique<PageControl>();
                QWidget* view = withView ? new PageView(*control) : nullptr;
                return ControlAndView{std::move(control), view};
            });
        }
        frmPreview& window() { return *program.window; }
        PreviewControl& control() { return *program.control; }
        PreviewToolbar& tools() { return window().tools(); }
        PreviewCommands& commands() { return window().commands(); }
        void click(const char* id) { tools().tool(QString::fromLatin1(id))->trigger(); }
        QString pageBox() { return tools().pageBox()->text(); }
        void enterPage(const QString& text) {
            tools().pageBox()->setText(text);
            QTest::keyClick(tools().pageBox(), Qt::Key_Return);
        }
        // Answers the option dialog with this compression and the save dialog with `path`.
        QString exportPdf(const QString& name, int compress) {
            const QString path = QString::fromStdString(dir.file(name.toStdString()));
            commands().dialogs.askPdfOptions = [compress](QWidget*, CInpPDFOption& o) {
                o.IsCompress = compress;
                return true;
            };
            ui.fileAnswers.push_back(path);
            click(tool_ids::ExportPDF);
            return path;
        }
    };

  private slots:
    void toolTableInOrderWithExplicitTexts() {
        Fixture f;
        const QList<QAction*> actions = f.window().toolBar()->actions();
        const auto table = ToolTable();
        QCOMPARE(actions.size(), qsizetype(table.size()));
        for (std::size_t i = 0; i < table.size(); ++i) {
            QAction* a = actions[qsizetype(i)];
            if (table[i].kind == ToolKind::Separator) {
                QVERIFY(a->isSeparator());
                continue;
            }
            QCOMPARE(a->objectName(), QString::fromLatin1(table[i].id));
            QCOMPARE(a->text(), QString::fromUtf8(table[i].caption));
            QCOMPARE(a->iconText(), QString::fromUtf8(table[i].caption));
            QCOMPARE(a->toolTip(), QString::fromUtf8(table[i].tooltip));
            QCOMPARE(a->isCheckable(), table[i].kind == ToolKind::TwoState);
        }
        QCOMPARE(f.tools().tool(QStringLiteral("ID_Print"))->iconText(),
                 QStringLiteral("印刷(&P)..."));
        QCOMPARE(f.tools().tool(QStringLiteral("ID_About"))->toolTip(),
                 QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報..."));
        QCOMPARE(f.tools().zoomList()->count(), 10);
        QCOMPARE(f.tools().zoomList()->currentText(), QStringLiteral("100%"));
        QCOMPARE(f.tools().zoomList()->itemText(0), QStringLiteral("ﾍﾟｰｼﾞ全体"));
        QVERIFY(f.tools().tool(QStringLiteral("ID_TOC"))->isChecked());
        QVERIFY(f.tools().tool(QStringLiteral("ID_ExportWord"))->isEnabled());
        QCOMPARE(f.control().pageCount(), 3);
        QCOMPARE(f.pageBox(), QStringLiteral("1/3"));
        const auto& items = static_cast<PageControl&>(f.control()).document().pages[0].items;
        QVERIFY(std::any_of(items.begin(), items.end(), [](const PageItem& item) {
            return std::holds_alternative<Shape>(item);  // the figure's line
        }));
    }

    void zoomStepsStayWithinTheLimits_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("zoomIn");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QString>("entry");
        QTest::newRow("in at 150 stays") << 150 << true << 150 << QStringLiteral("150%");
        QTest::newRow("in from 125") << 125 << true << 150 << QStringLiteral("150%");
        QTest::newRow("out from 100") << 100 << false << 75 << QStringLiteral("75%");
        QTest::newRow("out at 25 stays") << 25 << false << 25 << QStringLiteral("25%");
    }
    void zoomStepsStayWithinTheLimits() {
        QFETCH(int, start);
        QFETCH(bool, zoomIn);
        QFETCH(int, zoom);
        QFETCH(QString, entry);
        Fixture f;
        f.control().setZoom(start);
        f.click(zoomIn ? tool_ids::ZoomIn : tool_ids::ZoomOut);
        QCOMPARE(f.control().zoom(), double(zoom));
        QCOMPARE(f.tools().zoomList()->currentText(), entry);
    }

    void zoomListChoosesModesAndFollowsTheView() {
        Fixture f;
        QComboBox* list = f.tools().zoomList();
        list->setCurrentIndex(1);
        emit list->activated(1);
        QCOMPARE(f.control().zoomMode(), ZoomMode::PageWidth);
        list->setCurrentIndex(8);
        emit list->activated(8);
        QCOMPARE(f.control().zoomMode(), ZoomMode::Percentage);
        QCOMPARE(f.control().zoom(), 50.0);
        // A zoom the control reports from elsewhere moves the list; one off the list leaves it.
        f.control().setZoom(125);
        QCOMPARE(list->currentText(), QStringLiteral("125%"));
        f.control().setZoom(110);
        QCOMPARE(list->currentText(), QStringLiteral("125%"));
    }

    void pagingStaysWithinTheDocument_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("action");  // a tool ID, or text typed into the page box
        QTest::addColumn<QString>("box");
        QTest::newRow("top") << 3 << "ID_Top"
                             << "1/3";
        QTest::newRow("back on the first") << 1 << "ID_Back"
                                           << "1/3";
        QTest::newRow("back") << 3 << "ID_Back"
                              << "2/3";
        QTest::newRow("forward on the last") << 3 << "ID_Forward"
                                             << "3/3";
        QTest::newRow("bottom") << 1 << "ID_Bottom"
                                << "3/3";
        QTest::newRow("indicator left in the box") << 1 << "2/3"
                                                   << "2/3";
        QTest::newRow("no number") << 3 << "abc"
                                   << "1/3";
        QTest::newRow("zero") << 2 << "0"
                              << "1/3";
        QTest::newRow("far beyond") << 1 << "99999"
                                    << "3/3";
        QTest::newRow("half to even") << 1 << " 2.5"
                                      << "2/3";
    }
    void pagingStaysWithinTheDocument() {
        QFETCH(int, start);
        QFETCH(QString, action);
        QFETCH(QString, box);
        Fixture f;
        f.control().setPreviewPage(start);
        if (action.startsWith(QLatin1String("ID_"))) {
            f.tools().tool(action)->trigger();
        } else {
            f.enterPage(action);
        }
        QCOMPARE(f.pageBox(), box);
        QCOMPARE(f.control().previewPage(), box.left(1).toInt());
    }

    // The box kept "1/3" when the view changed the page, and the next tool paged from there.
    void pageBoxFollowsPagingKeysAndThumbnailClicks() {
        Fixture f;
        f.start(f.prn, true);
        auto* view = qobject_cast<PageView*>(f.window().splitter()->widget(1));
        QVERIFY(view);
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(f.pageBox(), QStringLiteral("2/3"));
        f.control().setZoomMode(ZoomMode::Thumbnail);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->layout().placements.at(2).rect.center());
        QCOMPARE(f.pageBox(), QStringLiteral("3/3"));
        f.click(tool_ids::Back);
        QCOMPARE(f.pageBox(), QStringLiteral("2/3"));
    }

    void emptyDocumentShowsZeroOfZero() {
        Fixture f(false);
        f.click(tool_ids::Forward);
        QCOMPARE(f.pageBox(), QStringLiteral("0/0"));
        f.click(tool_ids::ExportPDF);  // nothing to export: a beep, no dialog
        QCOMPARE(f.ui.beeps, 1);
        QVERIFY(f.ui.dialogs.empty());
    }

    void outlineClicksJumpAndTheToolShowsThePane() {
        Fixture f;
        QTreeWidget* tree = f.window().outlineTree();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem* loads = tree->topLevelItem(0)->child(1);
        QCOMPARE(loads->text(0), QStringLiteral("1.2 荷重条件(0002)"));
        const auto clickNode = [&](QTreeWidgetItem* node) { emit tree->itemClicked(node, 0); };
        clickNode(loads);
        QCOMPARE(f.pageBox(), QStringLiteral("2/3"));
        clickNode(tree->topLevelItem(1)->child(0));
        QCOMPARE(f.pageBox(), QStringLiteral("3/3"));
        loads->setText(0, QStringLiteral("no suffix"));  // not a heading of the document
        clickNode(loads);
        QCOMPARE(f.pageBox(), QStringLiteral("3/3"));

        f.window().resize(1000, 600);
        QAction* toc = f.tools().tool(QStringLiteral("ID_TOC"));
        toc->trigger();  // released: hidden
        QVERIFY(tree->isHidden());
        QCOMPARE(f.window().splitter()->sizes().value(0), 0);
        toc->trigger();  // pressed: a fifth of the width
        QVERIFY(!tree->isHidden());
        QVERIFY(qAbs(f.window().splitter()->sizes().value(0) - 200) <= 10);
    }

    void documentWithoutHeadingsReleasesTheOutlineTool() {
        Fixture f;
        ScratchFolder::write(f.prn, "plain\r\n");
        f.click(tool_ids::Update);
        QCOMPARE(f.control().pageCount(), 1);
        QVERIFY(!f.tools().tool(QStringLiteral("ID_TOC"))->isChecked());
        QVERIFY(!f.window().outlineTree()->isHidden());
    }

    void pdfCarriesTheOutlineAndHonoursCompression() {
        Fixture f;
        const QString packed = f.exportPdf(QStringLiteral("packed.pdf"), 1);
        const QString plain = f.exportPdf(QStringLiteral("plain.pdf"), 0);
        QVERIFY(f.ui.messages.empty());
        QCOMPARE(f.ui.dialogs.back().title, QStringLiteral("PDF形式でｴｸｽﾎﾟｰﾄ..."));
        QCOMPARE(f.ui.dialogs.back().defaultSuffix, QStringLiteral("pdf"));
        QVERIFY(f.ui.dialogs.back().overwritePrompt);
        QVERIFY(f.window().isEnabled());
        for (const QString& path : {packed, plain}) {
            const PdfFacts facts = pdfFacts(path);
            QCOMPARE(facts.pages, 3);
            QCOMPARE(facts.width, 595);
            QCOMPARE(facts.height, 842);
            QCOMPARE(pdfOutline(path),
                     QStringList({"1:1. 設計条件@1", "2:1.1 土質条件@1", "2:1.2 荷重条件@2",
                                  "1:2. 計算結果@3", "2:2.1 断面力@3"}));
        }
        QVERIFY(hasFlate(packed));
        QVERIFY(!hasFlate(plain));
        const QString text = pdfText(packed);
        QCOMPARE(pdfText(plain), text);
        QVERIFY(text.contains(QStringLiteral("1. 設計条件")));
        QVERIFY(text.contains(QStringLiteral("荷重の説明")));
    }

    void landscapeSettingTakesEffectAtUpdate() {
        Fixture f;
        const CPrivateProfile profile;
        profile.SetValueString(f.dir.file("Preview.ini"), "Page", "Orientation", "Y");
        f.click(tool_ids::Update);
        const PdfFacts facts = pdfFacts(f.exportPdf(QStringLiteral("wide.pdf"), 1));
        QCOMPARE(facts.width, 842);
        QCOMPARE(facts.height, 595);
    }

    void cancelWritesNothing() {
        Fixture f;
        bool asked = false;
        f.commands().dialogs.askPdfOptions = [&](QWidget*, CInpPDFOption&) {
            asked = true;
            return false;
        };
        f.click(tool_ids::ExportPDF);
        QVERIFY(asked);
        QVERIFY(f.ui.dialogs.empty());  // no file dialog after a cancelled option dialog
        f.commands().dialogs.askPdfOptions = [](QWidget*, CInpPDFOption&) { return true; };
        f.ui.fileAnswers.push_back(std::nullopt);
        f.click(tool_ids::ExportPDF);
        f.ui.fileAnswers.push_back(std::nullopt);
        f.click(tool_ids::ExportVDF);
        QCOMPARE(f.ui.dialogs.size(), std::size_t(2));
        QVERIFY(std::filesystem::is_empty(f.dir.path() + "/") == false);
        for (const auto& e : std::filesystem::directory_iterator(f.dir.path())) {
            const std::string ext = e.path().extension().string();
            QVERIFY(ext != ".pdf" && ext != ".vdf");
        }
    }

    void optionDialogUntickedMakesLaterExportsUncompressed() {
        Fixture f;
        QTimer::singleShot(0, [] {
            auto* form = qobject_cast<frmInpPDFOption*>(QApplication::activeModalWidget());
            if (!form) return;
            QVERIFY(form->chkPDFComp->isChecked());
            form->chkPDFComp->setChecked(false);
            form->btnOk->click();
        });
        f.ui.fileAnswers.push_back(std::nullopt);  // the save dialog is cancelled
        f.click(tool_ids::ExportPDF);
        QCOMPARE(f.window().PDFOption.IsCompress, 0);
        QVERIFY(f.window().PDFOption.InpFlg);
        QCOMPARE(f.ui.dialogs.size(), std::size_t(1));
    }

    void vdfExportReopensWithTheSamePages() {
        Fixture f;
        const QString vdf = QString::fromStdString(f.dir.file("saved.vdf"));
        f.ui.fileAnswers.push_back(vdf);
        f.click(tool_ids::ExportVDF);
        QCOMPARE(f.ui.dialogs.back().title, QStringLiteral("VDF形式でｴｸｽﾎﾟｰﾄ..."));
        const QString before = pdfText(f.exportPdf(QStringLiteral("before.pdf"), 1));

        Fixture g;
        g.start(vdf.toStdString());
        QCOMPARE(g.control().pageCount(), 3);
        QVERIFY(!g.tools().tool(QStringLiteral("ID_ExportWord"))->isEnabled());
        QCOMPARE(pdfText(g.exportPdf(QStringLiteral("after.pdf"), 1)), before);
        QVERIFY(f.ui.messages.empty() && g.ui.messages.empty());
    }

    void updateAfterThePrintFileIsGoneKeepsThePages() {
        Fixture f;
        std::filesystem::remove(f.prn);
        f.click(tool_ids::Update);
        QCOMPARE(f.control().pageCount(), 3);
        QCOMPARE(f.window().outlineTree()->topLevelItemCount(), 2);
        QCOMPARE(f.ui.beeps, 1);
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QVERIFY(f.ui.messages[0].text.contains(QString::fromStdString(f.prn)));
    }

    void failedWritesKeepTheOldFileAndSaySo_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<bool>("targetIsFolder");  // else its parent is a regular file
        QTest::newRow("pdf under a file") << "ID_ExportPDF" << false;
        QTest::newRow("pdf over a folder") << "ID_ExportPDF" << true;
        QTest::newRow("vdf under a file") << "ID_ExportVDF" << false;
        QTest::newRow("vdf over a folder") << "ID_ExportVDF" << true;
    }
    void failedWritesKeepTheOldFileAndSaySo() {
        QFETCH(QString, tool);
        QFETCH(bool, targetIsFolder);
        Fixture f;
        std::string target;
        if (targetIsFolder) {
            target = f.dir.file("old.out");
            std::filesystem::create_directory(target);
            ScratchFolder::write(target + "/kept", "old");
        } else {
            ScratchFolder::write(f.dir.file("plain"), "old");
            target = f.dir.file("plain") + "/new.out";
        }
        f.commands().dialogs.askPdfOptions = [](QWidget*, CInpPDFOption&) { return true; };
        f.ui.fileAnswers.push_back(QString::fromStdString(target));
        f.tools().tool(tool)->trigger();
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QVERIFY(f.ui.messages[0].text.startsWith(QStringLiteral("ﾌｧｲﾙに書き込めませんでした。")));
        QVERIFY(f.ui.messages[0].text.contains(QString::fromStdString(target)));
        QVERIFY(f.window().isEnabled());
        if (targetIsFolder) {
            QCOMPARE(ScratchFolder::read(target + "/kept"), std::string("old"));
        } else {
            QCOMPARE(ScratchFolder::read(f.dir.file("plain")), std::string("old"));
        }
    }

    void failedPrintIsReported() {
        Fixture f(false);  // no pages: nothing can be printed
        static_cast<PageControl&>(f.control()).setPrintDialog([](QPrinter&) { return true; });
        f.click(tool_ids::Print);
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QVERIFY(f.ui.messages[0].text.startsWith(QStringLiteral("印刷できませんでした。")));
    }

    void modalToolsRunTheirDialogs() {
        Fixture f;
        int pageSetup = 0, about = 0, word = 0;
        f.commands().dialogs.pageSetup = [&] { ++pageSetup; };
        f.commands().dialogs.about = [&] { ++about; };
        f.commands().dialogs.askWordOptions = [&](QWidget*) { return word++ == 0; };
        f.commands().dialogs.wordExport = [&] {
            QVERIFY(!f.window().isEnabled());
            word += 10;
        };
        f.click(tool_ids::PageSetup);
        f.click(tool_ids::About);
        f.click(tool_ids::ExportWord);  // OK: exports
        f.click(tool_ids::ExportWord);  // cancelled: no export
        QCOMPARE(pageSetup, 1);
        QCOMPARE(about, 1);
        QCOMPARE(word, 12);
        QVERIFY(f.window().isEnabled());
        f.window().show();
        f.click(tool_ids::Close);
        QVERIFY(!f.window().isVisible());
    }
};

QTEST_MAIN(PreviewToolbarTest)
#include "PreviewToolbar_qtest.moc"
