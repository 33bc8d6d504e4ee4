#include "dialogs/form9.h"
#include "document/datapath.h"

#include "analysis/blockchecks.h"
#include "dialogs/prompts.h"
#include "document/blockfile.h"
#include "document/blocklisting.h"
#include "document/folderlisting.h"
#include "output/cataloguecommand.h"
#include "view/previewpainter.h"
#include "view/sectionpainter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// What the dialog shows, kept together.
namespace Text {
const QString Caption = QStringLiteral("直立消波ブロック - 形状選択");
const QString Header =
    QStringLiteral(" 名  称               種 別          Ｂ       Ｈ       Ｌ        Ｖ");
const QString Frame = QStringLiteral("選択ファイル");
const QString Choose = QStringLiteral("選   択");
const QString Cancel = QStringLiteral("取   消");
const QString Catalogue = QStringLiteral("カタログ出力...");
const QString NotReady = QStringLiteral("デバイスが準備されていません。");
const QString Limit = QStringLiteral("ブロックファイルが %1 件を超えるため、先頭の %1 "
                                     "件だけを表示しています。");
const QString Loading = QStringLiteral("読込中 %1 / %2");
const QString Gone = QStringLiteral("フォルダ %1 が見つかりません。");
const QString NotFolder = QStringLiteral("%1 はフォルダではありません。");
const QString Denied = QStringLiteral("フォルダ %1 を読み取る権限がありません。");
const QString Instead = QStringLiteral("%1 を表示しています。");
const QString Passed = QStringLiteral("合格");
const QString Caution = QStringLiteral("注意");
} // namespace Text

constexpr int kListColumns = 73; // display columns of a full list line with its check mark
constexpr int kTextIndent = 4;   // pixels from a list row's left edge to its text
constexpr int kPathRole = Qt::UserRole;

// The mark after V: whether the block passes the checks against its outline.
// Checks that cannot be made (no layer table, say) raise no caution.
QString checkMark(const BlkRec& rec)
{
    return blockPasses(rec) ? Text::Passed : Text::Caution;
}

// The fixed-pitch Japanese face of the list and its header. An even pixel
// size keeps a full-width character exactly two half-width ones wide once
// advances are rounded to whole pixels.
QFont listFont()
{
    QFont f(QStringLiteral("IPAGothic"));
    f.setFixedPitch(true);
    f.setStyleHint(QFont::TypeWriter);
    f.setKerning(false);
    const int px = QFontInfo(QApplication::font()).pixelSize();
    f.setPixelSize(std::max(12, (px + 1) / 2 * 2));
    return f;
}

// Paints list rows with their text at a fixed indent, so that the header
// label can stand exactly over the columns whatever the style's margins.
class ColumnDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* w = opt.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w); // background, selection
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active)
                                               ? QPalette::Active
                                               : QPalette::Inactive;
        const QPalette::ColorRole role =
            (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
        p->save();
        p->setFont(opt.font);
        p->setPen(opt.palette.color(group, role));
        p->drawText(opt.rect.adjusted(kTextIndent, 0, 0, 0),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        p->restore();
    }
};

// The folder list: indented like a tree, always open, with no expand arrows.
class FolderList : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
};

// A folder as the folder list holds it: absolute, clean, no trailing "/".
QString cleanDir(const QString& dir)
{
    return QDir::cleanPath(QDir(dir).absolutePath());
}

// Why folder dir cannot be listed, one sentence; empty when it can.
QString folderProblem(const QString& dir, BlockListing::FolderState state)
{
    using BlockListing::FolderState;
    const QString shown = QDir::toNativeSeparators(dir);
    switch (state) {
    case FolderState::Readable:
        break;
    case FolderState::Missing:
        return Text::Gone.arg(shown);
    case FolderState::NotFolder:
        return Text::NotFolder.arg(shown);
    case FolderState::NoAccess:
        return Text::Denied.arg(shown);
    }
    return {};
}

bool volumeReady(const QString& root)
{
    const QStorageInfo info(root);
    const QFileInfo fi(root);
    return info.isValid() && info.isReady() && fi.isDir() && fi.isReadable() && fi.isExecutable();
}

} // namespace

