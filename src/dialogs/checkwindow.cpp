#include "dialogs/checkwindow.h"

#include "document/numtext.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// What the window shows, kept together.
namespace Text {
const QString Caption = QStringLiteral("ブロック検査");
const QStringList Headers = {QStringLiteral("項目"),   QStringLiteral("判定"),
                             QStringLiteral("計算値"), QStringLiteral("登録値"),
                             QStringLiteral("差"),     QStringLiteral("内容")};
const QString PassMark = QStringLiteral("✓ ");
const QString CautionMark = QStringLiteral("! ");
const QString NoneMark = QStringLiteral("－ ");
const QString DetailSeparator = QStringLiteral("：");
const QString ChecksTab = QStringLiteral("検査");
const QString FiguresTab = QStringLiteral("質量・浮力");
const QString Mass = QStringLiteral("質量 %1 t　重量 %2 kN　充填率 %3（V = %4 m3、V は登録値）");
const QString NoLevels =
    QStringLiteral("静水面の高さが設定されていません。「設定...」で水位を追加してください。");
const QString Settings = QStringLiteral("設定...");
} // namespace Text

// Background and text colours of a verdict cell, both set, so they read the
// same on a light and on a dark theme. Not applicable keeps the theme's own.
struct VerdictLook
{
    QString mark;
    QColor back;
    QColor fore;
};

VerdictLook lookOf(Verdict v)
{
    switch (v) {
    case Verdict::Pass:
        return {Text::PassMark, QColor(46, 125, 50), QColor(255, 255, 255)};
    case Verdict::Caution:
        return {Text::CautionMark, QColor(245, 124, 0), QColor(0, 0, 0)};
    case Verdict::NotApplicable:
        break;
    }
    return {Text::NoneMark, QColor(), QColor()};
}

// Samples of the widest figures each column shows, for its first width.
const QString kFigureSample = QStringLiteral("(00.000, 00.000)");
const QString kDifferenceSample = QStringLiteral("-00.000 m3");

} // namespace

CheckWindow::CheckWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(Text::Caption);

    mSummary = new QLabel(this);
    QFont bold = mSummary->font();
    bold.setBold(true);
    mSummary->setFont(bold);

    mTable = new QTableWidget(0, ColumnCount, this);
    mTable->setHorizontalHeaderLabels(Text::Headers);
    mTable->verticalHeader()->hide();
    mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->setWordWrap(false);
    mTable->setTextElideMode(Qt::ElideRight);
    mTable->setAlternatingRowColors(true);
    mTable->setShowGrid(false);
    QHeaderView* header = mTable->horizontalHeader();
    header->setStretchLastSection(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const QFontMetrics fm(mTable->font());
    const int pad = 2 * fm.horizontalAdvance(u'0');
    mTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mTable->verticalHeader()->setDefaultSectionSize(fm.height() + fm.height() / 2);
    mTable->setColumnWidth(
        VerdictColumn,
        fm.horizontalAdvance(Text::NoneMark + verdictText(Verdict::NotApplicable)) + pad);
    mTable->setColumnWidth(ComputedColumn, fm.horizontalAdvance(kFigureSample) + pad);
    mTable->setColumnWidth(StoredColumn, fm.horizontalAdvance(kFigureSample) + pad);
    mTable->setColumnWidth(DifferenceColumn, fm.horizontalAdvance(kDifferenceSample) + pad);
    connect(mTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CheckWindow::selectionChanged);

    // The whole detail of the selected row, which the column may cut short.
    mDetail = new QLabel(this);
    mDetail->setWordWrap(true);
    mDetail->setTextFormat(Qt::PlainText);
    mDetail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mDetail->setMinimumHeight(2 * fm.lineSpacing());
    mDetail->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* checks = new QWidget(this);
    auto* checksLayout = new QVBoxLayout(checks);
    checksLayout->setContentsMargins(0, 0, 0, 0);
    checksLayout->addWidget(mTable, 1);
    checksLayout->addWidget(mDetail);
    mTabs = new QTabWidget(this);
    mTabs->addTab(checks, Text::ChecksTab);
    mTabs->addTab(createFigureTab(), Text::FiguresTab);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mSummary);
    layout->addWidget(mTabs, 1);

    // Room for every row and a detail column of about forty characters.
    const int rows = mTable->verticalHeader()->defaultSectionSize() * kCheckCount +
                     mTable->horizontalHeader()->sizeHint().height() + 2 * mTable->frameWidth();
    mTable->setMinimumHeight(mTable->verticalHeader()->defaultSectionSize() * 4);
    const QMargins m = layout->contentsMargins();
    resize(fm.horizontalAdvance(QString(20, u'0')) + 4 * fm.horizontalAdvance(kFigureSample) +
               fm.horizontalAdvance(QString(40, u'あ')),
           rows + mSummary->sizeHint().height() + mDetail->minimumHeight() + 2 * layout->spacing() +
               m.top() + m.bottom() + mTabs->tabBar()->sizeHint().height() + fm.lineSpacing());
}

