// The results form: its fixed texts, the formatted values of a hand-filled result, the stress
// rule on the section moduli and the remembered position.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/support/FakeUiServices.h"
#include "tests/support/WhenModalShown.h"
#include "workspace/WorkspaceState.h"
#include "workspace/ui/ResOutKekkaForm.h"

class ResOutKekkaFormTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    WorkspaceState m_state;

  private slots:
    void init() {
        m_state = WorkspaceState{};
        m_state.IniFilePath = m_dir.filePath("Mibrox.ini").toStdString();
        AnalysisResult& r = *m_state.Result;
        r.ResultSummary(SummaryTipLevel) = -12.3456;
        r.RequiredTipLevel = 0.0;
        r.ResultSummary(SummaryMmax) = 1234.5678;
        r.ResultSummary(SummaryMmaxLevel) = 2.0;
        r.ResultSummary(SummaryMmin) = -35.2;
        r.ResultSummary(SummaryMminLevel) = -10.35;
        r.ResultSummary(SummaryZeroMomentLevel) = -0.0001;
        r.ResultSummary(SummaryTieReaction) = 98765.4321;
        r.ResultSummary(SummaryTipReaction) = 0.5;
        r.ResultSummary(SummaryStressAtMmax) = 123.45;
        r.ResultSummary(SummaryStressAtMmin) = -7.25;
        r.DeltaMax = 12.34;
        r.DeltaMin = -3.24;
        m_state.Model.CondData(CondZUpper) = Slot::number(1);
        m_state.Model.CondData(CondZLower) = Slot::number(1500);
    }

    void initialCaptionsAreThePatterns() {
        frmResOutKekka form(m_state.IniFilePath);
        QCOMPARE(form.windowTitle(), QString("結果一覧表示"));
        QCOMPARE(form.lblNeire->text(), QString("+##0.000"));
        QCOMPARE(form.lblMmax->text(), QString("#,##0.000"));
        QCOMPARE(form.lblSmin->text(), QString("###0.0"));
        QCOMPARE(form.lblTitle.size(), 11);
        QCOMPARE(form.lblTitle.front()->text(), QString("計算根入れ先端高　Ｄ．Ｌ． (m)"));
        QCOMPARE(form.lblTitle.back()->text(), QString("矢板壁の応力度σ(N/mm2)"));
        QCOMPARE(form.Label2->text(), QString("(注意)"));
        QCOMPARE(form.cmdClose->text(), QString("閉じる(&C)"));
        QCOMPARE(form.cmdHelp->text(), QString("ﾍﾙﾌﾟ(&H)"));
    }

    void valuesFollowTheirPatterns() {
        auto form = CreateResultsForm(m_state, nullptr);
        form->show();
        QCOMPARE(form->lblNeire->text(), QString("-12.346"));
        QCOMPARE(form->lblELFD->text(), QString("+0.000"));
        QCOMPARE(form->lblMmax->text(), QString("1,234.568"));
        QCOMPARE(form->lblMaDL->text(), QString("+2.000"));
        QCOMPARE(form->lblMmin->text(), QString("-35.200"));
        QCOMPARE(form->lblMiDL->text(), QString("-10.350"));
        QCOMPARE(form->lblM->text(), QString("+0.000"));
        QCOMPARE(form->lblRa->text(), QString("98,765.432"));
        QCOMPARE(form->lblRb->text(), QString("0.500"));
        QCOMPARE(form->lblDmax->text(), QString("12.3"));
        QCOMPARE(form->lblDmin->text(), QString("-3.2"));
        QCOMPARE(form->lblSmax->text(), QString("123.5"));
        QCOMPARE(form->lblSmin->text(), QString("-7.3"));
        QVERIFY(!form->cmdHelp->isEnabled());
        form->cmdClose->click();
        QVERIFY(!form->isVisible());
        QVERIFY(form->UsrTag.isEmpty());
    }

    // δmax of a hand-edited case showed about 300 digits, cut off by its label.
    void noValueIsShownCut() {
        m_state.Result->DeltaMax = 1e300;
        m_state.Result->ResultSummary(SummaryTieReaction) = -999999999999.999;
        auto form = CreateResultsForm(m_state, nullptr);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->lblDmax->text(), QString("**********"));
        QCOMPARE(form->lblRa->text(), QString("-999,999,999,999.999"));
        for (const QLabel* label : form->findChildren<QLabel*>()) {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        }
    }

    void stressesNeedBothModuliOfAtLeastOne() {
        for (double z : {0.99, 0.0}) {
            m_state.Model.CondData(CondZUpper) = Slot::number(z);
            frmResOutKekka form(m_state.IniFilePath);
            objResOutKekka_LoadData(form, m_state);
            QCOMPARE(form.lblSmax->text(), QString("-----"));
            QCOMPARE(form.lblSmin->text(), QString("-----"));
        }
        m_state.Model.CondData(CondZUpper) = Slot::number(5);
        m_state.Model.CondData(CondZLower) = Slot{};  // empty reads as 0
        frmResOutKekka empty(m_state.IniFilePath);
        objResOutKekka_LoadData(empty, m_state);
        QCOMPARE(empty.lblSmax->text(), QString("-----"));
    }

    void aModulusThatIsNoNumberSkipsOnlyTheStresses() {
        m_state.Model.CondData(CondZLower) = Slot::text("abc");
        frmResOutKekka form(m_state.IniFilePath);
        objResOutKekka_LoadData(form, m_state);
        QCOMPARE(form.lblSmax->text(), QString("###0.0"));
        QCOMPARE(form.lblSmin->text(), QString("###0.0"));
        QCOMPARE(form.lblDmin->text(), QString("-3.2"));
    }

    void positionIsKeptInItsSection() {
        {
            auto form = CreateResultsForm(m_state, nullptr);
            form->show();
            form->move(150, 90);
            form->cmdClose->click();
        }
        QFile ini(QString::fromStdString(m_state.IniFilePath));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY(text.contains("[ResOutKekka]"));
        QVERIFY(text.contains("Top="));
        QVERIFY(text.contains("Left="));
        QVERIFY(!text.contains("Width="));
    }

    void showResultsFormRunsModally() {
        FakeUiServices ui;
        QString seen;
        WhenModalShown<frmResOutKekka>([&seen](frmResOutKekka& form) {
            seen = form.lblMmax->text();
            form.cmdClose->click();
        });
        ShowResultsForm(m_state, ui, nullptr);
        QCOMPARE(seen, QString("1,234.568"));
        QVERIFY(ui.messages.empty());
    }
};

QTEST_MAIN(ResOutKekkaFormTest)
#include "ResOutKekkaForm_qtest.moc"