// The black preview picture; paints whatever block it is pointed at.
class Form9::Preview : public QWidget
{
public:
    explicit Preview(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(200, 160);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void setBlock(const BlkRec* rec)
    {
        mRec = rec;
        update();
    }

    QSize sizeHint() const override { return {280, 220}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (mRec)
            PreviewPainter::paint(p, size(), *mRec);
        else
            p.fillRect(rect(), Palette::Back);
    }

private:
    const BlkRec* mRec = nullptr;
};

Form9::Form9(basMr_Blk& blk, const QString& exeDir, Prompts& prompts, QWidget* parent,
             BlockListing::Source source)
    : QDialog(parent), mBlk(blk), mExeDir(exeDir), mPrompts(prompts), mSource(std::move(source))
{
    mListing = new FolderListing(mSource, checkMark, this);
    connect(mListing, &FolderListing::entriesAdded, this, &Form9::addEntries);
    connect(mListing, &FolderListing::progress, this, &Form9::showProgress);
    connect(mListing, &FolderListing::finished, this, [this] {
        showStatus();
        emit listingFinished();
    });
    buildControls();
    Form_Load();
    mList1->setFocus(); // arrows and Enter work on the list at once
}

Form9::~Form9() = default;

void Form9::buildControls()
{
    setWindowTitle(Text::Caption);
    setSizeGripEnabled(true);

    mDrive1 = new QComboBox(this);
    mDrive1->setObjectName(QStringLiteral("Drive1"));
    fillDrives();
    // activated, not currentIndexChanged: choosing a volume again retries it.
    connect(mDrive1, &QComboBox::activated, this, &Form9::Drive1_Change);

    mDir1 = new FolderList(this);
    mDir1->setObjectName(QStringLiteral("Dir1"));
    mDir1->setHeaderHidden(true);
    mDir1->setRootIsDecorated(false);
    mDir1->setItemsExpandable(false);
    mDir1->setExpandsOnDoubleClick(false);
    mDir1->setIndentation(12);
    mDir1->installEventFilter(this);
    connect(mDir1, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { enterDir(item); });

    const QFont font = listFont();
    mLabel1 = new QLabel(Text::Header, this);
    mLabel1->setObjectName(QStringLiteral("Label1"));
    mLabel1->setFont(font);
    mLabel1->setTextFormat(Qt::PlainText);
    mLabel1->setMargin(0);
    mLabel1->setIndent(0);

    mList1 = new QListWidget(this);
    mList1->setObjectName(QStringLiteral("List1"));
    mList1->setFont(font);
    mList1->setUniformItemSizes(true);
    mList1->setSelectionMode(QAbstractItemView::SingleSelection);
    mList1->setItemDelegate(new ColumnDelegate(mList1));
    const QFontMetrics fm(font);
    // A full line and a little more: names often run a few columns long.
    mList1->setMinimumWidth(fm.horizontalAdvance(QString(kListColumns + 6, u'0')) + kTextIndent +
                            2 * mList1->frameWidth() +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    mList1->setMinimumHeight(fm.height() * 12);
    connect(mList1, &QListWidget::currentItemChanged, this, &Form9::List1_Click);
    connect(mList1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        mList1->setCurrentItem(item);
        Command1_Click(0);
    });
    connect(mList1->horizontalScrollBar(), &QScrollBar::valueChanged, this, &Form9::alignHeader);

    // One line, always there, so the list does not jump when it changes; a
    // text too long for it is elided, whole in the tooltip.
    mStatus = new QLabel(this);
    mStatus->setObjectName(QStringLiteral("StatusLabel"));
    mStatus->setTextFormat(Qt::PlainText);
    mStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    mStatus->setMinimumHeight(mStatus->fontMetrics().height());
    mStatus->installEventFilter(this);

    mFrame1 = new QGroupBox(Text::Frame, this);
    mFrame1->setObjectName(QStringLiteral("Frame1"));
    mLabel3 = new QLabel(mFrame1);
    mLabel3->setObjectName(QStringLiteral("Label3"));
    mLabel3->setTextFormat(Qt::PlainText);
    auto* frameLayout = new QVBoxLayout(mFrame1);
    frameLayout->addWidget(mLabel3);

    mPicture1 = new Preview(this);
    mPicture1->setObjectName(QStringLiteral("Picture1"));

    mCommand1_0 = new QPushButton(Text::Choose, this);
    mCommand1_0->setObjectName(QStringLiteral("Command1_0"));
    mCommand1_0->setDefault(true);
    connect(mCommand1_0, &QPushButton::clicked, this, [this] { Command1_Click(0); });
    mCommand1_1 = new QPushButton(Text::Cancel, this);
    mCommand1_1->setObjectName(QStringLiteral("Command1_1"));
    connect(mCommand1_1, &QPushButton::clicked, this, [this] { Command1_Click(1); });
    // The catalogue of the folder listed: index and data sheets in one PDF.
    auto* catalogue = new QPushButton(Text::Catalogue, this);
    catalogue->setObjectName(QStringLiteral("CatalogueButton"));
    catalogue->setAutoDefault(false);
    connect(catalogue, &QPushButton::clicked, this,
            [this] { CatalogueCommand(mPrompts, this).run(mBlk.DataPath); });

    auto* left = new QVBoxLayout;
    left->addWidget(mDrive1);
    left->addWidget(mDir1, 1);
    left->addWidget(mFrame1);
    left->addWidget(mPicture1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(mCommand1_0);
    buttons->addWidget(mCommand1_1);
    buttons->addWidget(catalogue);

    auto* right = new QVBoxLayout;
    right->setSpacing(0); // the header sits right on top of the list
    right->addWidget(mLabel1);
    right->addWidget(mList1, 1);
    right->addSpacing(6);
    right->addWidget(mStatus);
    right->addSpacing(6);
    right->addLayout(buttons);

    auto* main = new QHBoxLayout(this);
    main->addLayout(left, 0);
    main->addLayout(right, 1);
    alignHeader();
}

// Offsets the header by the list's frame and text indent, and by how far the
// list is scrolled sideways, so that each title stays over its column.
void Form9::alignHeader()
{
    const int x = mList1->frameWidth() + kTextIndent - mList1->horizontalScrollBar()->value();
    mLabel1->setContentsMargins(x, 2, 0, 2);
}

void Form9::fillDrives()
{
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    for (const QStorageInfo& v : volumes) {
        if (!v.isValid())
            continue;
        const QString name = v.name();
        const QString label = name.isEmpty() || name == v.rootPath()
                                  ? v.rootPath()
                                  : QStringLiteral("%1  [%2]").arg(v.rootPath(), name);
        mDrive1->addItem(label, v.rootPath());
    }
}

// Shows the volume of the current folder in the drive list.
void Form9::syncDrive()
{
    const QString root = QStorageInfo(mDirPath).rootPath();
    if (root.isEmpty())
        return;
    int i = mDrive1->findData(root);
    if (i < 0) {
        mDrive1->addItem(root, root);
        i = mDrive1->count() - 1;
    }
    mDrive1->setCurrentIndex(i);
    mVolumeDirs.insert(root, mDirPath);
}

void Form9::Form_Load()
{
    // A remembered folder that has gone or cannot be read makes way for the
    // executable's one, and the status line says so.
    QString problem;
    for (const QString& dir : {mBlk.DataPath, mExeDir, QDir::homePath(), QDir::rootPath()}) {
        if (dir.isEmpty())
            continue;
        const BlockListing::FolderState state = setDirPath(dir);
        if (state == BlockListing::FolderState::Readable) {
            if (!problem.isEmpty()) {
                mNotice = problem + u' ' + Text::Instead.arg(QDir::toNativeSeparators(mDirPath));
                showStatus();
            }
            return;
        }
        if (problem.isEmpty())
            problem = folderProblem(cleanDir(dir), state);
    }
}

void Form9::Drive1_Change()
{
    const QString root = mDrive1->currentData().toString();
    if (root.isEmpty())
        return;
    if (!volumeReady(root)) {
        mPrompts.error(this, Text::NotReady);
        return; // the folder list and DataPath stay as they were
    }
    // Each volume keeps the folder last shown on it, as drives keep their
    // current folder.
    const QString last = mVolumeDirs.value(root);
    if (last.isEmpty() || setDirPath(last) != BlockListing::FolderState::Readable)
        setDirPath(root);
}

// Shows folder path in the folder list and makes it the data folder, when it
// is a folder the user may read; otherwise nothing changes.
BlockListing::FolderState Form9::setDirPath(const QString& path)
{
    const QString dir = cleanDir(path);
    const BlockListing::FolderState state = BlockListing::check(mSource, dir);
    if (state != BlockListing::FolderState::Readable)
        return state;
    mDirPath = dir;
    mNotice.clear();
    fillDirs();
    syncDrive();
    Dir1_Change();
    return state;
}

// The folder list: the ancestors of the current folder down from the root,
// the current folder, and its subfolders.
void Form9::fillDirs()
{
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    mDir1->clear();

    auto add = [](QTreeWidgetItem* item, const QIcon& icon, const QString& path) {
        item->setIcon(0, icon);
        item->setData(0, kPathRole, path);
        return item;
    };
    QTreeWidgetItem* item =
        add(new QTreeWidgetItem(mDir1, {QDir::rootPath()}), open, QDir::rootPath());
    QString path = QDir::rootPath();
    for (const QString& part : mDirPath.split(u'/', Qt::SkipEmptyParts)) {
        path = Dir_WithSlash(path) + part;
        item = add(new QTreeWidgetItem(item, {part}), open, path);
    }
    QTreeWidgetItem* current = item;
    const QStringList subs =
        QDir(mDirPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subs)
        add(new QTreeWidgetItem(current, {sub}), closed, Dir_WithSlash(mDirPath) + sub);
    mDir1->expandAll();
    mDir1->setCurrentItem(current);
    mDir1->scrollToItem(current);
}

void Form9::enterDir(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString path = item->data(0, kPathRole).toString();
    if (cleanDir(path) == mDirPath)
        return;
    const BlockListing::FolderState state = setDirPath(path);
    if (state == BlockListing::FolderState::Readable)
        return;
    fillDirs(); // the folder may have gone meanwhile: show what is there now
    mNotice = folderProblem(cleanDir(path), state);
    showStatus();
}

void Form9::Dir1_Change()
{
    mBlk.DataPath = Dir_WithSlash(mDirPath);
    File_List();
}

// Starts the listing of DataPath; the lines arrive in addEntries. Whatever
// of another folder is still being read is dropped.
void Form9::File_List()
{
    mListing->start(mBlk.DataPath);
    ListNm.clear();
    mListPaths.clear();
    {
        const QSignalBlocker block(mList1);
        mList1->clear();
    }
    clearPreview(); // a preview from another folder would mislead
    showProgress(0, 0);
}

bool Form9::isListing() const
{
    return mListing->isRunning();
}

// Appends the lines from first on, in their final order. The first line is
// highlighted and previewed as soon as it is there; a line the user has
// highlighted meanwhile stays highlighted.
void Form9::addEntries(int first)
{
    const QList<BlockListing::Entry>& entries = mListing->result().entries;
    const bool wasEmpty = mList1->count() == 0;
    QStringList lines;
    for (qsizetype i = first; i < entries.size(); ++i) {
        ListNm << entries[i].name;
        mListPaths << entries[i].path;
        lines << entries[i].line;
    }
    {
        const QSignalBlocker block(mList1);
        mList1->addItems(lines);
        for (int i = first; i < mList1->count(); ++i)
            mList1->item(i)->setData(Qt::UserRole, i);
        if (wasEmpty && mList1->count() > 0)
            mList1->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    }
    if (wasEmpty && mList1->count() > 0)
        List1_Click();
}

void Form9::showProgress(int done, int total)
{
    mProgress = total > 0 ? Text::Loading.arg(done).arg(total) : QString();
    showStatus();
}

// The status line: why another folder is shown or this one cannot be read,
// then the progress while the listing runs or the note on the limit. Only
// the first part is shortened when the line is too narrow.
void Form9::showStatus()
{
    QString why = mNotice;
    QString tail;
    if (mListing->isRunning()) {
        tail = mProgress;
    } else {
        const BlockListing::Result& r = mListing->result();
        if (why.isEmpty())
            why = folderProblem(mDirPath, r.state);
        if (r.truncated)
            tail = Text::Limit.arg(BlockListing::MaxEntries);
    }
    const QString gap = why.isEmpty() || tail.isEmpty() ? QString() : QStringLiteral("　");
    const QFontMetrics fm = mStatus->fontMetrics();
    const int room = mStatus->width() - fm.horizontalAdvance(gap + tail);
    mStatus->setToolTip(why + gap + tail);
    mStatus->setText(fm.elidedText(why, Qt::ElideMiddle, std::max(0, room)) + gap + tail);
}

void Form9::clearPreview()
{
    mLabel3->clear();
    mPicture1->setBlock(nullptr);
}

void Form9::List1_Click()
{
    const QListWidgetItem* item = mList1->currentItem();
    if (!item)
        return;
    bool ok = false;
    const int i = item->data(Qt::UserRole).toInt(&ok);
    if (!ok || i < 0 || i >= ListNm.size())
        return;
    // Read into a copy: a file that no longer reads must leave the preview as
    // it was, not half overwritten by the failed read.
    // A file turned into a pipe since it was listed is not opened.
    BlkRec rec;
    if (!BlockListing::readFile(mSource, rec, mListPaths[i]))
        return;
    ViewData = rec;
    mLabel3->setText(ListNm[i]);
    mPicture1->setBlock(&ViewData);
}

void Form9::Command1_Click(int index)
{
    const QListWidgetItem* item = index == 0 ? mList1->currentItem() : nullptr;
    const int i = item && item->isSelected() ? item->data(Qt::UserRole).toInt() : -1;
    if (index == 0 && i < 0 && isListing())
        return; // nothing to choose yet: the lines are still coming
    if (i < 0 || i >= ListNm.size()) {
        // 取消, and 選択 with nothing highlighted.
        BlkNm.clear();
        BlkPath.clear();
        QDialog::reject();
        return;
    }
    BlkNm = ListNm[i];
    BlkPath = mListPaths[i];
    accept();
}

void Form9::reject()
{
    Command1_Click(1);
}

void Form9::done(int result)
{
    mListing->cancel(); // nothing more is read for a closed dialog
    QDialog::done(result);
}

bool Form9::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mStatus && event->type() == QEvent::Resize)
        showStatus(); // elided anew for its width
    // Enter in the folder list enters the folder. The list would pass the key
    // on to the dialog, whose default button would then choose a file.
    if (watched == mDir1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterDir(mDir1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
