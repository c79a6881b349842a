// The dialog base: UsrTag, the two data events, the load order, the help button and the
// remembered position with its centring rule.

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include "foundation/PrivateProfile.h"
#include "foundation/WindowPlacement.h"
#include "foundation/ui/DialogBase.h"
#include "foundation/ui/NumberBox.h"
#include "tests/support/FakeUiServices.h"

namespace {

class TestDialog : public DialogBase {
  public:
    explicit TestDialog(FakeUiServices& ui) : box(new NumberBox(ui, this)) {
        setWindowTitle(QStringLiteral("designed"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(box);
        layout->addWidget(ok);
        layout->addWidget(cancel);
        layout->addWidget(help);
        box->setCaptionText(QStringLiteral("box"));
        box->setLimits(0, 10);
        box->setDisplayPattern(QStringLiteral("#0"));
        box->setEditPattern(QStringLiteral("#0"));
        setDialogButtons(ok, cancel, help);
        connect(this, &DialogBase::LoadData, this, [this] {
            events += QStringLiteral("load:") + windowTitle() + (help->isEnabled() ? "+" : "-");
        });
        connect(this, &DialogBase::SaveData, this, [this](bool& cancelIt) {
            events += QStringLiteral("save;");
            cancelIt = cancelSave;
        });
    }

    void prepareForm() override { events += QStringLiteral("prepare;"); }
    void afterLoadData() override { events += QStringLiteral(";after;"); }

    NumberBox* box;
    QPushButton* ok = new QPushButton(QStringLiteral("OK(&O)"));
    QPushButton* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"));
    QPushButton* help = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    QString events;
    bool cancelSave = false;
};

struct Screen {
    Screen() {
        const QScreen* s = QGuiApplication::primaryScreen();
        dpiX = s->logicalDotsPerInchX();
        dpiY = s->logicalDotsPerInchY();
        size = s->geometry().size();
    }
    double dpiX, dpiY;
    QSize size;
};

}  // namespace

class DialogBaseTest : public QObject {
    Q_OBJECT

