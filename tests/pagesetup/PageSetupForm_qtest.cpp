// The page-setup dialog over a temporary Preview.ini: defaults, stored values, the bytes OK
// writes, Cancel, the enabling rules, the range checks, the font editor and a failed write.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "foundation/Cp932.h"
#include "foundation/PrivateProfile.h"
#include "foundation/ui/AppSetup.h"
#include "foundation/ui/NumberBox.h"
#include "pagesetup/PageSetupForm.h"
#include "tests/support/FakeUiServices.h"
#include "tests/support/WhenModalShown.h"

namespace {

struct Fixture {
    explicit Fixture(const QString& printer = QString()) : printer(printer) {
        path = dir.filePath(QStringLiteral("Preview.ini")).toStdString();
    }
    // Writes the INI text (UTF-8, "\n" line ends) as CP932 with CR LF.
    void store(const QString& text) {
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QString crlf = text;
        crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        const std::string bytes = cp932::fromUtf8(crlf.toStdString());
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QByteArray bytes() const {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The file as UTF-8 text with "\n" line ends, without the dialog's position section.
    QString settingsText() const {
        const QByteArray raw = bytes();
        QString text = QString::fromStdString(cp932::toUtf8(raw.toStdString()));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const qsizetype position = text.indexOf(QStringLiteral("[frmPageSetup]"));
        return position < 0 ? text : text.left(position);
    }
    std::unique_ptr<frmPageSetup> open() {
        auto form = std::make_unique<frmPageSetup>(ui, path, printer);
        form->show();
        QApplication::setActiveWindow(form.get());
        return form;
    }

    QTemporaryDir dir;
    std::string path;
    QString printer;
    FakeUiServices ui;
};

const char* const kFactoryFile =
    "[Printer]\nDevice=\n[StdFont]\nName=ＭＳ 明朝\nSize0=10.0\nSize1=8.0\nColor=0\n"
    "[Page]\nPaperSize=A4\nOrientation=T\nTop(mm)=25\nBottom(mm)=25\nLeft(mm)=25\nRight(mm)=25\n"
    "PageInit=1\n"
    "[Header]\nflg=1\nMargin(mm)=15\nflgL=1\nflgC=0\nflgR=1\nstrL=(日付)%d (時間)%t\nstrC=\n"
    "strR=(ﾌｧｲﾙ名)%f\nFontName=ＭＳ 明朝\nFontSize=8.0\nFontColor=0\nFontBold=0\nFontItalic=0\n"
    "FontUnderLine=0\n"
    "[Footer]\nflg=1\nMargin(mm)=15\nflgL=0\nflgC=1\nflgR=0\nstrL=\nstrC=- %p -\nstrR=\n"
    "FontName=Courier New\nFontSize=8.0\nFontColor=0\nFontBold=0\nFontItalic=0\n"
    "FontUnderLine=0\n";

// What OK writes into an empty file: every key, in order.
const char* const kDefaultsWritten =
    "[Page]\nPaperSize=A4\nOrientation=T\nTop(mm)=25\nBottom(mm)=25\nLeft(mm)=25\nRight(mm)=25\n"
    "PageInit=1\n"
    "[Header]\nflg=0\nMargin(mm)=15\nflgL=0\nflgC=0\nflgR=0\nstrL=（未定義）\nstrC=（未定義）\n"
    "strR=（未定義）\nFontName=ＭＳ 明朝\nFontSize=10.0\nFontBold=0\nFontItalic=0\n"
    "FontUnderLine=0\n"
    "[Footer]\nflg=0\nMargin(mm)=15\nflgL=0\nflgC=0\nflgR=0\nstrL=（未定義）\nstrC=（未定義）\n"
    "strR=（未定義）\nFontName=ＭＳ 明朝\nFontSize=10.0\nFontBold=0\nFontItalic=0\n"
    "FontUnderLine=0\n"
    "[StdFont]\nName=ＭＳ 明朝\nSize0=10.0\nSize1=8.0\n";

std::int32_t positionKey(const Fixture& f, const char* key) {
    return CPrivateProfile().GetValueLong(f.path, "frmPageSetup", key);
}

}  // namespace

class PageSetupFormTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void emptyFileOpensWithTheDefaultsAndOkWritesEveryKeyInOrder() {
        Fixture f;
        auto form = f.open();
        QCOMPARE(form->windowTitle(), QStringLiteral("ﾍﾟｰｼﾞ設定"));
        QCOMPARE(form->lblPrinter->text(), QStringLiteral("(未選択)"));
        QVERIFY(form->btnHelp->isVisible());
        QVERIFY(!form->btnHelp->isEnabled());
        QCOMPARE(form->TabStrip1->currentIndex(), 0);
        QCOMPARE(form->Pages->currentWidget(), form->fraYoushi);
        QCOMPARE(form->cboYSize->currentText(), QStringLiteral("A4"));
        QCOMPARE(form->cboYSize->count(), 5);
        QVERIFY(form->optMuki[0]->isChecked());
        QCOMPARE(form->PicMuki->currentIndex(), 0);
        for (NumberBox* box : form->numYohaku) QCOMPARE(box->value(), std::optional<double>(25));
        QCOMPARE(form->numPage->value(), std::optional<double>(1));
        QVERIFY(!form->chkHeader->isChecked());
        QVERIFY(!form->chkFooter->isChecked());
        QCOMPARE(form->numFooterMargin->value(), std::optional<double>(15));
        QCOMPARE(form->txtFooterC->text(), QStringLiteral("（未定義）"));
        QCOMPARE(form->cboHFont->currentText(), QStringLiteral("ＭＳ 明朝"));
        QCOMPARE(form->cboHHSize->currentText(), QStringLiteral("10.0"));
        QCOMPARE(form->cboHSSize->currentText(), QStringLiteral("8.0"));
        QCOMPARE(form->cboSize->count(), 16);
        QCOMPARE(form->cboSize->itemText(15), QStringLiteral("20.0"));
        QCOMPARE(form->cboFont->currentText(), QStringLiteral("ＭＳ 明朝"));
        QCOMPARE(form->cboSize->currentText(), QStringLiteral("10.0"));
        QCOMPARE(form->lstHeader->currentRow(), 0);
        // The header is off: its position, parts and texts are disabled.
        QVERIFY(!form->numHeaderMargin->isEnabled());
        QVERIFY(!form->chkHeaderL->isEnabled());
        QVERIFY(!form->txtHeaderR->isEnabled());
        for (int i = 0; i < form->cboFont->count(); ++i)
            QVERIFY(!form->cboFont->itemText(i).startsWith(u'@'));

