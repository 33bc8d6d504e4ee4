#include "mainwindow/frmmain.h"

#include "analysis/blockfigures.h"
#include "analysis/similarblock.h"
#include "dialogs/frmabout.h"
#include "dialogs/helpwindow.h"
#include "dialogs/prompts.h"
#include "editing/undostack.h"
#include "mainwindow/appdirs.h"
#include "mainwindow/checkcommands.h"
#include "mainwindow/commandtable.h"
#include "mainwindow/figurecommands.h"
#include "mainwindow/picture1.h"
#include "mainwindow/recentmenu.h"
#include "mainwindow/termsignals.h"
#include "mainwindow/windowsettings.h"
#include "view/checkmarkpainter.h"
#include "view/sectionpainter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSessionManager>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <cmath>
#include <cstdio>

const QString frmMain::Caption = QStringLiteral("直立消波ブロック設定");

// The icons live in the static UI library, whose resource registration the
// linker would otherwise drop.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

// Twips (1/1440 inch) to pixels at the given logical DPI.
int twipsToPixels(int twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

// An icon whose SVG could not be rendered (a missing image-format plugin)
// comes out fully transparent; the toolbar then falls back to text.
bool rendersSomething(const QIcon& icon)
{
    const QImage img = icon.pixmap(QSize(16, 16)).toImage();
    if (img.isNull())
        return false;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(img.pixel(x, y)) > 0)
                return true;
        }
    }
    return false;
}

// Shown on the drawing area until the block has a point.
const QString kEmptyBlockHint = QStringLiteral("点 → 編集... で断面の点を入力します");

// The middle button in the drawing area's button mask.
constexpr int kMiddle = 4;

QCursor magnifierCursor()
{
    static const QCursor c(QPixmap(QStringLiteral(":/cursors/magnifier.png")), 0, 0);
    return c;
}

} // namespace

frmMain::frmMain(Module1& mod, basMr_Blk& blk, const DataPathPlaces& places, Prompts* prompts,
                 QWidget* parent)
    : QMainWindow(parent), mMod(mod), mBlk(blk), mPlaces(places),
      mOwnPrompts(prompts ? nullptr : std::make_unique<MessageBoxPrompts>()),
      mPrompts(prompts ? prompts : mOwnPrompts.get()), mModes(mod, mView, *this),
      mFiles(mod, blk, places.exeDir, *mPrompts, *this), mEdits(mod, mModes, *mPrompts, *this),
      mExports(mod, blk, *mPrompts, this), mDxf(mod, blk, *mPrompts, *this, places.settingsFile()),
      mRecovery(places.stateDir)
{
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    setCaption(Caption);
    createActions();
    createMenus();
    createToolBar();
    createCentral();
    createStatusBar();
    applyMinimumSize();
    createDocumentSafety();
    mEdits.setSettingsFile(mPlaces.settingsFile());
    Form_Load();
    restoreSettings();
}

frmMain::~frmMain()
{
    // Closing a visible window from the base destructor hides the check dock,
    // whose signal would then reach a window that is no longer a frmMain.
    if (mChecks)
        mChecks->disconnect(this);
}

QAction* frmMain::menuItem(const QString& name) const
{
    return mMenuItems.value(name);
}

