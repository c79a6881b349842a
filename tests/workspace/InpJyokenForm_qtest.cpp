// The conditions form with the main window's two handlers: defaults, stored values, OK,
// Cancel, the close box and the range checks.

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "foundation/PrivateProfile.h"
#include "foundation/ui/ByteLimitedLineEdit.h"
#include "foundation/ui/NumberBox.h"
#include "tests/support/FakeUiServices.h"
#include "workspace/WorkspaceState.h"
#include "workspace/ui/InpJyokenForm.h"

namespace {

struct Fixture {
    Fixture() {
        state.IniFilePath = dir.filePath(QStringLiteral("Mibrox.ini")).toStdString();
        ClearInputData(state.Model);
    }
    std::unique_ptr<frmInpJyoken> open() {
        auto form = CreateConditionsForm(state, ui, nullptr);
        form->show();
        QApplication::setActiveWindow(form.get());
        return form;
    }

    QTemporaryDir dir;
    FakeUiServices ui;
    WorkspaceState state;
};

std::optional<double> slotNumber(const WorkspaceState& state, int slot) {
    const Slot& s = state.Model.CondData(slot);
    if (!s.isNumber()) return std::nullopt;
    return s.toNumber();
}

}  // namespace

class InpJyokenFormTest : public QObject {
    Q_OBJECT

