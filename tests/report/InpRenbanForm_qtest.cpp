// The numbering-style form with the main window's two handlers: the Chapter section read and
// written in order, the two samples, the tab pages, the range checks and Cancel.

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include "foundation/PrivateProfile.h"
#include "foundation/ui/NumberBox.h"
#include "report/ui/InpRenbanForm.h"
#include "tests/support/FakeUiServices.h"

namespace {

struct Fixture {
    QTemporaryDir dir;
    FakeUiServices ui;
    std::string ini = dir.filePath(QStringLiteral("Mibrox.ini")).toStdString();

    std::unique_ptr<frmInpRenban> open() {
        auto form = CreateNumberingForm(ini, ui, nullptr);
        form->show();
        QApplication::setActiveWindow(form.get());
        return form;
    }
    void set(const char* key, const char* value) const {
        CPrivateProfile().SetValueString(ini, "Chapter", key, value);
    }
    std::string get(const char* key) const {
        return CPrivateProfile().GetValueString(ini, "Chapter", key);
    }
    QByteArray file() const {
        QFile f(QString::fromStdString(ini));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QString shown(const QString& sample) {
    QString s = sample;
    return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

class InpRenbanFormTest : public QObject {
    Q_OBJECT

  private slots:
    void firstUseShowsZerosAndOkWritesTheSectionInOrder() {
        Fixture f;
        auto form = f.open();
        QCOMPARE(form->windowTitle(), QStringLiteral("連番条件設定"));
        QVERIFY(!form->cmdHelp->isEnabled());
        QVERIFY(form->optMethod[0]->isChecked());  // a missing Method reads 0: "なし"
        QCOMPARE(form->numInit->value(), std::optional<double>(0));
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(form->cboStyle[k]->currentIndex(), -1);
            QCOMPARE(form->cboStyle[k]->count(), 9);
            QCOMPARE(form->numMargin[k]->value(), std::optional<double>(0));
        }
        QCOMPARE(form->cboStyle[0]->itemText(7), QStringLiteral("①,②,③,...⑳"));
        QCOMPARE(form->TabStrip1->currentIndex(), 0);
        QCOMPARE(form->txtMethod->toPlainText(), shown(MethodSampleText(0)));
        form->cmdOK->click();
        QVERIFY(!form->isVisible());
        const QByteArray expected =
            "[Chapter]\r\nMethod=0\r\nInit=0\r\nStyle1=0\r\nStyle2=0\r\nStyle3=0\r\nStyle4=0\r\n"
            "Margin1=0\r\nMargin2=0\r\nMargin3=0\r\nMargin4=0\r\n";
        QVERIFY2(f.file().startsWith(expected), f.file().constData());
        QVERIFY(f.file().contains("[InpRenban]\r\nTop="));
    }

    void storedSectionFillsTheControlsAndRoundTrips() {
        Fixture f;
        for (const auto& [key, value] : {std::pair{"Method", "2"},
                                         {"Init", "5"},
                                         {"Style1", "1"},
                                         {"Style2", "9"},
                                         {"Style3", "12"},
                                         {"Style4", "0"},
                                         {"Margin1", "0"},
                                         {"Margin2", "2"},
                                         {"Margin3", "4"},
                                         {"Margin4", "2147483647"}}) {
            f.set(key, value);
        }
        auto form = f.open();
        QVERIFY(form->optMethod[2]->isChecked());
        QCOMPARE(form->numInit->value(), std::optional<double>(5));
        QCOMPARE(form->cboStyle[0]->currentIndex(), 0);
        QCOMPARE(form->cboStyle[1]->currentIndex(), 8);
        QCOMPARE(form->cboStyle[2]->currentIndex(), -1);
        QCOMPARE(form->cboStyle[3]->currentIndex(), -1);
        // A hand-edited indent is clamped to the form's range when read.
        QCOMPARE(form->numMargin[3]->value(), std::optional<double>(10));
        form->cmdOK->click();
        QCOMPARE(f.get("Method"), "2");
        QCOMPARE(f.get("Style3"), "0");
        QCOMPARE(f.get("Margin4"), "10");
        QCOMPARE(f.get("Init"), "5");
    }

    void methodOutsideTheOptionsShowsNoneAndSavesEmpty() {
        Fixture f;
        f.set("Method", "7");
        auto form = f.open();
        for (QRadioButton* option : form->optMethod) QVERIFY(!option->isChecked());
        QCOMPARE(form->txtMethod->toPlainText(), shown(MethodSampleText(0)));
        form->cmdOK->click();
        QCOMPARE(f.get("Method"), "");
        QCOMPARE(CPrivateProfile().GetValueLong(f.ini, "Chapter", "Method"), 0);
    }

    void samplesFollowTheMethodAndTheIndents_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("sample");
        const QString none =
            QStringLiteral("○○○\r\n  ○○○\r\n    ○○○\r\n        ○○○\r\n\r\n○○○\r\n  ○○○\r\n");
        QTest::newRow("none") << 0 << none;
        QTest::newRow("own numbers") << 1
                                     << QStringLiteral(
                                            "(章)○○○\r\n  (節)○○○\r\n    (項)○○○\r\n        "
                                            "(No)○○○\r\n\r\n(章)○○○\r\n  (節)○○○\r\n");
        QTest::newRow("hyphen") << 2
                                << QStringLiteral(
                                       "(章)○○○\r\n  (章)-(節)○○○\r\n    "
                                       "(章)-(節)-(項)○○○\r\n        (No)○○○\r\n\r\n"
                                       "(章)○○○\r\n  (章)-(節)○○○\r\n");
        QTest::newRow("point") << 3
                               << QStringLiteral(
                                      "(章)○○○\r\n  (章).(節)○○○\r\n    "
                                      "(章).(節).(項)○○○\r\n        (No)○○○\r\n\r\n"
                                      "(章)○○○\r\n  (章).(節)○○○\r\n");
        QTest::newRow("out of range") << 9 << none;
    }
    void samplesFollowTheMethodAndTheIndents() {
        QFETCH(int, method);
        QFETCH(QString, sample);
        QCOMPARE(MethodSampleText(method), sample);
        if (method < 0 || method > 3) return;
        Fixture f;
        auto form = f.open();
        form->optMethod[method]->click();
        QCOMPARE(form->txtMethod->toPlainText(), shown(sample));
        // The indent sample picks the method up when its tab is shown.
        for (int k = 0; k < 4; ++k) form->numMargin[k]->setValue(k == 3 ? 8 : 2 * k);
        form->TabStrip1->setCurrentIndex(2);
        QCOMPARE(form->txtMargin->toPlainText(), shown(sample));
    }

    void indentSampleOfMethodTwoAndItsBounds() {
        QCOMPARE(MarginSampleText(2, {0, 2, 4, 6}),
                 QStringLiteral("(章)○○○\r\n  (章)-(節)○○○\r\n    (章)-(節)-(項)○○○\r\n      "
                                "(No)○○○\r\n\r\n(章)○○○\r\n  (章)-(節)○○○\r\n"));
        // Negative counts give no blanks; a typed giant is bounded by the indent limit.
        const QString bounded = MarginSampleText(0, {-3, 2e9, 0, 0});
        QVERIFY(bounded.startsWith(QStringLiteral("○○○\r\n") + QString(10, u' ') +
                                   QStringLiteral("○○○\r\n")));
        Fixture f;
        auto form = f.open();
        form->optMethod[2]->click();
        form->numMargin[1]->setValue(3);
        QCOMPARE(form->txtMargin->toPlainText().split(u'\n').at(1),
                 QStringLiteral("   (章)-(節)○○○"));
    }

    void onlyTheShownFrameTakesInput() {
        Fixture f;
        auto form = f.open();
        QVERIFY(form->Frame1->isEnabled() && !form->Frame2->isEnabled() &&
                !form->Frame3->isEnabled());
        form->TabStrip1->setCurrentIndex(1);
        QVERIFY(!form->Frame1->isEnabled() && form->Frame2->isEnabled() &&
                !form->Frame3->isEnabled());
        QCOMPARE(form->Pages->currentWidget(), form->Frame2);
    }

    void leavingAnOutOfRangeBoxReportsItsRange_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("box");        // -1 numInit, else the indent box
        QTest::addColumn<QString>("typed");  // the value in the box when it is left
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("indent 3 of 11") << 2 << 2 << "11"
                                        << "入力範囲：0 ～ 10"
                                        << "（項）レベルに対して";
        // The third digit of 100 was dropped silently by the edit pattern "#0".
        QTest::newRow("start value 100") << 0 << -1 << "100"
                                          << "入力範囲：0 ～ 99"
                                         << "（章）に対する初期値";
    }
    void leavingAnOutOfRangeBoxReportsItsRange() {
        QFETCH(int, tab);
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, title);
        Fixture f;
        auto form = f.open();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->TabStrip1->setCurrentIndex(tab);
        NumberBox* number = box < 0 ? form->numInit : form->numMargin[box];
        number->setFocus();
        number->selectAll();
        QTest::keyClicks(number, typed);
        QTest::keyClick(number, Qt::Key_Tab);
        QCOMPARE(f.ui.beeps, 1);
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.messages[0].text, text);
        QCOMPARE(f.ui.messages[0].title, title);
        QCOMPARE(f.ui.messages[0].icon, UiServices::Icon::Information);
        QVERIFY(number->hasFocus());
    }

    void valueLeftOnAHiddenTabIsCaughtByOk() {
        Fixture f;
        auto form = f.open();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->TabStrip1->setCurrentIndex(2);
        form->numMargin[2]->setFocus();
        form->numMargin[2]->selectAll();
        QTest::keyClicks(form->numMargin[2], QStringLiteral("11"));
        // A click on another tab runs no leave check.
        QTest::mouseClick(form->TabStrip1, Qt::LeftButton, {},
                          form->TabStrip1->tabRect(0).center());
        QCOMPARE(form->TabStrip1->currentIndex(), 0);
        QVERIFY(!form->Frame3->isEnabled());
        QVERIFY(f.ui.messages.empty());
        form->cmdOK->click();
        QVERIFY(form->isVisible());
        QCOMPARE(form->TabStrip1->currentIndex(), 2);
        QVERIFY(form->Frame3->isEnabled());
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("（項）レベルに対して"));
        QVERIFY(form->numMargin[2]->hasFocus());
        QVERIFY(!f.file().contains("[Chapter]"));
    }

    void failedWriteIsReportedAndKeepsTheFormOpen() {
        Fixture f;
        QVERIFY(QDir().mkdir(QString::fromStdString(f.ini)));  // a folder cannot be replaced
        auto form = f.open();
        form->cmdOK->click();
        QVERIFY(form->isVisible());
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("設定ﾌｧｲﾙに書き込めませんでした。\n") +
                                            QString::fromStdString(f.ini));
        QCOMPARE(f.ui.messages[0].icon, UiServices::Icon::Critical);
        form->cmdCancel->click();
    }

    void cancelWritesNothing() {
        Fixture f;
        f.set("Method", "1");
        auto form = f.open();
        form->optMethod[3]->click();
        form->numMargin[0]->setValue(9);
        form->cboStyle[0]->setCurrentIndex(4);
        const QByteArray before = f.file();
        form->cmdCancel->click();
        QVERIFY(!form->isVisible());
        QVERIFY(f.file().startsWith(before));
        QCOMPARE(f.get("Method"), "1");
        QVERIFY(!f.file().contains("Margin1"));
    }
};

QTEST_MAIN(InpRenbanFormTest)
#include "InpRenbanForm_qtest.moc"