void frmMain::createActions()
{
    for (const MenuEntry& m : menuTable()) {
        if (m.kind != MenuEntry::Kind::Item)
            continue;
        auto* a = new QAction(QString::fromUtf8(m.caption), this);
        a->setObjectName(QString::fromLatin1(m.name));
        QList<QKeySequence> keys;
        for (QKeyCombination k : m.shortcuts) {
            if (k.key() != Qt::Key_unknown)
                keys << QKeySequence(k);
        }
        a->setShortcuts(keys);
        mMenuItems.insert(a->objectName(), a);
    }
    menuItem(QStringLiteral("mnuDispGrid"))->setCheckable(true);

    auto on = [this](const char* name, auto slot) {
        connect(menuItem(QString::fromLatin1(name)), &QAction::triggered, this, slot);
    };
    on("mnuDispKaku", &frmMain::mnuDispKaku_Click);
    on("mnuDispShuku", &frmMain::mnuDispShuku_Click);
    on("mnuDispAll", &frmMain::mnuDispAll_Click);
    on("mnuDispRedraw", &frmMain::mnuDispRedraw_Click);
    // The menu item toggles its own check mark before this runs; undo that so
    // the handler decides, as it does when the toolbar button calls it.
    connect(menuItem(QStringLiteral("mnuDispGrid")), &QAction::triggered, this, [this] {
        QAction* g = menuItem(QStringLiteral("mnuDispGrid"));
        g->setChecked(!g->isChecked());
        mnuDispGrid_Click();
    });
    on("mnuFileNew", &frmMain::mnuFileNew_Click);
    on("mnuFileOpen", &frmMain::mnuFileOpen_Click);
    on("mnuFileSave", &frmMain::mnuFileSave_Click);
    on("mnuFileOverwrite", [this] { mFiles.mnuFileOverwrite_Click(); });
    on("mnuDispStepIn", [this] { zoomAtCentre(1); });
    on("mnuDispStepOut", [this] { zoomAtCentre(-1); });
    on("mnuFileEnd", &frmMain::mnuFileEnd_Click);
    on("mnuPointHen", [this] { mEdits.mnuPointHen_Click(); });
    on("mnuPointDel", [this] { mModes.enterPointDelete(); });
    on("mnuLineIn", [this] { mModes.enterJoin(); });
    on("mnuLineDel", [this] { mModes.enterLineDelete(); });
    on("mnuLineDelAll", [this] { mEdits.mnuLineDelAll_Click(); });
    on("mnuEditUndo", [this] { Toolbar1_ButtonClick(QStringLiteral("Undo")); });
    on("mnuEditRedo", [this] { Toolbar1_ButtonClick(QStringLiteral("Redo")); });
    on("mnuEditEsc", [this] { Raber_Reset(); });
    on("mnuFilePdf", [this] { mExports.dataSheetPdf(); });
    on("mnuFilePrint", [this] { mExports.print(); });
    on("mnuFilePreview", [this] { mExports.printPreview(); });
    on("mnuFileSvg", [this] { mExports.sectionSvg(sectionLook(), mPicture->size()); });
    on("mnuFilePng",
       [this] { mExports.sectionPng(sectionLook(), ExportCommands::DefaultPngSize); });
    on("mnuFileSectionPdf", [this] { mExports.sectionPdf(sectionLook(), mPicture->size()); });
    on("mnuDispCheck", [this] { mChecks->mnuDispCheck_Click(); });
    on("mnuToolSimilar", [this] { mFigures->mnuToolSimilar_Click(); });
    on("mnuToolSettings", [this] { mFigures->mnuToolSettings_Click(); });
    on("mnuPointDxf", [this] { mDxf.mnuPointDxf_Click(); });
    on("mnuFileDxf", [this] { mDxf.mnuFileDxf_Click(); });
    on("mnuHelpHelp", &frmMain::mnuHelpHelp_Click);
    on("mnuHelpVer", &frmMain::mnuHelpVer_Click);
}

void frmMain::createMenus()
{
    QMenu* menu = nullptr;
    for (const MenuEntry& m : menuTable()) {
        const QString name = QString::fromLatin1(m.name);
        switch (m.kind) {
        case MenuEntry::Kind::Menu:
            menu = menuBar()->addMenu(QString::fromUtf8(m.caption));
            menu->setObjectName(name);
            break;
        case MenuEntry::Kind::BarItem: {
            // A command directly on the menu bar, as in the classic layout.
            QAction* a = menuBar()->addAction(QString::fromUtf8(m.caption));
            a->setObjectName(name);
            mMenuItems.insert(name, a);
            menu = nullptr;
            break;
        }
        case MenuEntry::Kind::Submenu:
            if (menu) {
                QMenu* sub = menu->addMenu(QString::fromUtf8(m.caption));
                sub->setObjectName(name);
                mSubmenus.insert(name, sub);
            }
            break;
        case MenuEntry::Kind::Separator:
            if (menu)
                menu->addSeparator()->setObjectName(name);
            break;
        case MenuEntry::Kind::Item:
            if (menu)
                menu->addAction(menuItem(name));
            break;
        }
    }
    connect(menuItem(QStringLiteral("mnuBlkPara")), &QAction::triggered, this,
            [this] { mEdits.mnuBlkPara_Click(); });
}

QAction* frmMain::addButton(const QString& key, const QString& icon, const QString& tip)
{
    auto* a = new QAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)), tip, this);
    a->setObjectName(QStringLiteral("Toolbar1_") + key);
    a->setData(key);
    a->setToolTip(tip);
    connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    mToolbar->addAction(a);
    mButtons.insert(key, a);
    return a;
}