QWidget* CheckWindow::createFigureTab()
{
    auto* tab = new QWidget(this);
    mUnits = new QLabel(tab);
    mMass = new QLabel(tab);
    for (QLabel* l : {mUnits, mMass}) {
        l->setTextFormat(Qt::PlainText);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // Wrapped, so that these long lines do not make the dock wider
        // than the drawing beside it.
        l->setWordWrap(true);
    }
    mLevels = new QTableWidget(0, 0, tab);
    mLevels->verticalHeader()->hide();
    mLevels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mLevels->setSelectionBehavior(QAbstractItemView::SelectRows);
    mLevels->setAlternatingRowColors(true);
    mLevels->horizontalHeader()->setStretchLastSection(true);
    mLevels->setWordWrap(false);
    mLevels->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mLevels->verticalHeader()->setDefaultSectionSize(
        mTable->verticalHeader()->defaultSectionSize());
    // The notes of the levels where the table disagrees, which the last
    // column of a wide table may hide.
    mNotes = new QLabel(tab);
    mNotes->setWordWrap(true);
    mNotes->setTextFormat(Qt::PlainText);
    mNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mNoLevels = new QLabel(Text::NoLevels, tab);
    mNoLevels->setWordWrap(true);
    mSettingsButton = new QPushButton(Text::Settings, tab);
    connect(mSettingsButton, &QPushButton::clicked, this, &CheckWindow::settingsRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mNoLevels, 1);
    buttons->addStretch();
    buttons->addWidget(mSettingsButton);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(mUnits);
    layout->addWidget(mMass);
    layout->addWidget(mLevels, 1);
    layout->addWidget(mNotes);
    layout->addLayout(buttons);
    return tab;
}

void CheckWindow::showFigures(const BlockFigures& figures, const FigureSettings& settings)
{
    mUnits->setText(unitWeightsText(settings));
    const FigureTable mass = massTable(figures.mass);
    mMass->setText(Text::Mass.arg(mass.rows[0][1], mass.rows[1][1], mass.rows[2][1],
                                  NumText::fmt000(figures.mass.volume)));
    const FigureTable t = waterLevelTable(figures.levels);
    const bool fresh = mLevels->columnCount() != t.header.size();
    mLevels->setUpdatesEnabled(false);
    if (fresh) {
        mLevels->setColumnCount(int(t.header.size()));
        mLevels->setHorizontalHeaderLabels(t.header);
    }
    mLevels->setRowCount(int(t.rows.size()));
    const int noteColumn = int(LevelColumn::Note);
    for (int r = 0; r < t.rows.size(); ++r) {
        const bool disagree = figures.levels[r].disagree;
        for (int c = 0; c < t.rows[r].size(); ++c) {
            QTableWidgetItem* item = mLevels->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setTextAlignment(Qt::AlignVCenter |
                                       (c > int(LevelColumn::Name) && c < noteColumn
                                            ? Qt::AlignRight
                                            : Qt::AlignLeft));
                mLevels->setItem(r, c, item);
            }
            item->setText(t.rows[r][c]);
            item->setToolTip(c == noteColumn ? t.rows[r][c] : QString());
            // The table's figures where they misrepresent the block.
            const auto col = LevelColumn(c);
            const bool mark = disagree && (col == LevelColumn::LayersVolume ||
                                           col == LevelColumn::LayersBuoyancy ||
                                           col == LevelColumn::LayersInWater || c == noteColumn);
            const VerdictLook look = lookOf(mark ? Verdict::Caution : Verdict::NotApplicable);
            item->setData(Qt::BackgroundRole, mark ? QVariant(look.back) : QVariant());
            item->setData(Qt::ForegroundRole, mark ? QVariant(look.fore) : QVariant());
        }
    }
    if (fresh)
        mLevels->resizeColumnsToContents();
    mLevels->setUpdatesEnabled(true);
    mNoLevels->setVisible(t.rows.isEmpty());
    QStringList notes;
    for (const WaterLevelFigures& f : figures.levels) {
        if (f.disagree)
            notes << (f.level.name.isEmpty() ? NumText::fmt000(f.level.h) + QStringLiteral(" m")
                                             : f.level.name) +
                         Text::DetailSeparator + f.note;
    }
    mNotes->setText(notes.join(u'\n'));
    mNotes->setVisible(!notes.isEmpty());
}

