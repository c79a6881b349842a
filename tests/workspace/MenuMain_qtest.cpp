// The main window: start-up, button colours, the analysis commands and the exit question.
#include <QAction>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QtTest>

#include "foundation/WindowPlacement.h"
#include "tests/engine/WallTestCases.h"
#include "tests/support/MenuMainFixture.h"
#include "workspace/InputFile.h"

namespace {

using Answer = UiServices::Answer;

// The window shown, as at start-up.
struct Fixture : MenuMainFixture {
    frmMenuMain& open() {
        MenuMainFixture::open().show();
        return *window;
    }
};

QColor buttonText(QPushButton* button) {
    return button->palette().color(QPalette::ButtonText);
}
QColor highlight() {
    return QGuiApplication::palette().color(QPalette::Highlight);
}
QColor normalText() {
    return QGuiApplication::palette().color(QPalette::ButtonText);
}

}  // namespace

class MenuMainTest : public QObject {
    Q_OBJECT
  private slots:
    void startUpSetsPathsCaptionsAndEmptyModel();
    void missingSmallOrOffScreenPositionIsCentred();
    void storedPositionIsRestoredAndWrittenBackOnExit();
    void buttonColoursFollowTheInput();
    void failedAnalysisBeepsAndReports();
    void successfulAnalysisOpensResultsWithControlsDisabled();
    void iniMovesToUserFolderWhenProgramFolderIsNotWritable();
    void exitWithoutChangesAsksNothing();
    void exitQuestionCancelKeepsRunning();
    void exitQuestionNoClosesWithoutSaving();
    void exitYesWithCancelledSaveAsKeepsRunning();
    void exitYesWithFailingSaveKeepsRunning();
    void exitYesSavesAndCloses();
};

void MenuMainTest::startUpSetsPathsCaptionsAndEmptyModel() {
    Fixture f;
    f.state.Model.InputDataSet = true;
    f.state.DataChanged = true;
    f.state.CurrentFilePath = "/old.mbw";
    frmMenuMain& w = f.open();
    QCOMPARE(w.windowTitle(), QStringLiteral("ミブロクス"));
    QCOMPARE(f.state.IniFilePath, f.ini());
    QCOMPARE(f.state.FormatFilePath, f.path("Mibrox.fmt"));
    QCOMPARE(f.state.UserDataFolder, f.path("appdata") + "/Halvoren/Mibrox");
    QVERIFY(QFileInfo(QString::fromStdString(f.state.UserDataFolder)).isDir());
    QVERIFY(f.state.CurrentFilePath.empty());
    QVERIFY(!f.state.DataChanged);
    QVERIFY(!f.state.Model.InputDataSet);
    QCOMPARE(w.Frame1()->title(), QStringLiteral("ﾒｲﾝﾒﾆｭｰ"));
    const char* captions[] = {"計算条件の入力", "陸側荷重条件の入力", "海側荷重条件の入力",
                              "結果一覧表示",   "結果印刷",           "連番条件設定"};
    for (int i = 0; i < 6; ++i) QCOMPARE(w.cmdMenu(i)->text(), QString::fromUtf8(captions[i]));
    QCOMPARE(w.cmdExit()->text(), QStringLiteral("      ﾌﾟﾛｸﾞﾗﾑ終了"));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(w.mnuFileName(i)->text(), QStringLiteral("&%1").arg(i + 1));
        QVERIFY(!w.mnuFileName(i)->isEnabled());
    }
    for (const char* key : {"New", "Open", "SaveAs", "Save"})
        QVERIFY(w.tbrButton(QString::fromLatin1(key)));
    QCOMPARE(w.tbrButton(QStringLiteral("SaveAs"))->toolTip(),
             QStringLiteral("ﾌｧｲﾙに名前を付けて保存..."));
    QVERIFY(f.ui.messages.empty());
}

void MenuMainTest::missingSmallOrOffScreenPositionIsCentred() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    const std::string screenTop = std::to_string(PixelsToTwips(screen->geometry().height(), dpiY));
    const std::string screenLeft = std::to_string(PixelsToTwips(screen->geometry().width(), dpiX));
    // {Top, Left}: missing, below 1, at the screen's edge, far beyond it.
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"0", "-30"}, {screenTop, screenLeft}, {"999999", "999999"}};
    for (const auto& [top, left] : cases) {
        Fixture f;
        if (!top.empty()) f.setIni("MenuMain", "Top", top);
        if (!left.empty()) f.setIni("MenuMain", "Left", left);
        frmMenuMain& w = f.open();
        // Placed before it is shown, when the frame is not known yet.
        const QRect frame = w.frameGeometry();
        const int centredX = std::max(0, (screen->geometry().width() - w.width()) / 2);
        const int centredY = std::max(0, (screen->geometry().height() - w.height()) / 2);
        QVERIFY2(qAbs(frame.x() - centredX) <= 1, top.c_str());
        QVERIFY2(qAbs(frame.y() - centredY) <= 1, top.c_str());
    }
}

