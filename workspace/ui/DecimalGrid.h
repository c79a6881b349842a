#pragma once
// A grid of decimal-number cells: each column has a lower and an upper limit and a fixed
// number of decimals. A cell holds a number or nothing; the number is kept as it was stored
// and only its display is rounded to the column's decimals ("." as decimal point whatever the
// locale). Edits and pastes accept only numbers within the column's limits; a value stored by
// code is kept and shown as it is, even outside the limits.
//
// Rows and columns are 0-based, as in QTableWidget; -1 means "no cell". Row count changes go
// through QTableWidget::setRowCount (set it before filling cells: cells past the last row are
// not stored), insertEmptyRow and deleteRow.
//
// Clipboard: blocks travel as tab-separated fields with CR LF between rows (LF alone is read
// too). Ctrl+X, Ctrl+C and Ctrl+V are the grid's own keys; Shift+Ins and Shift+Del are left to
// the window, also while a cell editor is open.

#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTableWidgetSelectionRange>
#include <optional>
#include <vector>

class DecimalGrid : public QTableWidget {
    Q_OBJECT
  public:
    // Cell kinds as the grid reports them to its window.
    enum CellKind : int {
        KindDate = 0,
        KindText = 1,
        KindDecimal = 2,
        KindInteger = 3,
        KindList = 8,
        KindPercent = 13,
    };

    struct Column {
        QString header;
        double lower = 0;
        double upper = 0;
        int decimals = 0;
    };

    // What the window needs to describe a cell's input range.
    struct CellType {
        int kind = KindDecimal;
        double lower = 0;
        double upper = 0;
        int maxLength = 0;  // text cells only
    };

    explicit DecimalGrid(QWidget* parent = nullptr);
    ~DecimalGrid() override;

    // Replaces the columns; existing rows keep their cells where the column still exists.
    void setColumns(const std::vector<Column>& columns);
    const Column& column(int col) const { return m_columns.at(static_cast<std::size_t>(col)); }

    // The number in a cell; nullopt for an empty cell or a cell outside the grid.
    std::optional<double> value(int row, int col) const;
    // Stores a number (nullopt empties the cell) without the limit check. False outside the grid.
    bool setValue(int row, int col, std::optional<double> value);
    // The cell's text as displayed: the number with the column's decimals, or "".
    QString displayText(int row, int col) const;
    // Parses an edited or pasted text for a column: the number rounded to the column's
    // decimals when it is a number within the limits, else nullopt. Blanks around are ignored.
    std::optional<double> parseForColumn(int col, const QString& text) const;

    // Active cell.
    int activeRow() const { return currentRow(); }
    int activeCol() const { return currentColumn(); }
    // Makes (row, col) the active cell and the whole selection.
    void setActiveCell(int row, int col);
    // Drops any block so that only the active cell (if any) stays selected.
    void selectActiveCellOnly();

    CellType cellType(int row, int col) const;

    // The selected block, when the selection covers anything; otherwise nullopt.
    std::optional<QTableWidgetSelectionRange> selectedBlock() const;

    // Clipboard operations on the selected block, or on the active cell when there is none.
    void cutToClipboard();
    void copyToClipboard();
    // Pastes the clipboard's text with its top-left field at the active cell. Fields past the
    // last row or column are dropped; a field that is not a number within its column's limits
    // leaves its cell unchanged; an empty field empties its cell.
    void pasteFromClipboard();

    // Block text of a range (tab-separated, CR LF after every row).
    QString blockText(const QTableWidgetSelectionRange& range) const;
    // Writes a block text with its top-left field at (row, col), with the rules of paste.
    void pasteText(int row, int col, const QString& text);

    // Inserts an empty row before `row` (row == rowCount() appends); false when out of range.
    bool insertEmptyRow(int row);
    bool deleteRow(int row);

    // True while the grid or its cell editor has the focus.
    bool hasFocusWithin() const { return m_focusWithin; }
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    // Commits and closes an open cell editor (an invalid text leaves the cell unchanged).
    void commitOpenEditor();

  signals:
    // The active cell moves from (col, row) to (newCol, newRow); -1 for none.
    void leaveCell(int col, int row, int newCol, int newRow);
    // Focus enters the grid from outside, or leaves the grid and its cell editor.
    void focusEntered();
    void focusLeft();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QTableWidgetSelectionRange blockOrActiveCell() const;
    void clearRange(const QTableWidgetSelectionRange& range);

    // columns
    std::vector<Column> m_columns;
    std::vector<QStyledItemDelegate*> m_delegates;  // owned by the grid (Qt parent)
    // focus
    bool m_focusWithin = false;  // the grid or its cell editor has the focus
    QMetaObject::Connection m_focusConnection;
};