void CheckWindow::showReport(const BlockCheckReport& report)
{
    mSummary->setText(report.summaryText());
    const bool firstRows = mTable->rowCount() != report.rows.size();
    mRows = report.rows;
    mTable->setUpdatesEnabled(false);
    if (firstRows)
        createRows(mRows.size());
    for (int r = 0; r < mRows.size(); ++r)
        fillRow(r, mRows[r]);
    if (firstRows) {
        mTable->resizeColumnToContents(TitleColumn);
        const QFontMetrics fm(mTable->font());
        mTable->setColumnWidth(TitleColumn,
                               mTable->columnWidth(TitleColumn) + 2 * fm.horizontalAdvance(u'0'));
    }
    reselect();
    mTable->setUpdatesEnabled(true);
    showDetail();
    notifyMarks();
}

void CheckWindow::createRows(qsizetype count)
{
    const QSignalBlocker block(mTable->selectionModel()); // reselect() follows
    mTable->clearContents();
    mTable->setRowCount(int(count));
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            const bool figure = c >= ComputedColumn && c <= DifferenceColumn;
            item->setTextAlignment(Qt::AlignVCenter | (figure ? Qt::AlignRight : Qt::AlignLeft));
            mTable->setItem(r, c, item);
        }
    }
}

// Items change only where their data does, so an unchanged row is not
// repainted at all.
void CheckWindow::fillRow(int row, const CheckRow& check)
{
    const VerdictLook look = lookOf(check.verdict);
    const QString texts[ColumnCount] = {
        check.title,          look.mark + verdictText(check.verdict),
        check.computedText,   check.storedText,
        check.differenceText, check.detail};
    for (int c = 0; c < ColumnCount; ++c)
        mTable->item(row, c)->setText(texts[c]);
    QTableWidgetItem* verdict = mTable->item(row, VerdictColumn);
    verdict->setData(Qt::BackgroundRole, look.back.isValid() ? QVariant(look.back) : QVariant());
    verdict->setData(Qt::ForegroundRole, look.fore.isValid() ? QVariant(look.fore) : QVariant());
    verdict->setData(Qt::UserRole, int(check.verdict));
    mTable->item(row, DetailColumn)->setToolTip(check.detail);
}

// Selects the row of the selected check again, wherever it now stands.
void CheckWindow::reselect()
{
    if (!mSelected)
        return;
    const auto it = std::find_if(mRows.begin(), mRows.end(),
                                 [this](const CheckRow& r) { return r.id == *mSelected; });
    if (it == mRows.end()) {
        mTable->clearSelection();
        mSelected.reset();
        return;
    }
    const int row = int(it - mRows.begin());
    const QModelIndexList now = mTable->selectionModel()->selectedRows();
    if (now.size() == 1 && now.first().row() == row)
        return; // selecting it again would scroll to it
    const QSignalBlocker block(mTable->selectionModel());
    mTable->selectRow(row);
}

void CheckWindow::selectionChanged()
{
    const QModelIndexList rows = mTable->selectionModel()->selectedRows();
    const int row = rows.size() == 1 ? rows.first().row() : -1;
    if (row >= 0 && row < mRows.size())
        mSelected = mRows[row].id;
    else
        mSelected.reset();
    showDetail();
    notifyMarks();
}

void CheckWindow::showDetail()
{
    const CheckRow* row = nullptr;
    for (const CheckRow& r : mRows) {
        if (mSelected && r.id == *mSelected)
            row = &r;
    }
    mDetail->setText(row ? row->title + Text::DetailSeparator + row->detail : QString());
}

CheckMarks CheckWindow::marks() const
{
    for (const CheckRow& r : mRows) {
        if (mSelected && r.id == *mSelected && r.verdict == Verdict::Caution)
            return {r.points, r.segments, r.positions};
    }
    return {};
}

void CheckWindow::notifyMarks()
{
    const CheckMarks now = marks();
    if (now == mLastMarks)
        return;
    mLastMarks = now;
    emit marksChanged();
}

void CheckWindow::closeEvent(QCloseEvent* event)
{
    mTable->clearSelection(); // no marks are left in the drawing
    QWidget::closeEvent(event);
}
