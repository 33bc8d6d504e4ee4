#pragma once

#include "analysis/blockchecks.h"
#include "analysis/blockfigures.h"
#include "view/checkmarkpainter.h"

#include <QList>
#include <QWidget>

#include <optional>

class QCloseEvent;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

// ブロック検査: the findings of the block check, one row per check; a
// window of its own, or the contents of a dock beside the drawing; a second
// tab, 質量・浮力, gives the mass and the figures at the still-water levels of
// the settings. Not modal: the owner hands it a fresh report whenever the
// block changes, and draws what the selected row marks when told that the
// marks changed.
class CheckWindow : public QWidget
{
    Q_OBJECT
public:
    // The columns of the table.
    enum Column
    {
        TitleColumn,      // 項目
        VerdictColumn,    // 判定
        ComputedColumn,   // 計算値
        StoredColumn,     // 登録値
        DifferenceColumn, // 差
        DetailColumn,     // 内容
        ColumnCount
    };

    // A top-level window owned by parent, closed when parent goes.
    explicit CheckWindow(QWidget* parent = nullptr);

    // Shows report, updating the rows in place: the selected check stays
    // selected and the table keeps its scroll position.
    void showReport(const BlockCheckReport& report);

    // The check whose row is selected, if any.
    std::optional<CheckId> selectedCheck() const { return mSelected; }
    // What the selected row marks in the drawing: empty when no row is
    // selected or the selected check raises no caution.
    CheckMarks marks() const;

    QTableWidget* table() const { return mTable; }
    QLabel* summary() const { return mSummary; }

    // The 質量・浮力 tab: the mass and the water-level figures, one row per
    // level, the cells of a level where the layer table disagrees marked.
    void showFigures(const BlockFigures& figures, const FigureSettings& settings);
    QTabWidget* tabs() const { return mTabs; }
    QLabel* massLabel() const { return mMass; }
    QTableWidget* levelTable() const { return mLevels; }
    QLabel* levelNotes() const { return mNotes; }
    QPushButton* settingsButton() const { return mSettingsButton; }

signals:
    // marks() now gives something else: the drawing needs repainting.
    void marksChanged();
    // 設定... of the 質量・浮力 tab: the levels and unit weights to edit.
    void settingsRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createRows(qsizetype count);
    void fillRow(int row, const CheckRow& check);
    void reselect();
    void selectionChanged();
    void showDetail();
    void notifyMarks();
    QWidget* createFigureTab();

    QLabel* mSummary = nullptr;
    QTableWidget* mTable = nullptr;
    QLabel* mDetail = nullptr;
    QTabWidget* mTabs = nullptr;
    QLabel* mUnits = nullptr;
    QLabel* mMass = nullptr;
    QTableWidget* mLevels = nullptr;
    QLabel* mNoLevels = nullptr;
    QLabel* mNotes = nullptr;
    QPushButton* mSettingsButton = nullptr;
    QList<CheckRow> mRows;
    std::optional<CheckId> mSelected;
    CheckMarks mLastMarks; // as last announced by marksChanged()
};
