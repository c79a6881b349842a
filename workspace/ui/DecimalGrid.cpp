#include "workspace/ui/DecimalGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <cmath>

#include "foundation/Numeric.h"

namespace {

constexpr char kInitialTextProperty[] = "decimalGridInitialText";

QString formatFixed(double value, int decimals) {
    // QLocale::c() keeps "." whatever the user's locale; no "-0.000".
    QString text = QLocale::c().toString(value, 'f', decimals);
    bool allZero = true;
    for (QChar c : text) {
        if (c.isDigit() && c != u'0') allZero = false;
    }
    if (allZero && text.startsWith(u'-')) text.remove(0, 1);
    return text;
}

bool isRowCommandKey(const QKeyEvent* e) {
    return e->modifiers() == Qt::ShiftModifier &&
           (e->key() == Qt::Key_Insert || e->key() == Qt::Key_Delete);
}

// One delegate per column: shows the number with the column's decimals and edits it in a
// line edit that accepts only digits, a sign where the limits allow one, and the decimals.
class DecimalDelegate final : public QStyledItemDelegate {
  public:
    DecimalDelegate(DecimalGrid* grid, int column)
        : QStyledItemDelegate(grid), m_grid(grid), m_column(column) {}

    QString displayText(const QVariant& value, const QLocale&) const override {
        if (!value.isValid() || value.isNull()) return {};
        bool ok = false;
        const double v = value.toDouble(&ok);
        return ok ? formatFixed(v, m_grid->column(m_column).decimals) : QString{};
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        const DecimalGrid::Column& c = m_grid->column(m_column);
        auto* editor = new QLineEdit(parent);
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const QString sign = c.lower < 0 ? QStringLiteral("-?") : QString{};
        const QString fraction =
            c.decimals > 0 ? QStringLiteral("(\\.\\d{0,%1})?").arg(c.decimals) : QString{};
        editor->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("\\s*%1\\d*%2\\s*").arg(sign, fraction)), editor));
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = displayText(index.data(Qt::EditRole), QLocale::c());
        line->setText(text);
        line->setProperty(kInitialTextProperty, text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = line->text();
        // An editor closed unchanged keeps the stored number, with all its digits and even
        // when it lies outside the limits.
        if (text == line->property(kInitialTextProperty).toString()) return;
        if (text.trimmed().isEmpty()) {
            model->setData(index, QVariant(), Qt::EditRole);
            return;
        }
        if (const auto v = m_grid->parseForColumn(m_column, text)) {
            model->setData(index, *v, Qt::EditRole);
        }
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        // Shift+Ins / Shift+Del belong to the window's row commands, not to the line edit's
        // own paste and cut: let the shortcut through.
        if (event->type() == QEvent::ShortcutOverride &&
            isRowCommandKey(static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    DecimalGrid* m_grid;
    int m_column;
};

}  // namespace

DecimalGrid::DecimalGrid(QWidget* parent) : QTableWidget(parent) {
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSortingEnabled(false);
    setTabKeyNavigation(true);
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int oldRow, int oldCol) {
                emit leaveCell(oldCol, oldRow, col, row);
            });
    m_focusConnection =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            const bool within = now != nullptr && (now == this || isAncestorOf(now));
            if (within == m_focusWithin) return;
            m_focusWithin = within;
            if (within) {
                emit focusEntered();
            } else {
                emit focusLeft();
            }
        });
}

// The focus moves while the widget is being destroyed; stop listening before that.
DecimalGrid::~DecimalGrid() {
    disconnect(m_focusConnection);
}

void DecimalGrid::setColumns(const std::vector<Column>& columns) {
    m_columns = columns;
    for (int c = 0; c < static_cast<int>(m_delegates.size()); ++c)
        setItemDelegateForColumn(c, nullptr);
    qDeleteAll(m_delegates);
    m_delegates.clear();
    setColumnCount(static_cast<int>(columns.size()));
    QStringList headers;
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        headers << columns[static_cast<std::size_t>(c)].header;
        m_delegates.push_back(new DecimalDelegate(this, c));
        setItemDelegateForColumn(c, m_delegates.back());
    }
    setHorizontalHeaderLabels(headers);
}

std::optional<double> DecimalGrid::value(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    if (it == nullptr) return std::nullopt;
    const QVariant v = it->data(Qt::EditRole);
    if (!v.isValid() || v.isNull()) return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) return std::nullopt;
    return d;
}

bool DecimalGrid::setValue(int row, int col, std::optional<double> value) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) return false;
    if (value && !std::isfinite(*value)) return false;
    QTableWidgetItem* it = item(row, col);
    if (it == nullptr) {
        it = new QTableWidgetItem;
        setItem(row, col, it);
    }
    it->setData(Qt::EditRole, value ? QVariant(*value) : QVariant());
    return true;
}

QString DecimalGrid::displayText(int row, int col) const {
    const auto v = value(row, col);
    if (!v || col < 0 || col >= static_cast<int>(m_columns.size())) return {};
    return formatFixed(*v, column(col).decimals);
}