  private slots:
    void newCaseShowsTheDefaults() {
        Fixture f;
        auto form = f.open();
        QCOMPARE(form->windowTitle(), QStringLiteral("計算条件の入力"));
        QVERIFY(!form->cmdHelp->isEnabled());
        QCOMPARE(form->cmdOK->text(), QStringLiteral("OK(&O)"));
        QCOMPARE(form->cmdCancel->text(), QStringLiteral("ｷｬﾝｾﾙ(&C)"));
        QCOMPARE(form->cmdHelp->text(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
        QCOMPARE(form->txtTitle->text(), QStringLiteral("(未定義)"));
        const std::pair<NumberBox*, double> expected[] = {
            {form->numH, 2.0},   {form->numTai, 0},   {form->numDL, -10.0}, {form->numE, 200000},
            {form->numI, 1000},  {form->numZ1, 0},    {form->numZ2, 0},     {form->numF, 1.2},
            {form->numSsa, 180}, {form->numStep, 0.5}};
        for (const auto& [box, value] : expected) {
            QCOMPARE(box->value(), std::optional<double>(value));
        }
        QCOMPARE(form->numH->text(), QStringLiteral("+2.000"));
        QCOMPARE(form->numE->text(), QStringLiteral("200,000"));
        QCOMPARE(form->numStep->captionText(), QStringLiteral("断面力算出点間隔ΔＬ(m)"));
        QVERIFY(!form->numF->rangeCheckEnabled());
        QVERIFY(!form->numSsa->rangeCheckEnabled());
        QVERIFY(form->numZ2->rangeCheckEnabled());
    }

    void storedCaseFillsTheBoxesAndSkipsBadSlots() {
        Fixture f;
        auto& cond = f.state.Model.CondData;
        f.state.Model.InputDataSet = true;
        cond(1) = Slot::text("岸壁A");
        for (int i = 2; i <= 10; ++i) cond(i) = Slot::number(i * 1.5);
        cond(CondYoung) = Slot::text("abc");      // not a number: keeps its default
        cond(CondInertia) = Slot::text("25000");  // a number held as text
        // slot 11 stays empty, as after a version-1.00 file
        auto form = f.open();
        QCOMPARE(form->txtTitle->text(), QStringLiteral("岸壁A"));
        QCOMPARE(form->numH->value(), std::optional<double>(3.0));
        QCOMPARE(form->numE->value(), std::optional<double>(200000));
        QCOMPARE(form->numI->value(), std::optional<double>(25000));
        QCOMPARE(form->numSsa->value(), std::optional<double>(15.0));
        QCOMPARE(form->numStep->value(), std::nullopt);
        QCOMPARE(form->numStep->text(), QString());

        // OK keeps the empty pitch empty rather than inventing 0.
        form->cmdOK->click();
        QVERIFY(!form->isVisible());
        QVERIFY(cond(CondPitch).isEmpty());
        QCOMPARE(slotNumber(f.state, CondYoung), std::optional<double>(200000));
        QCOMPARE(cond(1), Slot::text("岸壁A"));
    }

    void okWithTheDefaultsWritesSlotsAndFlags() {
        Fixture f;
        f.state.Model.CondData(12) = Slot::text("reserved");
        auto form = f.open();
        form->cmdOK->click();
        QCOMPARE(form->UsrTag, QStringLiteral("OK"));
        const auto& cond = f.state.Model.CondData;
        QCOMPARE(cond(1), Slot::text("(未定義)"));
        const double expected[] = {2.0, 0, -10, 200000, 1000, 0, 0, 1.2, 180, 0.5};
        for (int slot = 2; slot <= 11; ++slot) {
            QCOMPARE(slotNumber(f.state, slot), std::optional<double>(expected[slot - 2]));
        }
        QCOMPARE(cond(12), Slot::text("reserved"));
        QVERIFY(f.state.Model.InputDataSet);
        QVERIFY(f.state.DataChanged);
        // The position was written on unload.
        const CPrivateProfile profile;
        QVERIFY(!profile.GetValueString(f.state.IniFilePath, "InpJyoken", "Top").empty());
    }

    void cancelAndCloseLeaveTheModelAlone() {
        Fixture f;
        auto cancelled = f.open();
        cancelled->numH->setValue(5.0);
        cancelled->cmdCancel->click();
        QCOMPARE(cancelled->UsrTag, QStringLiteral("ｷｬﾝｾﾙ"));
        auto closed = f.open();
        closed->txtTitle->setText(QStringLiteral("x"));
        QVERIFY(closed->close());
        QCOMPARE(closed->UsrTag, QString());
        QVERIFY(f.state.Model.CondData(1).isEmpty());
        QVERIFY(f.state.Model.CondData(2).isEmpty());
        QVERIFY(!f.state.Model.InputDataSet);
        QVERIFY(!f.state.DataChanged);
    }

    void okWithAnOutOfRangeValueIsRefused() {
        Fixture f;
        auto form = f.open();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->numStep->setFocus();
        form->numStep->selectAll();
        QTest::keyClicks(form->numStep, QStringLiteral("0.0"));
        form->numE->setValue(5);  // an earlier box out of range is reported first
        QTest::keyClick(form->numStep, Qt::Key_Return);
        QCOMPARE(f.ui.beeps, 1);
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("入力範囲：10,000 ～ 999,999"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("矢板壁のﾔﾝｸﾞ係数Ｅ(N/mm2)"));
        QVERIFY(form->numE->hasFocus());
        form->numE->setValue(10000);  // equal to the limit passes
        form->cmdOK->click();
        QCOMPARE(f.ui.messages.size(), std::size_t{2});
        QCOMPARE(f.ui.messages[1].text, QStringLiteral("入力範囲：0.1 ～ 1.0"));
        QVERIFY(form->numStep->hasFocus());
        QCOMPARE(form->numStep->value(), std::optional<double>(0.0));
        QVERIFY(form->isVisible());
        QVERIFY(!f.state.Model.InputDataSet);
        QVERIFY(f.state.Model.CondData(CondPitch).isEmpty());
        // numF and numSsa are not checked.
        form->numStep->setValue(1.0);
        form->numF->setValue(2.5);
        form->numSsa->setValue(-1);
        form->cmdOK->click();
        QCOMPARE(f.ui.messages.size(), std::size_t{2});
        QCOMPARE(slotNumber(f.state, CondSafetyFactor), std::optional<double>(2.5));
        QCOMPARE(slotNumber(f.state, CondYoung), std::optional<double>(10000));
    }

    void elevationMessageUsesTheDisplayPattern() {
        Fixture f;
        auto form = f.open();
        form->numH->setValue(1000);
        QVERIFY(!form->numH->validateNow());
        QCOMPARE(f.ui.messages.back().text, QStringLiteral("入力範囲： -999.999 ～ +999.999"));
        QCOMPARE(f.ui.messages.back().title, QStringLiteral("天端高 (標高，m)"));
    }

    void caseNameRefusesQuotesAndKeepsEightyBytes() {
        Fixture f;
        auto form = f.open();
        form->txtTitle->clear();
        QTest::keyClicks(form->txtTitle, QStringLiteral("A\"B"));
        QCOMPARE(form->txtTitle->text(), QStringLiteral("AB"));
        form->txtTitle->setText(QString(45, u'岸'));
        QCOMPARE(form->txtTitle->text(), QString(40, u'岸'));
    }
};

QTEST_MAIN(InpJyokenFormTest)
#include "InpJyokenForm_qtest.moc"