        form->btnOk->click();
        QVERIFY(!form->isVisible());
        QCOMPARE(f.ui.messages.size(), std::size_t{0});
        QCOMPARE(f.settingsText(), QString::fromUtf8(kDefaultsWritten));
        QVERIFY(f.bytes().contains(QByteArray("[Page]\r\nPaperSize=A4\r\n")));
        QVERIFY(f.bytes().contains(cp932::fromUtf8("strL=（未定義）\r\n").c_str()));
        QVERIFY(positionKey(f, "Top") >= 0);
    }

    void storedValuesOpenAsStoredAndOkKeepsTheRestOfTheFile() {
        Fixture f(QStringLiteral("LaserWriter"));
        const QString longText = QString(70, u'長') + QStringLiteral("末尾");  // 144 bytes
        QString text = QString::fromUtf8(kFactoryFile);
        text.replace(QStringLiteral("PaperSize=A4"), QStringLiteral("PaperSize=User"));
        text.replace(QStringLiteral("Orientation=T"), QStringLiteral("Orientation=y"));
        text.replace(QStringLiteral("Top(mm)=25"), QStringLiteral("Top(mm)=0"));
        text.replace(QStringLiteral("Left(mm)=25"), QStringLiteral("Left(mm)=12.7"));
        text.replace(QStringLiteral("PageInit=1"), QStringLiteral("PageInit=-3"));
        text.replace(QStringLiteral("flgC=1"), QStringLiteral("flgC=2"));  // not exactly 1: off
        text.replace(QStringLiteral("strR=(ﾌｧｲﾙ名)%f"), QStringLiteral("strR=") + longText);
        text.replace(QStringLiteral("FontSize=8.0\nFontColor=0\nFontBold=0"),
                     QStringLiteral("FontSize=8.0\nFontColor=0\nFontBold=1"));
        text += QStringLiteral("[Preview]\nTop=100\n");
        f.store(text);
        auto form = f.open();
        QCOMPARE(form->lblPrinter->text(), QStringLiteral("LaserWriter"));
        QCOMPARE(form->cboYSize->currentText(), QStringLiteral("User"));
        QVERIFY(form->optMuki[0]->isChecked());
        QCOMPARE(form->numYohaku[0]->value(), std::optional<double>(0));
        QCOMPARE(form->numYohaku[2]->value(), std::optional<double>(12));
        QCOMPARE(form->numPage->value(), std::optional<double>(-3));
        QVERIFY(form->chkHeader->isChecked());
        QVERIFY(form->chkHeaderL->isChecked() && !form->chkHeaderC->isChecked());
        QVERIFY(form->txtHeaderL->isEnabled() && !form->txtHeaderC->isEnabled());
        QCOMPARE(form->txtHeaderC->text(), QStringLiteral("（未定義）"));
        QVERIFY(!form->chkFooterC->isChecked());
        QVERIFY(!form->txtFooterC->isEnabled());
        QVERIFY(form->numFooterMargin->isEnabled());
        // A stored text longer than the typing limit opens cut to 127 bytes only.
        QCOMPARE(form->txtHeaderR->text(), QString(63, u'長'));
        QVERIFY(form->chkE[0]->isChecked());
        QCOMPARE(form->cboSize->currentText(), QStringLiteral("8.0"));
        QCOMPARE(form->fontSlot(2).FontName, std::string("Courier New"));

        form->btnOk->click();
        const QString written = f.settingsText();
        QVERIFY(
            written.startsWith(QStringLiteral("[Printer]\nDevice=\n[StdFont]\nName=ＭＳ 明朝\n"
                                              "Size0=10.0\nSize1=8.0\nColor=0\n[Page]\n"
                                              "Orientation=T\nTop(mm)=0\n")));
        QVERIFY(!written.contains(QStringLiteral("PaperSize")));
        QVERIFY(written.contains(QStringLiteral("Left(mm)=12\nRight(mm)=25\nPageInit=-3\n")));
        QVERIFY(written.contains(QStringLiteral("strC=（未定義）\nstrR=") + QString(63, u'長') +
                                 QStringLiteral("\n")));
        QVERIFY(written.contains(QStringLiteral("flgC=0\n")));
        QVERIFY(written.contains(QStringLiteral("FontColor=0\nFontBold=1\n")));
        QVERIFY(written.contains(QStringLiteral("[Preview]\nTop=100\n")));
        QVERIFY(written.contains(QStringLiteral("FontName=Courier New\n")));
    }