void frmMain::createToolBar()
{
    mToolbar = addToolBar(QStringLiteral("Toolbar1"));
    mToolbar->setObjectName(QStringLiteral("Toolbar1"));
    mToolbar->setMovable(false);
    mToolbar->setFloatable(false);
    mToolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    mToolbar->setIconSize(QSize(16, 16)); // drawn on a 16-pixel grid: sharpest at 16, 32, 48
    for (const ButtonEntry& b : toolbarTable()) {
        if (!b.key) {
            mToolbar->addSeparator();
            continue;
        }
        addButton(QString::fromLatin1(b.key), QString::fromLatin1(b.icon),
                  QString::fromUtf8(b.tip));
    }
    mButtons.value(QStringLiteral("Grid"))->setCheckable(true);

    mIconsOk = true;
    for (QAction* a : std::as_const(mButtons))
        mIconsOk = mIconsOk && rendersSomething(a->icon());
    if (!mIconsOk) {
        std::fprintf(stderr, "mrb_make: toolbar icons could not be drawn (is the Qt SVG "
                             "image-format plugin installed?); showing text buttons.\n");
        mToolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
}

void frmMain::createCentral()
{
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    mPicture = new Picture1(central);
    mHScroll = new QScrollBar(Qt::Horizontal, central);
    mHScroll->setObjectName(QStringLiteral("HScroll1"));
    mVScroll = new QScrollBar(Qt::Vertical, central);
    mVScroll->setObjectName(QStringLiteral("VScroll1"));
    for (QScrollBar* s : {mHScroll, mVScroll}) {
        s->setContextMenuPolicy(Qt::NoContextMenu);
        s->setRange(0, 100);
        s->setValue(ScrollState::Neutral);
        s->setTracking(false); // the view moves when the thumb is released
    }
    mHScroll->setSingleStep(2);
    mHScroll->setPageStep(3);
    mVScroll->setSingleStep(2);
    mVScroll->setPageStep(5);

    grid->addWidget(mPicture, 0, 0);
    grid->addWidget(mVScroll, 0, 1);
    grid->addWidget(mHScroll, 1, 0);
    setCentralWidget(central);

    mPicture->setRenderer([this](QPainter& p, QSize area) {
        const SectionPainter::Options opt = sectionLook();
        SectionPainter::paint(p, area, mView, mMod.BlkData, opt);
        SectionPainter::paintSelection(p, area, mView, mMod.BlkData, mModes.highlightedLines(),
                                       mModes.highlightedPoints(), opt);
        paintCheckMarks(p, area, mView, mMod.BlkData, mChecks->marks());
        if (mMod.BlkData.PntCnt <= 0)
            SectionPainter::paintHint(p, area, kEmptyBlockHint, font());
    });
    mPicture->setOverlay([this](QPainter& p) {
        SectionPainter::paintHover(p, mPicture->size(), mView, mMod.BlkData, mModes.hoveredLine(),
                                   mModes.hoveredPoint());
        switch (mModes.bandKind()) {
        case MouseModes::BandKind::Rect:
            SectionPainter::bandRect(p, mModes.bandFrom(), mModes.bandTo());
            break;
        case MouseModes::BandKind::Line:
            SectionPainter::bandLine(p, mModes.bandFrom(), mModes.bandTo());
            break;
        case MouseModes::BandKind::None:
            break;
        }
    });
    QFont small = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    small.setPointSizeF(std::max<qreal>(small.pointSizeF(), 8.0));
    mPicture->setFont(small);

    // The middle button pans whatever the mode; the modes never see it act.
    connect(mPicture, &Picture1::mouseDown, this, [this](int b, double x, double y) {
        if (b == kMiddle)
            panStart(x, y);
        mModes.Picture1_MouseDown(b, x, y);
    });
    connect(mPicture, &Picture1::mouseMove, this, [this](int b, double x, double y) {
        panMove(b, x, y);
        mModes.Picture1_MouseMove(b, x, y);
    });
    connect(mPicture, &Picture1::mouseUp, this, [this](int b, double x, double y) {
        // The pan is a gesture of its own: its release ends no zoom drag.
        if (b == kMiddle)
            mPanning = false;
        else
            mModes.Picture1_MouseUp(b, x, y);
    });
    connect(mPicture, &Picture1::wheelSteps, this, &frmMain::Picture1_Wheel);
    connect(mPicture, &Picture1::mouseLeft, this, [this] { mModes.pointerLeft(); });
    connect(mPicture, &Picture1::resized, this, &frmMain::Form_Resize);
    connect(mHScroll, &QScrollBar::valueChanged, this, &frmMain::HScroll1_Change);
    connect(mVScroll, &QScrollBar::valueChanged, this, &frmMain::VScroll1_Change);
}

void frmMain::createStatusBar()
{
    mPanel1 = new QLabel(this);
    mPanel1->setObjectName(QStringLiteral("StatusBar1_Panel1"));
    mPanel2 = new QLabel(this);
    mPanel2->setObjectName(QStringLiteral("StatusBar1_Panel2"));
    mPanel2->setMinimumWidth(mPanel2->fontMetrics().horizontalAdvance(
        QStringLiteral("X = -00000.00  Y = -00000.00  線分 100")));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(mPanel1, 1);
    statusBar()->addPermanentWidget(mPanel2);
    mChecks = new CheckCommands(mMod.BlkData, statusBar(), this);
    mFilePanel = new QLabel(this);
    mFilePanel->setObjectName(QStringLiteral("StatusBar1_File"));
    mFilePanel->setStyleSheet(QStringLiteral("color: #b00000;"));
    mFilePanel->hide();
    statusBar()->addPermanentWidget(mFilePanel);
    connect(mChecks, &CheckCommands::marksChanged, this, [this] { mPicture->refresh(); });
    mFigures = new FigureCommands(mMod, mModes, *mPrompts, *this, mEdits, *mChecks,
                                  mPlaces.settingsFile(), this);
    mExports.useFigureSettings(mFigures->settings());
    connect(mFigures, &FigureCommands::blockReplaced, this, [this] {
        // A block of the series is a new file: named after the old one with
        // the new mass, never written over the old one by 上書き保存.
        const QString from =
            mBlk.DataName == basMr_Blk::Untitled ? mMod.BlkData.Name : mBlk.DataName;
        mFiles.detachAsNew(
            suggestScaledName(from, massFigures(mMod.BlkData, mFigures->settings()).mass));
        mnuDispAll_Click();
    });
}

QSize frmMain::minimumOuterSize() const
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const qreal dx = s ? s->logicalDotsPerInchX() : 96.0;
    const qreal dy = s ? s->logicalDotsPerInchY() : 96.0;
    return {twipsToPixels(6000, dx), twipsToPixels(4800, dy)};
}

