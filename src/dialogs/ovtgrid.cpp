#include "dialogs/ovtgrid.h"

#include "dialogs/prompts.h"
#include "dialogs/twips.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

enum class RowKey
{
    None,
    Insert,
    Remove
};

// Ctrl++ as a US or a Japanese keyboard or the keypad delivers it (the plus
// comes shifted, or as Ctrl+= unshifted), and Ctrl+-, as in a spreadsheet.
RowKey rowKey(const QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (mods != Qt::ControlModifier)
        return RowKey::None;
    switch (e->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return RowKey::Insert;
    case Qt::Key_Minus:
        return RowKey::Remove;
    default:
        return RowKey::None;
    }
}

const QString kInsertRow = QStringLiteral("行挿入");
const QString kRemoveRow = QStringLiteral("行削除");

} // namespace

// The cells of the grid, fixed ones included. The view sees the rows below
// the fixed rows; the fixed row becomes the column headers.
class OvtGridModel final : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    int mRows = 2;
    int mCols = 2;
    int mFixedRows = 1;
    int mFixedCols = 1;
    bool mEditable = true;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : mRows - mFixedRows;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : mCols;
    }

    bool inside(int row, int col) const
    {
        return row >= 0 && row < mRows && col >= 0 && col < mCols;
    }
    QString text(int row, int col) const
    {
        return inside(row, col) ? mText[at(row, col)] : QString();
    }
    QVariant cellData(int row, int col) const
    {
        return inside(row, col) ? mData[at(row, col)] : QVariant();
    }
    void setCellData(int row, int col, const QVariant& v)
    {
        if (inside(row, col))
            mData[at(row, col)] = v;
    }

    void setText(int row, int col, const QString& t)
    {
        if (!inside(row, col) || mText[at(row, col)] == t)
            return;
        mText[at(row, col)] = t;
        mData[at(row, col)] = QVariant();
        if (row < mFixedRows) {
            emit headerDataChanged(Qt::Horizontal, col, col);
        } else {
            const QModelIndex i = index(row - mFixedRows, col);
            emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
        }
    }

    void clearAll()
    {
        beginResetModel();
        std::fill(mText.begin(), mText.end(), QString());
        std::fill(mData.begin(), mData.end(), QVariant());
        std::fill(mRowData.begin(), mRowData.end(), QVariant());
        endResetModel();
    }

    QVariant rowData(int row) const
    {
        return row >= 0 && row < mRows ? mRowData[size_t(row)] : QVariant();
    }
    void setRowData(int row, const QVariant& v)
    {
        if (row >= 0 && row < mRows)
            mRowData[size_t(row)] = v;
    }

    // Moves the rows from `from` on by one, down (insert) or up (remove); the
    // row left behind is empty. The shape stays, so the view keeps its
    // current cell and selection.
    void shiftRows(int from, bool down)
    {
        if (from < mFixedRows || from >= mRows)
            return;
        const auto rowBegin = [this](int r) { return ptrdiff_t(at(r, 0)); };
        const int last = mRows - 1;
        if (down) {
            std::move_backward(mText.begin() + rowBegin(from), mText.begin() + rowBegin(last),
                               mText.begin() + rowBegin(last) + mCols);
            std::move_backward(mData.begin() + rowBegin(from), mData.begin() + rowBegin(last),
                               mData.begin() + rowBegin(last) + mCols);
            std::move_backward(mRowData.begin() + from, mRowData.begin() + last,
                               mRowData.begin() + last + 1);
        } else {
            std::move(mText.begin() + rowBegin(from + 1), mText.end(),
                      mText.begin() + rowBegin(from));
            std::move(mData.begin() + rowBegin(from + 1), mData.end(),
                      mData.begin() + rowBegin(from));
            std::move(mRowData.begin() + from + 1, mRowData.end(), mRowData.begin() + from);
        }
        const int empty = down ? from : last;
        std::fill_n(mText.begin() + rowBegin(empty), mCols, QString());
        std::fill_n(mData.begin() + rowBegin(empty), mCols, QVariant());
        mRowData[size_t(empty)] = QVariant();
        renumber();
        emit dataChanged(index(from - mFixedRows, 0), index(last - mFixedRows, mCols - 1),
                         {Qt::DisplayRole, Qt::EditRole});
    }

    // The fixed column numbers its rows 1, 2, ... down to the last row that
    // has a number, so a row inserted among them is numbered too.
    void renumber()
    {
        if (mFixedCols < 1)
            return;
        int last = mRows - 1;
        while (last >= mFixedRows && mText[at(last, 0)].isEmpty())
            --last;
        for (int r = mFixedRows; r <= last; ++r)
            mText[at(r, 0)] = QString::number(r - mFixedRows + 1);
    }

    // Whether a row holds anything the user may have typed.
    bool rowHoldsValues(int row) const
    {
        for (int c = mFixedCols; c < mCols; ++c) {
            if (!text(row, c).isEmpty())
                return true;
        }
        return false;
    }

    // Changes the shape; cells that stay keep their texts and data.
    void reshape(int rows, int cols, int fixedRows, int fixedCols)
    {
        beginResetModel();
        std::vector<QString> text(size_t(rows) * size_t(cols));
        std::vector<QVariant> data(text.size());
        mRowData.resize(size_t(rows));
        for (int r = 0; r < std::min(rows, mRows); ++r) {
            for (int c = 0; c < std::min(cols, mCols); ++c) {
                text[size_t(r) * size_t(cols) + size_t(c)] = std::move(mText[at(r, c)]);
                data[size_t(r) * size_t(cols) + size_t(c)] = std::move(mData[at(r, c)]);
            }
        }
        mText = std::move(text);
        mData = std::move(data);
        mRows = rows;
        mCols = cols;
        mFixedRows = fixedRows;
        mFixedCols = fixedCols;
        endResetModel();
    }

    void setEditable(bool on)
    {
        beginResetModel();
        mEditable = on;
        endResetModel();
    }

    QVariant data(const QModelIndex& i, int role) const override
    {
        if (!i.isValid())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return text(i.row() + mFixedRows, i.column());
        case Qt::TextAlignmentRole:
            return i.column() < mFixedCols ? int(Qt::AlignCenter)
                                           : int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o == Qt::Horizontal && role == Qt::DisplayRole && mFixedRows > 0)
            return text(0, section);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& i) const override
    {
        if (!i.isValid())
            return Qt::NoItemFlags;
        if (i.column() < mFixedCols)
            return Qt::ItemIsEnabled;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (mEditable)
            f |= Qt::ItemIsEditable;
        return f;
    }

    // Only the user's edits arrive here, through the cell editor.
    bool setData(const QModelIndex& i, const QVariant& v, int role) override
    {
        if (!i.isValid() || role != Qt::EditRole || !(flags(i) & Qt::ItemIsEditable))
            return false;
        setText(i.row() + mFixedRows, i.column(), v.toString());
        return true;
    }