    void cancelAndTheCloseBoxWriteOnlyThePosition() {
        Fixture f;
        f.store(QString::fromUtf8(kFactoryFile));
        const QByteArray before = f.bytes();
        auto cancelled = f.open();
        cancelled->cboYSize->setCurrentText(QStringLiteral("B5"));
        cancelled->numYohaku[3]->setValue(5);
        cancelled->btnCancel->click();
        QVERIFY(!cancelled->isVisible());
        QVERIFY(f.bytes().startsWith(before));
        QVERIFY(f.bytes().mid(before.size()).startsWith("[frmPageSetup]\r\nTop="));
        auto closed = f.open();
        closed->chkHeader->click();
        QVERIFY(closed->close());
        QVERIFY(f.bytes().startsWith(before));
    }

    void enablingRulesFollowTheClicks() {
        Fixture f;
        auto form = f.open();
        form->chkFooter->click();
        QVERIFY(form->numFooterMargin->isEnabled());
        QVERIFY(form->chkFooterC->isEnabled());
        QVERIFY(!form->txtFooterC->isEnabled());
        form->chkFooterC->click();
        QVERIFY(form->txtFooterC->isEnabled());
        QVERIFY(!form->txtFooterL->isEnabled());
        form->chkFooter->click();
        QVERIFY(!form->txtFooterC->isEnabled() && !form->chkFooterC->isEnabled());
        QVERIFY(form->chkFooterC->isChecked());  // disabled controls keep their values
        form->optMuki[1]->click();
        QCOMPARE(form->PicMuki->currentIndex(), 1);
        form->TabStrip1->setCurrentIndex(2);
        QCOMPARE(form->Pages->currentWidget(), form->fraFont);
        form->btnOk->click();
        QVERIFY(f.settingsText().contains(QStringLiteral("Orientation=Y\n")));
        QVERIFY(f.settingsText().contains(
            QStringLiteral("[Footer]\nflg=0\nMargin(mm)=15\nflgL=0\nflgC=1\n")));
    }