QSize frmMain::startSize() const
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize avail = s ? s->availableSize() : QSize(1024, 768);
    return (avail * 2 / 3).expandedTo(minimumOuterSize());
}

void frmMain::applyMinimumSize()
{
    // Qt bounds the client area; the frame is added on top of it, so the outer
    // size is never below the minimum.
    setMinimumSize(minimumOuterSize());
}

void frmMain::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && !isMinimized())
        Form_Resize();
}

void frmMain::Form_Load()
{
    InteractionState& st = mModes.state();
    st.Mouse_sw = -1;
    st.Disp_mode = DispMode::Idle;
    mScroll.HScl_val = qint16(mHScroll->value());
    mScroll.VScl_val = qint16(mVScroll->value());
    mMod.UndoCnt = 0;
    mMod.SelLineCnt = 0;
    mMod.SelPntCnt = 0;
    for (int i = 0; i <= 10; ++i)
        mMod.UndoName[i].clear();
    undoChanged(); // the "Undo" button disabled with the stack empty
    DataPath_Read(mBlk, mPlaces);
    mBlk.DataName = basMr_Blk::Untitled;
    Menu_Enable();
    mMod.SaveData = mMod.BlkData;
    showModified();
}

void frmMain::closeEvent(QCloseEvent* e)
{
    // Form_QueryUnload: every way of closing asks before a modified block goes.
    if (!mUnloaded && !mEndingBySignal && mFiles.Save_Confirm() == FileCommands::Cancelled) {
        e->ignore();
        return;
    }
    Form_Unload();
    e->accept();
}

void frmMain::Form_Unload()
{
    if (mUnloaded)
        return;
    mUnloaded = true;
    mRecoveryTimer->stop();
    // A normal exit leaves nothing to recover; the system ending the program
    // leaves the copy for the next start.
    if (!mEndingBySignal)
        mRecovery.discard();
    mFiles.guard().clear(); // the lock goes with the window
    storeSettings();
    // A data folder that cannot be remembered is worth a word, but no reason
    // to keep the user here: the exit goes ahead.
    if (!DataPath_Write(mBlk, mPlaces) && !mEndingBySignal)
        mPrompts->error(this, QStringLiteral("データフォルダの設定を保存できませんでした。\n%1")
                                  .arg(mPlaces.exeDir + QLatin1String(kMrDtPathName)));
}

