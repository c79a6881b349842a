// The about box of both programs.
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "foundation/ui/AboutBox.h"
#include "tests/support/FakeUiServices.h"

class AboutBoxTest : public QObject {
    Q_OBJECT
  private slots:
    void mibroxBoxShowsTitleVersionAndIsCentred();
    void previewBoxAppendsUsrCaption();
    void systemInformationIsReportedUnavailable();
    void okCloses();
};

void AboutBoxTest::mibroxBoxShowsTitleVersionAndIsCentred() {
    FakeUiServices ui;
    frmAbout box(ui, AboutProgram::Mibrox);
    box.setUsrCaption(QStringLiteral("ignored"));  // only the preview's box uses it
    box.show();
    QCOMPARE(box.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(box.lblTitle()->text(), QStringLiteral("ミブロクス"));
    QCOMPARE(box.lblVersion()->text(), QStringLiteral("Version 1.5.000(2013/07/13)"));
    QCOMPARE(box.cmdOK()->text(), QStringLiteral("OK"));
    QCOMPARE(box.cmdSysInfo()->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    const QRect screen = box.screen()->geometry();
    const QRect frame = box.frameGeometry();
    QVERIFY(qAbs(frame.x() - std::max(0, (screen.width() - frame.width()) / 2)) <= 1);
    QVERIFY(qAbs(frame.y() - std::max(0, (screen.height() - frame.height()) / 2)) <= 1);
}

void AboutBoxTest::previewBoxAppendsUsrCaption() {
    FakeUiServices ui;
    frmAbout plain(ui, AboutProgram::Preview);
    plain.show();
    QCOMPARE(plain.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(plain.lblTitle()->text(), QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    QCOMPARE(plain.lblVersion()->text(), QStringLiteral("Version 3.2.000(2011/09/18)"));

    frmAbout captioned(ui, AboutProgram::Preview);
    captioned.setUsrCaption(QStringLiteral("PDF"));
    captioned.show();
    QCOMPARE(captioned.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 PDF"));
}

void AboutBoxTest::systemInformationIsReportedUnavailable() {
    for (const AboutProgram program : {AboutProgram::Mibrox, AboutProgram::Preview}) {
        FakeUiServices ui;
        frmAbout box(ui, program);
        box.show();
        QTest::mouseClick(box.cmdSysInfo(), Qt::LeftButton);
        QCOMPARE(ui.messages.size(), size_t{1});
        QCOMPARE(ui.messages[0].text, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
        QCOMPARE(ui.messages[0].title, AboutProgramTitle(program));
        QCOMPARE(ui.messages[0].buttons, UiServices::Buttons::Ok);
        QVERIFY(box.isVisible());
    }
}

void AboutBoxTest::okCloses() {
    FakeUiServices ui;
    frmAbout box(ui, AboutProgram::Mibrox);
    box.show();
    QTest::mouseClick(box.cmdOK(), Qt::LeftButton);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
}

QTEST_MAIN(AboutBoxTest)
#include "AboutBox_qtest.moc"