    void outOfRangeValuesKeepTheDialogOpen_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("page");
        QTest::newRow("margin 100") << "numYohaku2" << 100.0 << "入力範囲：0 ～ 99"
                                    << "左端(mm)" << 0;
        QTest::newRow("margin -1") << "numYohaku0" << -1.0 << "入力範囲：0 ～ 99"
                                   << "上端(mm)" << 0;
        QTest::newRow("position 1000") << "numFooterMargin" << 1000.0 << "入力範囲：0 ～ 999"
                                       << "位置(mm)" << 1;
        QTest::newRow("first page -10000") << "numPage" << -10000.0 << "入力範囲：-9999 ～ 9999"
                                           << "ページNo初期値" << 1;
    }
    void outOfRangeValuesKeepTheDialogOpen() {
        QFETCH(QString, box);
        QFETCH(double, value);
        Fixture f;
        auto form = f.open();
        form->chkFooter->click();
        form->TabStrip1->setCurrentIndex(2);
        auto* number = form->findChild<NumberBox*>(box);
        QVERIFY(number);
        number->setValue(value);
        form->btnOk->click();
        QVERIFY(form->isVisible());
        QCOMPARE(f.ui.beeps, 1);
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QTEST(f.ui.messages[0].text, "message");
        QTEST(f.ui.messages[0].title, "title");
        QTEST(form->TabStrip1->currentIndex(), "page");
        QVERIFY(!QFile::exists(QString::fromStdString(f.path)));
        number->setValue(number->maximum());  // a limit itself passes
        form->btnOk->click();
        QVERIFY(!form->isVisible());
    }