void MenuMainTest::storedPositionIsRestoredAndWrittenBackOnExit() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    Fixture f;
    const int top = PixelsToTwips(30, screen->logicalDotsPerInchY());
    const int left = PixelsToTwips(20, screen->logicalDotsPerInchX());
    f.setIni("MenuMain", "Top", std::to_string(top));
    f.setIni("MenuMain", "Left", std::to_string(left));
    frmMenuMain& w = f.open();
    QCOMPARE(w.pos(), QPoint(20, 30));
    w.move(40, 50);
    QVERIFY(w.close());
    QCOMPARE(f.iniLong("MenuMain", "Top"), long(PixelsToTwips(50, screen->logicalDotsPerInchY())));
    QCOMPARE(f.iniLong("MenuMain", "Left"), long(PixelsToTwips(40, screen->logicalDotsPerInchX())));
}

void MenuMainTest::buttonColoursFollowTheInput() {
    Fixture f;
    frmMenuMain& w = f.open();
    for (int i = 0; i < 3; ++i) QCOMPARE(buttonText(w.cmdMenu(i)), normalText());
    f.state.Model.InputDataSet = true;
    f.state.Model.SeaLoadCount = 1;
    w.Form_Activate();
    QCOMPARE(buttonText(w.cmdMenu(0)), highlight());
    QCOMPARE(buttonText(w.cmdMenu(1)), normalText());
    QCOMPARE(buttonText(w.cmdMenu(2)), highlight());
    f.state.Model.LandLoadCount = 2;
    f.state.Model.SeaLoadCount = 0;
    // Activation alone refreshes the colours.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(buttonText(w.cmdMenu(1)), highlight());
    QCOMPARE(buttonText(w.cmdMenu(2)), normalText());
}

void MenuMainTest::failedAnalysisBeepsAndReports() {
    Fixture f;
    frmMenuMain& w = f.open();
    // An empty model cannot be analysed.
    for (int index : {3, 4}) {
        f.ui.messages.clear();
        f.ui.beeps = 0;
        w.cmdMenu_Click(index);
        QCOMPARE(f.ui.beeps, 1);
        QCOMPARE(f.ui.messages.size(), size_t{1});
        QCOMPARE(f.ui.messages[0].text,
                 QStringLiteral("解析時にｴﾗｰが発生しました，入力ﾃﾞｰﾀを確認して下さい。"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("ミブロクス"));
        QCOMPARE(f.ui.messages[0].icon, UiServices::Icon::Critical);
        QCOMPARE(f.ui.messages[0].buttons, UiServices::Buttons::Ok);
        QVERIFY(w.cmdMenu(index)->isEnabled());
        QVERIFY(w.menuBar()->isEnabled());
    }
    // Button 5 opens the numbering-style form without an analysis.
    f.ui.messages.clear();
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->windowTitle();
            modal->close();
        }
    });
    w.cmdMenu_Click(5);
    QCOMPARE(opened, QStringLiteral("連番条件設定"));
    QVERIFY(f.ui.messages.empty());
}