std::optional<double> DecimalGrid::parseForColumn(int col, const QString& text) const {
    if (col < 0 || col >= static_cast<int>(m_columns.size())) return std::nullopt;
    const QByteArray bytes = text.trimmed().toUtf8();
    const auto parsed = ParseDouble(std::string_view(bytes.constData(), bytes.size()));
    if (!parsed) return std::nullopt;
    const Column& c = column(col);
    const double v = RoundHalfUp(*parsed, c.decimals);
    if (!std::isfinite(v) || v < c.lower || v > c.upper) return std::nullopt;
    return v;
}

void DecimalGrid::setActiveCell(int row, int col) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) return;
    setCurrentCell(row, col, QItemSelectionModel::ClearAndSelect);
}

void DecimalGrid::selectActiveCellOnly() {
    const int row = activeRow();
    const int col = activeCol();
    clearSelection();
    setActiveCell(row, col);
}

DecimalGrid::CellType DecimalGrid::cellType(int, int col) const {
    CellType t;
    if (col >= 0 && col < static_cast<int>(m_columns.size())) {
        t.lower = column(col).lower;
        t.upper = column(col).upper;
    }
    return t;
}

std::optional<QTableWidgetSelectionRange> DecimalGrid::selectedBlock() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) return std::nullopt;
    // Contiguous selection: one range; take the bounding box should there be more.
    int top = ranges[0].topRow(), left = ranges[0].leftColumn();
    int bottom = ranges[0].bottomRow(), right = ranges[0].rightColumn();
    for (const auto& r : ranges) {
        top = std::min(top, r.topRow());
        left = std::min(left, r.leftColumn());
        bottom = std::max(bottom, r.bottomRow());
        right = std::max(right, r.rightColumn());
    }
    return QTableWidgetSelectionRange(top, left, bottom, right);
}

QTableWidgetSelectionRange DecimalGrid::blockOrActiveCell() const {
    if (const auto block = selectedBlock()) return *block;
    return QTableWidgetSelectionRange(currentRow(), currentColumn(), currentRow(), currentColumn());
}

QString DecimalGrid::blockText(const QTableWidgetSelectionRange& range) const {
    QString text;
    for (int r = range.topRow(); r <= range.bottomRow(); ++r) {
        for (int c = range.leftColumn(); c <= range.rightColumn(); ++c) {
            if (c > range.leftColumn()) text += u'\t';
            text += displayText(r, c);
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

void DecimalGrid::clearRange(const QTableWidgetSelectionRange& range) {
    for (int r = range.topRow(); r <= range.bottomRow(); ++r) {
        for (int c = range.leftColumn(); c <= range.rightColumn(); ++c)
            setValue(r, c, std::nullopt);
    }
}

void DecimalGrid::copyToClipboard() {
    const QTableWidgetSelectionRange range = blockOrActiveCell();
    if (range.topRow() < 0 || range.leftColumn() < 0) return;
    QGuiApplication::clipboard()->setText(blockText(range));
}

void DecimalGrid::cutToClipboard() {
    const QTableWidgetSelectionRange range = blockOrActiveCell();
    if (range.topRow() < 0 || range.leftColumn() < 0) return;
    QGuiApplication::clipboard()->setText(blockText(range));
    clearRange(range);
}

void DecimalGrid::pasteFromClipboard() {
    if (currentRow() < 0 || currentColumn() < 0) return;
    pasteText(currentRow(), currentColumn(), QGuiApplication::clipboard()->text());
}

void DecimalGrid::pasteText(int row, int col, const QString& text) {
    if (row < 0 || col < 0 || text.isEmpty()) return;
    QStringList lines = text.split(u'\n');
    if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();  // final line end
    for (int i = 0; i < lines.size(); ++i) {
        const int r = row + i;
        if (r >= rowCount()) break;
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        const QStringList fields = line.split(u'\t');
        for (int j = 0; j < fields.size(); ++j) {
            const int c = col + j;
            if (c >= columnCount()) break;
            if (fields[j].trimmed().isEmpty()) {
                setValue(r, c, std::nullopt);
            } else if (const auto v = parseForColumn(c, fields[j])) {
                setValue(r, c, *v);
            }
        }
    }
}

bool DecimalGrid::insertEmptyRow(int row) {
    if (row < 0 || row > rowCount()) return false;
    insertRow(row);
    return true;
}

bool DecimalGrid::deleteRow(int row) {
    if (row < 0 || row >= rowCount()) return false;
    removeRow(row);
    return true;
}

void DecimalGrid::commitOpenEditor() {
    if (state() != QAbstractItemView::EditingState) return;
    QWidget* editor = indexWidget(currentIndex());
    if (editor == nullptr) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DecimalGrid::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier) {
        switch (event->key()) {
            case Qt::Key_X:
                cutToClipboard();
                event->accept();
                return;
            case Qt::Key_C:
                copyToClipboard();
                event->accept();
                return;
            case Qt::Key_V:
                pasteFromClipboard();
                event->accept();
                return;
            default:
                break;
        }
    }
    if (isRowCommandKey(event)) {  // the window's row commands; never a clipboard key here
        event->ignore();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