    // A digit beyond the edit pattern was dropped silently (100 became 10, -10000 -1000).
    void leavingABoxOutOfRangeKeepsTheFocus_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("margin -5") << "numYohaku1" << 0 << "-5" << "入力範囲：0 ～ 99";
        QTest::newRow("margin 100") << "numYohaku1" << 0 << "100" << "入力範囲：0 ～ 99";
        QTest::newRow("position 1000") << "numHeaderMargin" << 1 << "1000" << "入力範囲：0 ～ 999";
        QTest::newRow("first page -10000") << "numPage" << 1 << "-10000"
                                           << "入力範囲：-9999 ～ 9999";
    }
    void leavingABoxOutOfRangeKeepsTheFocus() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        Fixture f;
        auto form = f.open();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        if (!form->chkHeader->isChecked()) form->chkHeader->click();
        QFETCH(int, page);
        form->TabStrip1->setCurrentIndex(page);
        auto* number = form->findChild<NumberBox*>(box);
        number->setFocus();
        number->selectAll();
        QTest::keyClicks(number, typed);
        QCOMPARE(number->text(), typed);
        QTest::keyClick(number, Qt::Key_Tab);
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QTEST(f.ui.messages[0].text, "message");
        QVERIFY(number->hasFocus());
    }

    void fontEditorSwitchesBetweenTheTwoSlots() {
        Fixture f;
        auto form = f.open();
        form->cboFont->setCurrentText(QStringLiteral("DejaVu Sans"));
        form->chkE[1]->click();
        form->lstHeader->setCurrentRow(1);
        QCOMPARE(form->PrevListIndex(), 1);
        QCOMPARE(form->fontSlot(1).FontName, std::string("DejaVu Sans"));
        QVERIFY(form->fontSlot(1).FontItalic);
        QCOMPARE(form->cboFont->currentText(), QStringLiteral("ＭＳ 明朝"));
        QVERIFY(!form->chkE[1]->isChecked());
        form->cboSize->setCurrentText(QStringLiteral("12.5"));
        form->chkE[2]->click();
        form->lstHeader->setCurrentRow(0);
        QCOMPARE(form->cboFont->currentText(), QStringLiteral("DejaVu Sans"));
        form->lstHeader->setCurrentRow(1);
        QCOMPARE(form->cboSize->currentText(), QStringLiteral("12.5"));
        form->cboFont->setCurrentText(QStringLiteral("No Such Font"));
        form->btnOk->click();  // OK with "フッタ" selected stores the editor into slot 2
        const QString written = f.settingsText();
        QVERIFY(written.contains(QStringLiteral("[Header]\nflg=0\n")));
        QVERIFY(written.contains(QStringLiteral(
            "FontName=DejaVu Sans\nFontSize=10.0\nFontBold=0\nFontItalic=1\nFontUnderLine=0\n")));
        QVERIFY(written.contains(QStringLiteral(
            "FontName=No Such Font\nFontSize=12.5\nFontBold=0\nFontItalic=0\nFontUnderLine=1\n")));
    }

    // Foundry names ("C059 [urw]") were offered and then named in the Word document.
    void fontListsNameEachFamilyOnceWithoutItsFoundry() {
        QCOMPARE(ScreenFontNames({"C059 [urw]", "C059 [UKWN]", "D050000L [URW ]", "@MS Gothic",
                                  "", "IPAMincho"}),
                 QStringList({"C059", "D050000L", "IPAMincho"}));
        Fixture f;
        auto form = f.open();
        QStringList listed;
        for (int i = 0; i < form->cboHFont->count(); ++i) listed << form->cboHFont->itemText(i);
        QCOMPARE(listed.filter(QRegularExpression("\\[")), QStringList());
    }

    void sampleShowsJapaneseTextForAJapaneseFont() {
        Fixture f;
        auto form = f.open();
        QCOMPARE(form->lblSample->text(), QStringLiteral("Aaあぁアァ亜宇"));
        const int index = form->cboFont->findText(QStringLiteral("DejaVu Sans"));
        QVERIFY(index >= 0);
        form->cboFont->setCurrentIndex(index);
        emit form->cboFont->activated(index);
        QCOMPARE(form->lblSample->text(), QStringLiteral("AaBbYyZz"));
        const QRect box = form->lblSample->geometry();
        QCOMPARE(box.left(), std::max(0, (form->picPreview->width() - box.width()) / 2));
        // A size of 0 or one typed without a number leaves the sample as it was.
        form->cboSize->setCurrentText(QStringLiteral("abc"));
        form->cboFont->setCurrentText(QStringLiteral("IPAMincho"));
        form->chkE[0]->click();
        QCOMPARE(form->lblSample->text(), QStringLiteral("AaBbYyZz"));
        QVERIFY(!form->lblSample->font().bold());
    }

    void typingStopsAtFortyCharactersButStoredTextsStay() {
        Fixture f;
        auto form = f.open();
        form->chkHeader->click();
        form->chkHeaderL->click();
        form->txtHeaderL->clear();
        QTest::keyClicks(form->txtHeaderL, QString(45, u'x'));
        QCOMPARE(form->txtHeaderL->text(), QString(40, u'x'));
        form->chkHeaderR->click();
        form->txtHeaderR->clear();
        // As pasted; é and 丂 have no CP932 form.
        form->txtHeaderR->insert(QStringLiteral("a\u00e9b\u4e02c"));
        QCOMPARE(form->txtHeaderR->text(), QStringLiteral("abc"));
        form->txtHeaderC->setText(QString(50, u'y'));
        QCOMPARE(form->txtHeaderC->text().size(), 50);
    }

    void positionBeyondTheScreenIsCentred_data() {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::newRow("missing") << 0 << 0;
        QTest::newRow("negative") << -500 << -1;
        QTest::newRow("beyond the screen") << 900000 << 900000;
    }
    void positionBeyondTheScreenIsCentred() {
        QFETCH(int, top);
        QFETCH(int, left);
        Fixture f;
        f.store(QStringLiteral("[frmPageSetup]\nTop=%1\nLeft=%2\n").arg(top).arg(left));
        auto form = f.open();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect contents = form->geometry();
        QVERIFY(qAbs(contents.top() - std::max(0, (screen.height() - contents.height()) / 2)) <= 1);
        QVERIFY(qAbs(contents.left() - std::max(0, (screen.width() - contents.width()) / 2)) <= 1);
        form->setGeometry(QRect(QPoint(30, 45), contents.size()));
        form->btnCancel->click();
        QCOMPARE(positionKey(f, "Top"), 45 * 1440 / form->logicalDpiY());
        auto again = f.open();
        QCOMPARE(again->geometry().topLeft(), QPoint(30, 45));
    }

    void thePreviewOpensItWithItsHelpFileAndTopic() {
        Fixture f;
        bool seen = false;
        WhenModalShown<frmPageSetup>([&seen](frmPageSetup& form) {
            QCOMPARE(form.UsrHelpContextID, 3020);
            QVERIFY(form.btnHelp->isEnabled());
            QCOMPARE(form.lblPrinter->text(), QStringLiteral("PDF"));
            seen = true;
            form.btnCancel->click();
        });
        ShowPageSetupDialog(nullptr, f.ui, f.path, QStringLiteral("PDF"),
                            QStringLiteral("Preview.chm"));
        QVERIFY(seen);
    }

    void aFailedWriteIsReportedAndTheDialogCloses() {
        Fixture f;
        // A dangling link cannot be replaced.
        QVERIFY(QFile::link(f.dir.filePath(QStringLiteral("missing/Preview.ini")),
                            QString::fromStdString(f.path)));
        auto form = f.open();
        form->btnOk->click();
        QVERIFY(!form->isVisible());
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QVERIFY(f.ui.messages[0].text.startsWith(
            QStringLiteral("ﾍﾟｰｼﾞ設定を保存することができませんでした。")));
        QVERIFY(f.ui.messages[0].text.contains(QString::fromStdString(f.path)));
        QCOMPARE(f.ui.messages[0].icon, UiServices::Icon::Warning);
    }
};

QTEST_MAIN(PageSetupFormTest)
#include "PageSetupForm_qtest.moc"