// --- settings ------------------------------------------------------------------

void frmMain::restoreSettings()
{
    const WindowSettings s = WindowSettings::read(mPlaces.settingsFile());
    mGeometryRestored = !s.geometry.isEmpty() && restoreGeometry(s.geometry);
    if (s.grid != gridOn())
        mnuDispGrid_Click();
}

void frmMain::storeSettings()
{
    WindowSettings{saveGeometry(), gridOn()}.write(mPlaces.settingsFile());
}

// --- view --------------------------------------------------------------------

void frmMain::readDrawingArea()
{
    const QSize s = mPicture->size();
    mView.Gz_xmin = 0;
    mView.Gz_ymin = 0;
    mView.Gz_xmax = qint16(std::clamp(s.width(), 1, 32767));
    mView.Gz_ymax = qint16(std::clamp(s.height(), 1, 32767));
}

void frmMain::fitViewToBlock()
{
    readDrawingArea();
    Mk_Dan_xyminmax(mView, mMod.BlkData);
    Mk_Dan_scl(mView);
}

void frmMain::createDocumentSafety()
{
    const QString ini = mPlaces.settingsFile();
    mRecent = new RecentMenu(mSubmenus.value(QStringLiteral("mnuFileRecent")), ini, this);
    connect(mRecent, &RecentMenu::openRequested, this, [this](const QString& path) {
        if (!mFiles.openRecent(path))
            mRecent->files().remove(path);
    });
    // Comparing the block with the last copy costs microseconds and writing
    // one well under a millisecond, so a plain timer on this thread will do.
    mRecoveryTimer = new QTimer(this);
    mRecoveryTimer->setInterval(2000);
    connect(mRecoveryTimer, &QTimer::timeout, this, &frmMain::recoveryTick);
    mRecoveryTimer->start();

    FileGuard& guard = mFiles.guard();
    connect(&guard, &FileGuard::stateChanged, this, [this] {
        mDiskNotice.clear();
        showFileState();
    });
    connect(&guard, &FileGuard::changedOnDisk, this, &frmMain::fileChangedOnDisk);
}

void frmMain::showFileState()
{
    const FileGuard& guard = mFiles.guard();
    QString text = mDiskNotice;
    if (guard.readOnly())
        text = QStringLiteral("読み取り専用 (%1 で編集中)").arg(guard.holder().who()) +
               (text.isEmpty() ? QString() : QStringLiteral("  ") + text);
    mFilePanel->setText(text);
    mFilePanel->setVisible(!text.isEmpty());
}

void frmMain::fileChangedOnDisk(bool deleted)
{
    mDiskNotice = deleted ? QStringLiteral("ファイルが削除されました")
                          : QStringLiteral("ファイルが他で変更されました");
    showFileState();
    // Offered only where nothing is lost by it, and never on top of another
    // question or dialog.
    if (deleted || Data_Modified(mMod) || mOfferingReload || QApplication::activeModalWidget())
        return;
    const QString path = mFiles.guard().path();
    mOfferingReload = true;
    const bool reload =
        mPrompts->yesNo(this, QStringLiteral("再読込"),
                        QStringLiteral("%1 は他で変更されました。\n再読込しますか?")
                            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    mOfferingReload = false;
    if (reload && !Data_Modified(mMod) && mFiles.guard().path() == path) {
        Raber_Reset();
        mFiles.openFile(path); // through the normal reader; a failure is reported there
    }
}

void frmMain::watchSessionEnd()
{
    auto* term = new TermSignals(this);
    connect(term, &TermSignals::received, this, &frmMain::endBySignal);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &frmMain::commitSession,
                Qt::DirectConnection);
}

void frmMain::endBySignal()
{
    if (!mEndingBySignal && !mUnloaded) {
        mEndingBySignal = true;
        // At once and on this thread: the edits of the last seconds are not
        // in the copy yet, and the program is about to end.
        mRecovery.update(mMod.BlkData, mMod.SaveData);
        mRecovery.flush();
        close(); // no question; MRDTPATH is written on the way out
    }
    // Also ends any question or dialog that was open.
    QCoreApplication::quit();
}

void frmMain::commitSession(QSessionManager& manager)
{
    if (manager.allowsInteraction()) {
        const int answer = mFiles.Save_Confirm();
        manager.release();
        if (answer == FileCommands::Cancelled) {
            manager.cancel();
            return;
        }
    } else {
        // No question may be asked: keep the block for the next start.
        mRecovery.update(mMod.BlkData, mMod.SaveData);
        mRecovery.flush();
    }
    DataPath_Write(mBlk, mPlaces);
}

