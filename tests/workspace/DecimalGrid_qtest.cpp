// The decimal grid: display, edit limits, block clipboard, rows, and a decimal-comma locale.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QtTest>
#include <clocale>

#include "workspace/ui/DecimalGrid.h"

class DecimalGridTest : public QObject {
    Q_OBJECT

  private:
    // A cell's number, or a marker that no test value uses for an empty cell.
    static double cell(const DecimalGrid& grid, int row, int col) {
        return grid.value(row, col).value_or(-123456.0);
    }

    static std::unique_ptr<DecimalGrid> makeGrid(int rows) {
        auto grid = std::make_unique<DecimalGrid>();
        grid->setColumns({{"A", 0.001, 99.999, 3}, {"B", 0, 9999.999, 3}, {"C", -5, 5, 1}});
        grid->setRowCount(rows);
        return grid;
    }

    // Types `text` into the active cell's editor and presses Enter.
    static void typeIntoActiveCell(DecimalGrid& grid, const QString& text) {
        grid.edit(grid.currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.currentIndex()));
        QVERIFY(editor != nullptr);
        editor->clear();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the view commits on a queued call
    }

  private slots:
    void displayRoundsButKeepsTheNumber() {
        auto grid = makeGrid(2);
        QVERIFY(grid->setValue(0, 0, 0.12345));
        QCOMPARE(grid->displayText(0, 0), QString("0.123"));
        QCOMPARE(cell(*grid, 0, 0), 0.12345);
        QVERIFY(grid->setValue(0, 1, -0.0001));  // never "-0.000"
        QCOMPARE(grid->displayText(0, 1), QString("0.000"));
        QVERIFY(!grid->value(1, 0).has_value());
        QCOMPARE(grid->displayText(1, 0), QString());
        QVERIFY(!grid->setValue(2, 0, 1.0));  // past the last row: not stored
    }

    void storedValueOutsideLimitsIsShownAsItIs() {
        auto grid = makeGrid(1);
        QVERIFY(grid->setValue(0, 0, 150.5));
        QCOMPARE(grid->displayText(0, 0), QString("150.500"));
        QCOMPARE(cell(*grid, 0, 0), 150.5);
    }

    void editAcceptsOnlyNumbersWithinLimits() {
        auto grid = makeGrid(2);
        grid->show();
        grid->setValue(0, 0, 1.0);
        grid->setActiveCell(0, 0);
        typeIntoActiveCell(*grid, "2.5");
        QCOMPARE(cell(*grid, 0, 0), 2.5);
        typeIntoActiveCell(*grid, "100");  // above 99.999
        QCOMPARE(cell(*grid, 0, 0), 2.5);
        typeIntoActiveCell(*grid, "0");  // below 0.001
        QCOMPARE(cell(*grid, 0, 0), 2.5);
        typeIntoActiveCell(*grid, "-1");   // the validator refuses the sign
        QCOMPARE(cell(*grid, 0, 0), 1.0);  // "1" typed, the "-" refused
        grid->setActiveCell(0, 2);
        typeIntoActiveCell(*grid, "-4.5");  // this column allows negatives
        QCOMPARE(cell(*grid, 0, 2), -4.5);
        grid->setActiveCell(0, 0);
        typeIntoActiveCell(*grid, "");  // emptied
        QVERIFY(!grid->value(0, 0).has_value());
    }

    void editorClosedUnchangedKeepsTheStoredNumber() {
        auto grid = makeGrid(1);
        grid->show();
        grid->setValue(0, 0, 0.12345);
        grid->setValue(0, 1, 12345.0);  // outside the limits
        for (int col : {0, 1}) {
            grid->setActiveCell(0, col);
            grid->edit(grid->currentIndex());
            QVERIFY(grid->isEditing());
            grid->commitOpenEditor();
            QVERIFY(!grid->isEditing());
        }
        QCOMPARE(cell(*grid, 0, 0), 0.12345);
        QCOMPARE(cell(*grid, 0, 1), 12345.0);
    }

    void blockTextAndCut() {
        auto grid = makeGrid(3);
        grid->setValue(0, 0, 1.0);
        grid->setValue(0, 1, 2.5);
        grid->setValue(1, 1, 3.25);
        const QTableWidgetSelectionRange range(0, 0, 1, 1);
        QCOMPARE(grid->blockText(range), QString("1.000\t2.500\r\n\t3.250\r\n"));

        grid->setActiveCell(1, 1);
        grid->clearSelection();
        QVERIFY(!grid->selectedBlock().has_value());
        grid->cutToClipboard();  // no block: the active cell alone
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("3.250\r\n"));
        QVERIFY(!grid->value(1, 1).has_value());
        QCOMPARE(cell(*grid, 0, 1), 2.5);

        grid->setRangeSelected(range, true);
        grid->copyToClipboard();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("1.000\t2.500\r\n\t\r\n"));
        grid->cutToClipboard();
        QVERIFY(!grid->value(0, 0) && !grid->value(0, 1));
    }

    void pasteAtTheLastRowsIsClipped() {
        auto grid = makeGrid(3);
        grid->pasteText(2, 1, "1\t2\t3\r\n4\t5\t6\r\n");
        QCOMPARE(cell(*grid, 2, 1), 1.0);
        QCOMPARE(cell(*grid, 2, 2), 2.0);
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(grid->columnCount(), 3);
        QVERIFY(!grid->value(1, 1).has_value());
    }

    void pasteLeavesInvalidAndOutOfLimitCellsUnchanged() {
        auto grid = makeGrid(2);
        for (int c = 0; c < 3; ++c) grid->setValue(0, c, 1.0);
        grid->setValue(1, 0, 7.0);
        grid->setValue(1, 1, 7.0);
        grid->pasteText(0, 0, "abc\t12345\t4,5\n0.0004\t\n");  // LF rows
        QCOMPARE(cell(*grid, 0, 0), 1.0);                      // not a number
        QCOMPARE(cell(*grid, 0, 1), 1.0);                      // above the limit
        QCOMPARE(cell(*grid, 0, 2), 1.0);                      // decimal comma is not a number here
        QCOMPARE(cell(*grid, 1, 0), 7.0);         // 0.0004 rounds to 0.000, below 0.001
        QVERIFY(!grid->value(1, 1).has_value());  // an empty field empties the cell
        grid->pasteText(1, 1, " 2.34567 ");
        QCOMPARE(cell(*grid, 1, 1), 2.346);  // rounded to the column's decimals
    }

    void pasteFromClipboardStartsAtTheActiveCell() {
        auto grid = makeGrid(3);
        grid->setActiveCell(1, 1);
        QGuiApplication::clipboard()->setText("8\t4.5");
        grid->pasteFromClipboard();
        QCOMPARE(cell(*grid, 1, 1), 8.0);
        QCOMPARE(cell(*grid, 1, 2), 4.5);
        QVERIFY(!grid->value(1, 0).has_value());
    }

    void rowInsertAndDelete() {
        auto grid = makeGrid(3);
        for (int r = 0; r < 3; ++r) grid->setValue(r, 0, r + 1.0);
        QVERIFY(grid->insertEmptyRow(1));
        QCOMPARE(grid->rowCount(), 4);
        QVERIFY(!grid->value(1, 0).has_value());
        QCOMPARE(cell(*grid, 2, 0), 2.0);
        QVERIFY(grid->deleteRow(0));
        QCOMPARE(cell(*grid, 2, 0), 3.0);
        QVERIFY(!grid->deleteRow(3));
        QVERIFY(!grid->insertEmptyRow(5));
        QVERIFY(grid->insertEmptyRow(3));  // append
        QCOMPARE(grid->rowCount(), 4);
    }

    void leaveCellReportsTheEnteredCell() {
        auto grid = makeGrid(3);
        QSignalSpy spy(grid.get(), &DecimalGrid::leaveCell);
        grid->setActiveCell(0, 0);
        grid->setActiveCell(2, 1);
        QCOMPARE(spy.size(), 2);
        const QList<QVariant> last = spy.back();
        QCOMPARE(last.at(0).toInt(), 0);  // col left
        QCOMPARE(last.at(1).toInt(), 0);  // row left
        QCOMPARE(last.at(2).toInt(), 1);  // col entered
        QCOMPARE(last.at(3).toInt(), 2);  // row entered
        const DecimalGrid::CellType t = grid->cellType(2, 1);
        QCOMPARE(t.kind, int(DecimalGrid::KindDecimal));
        QCOMPARE(t.upper, 9999.999);
    }

    void decimalCommaLocaleStillUsesThePoint() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German));
        const bool haveCLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        Q_UNUSED(haveCLocale);
        {
            auto grid = makeGrid(2);
            grid->show();
            grid->setValue(0, 0, 1234.5);
            QCOMPARE(grid->displayText(0, 0), QString("1234.500"));
            const QModelIndex index = grid->model()->index(0, 0);
            auto* delegate = qobject_cast<QStyledItemDelegate*>(grid->itemDelegateForColumn(0));
            QVERIFY(delegate != nullptr);
            QCOMPARE(delegate->displayText(index.data(), QLocale()), QString("1234.500"));
            grid->setActiveCell(1, 1);
            typeIntoActiveCell(*grid, "1.5");
            QCOMPARE(cell(*grid, 1, 1), 1.5);
            grid->pasteText(1, 0, "2.25");
            QCOMPARE(cell(*grid, 1, 0), 2.25);
            QCOMPARE(grid->blockText(QTableWidgetSelectionRange(1, 0, 1, 1)),
                     QString("2.250\t1.500\r\n"));
        }
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(saved);
    }
};

QTEST_MAIN(DecimalGridTest)
#include "DecimalGrid_qtest.moc"