void MenuMainTest::successfulAnalysisOpensResultsWithControlsDisabled() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.state.Model = walltest::QuayModel();
    bool sawModal = false;
    bool controlsDisabled = false;
    bool modalEnabled = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        sawModal = modal != nullptr;
        controlsDisabled = !w.cmdMenu(0)->isEnabled() && !w.cmdExit()->isEnabled() &&
                           !w.menuBar()->isEnabled() && !w.tbrMenu()->isEnabled();
        if (modal) {
            modalEnabled = modal->isEnabled();
            modal->close();
        }
    });
    w.cmdMenu_Click(3);
    QVERIFY(sawModal);
    QVERIFY(controlsDisabled);
    QVERIFY(modalEnabled);
    QVERIFY(f.ui.messages.empty());
    QCOMPARE(f.ui.beeps, 0);
    QVERIFY(w.cmdMenu(0)->isEnabled());
    QVERIFY(w.menuBar()->isEnabled() && w.tbrMenu()->isEnabled());
    QCOMPARE(buttonText(w.cmdMenu(0)), highlight());
    // The print button analyses again and opens the print menu; this program folder has no
    // Mibrox.fmt, so both reports fail.
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->windowTitle();
            modal->close();
        }
    });
    w.cmdMenu_Click(4);
    QCOMPARE(opened, QStringLiteral("検討結果の印刷"));
    QCOMPARE(f.ui.messages.size(), size_t{1});
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void MenuMainTest::iniMovesToUserFolderWhenProgramFolderIsNotWritable() {
    Fixture f;
    MenuMainSetup setup = f.setup();
    setup.programFolder = f.path("no-such-folder");
    frmMenuMain w(f.state, f.ui, setup);
    QCOMPARE(f.state.FormatFilePath, f.path("no-such-folder/Mibrox.fmt"));
    QCOMPARE(f.state.IniFilePath, f.path("appdata/Halvoren/Mibrox/Mibrox.ini"));
    QVERIFY(w.close());
    QVERIFY(QFileInfo::exists(QString::fromStdString(f.state.IniFilePath)));
}

void MenuMainTest::exitWithoutChangesAsksNothing() {
    Fixture f;
    frmMenuMain& w = f.open();
    QVERIFY(w.close());
    QVERIFY(f.ui.messages.empty());
    QVERIFY(f.iniLong("MenuMain", "Top") >= 0);
    QVERIFY(CPrivateProfile().GetValueString(f.ini(), "MenuMain", "Left") != "");
}

void MenuMainTest::exitQuestionCancelKeepsRunning() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.state.DataChanged = true;
    f.state.CurrentFilePath = "/data/a.mbw";
    f.ui.answers.push_back(Answer::Cancel);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(f.ui.messages.size(), size_t{1});
    QCOMPARE(f.ui.messages[0].title, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ終了"));
    QCOMPARE(f.ui.messages[0].text,
             QStringLiteral("現在編集中の入力ﾃﾞｰﾀがあります。上書き保存してから終了しますか？\n\n"
                            "編集中のﾌｧｲﾙ名：/data/a.mbw"));
    QCOMPARE(f.ui.messages[0].buttons, UiServices::Buttons::YesNoCancel);
    QCOMPARE(f.ui.messages[0].icon, UiServices::Icon::Information);
    QCOMPARE(CPrivateProfile().GetValueString(f.ini(), "MenuMain", "Top"), std::string());
}

void MenuMainTest::exitQuestionNoClosesWithoutSaving() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.state.DataChanged = true;
    f.ui.answers.push_back(Answer::No);
    QVERIFY(w.close());
    QVERIFY(f.ui.dialogs.empty());
    QVERIFY(CPrivateProfile().GetValueString(f.ini(), "MenuMain", "Top") != "");
}

void MenuMainTest::exitYesWithCancelledSaveAsKeepsRunning() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.state.DataChanged = true;
    f.ui.answers.push_back(Answer::Yes);
    f.ui.fileAnswers.push_back(std::nullopt);
    QVERIFY(!w.close());
    QCOMPARE(f.ui.dialogs.size(), size_t{1});
    QVERIFY(!f.ui.dialogs[0].open);
    QVERIFY(f.state.DataChanged);
    QVERIFY(w.isVisible());
}

void MenuMainTest::exitYesWithFailingSaveKeepsRunning() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.state.DataChanged = true;
    f.state.CurrentFilePath = f.path("missing-folder/a.mbw");
    f.ui.answers.push_back(Answer::Yes);
    QVERIFY(!w.close());
    QCOMPARE(f.ui.messages.size(), size_t{2});
    QCOMPARE(f.ui.messages[1].title, QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ書き込みｴﾗｰ"));
    QVERIFY(f.state.DataChanged);
}

void MenuMainTest::exitYesSavesAndCloses() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.state.DataChanged = true;
    f.state.Model.CondData(CondTitle) = Slot::text("Case A");
    f.ui.answers.push_back(Answer::Yes);
    f.ui.fileAnswers.push_back(QString::fromStdString(f.path("saved.mbw")));
    QVERIFY(w.close());
    QVERIFY(!f.state.DataChanged);
    InputModel read;
    int code = 0;
    QVERIFY(LoadInputFile(read, f.path("saved.mbw"), code));
    QCOMPARE(read.CondData(CondTitle), Slot::text("Case A"));
}

QTEST_MAIN(MenuMainTest)
#include "MenuMain_qtest.moc"