private:
    size_t at(int row, int col) const { return size_t(row) * size_t(mCols) + size_t(col); }

    std::vector<QString> mText = std::vector<QString>(4);
    std::vector<QVariant> mData = std::vector<QVariant>(4);
    std::vector<QVariant> mRowData = std::vector<QVariant>(2);
};

// Paints the fixed columns like headers and lets Enter end an edit by moving
// down, as in a spreadsheet, instead of reaching the dialog's default button.
class OvtGridDelegate final : public QStyledItemDelegate
{
public:
    explicit OvtGridDelegate(OvtGrid* grid) : QStyledItemDelegate(grid), mGrid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() < mGrid->fixedColumns())
            option->backgroundBrush = option->palette.button();
    }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            auto* editor = qobject_cast<QWidget*>(object);
            if (editor && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                mGrid->moveAfterEnter(key->modifiers());
                return true;
            }
            // A row insert or delete ends the edit first, keeping what was typed.
            if (editor && rowKey(key) != RowKey::None) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                mGrid->runRowKey(key);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    OvtGrid* mGrid;
};

OvtGrid::OvtGrid(Prompts& prompts, QWidget* parent)
    : QTableView(parent), mPrompts(prompts), mModel(new OvtGridModel(this))
{
    setModel(mModel);
    setItemDelegate(new OvtGridDelegate(this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &OvtGrid::scrollPositionChanged);
    // A reset of the model gives the header its default section sizes back.
    connect(mModel, &QAbstractItemModel::modelReset, this, &OvtGrid::applyColumnWidths);
    mWidthTwips = QList<int>(mModel->mCols, -1);
    applyFixedRows();
}

OvtGrid::~OvtGrid() = default;

void OvtGrid::setRedraw(bool on)
{
    setUpdatesEnabled(on);
}

bool OvtGrid::redraw() const
{
    return updatesEnabled();
}

void OvtGrid::clear()
{
    mModel->clearAll();
}

void OvtGrid::setRowCount(int rows)
{
    rows = std::max(rows, 0);
    mModel->reshape(rows, mModel->mCols, std::min(mModel->mFixedRows, rows),
                    std::min(mModel->mFixedCols, mModel->mCols));
    applyFixedRows();
}

int OvtGrid::rowCount() const
{
    return mModel->mRows;
}

void OvtGrid::setColumnCount(int columns)
{
    columns = std::max(columns, 0);
    mWidthTwips.resize(columns, -1);
    mModel->reshape(mModel->mRows, columns, mModel->mFixedRows,
                    std::min(mModel->mFixedCols, columns));
}

int OvtGrid::columnCount() const
{
    return mModel->mCols;
}

void OvtGrid::setFixedRows(int rows)
{
    mModel->reshape(mModel->mRows, mModel->mCols, std::clamp(rows, 0, std::min(1, mModel->mRows)),
                    mModel->mFixedCols);
    applyFixedRows();
}

int OvtGrid::fixedRows() const
{
    return mModel->mFixedRows;
}

void OvtGrid::setFixedColumns(int columns)
{
    mModel->reshape(mModel->mRows, mModel->mCols, mModel->mFixedRows,
                    std::clamp(columns, 0, mModel->mCols));
}

int OvtGrid::fixedColumns() const
{
    return mModel->mFixedCols;
}

int OvtGrid::dataRowCount() const
{
    return mModel->mRows - mModel->mFixedRows;
}

void OvtGrid::setEditable(bool on)
{
    mModel->setEditable(on);
}

void OvtGrid::setUp(int rows, const QStringList& headers, const QList<int>& widthsTwips,
                    int fixedColumns, bool editable, int extraTwips)
{
    setRedraw(false);
    clear();
    setRowCount(rows);
    setColumnCount(int(headers.size()));
    setFixedRows(1);
    setFixedColumns(fixedColumns);
    for (int c = 0; c < headers.size(); ++c)
        setCellText(0, c, headers[c]);
    for (int c = 0; c < widthsTwips.size(); ++c)
        setColumnWidthTwips(c, widthsTwips[c]);
    setEditable(editable);
    int width = 0;
    for (int c = 0; c < columnCount(); ++c)
        width += columnWidthTwips(c);
    setWidthTwips(width + extraTwips);
}

bool OvtGrid::editable() const
{
    return mModel->mEditable;
}

QString OvtGrid::cellText(int row, int column) const
{
    return mModel->text(row, column);
}

void OvtGrid::setCellText(int row, int column, const QString& text)
{
    mModel->setText(row, column, text);
}

void OvtGrid::setRowText(int row, const QString& text)
{
    const QStringList pieces = text.split(u'\t');
    for (int c = 0; c < std::min<int>(int(pieces.size()), mModel->mCols); ++c)
        mModel->setText(row, c, pieces[c]);
}

void OvtGrid::setCellData(int row, int column, const QVariant& data)
{
    mModel->setCellData(row, column, data);
}

QVariant OvtGrid::cellData(int row, int column) const
{
    return mModel->cellData(row, column);
}

void OvtGrid::setColumnWidthTwips(int column, int twips)
{
    if (column < 0 || column >= mWidthTwips.size())
        return;
    mWidthTwips[column] = std::max(twips, 0);
    setColumnWidth(column, Twips::toPixelsX(*this, mWidthTwips[column]));
}

int OvtGrid::columnWidthTwips(int column) const
{
    if (column < 0 || column >= mWidthTwips.size())
        return 0;
    const int set = mWidthTwips[column];
    return set >= 0 ? set : Twips::fromPixelsX(*this, columnWidth(column));
}

void OvtGrid::setWidthTwips(int twips)
{
    mGridWidthTwips = std::max(twips, 0);
    resize(Twips::toPixelsX(*this, mGridWidthTwips), height());
}

int OvtGrid::widthTwips() const
{
    return mGridWidthTwips >= 0 ? mGridWidthTwips : Twips::fromPixelsX(*this, width());
}

void OvtGrid::setLeftTwips(int twips)
{
    mGridLeftTwips = twips;
    move(Twips::toPixelsX(*this, twips), y());
}

int OvtGrid::leftTwips() const
{
    return mGridLeftTwips >= 0 ? mGridLeftTwips : Twips::fromPixelsX(*this, x());
}

int OvtGrid::topRow() const
{
    return mModel->mFixedRows + verticalScrollBar()->value();
}

void OvtGrid::setTopRow(int row)
{
    // The scroll bar clamps the value and signals only a real change.
    verticalScrollBar()->setValue(row - mModel->mFixedRows);
}

void OvtGrid::scrollPositionChanged()
{
    const int top = topRow();
    if (top == mLastTopRow)
        return;
    mLastTopRow = top;
    emit topRowChanged(top);
}

void OvtGrid::setRowData(int row, const QVariant& data)
{
    mModel->setRowData(row, data);
}

QVariant OvtGrid::rowData(int row) const
{
    return mModel->rowData(row);
}

void OvtGrid::insertRow(int row)
{
    mModel->shiftRows(row, true);
}

void OvtGrid::removeRow(int row)
{
    mModel->shiftRows(row, false);
}

void OvtGrid::insertRowsCommand()
{
    const QModelIndex cur = currentIndex();
    if (!editable() || !cur.isValid())
        return;
    if (mModel->rowHoldsValues(rowCount() - 1)) {
        mPrompts.information(this, kInsertRow,
                             QStringLiteral("表の最後の行に値が入っているため、"
                                            "行を挿入できません。"));
        return;
    }
    const int row = cur.row() + fixedRows();
    insertRow(row);
    emit rowInsertedAt(row);
}

void OvtGrid::removeRowsCommand()
{
    if (!editable())
        return;
    QList<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        rows << i.row();
    if (currentIndex().isValid())
        rows << currentIndex().row();
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the bottom up, so that each number still names its row.
    for (int r : rows) {
        removeRow(r + fixedRows());
        emit rowRemovedAt(r + fixedRows());
    }
}

bool OvtGrid::runRowKey(const QKeyEvent* e)
{
    switch (rowKey(e)) {
    case RowKey::Insert:
        insertRowsCommand();
        return true;
    case RowKey::Remove:
        removeRowsCommand();
        return true;
    case RowKey::None:
        break;
    }
    return false;
}

void OvtGrid::contextMenuEvent(QContextMenuEvent* e)
{
    if (!editable())
        return;
    // A right click outside the selection makes its cell the current one,
    // so the command acts on the row under the pointer.
    // The event comes through the viewport, in its coordinates.
    const QModelIndex hit = indexAt(e->pos());
    if (hit.isValid() && !selectionModel()->isSelected(hit))
        setCurrentIndex(hit);
    if (!currentIndex().isValid())
        return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The keys are shown only: they are handled by keyPressEvent.
    menu->addAction(kInsertRow + QStringLiteral("\tCtrl++"), this, &OvtGrid::insertRowsCommand);
    menu->addAction(kRemoveRow + QStringLiteral("\tCtrl+-"), this, &OvtGrid::removeRowsCommand);
    menu->popup(e->globalPos());
    e->accept();
}

QString OvtGrid::copyText() const
{
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    if (cells.isEmpty())
        return {};
    int top = cells[0].row(), bottom = top, left = cells[0].column(), right = left;
    for (const QModelIndex& i : cells) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    // Cells of the rectangle that are not selected give empty pieces, so the
    // rows keep their shape wherever they are pasted.
    QStringList rows;
    for (int r = top; r <= bottom; ++r) {
        QStringList row;
        for (int c = left; c <= right; ++c) {
            const QModelIndex i = mModel->index(r, c);
            row << (selectionModel()->isSelected(i) || i == currentIndex()
                        ? cellText(r + fixedRows(), c)
                        : QString());
        }
        rows << row.join(u'\t');
    }
    return rows.join(u'\n');
}

QModelIndex OvtGrid::pasteOrigin() const
{
    const QModelIndex cur = currentIndex();
    const int row = cur.isValid() ? cur.row() : 0;
    const int col = cur.isValid() ? std::max(cur.column(), fixedColumns()) : fixedColumns();
    return mModel->index(row, col);
}

void OvtGrid::pasteText(const QString& text)
{
    if (!editable())
        return;
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    // Spreadsheets end the last row with a line break too.
    if (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast();
    const QModelIndex origin = pasteOrigin();
    if (!origin.isValid())
        return;

    const int rowRoom = mModel->rowCount() - origin.row();
    const int colRoom = columnCount() - origin.column();
    int cutRows = std::max<int>(0, int(lines.size()) - rowRoom);
    int cutCols = 0;
    for (int i = 0; i < std::min<int>(int(lines.size()), rowRoom); ++i) {
        const QStringList cells = lines[i].split(u'\t');
        cutCols = std::max<int>(cutCols, int(cells.size()) - colRoom);
        for (int j = 0; j < std::min<int>(int(cells.size()), colRoom); ++j)
            setCellText(origin.row() + fixedRows() + i, origin.column() + j, cells[j]);
    }
    if (cutRows > 0 || cutCols > 0) {
        QStringList parts;
        if (cutRows > 0)
            parts << QStringLiteral("下の %1 行").arg(cutRows);
        if (cutCols > 0)
            parts << QStringLiteral("右の %1 列").arg(cutCols);
        mPrompts.information(this, QStringLiteral("貼り付け"),
                             QStringLiteral("貼り付けるデータが表に収まらないため、"
                                            "はみ出した%1は貼り付けませんでした。")
                                 .arg(parts.join(QStringLiteral("と"))));
    }
}

void OvtGrid::clearSelectedCells()
{
    if (!editable())
        return;
    const QModelIndexList cells = selectionModel()->selectedIndexes();
    for (const QModelIndex& i : cells) {
        if (i.flags() & Qt::ItemIsEditable)
            setCellText(i.row() + fixedRows(), i.column(), QString());
    }
}

void OvtGrid::keyPressEvent(QKeyEvent* e)
{
    if (runRowKey(e)) {
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(copyText());
    } else if (e->matches(QKeySequence::Cut)) {
        QGuiApplication::clipboard()->setText(copyText());
        clearSelectedCells();
    } else if (e->matches(QKeySequence::Paste)) {
        pasteText(QGuiApplication::clipboard()->text());
    } else if (e->key() == Qt::Key_Delete) {
        clearSelectedCells();
    } else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        moveAfterEnter(e->modifiers());
    } else {
        QTableView::keyPressEvent(e);
        return;
    }
    e->accept();
}

void OvtGrid::moveAfterEnter(Qt::KeyboardModifiers modifiers)
{
    const QModelIndex cur = currentIndex();
    if (!cur.isValid())
        return;
    const int row = cur.row() + ((modifiers & Qt::ShiftModifier) ? -1 : 1);
    if (row < 0 || row >= mModel->rowCount())
        return;
    setCurrentIndex(mModel->index(row, cur.column()));
}

QModelIndex OvtGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const int first = std::min(fixedColumns(), std::max(columnCount() - 1, 0));
    const int last = columnCount() - 1;
    const QModelIndex cur = currentIndex();
    if (!cur.isValid() && mModel->rowCount() > 0 && columnCount() > 0)
        return mModel->index(0, first);
    if (action == MoveNext || action == MovePrevious) {
        int r = cur.row();
        int c = cur.column() + (action == MoveNext ? 1 : -1);
        if (c > last) {
            c = first;
            ++r;
        } else if (c < first) {
            c = last;
            --r;
        }
        // Past the first or last cell, Tab leaves the grid.
        if (r < 0 || r >= mModel->rowCount())
            return {};
        return mModel->index(r, c);
    }
    QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (next.isValid() && next.column() < first)
        next = mModel->index(next.row(), first);
    return next;
}

void OvtGrid::applyFixedRows()
{
    horizontalHeader()->setVisible(mModel->mFixedRows > 0);
}

void OvtGrid::applyColumnWidths()
{
    for (int c = 0; c < mWidthTwips.size(); ++c) {
        if (mWidthTwips[c] >= 0)
            setColumnWidth(c, Twips::toPixelsX(*this, mWidthTwips[c]));
    }
}