void frmMain::recoveryTick()
{
    mRecovery.update(mMod.BlkData, mMod.SaveData);
    showModified(); // also catches a change that asked for no repaint
}

void frmMain::documentChanged(const QString& path)
{
    if (!path.isEmpty())
        mRecent->files().add(path);
    recoveryTick(); // the block equals its saved copy now: the recovery copy goes
}

void frmMain::offerRecovery()
{
    for (const QString& copy : Recovery::orphans(mPlaces.stateDir)) {
        BlkRec rec;
        if (!Recovery::read(copy, rec)) {
            Recovery::remove(copy); // unreadable: nothing to offer, now or later
            continue;
        }
        const QString name = rec.Name.isEmpty() ? QStringLiteral("(名称なし)") : rec.Name;
        if (!mPrompts->yesNo(this, QStringLiteral("復元"),
                             QStringLiteral("前回、保存されずに終了したブロックがあります。\n"
                                            "名称: %1\n\n復元しますか?")
                                 .arg(name))) {
            Recovery::remove(copy);
            continue;
        }
        // キャンセル at the prompt for the block already recovered keeps this
        // copy on disk: it is offered again at the next start.
        if (mFiles.Save_Confirm() == FileCommands::Cancelled)
            continue;
        mFiles.adoptRecovered(rec);
        Recovery::remove(copy);
        recoveryTick(); // kept safe again at once, as this run's own copy
    }
}

void frmMain::openAtStart(const QString& path)
{
    // A recovered block is not dropped without the prompt.
    if (mFiles.Save_Confirm() == FileCommands::Cancelled)
        return;
    mFiles.openFile(path); // a failure is reported and the block stays as it was
}

// --- help ----------------------------------------------------------------------

void frmMain::mnuHelpHelp_Click()
{
    const QStringList dirs = appDataDirs(mPlaces.exeDir);
    const QString contents = HelpWindow::Help_Find(dirs);
    if (contents.isEmpty()) {
        mPrompts->error(this, QStringLiteral("ヘルプが見つかりません。次の場所を探しました:\n") +
                                  HelpWindow::searchedPlaces(dirs));
        return;
    }
    if (!mHelp)
        mHelp = new HelpWindow(this);
    mHelp->showContents(contents);
}

void frmMain::mnuHelpVer_Click()
{
    Raber_Reset();
    frmAbout about(appDataDirs(mPlaces.exeDir), this);
    mPrompts->exec(about);
}

void frmMain::Form_Resize()
{
    if (isMinimized() || mPicture->width() <= 0 || mPicture->height() <= 0)
        return;
    fitViewToBlock();
    mModes.viewScrolled(); // a live anchor follows the refitted view
    refresh();
}

void frmMain::resetScrollBars()
{
    mScroll.HScl_sw = 1;
    mScroll.VScl_sw = 1;
    mHScroll->setValue(ScrollState::Neutral);
    mVScroll->setValue(ScrollState::Neutral);
    mScroll.HScl_val = ScrollState::Neutral;
    mScroll.VScl_val = ScrollState::Neutral;
    mScroll.HScl_sw = 0;
    mScroll.VScl_sw = 0;
}

void frmMain::HScroll1_Change(int value)
{
    if (!HScroll_change(mView, mScroll, value, mHScroll->minimum(), mHScroll->maximum()))
        return;
    afterViewMoved();
}

void frmMain::VScroll1_Change(int value)
{
    if (!VScroll_change(mView, mScroll, value, mVScroll->minimum(), mVScroll->maximum()))
        return;
    afterViewMoved();
}

void frmMain::afterViewMoved()
{
    refresh();
    mModes.viewScrolled(); // a live anchor stays on its world position
}

void frmMain::zoomAtCentre(int steps)
{
    Picture1_Wheel(steps, mPicture->width() / 2.0, mPicture->height() / 2.0);
}

