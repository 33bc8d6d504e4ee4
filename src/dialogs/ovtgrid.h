#pragma once

#include <QList>
#include <QStringList>
#include <QTableView>
#include <QVariant>

class OvtGridModel;
class Prompts;

// The editable grid of the point and layer tables. Cells are addressed by
// (row, column) from 0; with one fixed row, row 0 is the header row, shown as
// the column headers, and fixed columns (the row numbers) cannot be edited.
// Sizes are in twips (1/1440 inch) at the screen's logical DPI (see Twips).
//
// Editing works as in a spreadsheet: typing replaces the cell, Enter moves
// down, Tab moves right and on to the next row, Delete clears the selected
// cells, Ctrl+C copies them as TAB-separated rows and Ctrl+V pastes such rows
// from the current cell on. Ctrl++ (or Ctrl+=) inserts an empty row above the
// current one and Ctrl+- deletes the selected rows, as the grid's context menu
// does (行挿入, 行削除); the rows below move and the numbers of the fixed
// column follow.
class OvtGrid : public QTableView
{
    Q_OBJECT
public:
    // prompts: where the user is told that a paste did not fit.
    explicit OvtGrid(Prompts& prompts, QWidget* parent = nullptr);
    ~OvtGrid() override;

    // No repaint while off; the current contents are shown when it is on again.
    void setRedraw(bool on);
    bool redraw() const;

    // Every cell, header cells included, becomes empty; cell data is dropped.
    void clear();

    // Rows and columns, fixed ones included. Texts of cells that stay keep.
    void setRowCount(int rows);
    int rowCount() const;
    void setColumnCount(int columns);
    int columnCount() const;
    // 0 or 1 fixed rows: with one, row 0 is the header row.
    void setFixedRows(int rows);
    int fixedRows() const;
    void setFixedColumns(int columns);
    int fixedColumns() const;
    // The rows below the fixed rows.
    int dataRowCount() const;

    // Whether the user may change the cells outside the fixed columns.
    void setEditable(bool on);

    // The set-up every table of the dialogs makes, in its order: redraw off,
    // clear, rows, one column per header, one fixed (header) row, the fixed
    // columns, the headers, their widths in twips, editable or not; then the
    // control's width as the columns' sum plus extraTwips. Redraw stays off
    // for the caller's fill.
    void setUp(int rows, const QStringList& headers, const QList<int>& widthsTwips,
               int fixedColumns, bool editable, int extraTwips);
    bool editable() const;

    // "" for an empty cell and for a cell outside the grid; setting a cell
    // outside the grid does nothing. A changed text drops the cell's data.
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);
    // The whole row as one text split at TAB, the first piece into column 0.
    void setRowText(int row, const QString& text);

    // Data the program attaches to a cell (the exact value behind a rounded
    // text, say). Any change of the cell's text drops it, so it lives exactly
    // as long as the cell shows what the program put there.
    void setCellData(int row, int column, const QVariant& data);
    QVariant cellData(int row, int column) const;

    // Column widths in twips, read back exactly as set.
    void setColumnWidthTwips(int column, int twips);
    int columnWidthTwips(int column) const;

    // Width and left edge of the control in twips, read back as set.
    void setWidthTwips(int twips);
    int widthTwips() const;
    void setLeftTwips(int twips);
    int leftTwips() const;

    // The row position: the topmost visible row below the fixed rows, as a
    // grid row number. Setting the value it already has raises no event, so
    // two grids that follow each other's position come to rest.
    int topRow() const;
    void setTopRow(int row);

    // Data the program attaches to a whole row (which stored point the row
    // shows, say). It moves with its row when rows are inserted or deleted
    // and is dropped only by clear() and when its row is deleted.
    void setRowData(int row, const QVariant& data);
    QVariant rowData(int row) const;

    // Inserts an empty row at the grid row `row` below the fixed rows, or
    // deletes that row: the rows below move down (the last row is lost) or
    // up (an empty row comes in at the bottom), with their texts, cell data
    // and row data, and the fixed column is numbered 1, 2, ... down to its
    // last numbered row. For the program; the user's commands are below.
    void insertRow(int row);
    void removeRow(int row);

    // The editing commands behind the keys, also for tests.
    QString copyText() const;            // selected cells, TAB between cells, LF between rows
    void pasteText(const QString& text); // rows of TAB-separated cells from the current cell
    void clearSelectedCells();
    // 行挿入: an empty row above the current row, refused with a word when
    // the last row holds values. 行削除: every row with a selected cell.
    void insertRowsCommand();
    void removeRowsCommand();

signals:
    void topRowChanged(int row);
    // The user inserted or deleted the grid row `row` (a grid beside this
    // one follows).
    void rowInsertedAt(int row);
    void rowRemovedAt(int row);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    friend class OvtGridDelegate;

    void moveAfterEnter(Qt::KeyboardModifiers modifiers);
    bool runRowKey(const QKeyEvent* e);
    void applyFixedRows();
    void applyColumnWidths();
    void scrollPositionChanged();
    QModelIndex pasteOrigin() const;

    Prompts& mPrompts;
    OvtGridModel* mModel = nullptr;
    QList<int> mWidthTwips; // per column; -1 for a width never set
    int mGridWidthTwips = -1;
    int mGridLeftTwips = -1;
    int mLastTopRow = -1;
};
