// The number box (leave check, patterns, typed text) and the CP932 byte-limited text box.

#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

#include "foundation/ui/ByteLimitedLineEdit.h"
#include "foundation/ui/NumberBox.h"
#include "tests/support/FakeUiServices.h"

namespace {

// A window with a pitch-like box, a second box and a button that skips the leave check.
struct Window {
    explicit Window(FakeUiServices& ui) : first(new NumberBox(ui)), second(new NumberBox(ui)) {
        auto* layout = new QVBoxLayout(&widget);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(cancel);
        cancel->setProperty("causesValidation", false);
        first->setCaptionText(QStringLiteral("断面力算出点間隔ΔＬ(m)"));
        first->setLimits(0.1, 1.0);
        first->setDisplayPattern(QStringLiteral("0.0"));
        first->setEditPattern(QStringLiteral("0.0"));
        first->setValue(0.5);
        second->setLimits(0, 99);
        second->setValue(500);
        widget.show();
        QApplication::setActiveWindow(&widget);
        first->setFocus(Qt::OtherFocusReason);
    }
    void type(const QString& text) {
        first->selectAll();
        first->del();
        QTest::keyClicks(first, text);
    }

    QWidget widget;
    NumberBox* first;
    NumberBox* second;
    QPushButton* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
};

}  // namespace

class NumberBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void leavingOutOfRangeBeepsShowsLimitsAndKeepsFocus() {
        FakeUiServices ui;
        Window w(ui);
        QVERIFY(QTest::qWaitForWindowActive(&w.widget));
        QVERIFY(w.first->hasFocus());
        w.type(QStringLiteral("0.0"));
        QTest::keyClick(w.first, Qt::Key_Tab);
        QCOMPARE(ui.beeps, 1);
        QCOMPARE(ui.messages.size(), std::size_t{1});
        QCOMPARE(ui.messages[0].text, QStringLiteral("入力範囲：0.1 ～ 1.0"));
        QCOMPARE(ui.messages[0].title, QStringLiteral("断面力算出点間隔ΔＬ(m)"));
        QCOMPARE(ui.messages[0].buttons, UiServices::Buttons::Ok);
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);
        QVERIFY(w.first->hasFocus());
        QCOMPARE(w.first->value(), std::optional<double>(0.0));
        QCOMPARE(w.first->text(), QStringLiteral("0.0"));
        // The second box, which got the focus for a moment, reports nothing.
        QTest::keyClick(w.first, Qt::Key_Tab);
        QCOMPARE(ui.messages.size(), std::size_t{2});
    }

    void limitsAndEmptyPassSilently() {
        FakeUiServices ui;
        Window w(ui);
        QVERIFY(QTest::qWaitForWindowActive(&w.widget));
        for (const QString& text : {QStringLiteral("0.1"), QStringLiteral("1.0"), QString()}) {
            w.first->setFocus(Qt::OtherFocusReason);
            w.type(text);
            QTest::keyClick(w.first, Qt::Key_Tab);
            QVERIFY2(w.second->hasFocus(), qPrintable(text));
        }
        QCOMPARE(w.first->value(), std::nullopt);
        QCOMPARE(ui.beeps, 0);
        QVERIFY(ui.messages.empty());
    }

    void uncheckedBoxAndCancelTargetDoNotCheck() {
        FakeUiServices ui;
        Window w(ui);
        QVERIFY(QTest::qWaitForWindowActive(&w.widget));
        w.type(QStringLiteral("5"));
        w.cancel->setFocus(Qt::MouseFocusReason);
        QVERIFY(ui.messages.empty());
        w.first->setRangeCheckEnabled(false);
        w.first->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(w.first, Qt::Key_Tab);
        QVERIFY(ui.messages.empty());
        QVERIFY(w.first->validateNow());
        w.first->setRangeCheckEnabled(true);
        QVERIFY(!w.first->validateNow());
        QVERIFY(w.first->hasFocus());
        QCOMPARE(ui.beeps, 1);
    }

    void showsDisplayPatternUnfocusedAndEditPatternWhileEditing() {
        FakeUiServices ui;
        NumberBox box(ui);
        box.setDisplayPattern(QStringLiteral("###,##0"));
        box.setEditPattern(QStringLiteral("#####0"));
        box.setValue(200000);
        QCOMPARE(box.text(), QStringLiteral("200,000"));
        box.setValue(std::nullopt);
        QCOMPARE(box.text(), QString());
        // Assigned by code, a value outside the limits is kept.
        box.setLimits(10000, 999999);
        box.setValue(5);
        QCOMPARE(box.value(), std::optional<double>(5));
        QVERIFY(box.isOutOfRange());
        QCOMPARE(box.rangeMessage(), QStringLiteral("入力範囲：10,000 ～ 999,999"));

        QWidget window;
        auto* edit = new NumberBox(ui, &window);
        new QVBoxLayout(&window);
        window.layout()->addWidget(edit);
        window.layout()->addWidget(new QPushButton);
        edit->setDisplayPattern(QStringLiteral("###,##0"));
        edit->setEditPattern(QStringLiteral("#####0"));
        edit->setValue(200000);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus(Qt::TabFocusReason);
        QCOMPARE(edit->text(), QStringLiteral("200000"));
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(edit->text(), QStringLiteral("200,000"));
    }

    void refusesKeystrokesThatCannotFormANumber() {
        FakeUiServices ui;
        NumberBox box(ui);
        QTest::keyClicks(&box, QStringLiteral("-1a2.x5.6e"));
        QCOMPARE(box.text(), QStringLiteral("-12.56"));
        QCOMPARE(box.value(), std::optional<double>(-12.56));
    }

    // Typing follows the edit pattern: 0.55 in a "0.0" box used to show 0.6 while 0.55 was
    // stored and used.
    void typedValueIsWhatTheBoxShows_data() {
        QTest::addColumn<QString>("editPattern");
        QTest::addColumn<QString>("displayPattern");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("pitch 0.0") << "0.0"
                                   << "0.0"
                                   << "0.55"
                                   << "0.5" << 0.5 << "0.5";
        QTest::newRow("pitch integer digits") << "0.0"
                                              << "0.0"
                                              << "12.3"
                                              << "1.3" << 1.3 << "1.3";
        QTest::newRow("elevation ##0.000") << "##0.000"
                                           << "+##0.000; -##0.000"
                                           << "1.23456"
                                           << "1.234" << 1.234 << "+1.234";
        QTest::newRow("negative elevation") << "##0.000"
                                            << "+##0.000; -##0.000"
                                            << "-1234.5"
                                            << "-123.5" << -123.5 << " -123.500";
        QTest::newRow("whole number #####0") << "#####0"
                                             << "###,##0"
                                             << "1234567.5"
                                             << "123456" << 123456.0 << "123,456";
    }
    void typedValueIsWhatTheBoxShows() {
        QFETCH(QString, editPattern);
        QFETCH(QString, displayPattern);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(QString, shown);
        FakeUiServices ui;
        QWidget window;
        auto* box = new NumberBox(ui, &window);
        new QVBoxLayout(&window);
        window.layout()->addWidget(box);
        window.layout()->addWidget(new QPushButton);
        box->setEditPattern(editPattern);
        box->setDisplayPattern(displayPattern);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->value(), std::optional<double>(value));
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->text(), shown);
        QCOMPARE(box->value(), std::optional<double>(value));
    }

    void valueSetByCodeKeepsItsPrecision() {
        FakeUiServices ui;
        NumberBox box(ui);
        box.setEditPattern(QStringLiteral("##0.000"));
        box.setDisplayPattern(QStringLiteral("+##0.000; -##0.000"));
        box.setValue(1.23456);
        QCOMPARE(box.text(), QStringLiteral("+1.235"));
        QCOMPARE(box.value(), std::optional<double>(1.23456));
    }

    void parsesTypedTextLocaleIndependently_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hasValue");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "2.5" << true << 2.5;
        QTest::newRow("blanks and sign") << "  -10.350 " << true << -10.35;
        QTest::newRow("plus") << "+3" << true << 3.0;
        QTest::newRow("grouping") << "1,234,567" << true << 1234567.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("point only") << "." << false << 0.0;
        QTest::newRow("exponent") << "1e5" << false << 0.0;
    }
    void parsesTypedTextLocaleIndependently() {
        QFETCH(QString, text);
        QFETCH(bool, hasValue);
        QFETCH(double, value);
        const std::optional<double> parsed = ParseNumberBoxText(text);
        QCOMPARE(parsed.has_value(), hasValue);
        if (hasValue) QCOMPARE(*parsed, value);
    }

    void byteLimitCountsDoubleByteCharactersTwice() {
        ByteLimitedLineEdit box;
        box.setByteLimit(6);
        box.insert(QStringLiteral("あいうえ"));
        QCOMPARE(box.text(), QStringLiteral("あいう"));
        box.clear();
        QTest::keyClicks(&box, QStringLiteral("ab"));
        box.insert(QStringLiteral("あい"));
        QCOMPARE(box.text(), QStringLiteral("abあい"));
        QTest::keyClicks(&box, QStringLiteral("c"));
        QCOMPARE(box.text(), QStringLiteral("abあい"));
        // Half-width katakana take one byte each.
        box.setText(QStringLiteral("ｱｲｳｴｵｶｷ"));
        QCOMPARE(box.text(), QStringLiteral("ｱｲｳｴｵｶ"));
    }

    void pasteInTheMiddleKeepsTheTail() {
        ByteLimitedLineEdit box;
        box.setByteLimit(6);
        box.setText(QStringLiteral("abcd"));
        box.setCursorPosition(2);
        box.insert(QStringLiteral("XYZ"));
        QCOMPARE(box.text(), QStringLiteral("abXYcd"));
        QCOMPARE(box.cursorPosition(), 4);
    }

    void refusesQuotesAndCharactersWithoutCp932Form() {
        ByteLimitedLineEdit box;
        box.setRefusedCharacters(QStringLiteral("\""));
        box.setRefusesUnencodable(true);
        QTest::keyClicks(&box, QStringLiteral("a\"b"));
        QCOMPARE(box.text(), QStringLiteral("ab"));
        box.insert(
            QString::fromUtf8("c\xF0\x9F\x98\x80\xE2\x82\xAC"
                              "d①"));
        QCOMPARE(box.text(), QStringLiteral("abcd①"));
        box.setText(QStringLiteral("\"x\""));
        QCOMPARE(box.text(), QStringLiteral("x"));
    }
};

QTEST_MAIN(NumberBoxTest)
#include "NumberBox_qtest.moc"
