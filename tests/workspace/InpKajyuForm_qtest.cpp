// The load-table form: loading and saving a side's table, the edit commands and their
// enabling, the status-bar hint, the resize layout and the Shift+Ins/Shift+Del keys.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "tests/support/FakeUiServices.h"
#include "tests/support/WhenModalShown.h"
#include "workspace/WorkspaceState.h"
#include "workspace/ui/InpKajyuForm.h"

namespace {

void fillTable(WorkspaceState& state, LoadSide side, int count) {
    LoadTable& t = side == LoadSide::Land ? state.Model.LandLoads : state.Model.SeaLoads;
    for (int r = 1; r <= count; ++r) {
        t(1, r) = Slot::number(r);
        t(2, r) = Slot::number(10.0 * r);
        t(3, r) = Slot::number(100.0 * r);
    }
    (side == LoadSide::Land ? state.Model.LandLoadCount : state.Model.SeaLoadCount) = count;
}

double cell(const frmInpKajyu& form, int row, int col) {
    return form.vaSpread1->value(row, col).value_or(-123456.0);
}

}  // namespace

class InpKajyuFormTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    WorkspaceState m_state;

    std::unique_ptr<frmInpKajyu> open(LoadSide side = LoadSide::Land) {
        auto form = CreateLoadTableForm(m_state, nullptr, side);
        form->show();
        return form;
    }

    bool addInsertEnabled(const frmInpKajyu& form) {
        const bool menu = form.mnuEditAdd->isEnabled();
        if (menu != form.mnuEditIns->isEnabled() ||
            menu != form.toolbarButton("Add")->isEnabled() ||
            menu != form.toolbarButton("Insert")->isEnabled()) {
            qWarning("menu and toolbar disagree");
        }
        return menu;
    }

  private slots:
    void init() {
        m_state = WorkspaceState{};
        m_state.IniFilePath = m_dir.filePath("Mibrox.ini").toStdString();
    }

    void newCaseAddCreatesDefaultsAndOkStoresOneRow() {
        auto form = open();
        QCOMPARE(form->windowTitle(), QString("陸側荷重条件の入力"));
        QCOMPARE(form->vaSpread1->rowCount(), 0);
        QVERIFY(!form->cmdHelp->isEnabled());
        form->Toolbar1_ButtonClick("Add");
        QCOMPARE(form->vaSpread1->rowCount(), 1);
        QCOMPARE(form->vaSpread1->displayText(0, 0), QString("0.100"));
        QCOMPARE(form->vaSpread1->displayText(0, 1), QString("1.000"));
        QCOMPARE(form->vaSpread1->displayText(0, 2), QString("1.000"));
        form->cmdOK->click();
        QCOMPARE(form->UsrTag, QString("OK"));
        QCOMPARE(m_state.Model.LandLoadCount, 1);
        QCOMPARE(*m_state.Model.LandLoads(1, 1).toNumber(), 0.1);
        QCOMPARE(*m_state.Model.LandLoads(3, 1).toNumber(), 1.0);
        QVERIFY(m_state.DataChanged);
        QCOMPARE(m_state.Model.SeaLoadCount, 0);
    }

    void addAtTheLimitDisablesAndDeleteEnables() {
        fillTable(m_state, LoadSide::Sea, 98);
        auto form = open(LoadSide::Sea);
        QCOMPARE(form->windowTitle(), QString("海側荷重条件の入力"));
        QVERIFY(form->Image2->isVisibleTo(form.get()) && !form->Image1->isVisibleTo(form.get()));
        QCOMPARE(form->vaSpread1->rowCount(), 98);
        QCOMPARE(cell(*form, 97, 2), 9800.0);
        QVERIFY(addInsertEnabled(*form));
        form->mnuEditAdd->trigger();
        QCOMPARE(form->vaSpread1->rowCount(), 99);
        QVERIFY(!addInsertEnabled(*form));
        form->mnuEditDel->trigger();
        QCOMPARE(form->vaSpread1->rowCount(), 98);
        QVERIFY(addInsertEnabled(*form));
    }

    void loadedFullTableLooksEnabledButAddsNothing() {
        fillTable(m_state, LoadSide::Land, 99);
        auto form = open();
        QVERIFY(addInsertEnabled(*form));
        form->Toolbar1_ButtonClick("Add");
        form->Toolbar1_ButtonClick("Insert");
        form->Toolbar1_ButtonClick("Nothing");
        QCOMPARE(form->vaSpread1->rowCount(), 99);
        QVERIFY(addInsertEnabled(*form));
    }

    void insertInRowThreeOfFive() {
        fillTable(m_state, LoadSide::Land, 5);
        auto form = open();
        form->vaSpread1->setActiveCell(2, 1);
        form->mnuEditIns->trigger();
        QCOMPARE(form->vaSpread1->rowCount(), 6);
        QCOMPARE(cell(*form, 2, 0), 0.1);
        QCOMPARE(cell(*form, 2, 2), 1.0);
        QCOMPARE(cell(*form, 3, 0), 3.0);
        QCOMPARE(cell(*form, 5, 1), 50.0);
        QCOMPARE(form->vaSpread1->activeRow(), 2);
        form->cmdOK->click();
        QCOMPARE(m_state.Model.LandLoadCount, 6);
        QCOMPARE(*m_state.Model.LandLoads(1, 4).toNumber(), 3.0);
    }

    // After Shift+Ins the cell that moved down stayed selected with the active cell, so Copy
    // and Cut took two cells.
    void copyAfterInsertAddOrDeleteTakesOnlyTheActiveCell_data() {
        QTest::addColumn<int>("key");  // Shift + key, or 0 for the Add button
        QTest::addColumn<QString>("copied");
        QTest::newRow("Shift+Ins") << int(Qt::Key_Insert) << "1.000\r\n";  // the new row
        QTest::newRow("Add") << 0 << "30.000\r\n";
        QTest::newRow("Shift+Del") << int(Qt::Key_Delete) << "40.000\r\n";  // moved up
    }
    void copyAfterInsertAddOrDeleteTakesOnlyTheActiveCell() {
        QFETCH(int, key);
        QFETCH(QString, copied);
        fillTable(m_state, LoadSide::Land, 5);
        auto form = open();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        DecimalGrid& grid = *form->vaSpread1;
        grid.setFocus();
        QTRY_VERIFY(grid.hasFocus());
        grid.setActiveCell(2, 1);
        if (key != 0) {
            QTest::keyClick(&grid, Qt::Key(key), Qt::ShiftModifier);
        } else {
            form->Toolbar1_ButtonClick("Add");
        }
        QCOMPARE(grid.activeRow(), 2);
        QCOMPARE(grid.activeCol(), 1);
        QCOMPARE(grid.selectedRanges().size(), 1);
        QCOMPARE(grid.selectedRanges()[0].rowCount(), 1);
        QCOMPARE(grid.selectedRanges()[0].columnCount(), 1);
        form->Toolbar1_ButtonClick("Copy");
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }

    void cutAndCopyWithoutBlockActOnTheActiveCell() {
        fillTable(m_state, LoadSide::Land, 2);
        auto form = open();
        form->vaSpread1->setActiveCell(1, 1);
        form->vaSpread1->clearSelection();
        form->mnuEditCopy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("20.000\r\n"));
        form->mnuEditCut->trigger();
        QVERIFY(!form->vaSpread1->value(1, 1).has_value());
        QCOMPARE(cell(*form, 1, 0), 2.0);
        QCOMPARE(cell(*form, 0, 1), 10.0);
        form->vaSpread1->setActiveCell(0, 0);
        form->Toolbar1_ButtonClick("Paste");
        QCOMPARE(cell(*form, 0, 0), 20.0);
        // The emptied cell is stored as 0.
        form->cmdOK->click();
        QCOMPARE(m_state.Model.LandLoads(2, 2), Slot::number(0));
        QCOMPARE(m_state.Model.LandLoadCount, 2);
    }

    void okStoresTheNumberNotItsDisplay() {
        fillTable(m_state, LoadSide::Land, 2);
        m_state.Model.LandLoads(1, 1) = Slot::number(1.23456);
        m_state.Model.LandLoads(2, 2) = Slot::number(12345.5);  // above the column's limit
        m_state.Model.LandLoads(3, 2) = Slot::text("abc");      // not a number: cell empty
        auto form = open();
        QCOMPARE(form->vaSpread1->displayText(0, 0), QString("1.235"));
        QCOMPARE(form->vaSpread1->displayText(1, 1), QString("12345.500"));
        QCOMPARE(form->vaSpread1->displayText(1, 2), QString());
        form->cmdOK->click();
        QCOMPARE(m_state.Model.LandLoads(1, 1), Slot::number(1.23456));
        QCOMPARE(m_state.Model.LandLoads(2, 2), Slot::number(12345.5));
        QCOMPARE(m_state.Model.LandLoads(3, 2), Slot::number(0));
    }

    void cancelStoresNothing() {
        fillTable(m_state, LoadSide::Land, 3);
        const LoadTable before = m_state.Model.LandLoads;
        auto form = open();
        form->mnuEditDel->trigger();
        form->mnuEditAdd->trigger();
        form->cmdCancel->click();
        QCOMPARE(form->UsrTag, QString("ｷｬﾝｾﾙ"));
        QCOMPARE(m_state.Model.LandLoadCount, 3);
        QVERIFY(m_state.Model.LandLoads == before);
        QVERIFY(!m_state.DataChanged);
    }

    void narrowWindowGivesZeroGridSize() {
        KajyuLayoutInput in;
        in.innerWidth = 1000;
        in.innerHeight = 500;
        in.okWidth = 1200;
        in.toolbarHeight = 400;
        in.statusHeight = 300;
        in.imageHeight = 1600;
        KajyuLayout out = ComputeKajyuLayout(in);
        QCOMPARE(out.gridWidth, 0);
        QCOMPARE(out.gridHeight, 0);
        QCOMPARE(out.buttonLeft, 1000 - 1440);
        QCOMPARE(out.imageTop, 400 + 120);
        in.innerWidth = 6000;
        in.innerHeight = 5000;
        out = ComputeKajyuLayout(in);
        QCOMPARE(out.gridTop, 400);
        QCOMPARE(out.gridWidth, 6000 - 1800);
        QCOMPARE(out.gridHeight, 5000 - 2540);
        QCOMPARE(out.imageTop, 400 + 2460 + 120);

        auto form = open();
        form->resize(60, 60);
        QCOMPARE(form->vaSpread1->width(), 0);
        QCOMPARE(form->vaSpread1->height(), 0);
    }

    void hintFollowsFocusAndCurrentCell() {
        fillTable(m_state, LoadSide::Land, 2);
        auto form = open();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->vaSpread1->setFocus();
        QTRY_COMPARE(form->statusHint(), QString("入力範囲：0.001～99.999"));
        form->vaSpread1->setActiveCell(1, 2);
        QCOMPARE(form->statusHint(), QString("入力範囲：0～9999.999"));
        form->cmdOK->setFocus();
        QTRY_COMPARE(form->statusHint(), QString());
        form->vaSpread1->setFocus();
        QTRY_COMPARE(form->statusHint(), QString("入力範囲：0～9999.999"));
        form->cmdCancel->click();
    }

    void hintTextsByCellKind() {
        DecimalGrid::CellType t;
        t.kind = DecimalGrid::KindText;
        t.maxLength = 40;
        QCOMPARE(CellInputHint(t), QString("入力範囲：40ﾊﾞｲﾄ以内の文字列"));
        t.kind = DecimalGrid::KindInteger;
        t.lower = -5;
        t.upper = 12;
        QCOMPARE(CellInputHint(t), QString("入力範囲：-5～12"));
        t.kind = DecimalGrid::KindList;
        QCOMPARE(CellInputHint(t), QString("入力範囲：(選択ﾘｽﾄ一覧より選択)"));
        t.kind = DecimalGrid::KindDate;
        QCOMPARE(CellInputHint(t),
                 QString("入力範囲：[M|T|S|H]YY/MM/DD（f3:本日，f4:ｶﾚﾝﾀﾞｰ表示）"));
        t.kind = 5;
        QCOMPARE(CellInputHint(t), QString());
    }

    // Shift+Ins and Shift+Del reach the row commands also while a cell editor is open; the
    // edit is committed first.
    void rowKeysWinOverAnOpenCellEditor() {
        fillTable(m_state, LoadSide::Land, 3);
        auto form = open();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        DecimalGrid& grid = *form->vaSpread1;
        grid.setFocus();
        grid.setActiveCell(1, 0);
        grid.edit(grid.currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.currentIndex()));
        QVERIFY(editor != nullptr);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        editor->setText("7.5");
        QTest::keyClick(editor, Qt::Key_Insert, Qt::ShiftModifier);
        QVERIFY(!grid.isEditing());
        QCOMPARE(grid.rowCount(), 4);
        QCOMPARE(cell(*form, 1, 0), 0.1);  // the inserted row
        QCOMPARE(cell(*form, 2, 0), 7.5);  // the committed edit moved down with its row

        grid.setActiveCell(2, 0);
        grid.edit(grid.currentIndex());
        editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.currentIndex()));
        QVERIFY(editor != nullptr);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        QTest::keyClick(editor, Qt::Key_Delete, Qt::ShiftModifier);
        QVERIFY(!grid.isEditing());
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(cell(*form, 2, 0), 3.0);

        // Without an editor the keys work on the grid as well.
        QTRY_VERIFY(grid.hasFocus());
        QTest::keyClick(&grid, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(grid.rowCount(), 2);
        form->cmdCancel->click();
    }

    void gridClipboardKeys() {
        fillTable(m_state, LoadSide::Land, 2);
        auto form = open();
        DecimalGrid& grid = *form->vaSpread1;
        grid.setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 0), true);
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("1.000\r\n2.000\r\n"));
        grid.clearSelection();
        grid.setActiveCell(1, 1);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cell(*form, 1, 1), 1.0);  // the second row is clipped
        QCOMPARE(grid.rowCount(), 2);
        form->cmdCancel->click();
    }

    void menuAndToolbarTexts() {
        auto form = open();
        QCOMPARE(form->mnuEdit->title(), QString("編集(&E)"));
        QCOMPARE(form->mnuEditDel->text(), QString("ﾃﾞｰﾀ行削除(&D) "));
        QCOMPARE(form->mnuEditIns->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
        QVERIFY(form->mnuEditCut->shortcut().isEmpty());
        QCOMPARE(form->toolbarButton("Insert")->toolTip(), QString("ﾃﾞｰﾀ行挿入(Shift+Ins)"));
        QCOMPARE(form->toolbarButton("Cut")->toolTip(), QString("切り取り(Ctrl+X)"));
        QCOMPARE(form->vaSpread1->horizontalHeaderItem(1)->text(), QString("ＰU(kN/m2)"));
        form->cmdCancel->click();
    }

    void okCommitsAnOpenCellEditor() {
        fillTable(m_state, LoadSide::Land, 1);
        auto form = open();
        DecimalGrid& grid = *form->vaSpread1;
        grid.setActiveCell(0, 1);
        grid.edit(grid.currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.currentIndex()));
        QVERIFY(editor != nullptr);
        editor->setText("42.5");
        form->cmdOK->click();
        QCOMPARE(m_state.Model.LandLoads(2, 1), Slot::number(42.5));
    }

    void positionAndSizeAreKept() {
        {
            auto form = open();
            form->resize(640, 520);
            QCOMPARE(form->vaSpread1->x(), 8);
            QVERIFY(form->cmdOK->x() + form->cmdOK->width() < 640);
            form->cmdCancel->click();
        }
        QFile ini(QString::fromStdString(m_state.IniFilePath));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY(text.contains("[InpKajyu]"));
        QVERIFY(text.contains("Width="));
        QVERIFY(text.contains("Height="));
        auto again = open();
        QCOMPARE(again->size(), QSize(640, 520));
        again->cmdCancel->click();
    }

    void showLoadTableFormRunsModally() {
        FakeUiServices ui;
        WhenModalShown<frmInpKajyu>([](frmInpKajyu& form) {
            form.mnuEditAdd->trigger();
            form.cmdOK->click();
        });
        ShowLoadTableForm(m_state, ui, nullptr, LoadSide::Sea);
        QCOMPARE(m_state.Model.SeaLoadCount, 1);
        QVERIFY(ui.messages.empty());
    }
};

QTEST_MAIN(InpKajyuFormTest)
#include "InpKajyuForm_qtest.moc"