void frmMain::keyPressEvent(QKeyEvent* e)
{
    // The arrows move the view as the scroll bars' arrows do; keys the
    // focused widget (a table in the check window) takes never get here.
    const auto step = [](QScrollBar* bar, bool add) {
        bar->triggerAction(add ? QAbstractSlider::SliderSingleStepAdd
                               : QAbstractSlider::SliderSingleStepSub);
    };
    if (e->modifiers() != Qt::NoModifier && e->modifiers() != Qt::KeypadModifier) {
        QMainWindow::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_Left:
        step(mHScroll, false);
        break;
    case Qt::Key_Right:
        step(mHScroll, true);
        break;
    case Qt::Key_Up:
        step(mVScroll, false);
        break;
    case Qt::Key_Down:
        step(mVScroll, true);
        break;
    default:
        QMainWindow::keyPressEvent(e);
    }
}

void frmMain::Picture1_Wheel(int steps, double x, double y)
{
    // Each step zooms like a click zoom of 拡大 or 縮小, about the pointer.
    const qint16 sw = steps > 0 ? 0 : 1;
    bool moved = false;
    for (int i = 0; i < std::abs(steps); ++i)
        moved = Zoom_at(mView, sw, int(std::lround(x)), int(std::lround(y))) || moved;
    if (!moved)
        return;
    resetScrollBars();
    afterViewMoved();
}

void frmMain::panStart(double x, double y)
{
    mPanning = true;
    mPanFrom = QPoint(int(std::lround(x)), int(std::lround(y)));
}

void frmMain::panMove(int buttons, double x, double y)
{
    if (!mPanning)
        return;
    if (!(buttons & kMiddle)) {
        mPanning = false; // released outside the area
        return;
    }
    const QPoint to(int(std::lround(x)), int(std::lround(y)));
    if (to == mPanFrom || !Pan_view(mView, to.x() - mPanFrom.x(), to.y() - mPanFrom.y()))
        return;
    mPanFrom = to;
    afterViewMoved();
}

void frmMain::Kakudai_disp(qint16 gxa, qint16 gya, qint16 gxb, qint16 gyb)
{
    afterRectZoom(Kakudai_rect(mView, gxa, gya, gxb, gyb));
}

void frmMain::Shukusho_disp(qint16 gxa, qint16 gya, qint16 gxb, qint16 gyb)
{
    afterRectZoom(Shukusho_rect(mView, gxa, gya, gxb, gyb));
}

void frmMain::afterRectZoom(ZoomResult r)
{
    if (r == ZoomResult::NotReady)
        return;
    if (r == ZoomResult::Zoomed)
        resetScrollBars();
    refresh(); // also when too small: the rubber band must not linger
}

void frmMain::clickZoom(qint16 SclSw, double kx, double ky)
{
    Set_Dan_scl(mView, SclSw, kx, ky);
    refresh();
    resetScrollBars();
}

void frmMain::mnuDispKaku_Click()
{
    mModes.enterZoom(DispMode::ZoomIn);
}

void frmMain::mnuDispShuku_Click()
{
    mModes.enterZoom(DispMode::ZoomOut);
}

void frmMain::mnuDispAll_Click()
{
    Raber_Reset();
    Mk_Dan_xyminmax(mView, mMod.BlkData);
    Mk_Dan_scl(mView);
    refresh();
    resetScrollBars();
}

void frmMain::mnuDispRedraw_Click()
{
    Raber_Reset();
    refresh();
}

SectionPainter::Options frmMain::sectionLook() const
{
    SectionPainter::Options opt;
    opt.grid = gridOn();
    opt.font = mPicture->font();
    return opt;
}

bool frmMain::gridOn() const
{
    return menuItem(QStringLiteral("mnuDispGrid"))->isChecked();
}

void frmMain::mnuDispGrid_Click()
{
    QAction* item = menuItem(QStringLiteral("mnuDispGrid"));
    item->setChecked(!item->isChecked());
    mButtons.value(QStringLiteral("Grid"))->setChecked(item->isChecked());
    refresh();
}

void frmMain::Toolbar1_ButtonClick(const QString& key)
{
    // Keys are compared exactly; a key the toolbar does not know ends any
    // mode, with no reset, message or repaint.
    if (key == QLatin1String("NewOpen"))
        mnuFileNew_Click();
    else if (key == QLatin1String("Open"))
        mnuFileOpen_Click();
    else if (key == QLatin1String("Save"))
        mnuFileSave_Click();
    else if (key == QLatin1String("Kakudai"))
        mnuDispKaku_Click();
    else if (key == QLatin1String("Shukusho"))
        mnuDispShuku_Click();
    else if (key == QLatin1String("Zenhyoji"))
        mnuDispAll_Click();
    else if (key == QLatin1String("Redraw"))
        mnuDispRedraw_Click();
    else if (key == QLatin1String("Grid"))
        mnuDispGrid_Click(); // the button toggled itself; the handler sets it from the menu
    else if (key == QLatin1String("Line"))
        mModes.enterJoin();
    else if (key == QLatin1String("Line_Del"))
        mModes.enterLineDelete();
    else if (key == QLatin1String("Pnt_Del"))
        mModes.enterPointDelete();
    else if (key == QLatin1String("Undo"))
        mEdits.undo();
    else if (key == QLatin1String("Help"))
        mnuHelpHelp_Click();
    else if (key == QLatin1String("Redo"))
        mEdits.redo();
    else if (key == QLatin1String("Check"))
        mChecks->mnuDispCheck_Click();
    else
        mModes.setIdle();
}