  private slots:
    void okRaisesSaveDataAndTagsOk() {
        FakeUiServices ui;
        TestDialog dialog(ui);
        dialog.show();
        QCOMPARE(dialog.events, QStringLiteral("prepare;load:designed-;after;"));
        dialog.ok->click();
        QCOMPARE(dialog.UsrTag, QStringLiteral("OK"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.events, QStringLiteral("prepare;load:designed-;after;save;"));
    }

    void cancelledSaveDataStillTagsOkAndStaysOpen() {
        FakeUiServices ui;
        TestDialog dialog(ui);
        dialog.cancelSave = true;
        dialog.show();
        dialog.ok->click();
        QCOMPARE(dialog.UsrTag, QStringLiteral("OK"));
        QVERIFY(dialog.isVisible());
    }

    void cancelAndCloseBoxRaiseNothing() {
        FakeUiServices ui;
        TestDialog cancelled(ui);
        cancelled.show();
        cancelled.cancel->click();
        QCOMPARE(cancelled.UsrTag, QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY(!cancelled.isVisible());
        QVERIFY(!cancelled.events.contains(QStringLiteral("save")));

        TestDialog closed(ui);
        closed.show();
        QVERIFY(closed.close());
        QCOMPARE(closed.UsrTag, QString());
        QCOMPARE(closed.result(), int(QDialog::Rejected));
        QVERIFY(!closed.events.contains(QStringLiteral("save")));
    }

    void okRefusesAnOutOfRangeBox() {
        FakeUiServices ui;
        TestDialog dialog(ui);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.box->setValue(11);
        dialog.ok->setFocus();
        QTest::keyClick(dialog.ok, Qt::Key_Return);
        QCOMPARE(ui.beeps, 1);
        QCOMPARE(ui.messages.size(), std::size_t{1});
        QCOMPARE(ui.messages[0].title, QStringLiteral("box"));
        QVERIFY(dialog.box->hasFocus());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.UsrTag, QString());
        QVERIFY(!dialog.events.contains(QStringLiteral("save")));
        // Enter inside the box presses OK the same way.
        QTest::keyClick(dialog.box, Qt::Key_Return);
        QCOMPARE(ui.messages.size(), std::size_t{2});
        QVERIFY(dialog.isVisible());
        // A disabled box is not checked.
        dialog.box->setEnabled(false);
        dialog.ok->click();
        QVERIFY(!dialog.isVisible());
    }

    void clickingOkFromAnOutOfRangeBoxReportsOnce() {
        FakeUiServices ui;
        TestDialog dialog(ui);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.box->setFocus();
        QTest::keyClicks(dialog.box, QStringLiteral("12"));
        QTest::mouseClick(dialog.ok, Qt::LeftButton);
        QCOMPARE(ui.messages.size(), std::size_t{1});
        QCOMPARE(ui.beeps, 1);
        QVERIFY(dialog.box->hasFocus());
        QVERIFY(dialog.isVisible());
        // Each further press reports again.
        QTest::keyClick(dialog.box, Qt::Key_Return);
        QCOMPARE(ui.messages.size(), std::size_t{2});
        QTest::mouseClick(dialog.ok, Qt::LeftButton);
        QCOMPARE(ui.messages.size(), std::size_t{3});
        QTest::keyClick(&dialog, Qt::Key_O, Qt::AltModifier);
        QTest::qWait(300);
        QCOMPARE(ui.messages.size(), std::size_t{4});
        QVERIFY(dialog.box->hasFocus());
        // Moving to Cancel runs no check, and Cancel closes.
        QTest::mouseClick(dialog.cancel, Qt::LeftButton);
        QCOMPARE(ui.messages.size(), std::size_t{4});
        QCOMPARE(dialog.UsrTag, QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY(!dialog.isVisible());
    }

    void captionOverrideAndHelpButton() {
        FakeUiServices ui;
        TestDialog dialog(ui);
        dialog.UsrCaption = QStringLiteral("陸側荷重条件の入力");
        dialog.UsrHelpFile = QStringLiteral("Preview.chm");
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("陸側荷重条件の入力"));
        QCOMPARE(dialog.events, QStringLiteral("prepare;load:陸側荷重条件の入力+;after;"));
        dialog.help->click();
        QCoreApplication::processEvents();
        QVERIFY(dialog.isVisible());

        TestDialog hidden(ui);
        hidden.setHideHelpWhenNoHelpFile(true);
        hidden.show();
        QVERIFY(!hidden.help->isVisible());
    }

    void positionIsReadFromAndWrittenToTheIniSection() {
        QTemporaryDir dir;
        const std::string ini = dir.filePath(QStringLiteral("Mibrox.ini")).toStdString();
        const CPrivateProfile profile;
        const Screen screen;
        profile.SetValueString(ini, "InpJyoken", "Top", "1500");
        profile.SetValueString(ini, "InpJyoken", "Left", "3000");
        FakeUiServices ui;
        {
            TestDialog dialog(ui);
            dialog.setPositionStore(ini, "InpJyoken");
            dialog.show();
            QCOMPARE(dialog.geometry().topLeft(),
                     QPoint(TwipsToPixels(3000, screen.dpiX), TwipsToPixels(1500, screen.dpiY)));
            dialog.setGeometry(QRect(QPoint(40, 30), dialog.size()));
            dialog.cancel->click();
        }
        QCOMPARE(profile.GetValueLong(ini, "InpJyoken", "Top"), PixelsToTwips(30, screen.dpiY));
        QCOMPARE(profile.GetValueLong(ini, "InpJyoken", "Left"), PixelsToTwips(40, screen.dpiX));
        QCOMPARE(profile.GetValueString(ini, "InpJyoken", "Width"), std::string());
        {
            TestDialog dialog(ui);
            dialog.setPositionStore(ini, "InpJyoken");
            dialog.show();
            QCOMPARE(dialog.geometry().topLeft(), QPoint(40, 30));
            QVERIFY(dialog.close());
        }
        QCOMPARE(profile.GetValueLong(ini, "InpJyoken", "Top"), PixelsToTwips(30, screen.dpiY));
    }

    // The stored position is the contents' top-left: restoring it and storing it again
    // gives the same twips, however wide the window frame is.
    void dialogPositionsDoNotCreep() {
        QTemporaryDir dir;
        const std::string ini = dir.filePath(QStringLiteral("Mibrox.ini")).toStdString();
        const CPrivateProfile profile;
        const Screen screen;
        profile.SetValueString(ini, "InpKajyu", "Top", "1500");
        profile.SetValueString(ini, "InpKajyu", "Left", "3000");
        profile.SetValueString(ini, "InpKajyu", "Width", "6000");
        profile.SetValueString(ini, "InpKajyu", "Height", "4500");
        const QRect stored(TwipsToPixels(3000, screen.dpiX), TwipsToPixels(1500, screen.dpiY),
                           TwipsToPixels(6000, screen.dpiX), TwipsToPixels(4500, screen.dpiY));
        FakeUiServices ui;
        for (int opening = 1; opening <= 10; ++opening) {
            TestDialog dialog(ui);
            dialog.setPositionStore(ini, "InpKajyu", true);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QCOMPARE(dialog.geometry(), stored);
            QVERIFY(dialog.close());
        }
        QCOMPARE(profile.GetValueLong(ini, "InpKajyu", "Top"), 1500);
        QCOMPARE(profile.GetValueLong(ini, "InpKajyu", "Left"), 3000);
        QCOMPARE(profile.GetValueLong(ini, "InpKajyu", "Width"), 6000);
        QCOMPARE(profile.GetValueLong(ini, "InpKajyu", "Height"), 4500);
    }

    void positionBelowOneIsCentredAndNeverNegative() {
        QTemporaryDir dir;
        const std::string ini = dir.filePath(QStringLiteral("Mibrox.ini")).toStdString();
        const CPrivateProfile profile;
        const Screen screen;
        profile.SetValueString(ini, "InpKajyu", "Top", "0");
        profile.SetValueString(ini, "InpKajyu", "Left", "2000");
        FakeUiServices ui;
        TestDialog dialog(ui);
        dialog.setPositionStore(ini, "InpKajyu");
        dialog.show();
        const std::int32_t centredTop =
            PlaceOnAxis(0, PixelsToTwips(screen.size.height(), screen.dpiY),
                        PixelsToTwips(dialog.height(), screen.dpiY));
        QVERIFY(centredTop > 0);
        QCOMPARE(dialog.geometry().top(), TwipsToPixels(centredTop, screen.dpiY));
        QCOMPARE(dialog.geometry().left(), TwipsToPixels(2000, screen.dpiX));

        TestDialog big(ui);
        big.setMinimumSize(screen.size + QSize(200, 200));
        big.setPositionStore(dir.filePath(QStringLiteral("missing.ini")).toStdString(), "X");
        big.show();
        QVERIFY(big.pos().x() >= 0 && big.pos().y() >= 0);
        QVERIFY(big.geometry().left() <= 2 && big.geometry().top() <= 2);  // at most a frame in
    }

    void keptSizeIsAppliedOnlyWhenAboveZero() {
        QTemporaryDir dir;
        const std::string ini = dir.filePath(QStringLiteral("Mibrox.ini")).toStdString();
        const CPrivateProfile profile;
        const Screen screen;
        profile.SetValueString(ini, "InpKajyu", "Width", "9000");
        profile.SetValueString(ini, "InpKajyu", "Height", "0");
        FakeUiServices ui;
        int designedHeight = 0;
        {
            TestDialog dialog(ui);
            dialog.setPositionStore(ini, "InpKajyu", true);
            dialog.show();
            designedHeight = dialog.height();
            QCOMPARE(dialog.width(), TwipsToPixels(9000, screen.dpiX));
            dialog.resize(dialog.width(), designedHeight + 20);
            QVERIFY(dialog.close());
        }
        QCOMPARE(profile.GetValueLong(ini, "InpKajyu", "Width"),
                 PixelsToTwips(TwipsToPixels(9000, screen.dpiX), screen.dpiX));
        QCOMPARE(profile.GetValueLong(ini, "InpKajyu", "Height"),
                 PixelsToTwips(designedHeight + 20, screen.dpiY));
    }
};

QTEST_MAIN(DialogBaseTest)
#include "DialogBase_qtest.moc"