// --- MouseModesHost ------------------------------------------------------------

void frmMain::showGuidance(const QString& text)
{
    mPanel1->setText(text);
}

void frmMain::showPosition(const QString& text)
{
    mPanel2->setText(text);
}

void frmMain::refresh()
{
    // Whatever changed the block asks for a repaint, so this is where the
    // checks and the caption learn of it.
    mChecks->blockMaybeChanged();
    showModified();
    mPicture->refresh();
}

void frmMain::setCaption(const QString& caption)
{
    // Qt shows "*" in place of the placeholder while the window is modified.
    setWindowTitle(caption + QStringLiteral("[*]"));
    showModified();
}

void frmMain::showModified()
{
    setWindowModified(Data_Modified(mMod));
}

// The pixels a rubber band covers: the four edges of a rectangle, or the box
// of a line; one pixel of slack on every side.
static QRegion bandRegion(MouseModes::BandKind kind, QPoint a, QPoint b)
{
    const QRect box = QRect(a, b).normalized().adjusted(-1, -1, 1, 1);
    if (kind == MouseModes::BandKind::None)
        return {};
    if (kind == MouseModes::BandKind::Line)
        return box;
    QRegion r;
    r += QRect(box.left(), box.top(), box.width(), 3);
    r += QRect(box.left(), box.bottom() - 2, box.width(), 3);
    r += QRect(box.left(), box.top(), 3, box.height());
    r += QRect(box.right() - 2, box.top(), 3, box.height());
    return r;
}

void frmMain::bandChanged()
{
    // Only the old and the new band are redrawn, so dragging stays cheap on a
    // large drawing area.
    const QRegion now = bandRegion(mModes.bandKind(), mModes.bandFrom(), mModes.bandTo());
    mPicture->updateOverlay(mBandShown + now);
    mBandShown = now;
}

void frmMain::setZoomCursor(bool on)
{
    if (on)
        mPicture->setCursor(magnifierCursor());
    else
        mPicture->unsetCursor();
}

void frmMain::setEditEnabled(const EditEnables& e)
{
    menuItem(QStringLiteral("mnuLineDel"))->setEnabled(e.lineDel);
    menuItem(QStringLiteral("mnuLineDelAll"))->setEnabled(e.lineDelAll);
    menuItem(QStringLiteral("mnuPointDel"))->setEnabled(e.pointDel);
    menuItem(QStringLiteral("mnuLineIn"))->setEnabled(e.lineIn);
    mButtons.value(QStringLiteral("Line_Del"))->setEnabled(e.lineDel);
    mButtons.value(QStringLiteral("Pnt_Del"))->setEnabled(e.pointDel);
    mButtons.value(QStringLiteral("Line"))->setEnabled(e.lineIn);
}

bool frmMain::confirm(const QString& text)
{
    return mPrompts->okCancel(this, QStringLiteral("確認"), text);
}

void frmMain::showError(const QString& text)
{
    mPrompts->error(this, text);
}

void frmMain::undoChanged()
{
    const bool undo = mMod.UndoCnt > 0;
    const bool redo = Redo_Available(mMod);
    mButtons.value(QStringLiteral("Undo"))->setEnabled(undo);
    menuItem(QStringLiteral("mnuEditUndo"))->setEnabled(undo);
    mButtons.value(QStringLiteral("Redo"))->setEnabled(redo);
    menuItem(QStringLiteral("mnuEditRedo"))->setEnabled(redo);
    showModified();
}

void frmMain::hoverChanged()
{
    mPicture->updateOverlay(mPicture->rect()); // the cached picture, newly marked
}

void frmMain::selectionChanged()
{
    refresh(); // the renderer draws the highlights from the selection lists
}

QString frmMain::panelText(int panel) const
{
    return panel == 1 ? mPanel1->text() : mPanel2->text();
}
