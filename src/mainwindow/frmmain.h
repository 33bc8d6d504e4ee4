#pragma once

#include "document/basmrblk.h"
#include "document/datapath.h"
#include "document/module1.h"
#include "document/recovery.h"
#include "editing/mousemodes.h"
#include "mainwindow/dxfcommands.h"
#include "mainwindow/editcommands.h"
#include "mainwindow/filecommands.h"
#include "output/exportcommands.h"
#include "view/viewstate.h"

#include <QMainWindow>
#include <QMap>
#include <QRegion>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QToolBar;
class Picture1;
class Prompts;
class CheckCommands;
class FigureCommands;
class HelpWindow;
class RecentMenu;
class QTimer;
class QSessionManager;

// The main window: menus, toolbar, the drawing area with its scroll bars and
// the two-panel status bar. It owns the view and the interaction state; the
// block state is handed in, so tests build their own.
class frmMain : public QMainWindow,
                private MouseModesHost,
                private FileCommandsHost,
                private EditCommandsHost
{
    Q_OBJECT
public:
    static const QString Caption; // "直立消波ブロック設定"

    // prompts: the message boxes to show; nullptr for the real ones.
    frmMain(Module1& mod, basMr_Blk& blk, const DataPathPlaces& places, Prompts* prompts = nullptr,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // Procedures the other parts of the program call.
    void Raber_Reset() override { mModes.Raber_Reset(); }
    void Disp_Message(qint16 MsgNo) { mModes.Disp_Message(MsgNo); }
    void Menu_Enable() override { mModes.Menu_Enable(); }
    void Kakudai_disp(qint16 gxa, qint16 gya, qint16 gxb, qint16 gyb) override;
    void Shukusho_disp(qint16 gxa, qint16 gya, qint16 gxb, qint16 gyb) override;
    void Form_Resize();

    // Menu and toolbar commands.
    void mnuFileNew_Click() { mFiles.mnuFileNew_Click(); }
    void mnuFileOpen_Click() { mFiles.mnuFileOpen_Click(); }
    void mnuFileSave_Click() { mFiles.mnuFileSave_Click(); }
    void mnuFileEnd_Click() { close(); }
    void mnuHelpHelp_Click();
    void mnuHelpVer_Click();
    // A block file named on the command line: opened as 開く opens it.
    void openAtStart(const QString& path);
    // Offers the recovery copies a crashed run left behind, one by one.
    void offerRecovery();
    // The recovery copy brought up to date (every few seconds).
    void recoveryTick();
    // Ends the program on SIGTERM, SIGHUP and SIGINT, and asks the
    // save-if-modified prompt when the user logs out of the desktop.
    void watchSessionEnd();
    // The system ends the program: the recovery copy of a modified block is
    // written at once and kept for the next start, MRDTPATH is written, and
    // the program ends without a question.
    void endBySignal();
    // The user is logging out of the desktop: the save-if-modified prompt, whose
    // キャンセル cancels the logout.
    void commitSession(QSessionManager& manager);
    // The open file changed on disk: told in the status bar, and 再読込
    // offered when the block is not modified.
    void fileChangedOnDisk(bool deleted);
    Recovery& recovery() { return mRecovery; }
    RecentMenu* recentMenu() const { return mRecent; }
    CheckCommands* checks() const { return mChecks; }
    FigureCommands* figures() const { return mFigures; }
    HelpWindow* helpWindow() const { return mHelp; }
    void mnuDispKaku_Click();
    void mnuDispShuku_Click();
    void mnuDispAll_Click();
    void mnuDispRedraw_Click();
    void mnuDispGrid_Click();
    // One wheel step's zoom about the centre of the drawing area: in when
    // steps is positive.
    void zoomAtCentre(int steps);
    void Toolbar1_ButtonClick(const QString& key);

    // For tests and the benchmarks.
    ViewState& view() { return mView; }
    ScrollState& scroll() { return mScroll; }
    MouseModes& modes() { return mModes; }
    FileCommands& files() { return mFiles; }
    EditCommands& edits() { return mEdits; }
    ExportCommands& exports() { return mExports; }
    DxfCommands& dxf() { return mDxf; }
    // The screen's look of the section (grid, point-number font), for exports.
    SectionPainter::Options sectionLook() const;
    Picture1* picture() const { return mPicture; }
    QScrollBar* hScroll() const { return mHScroll; }
    QScrollBar* vScroll() const { return mVScroll; }
    QAction* toolbarButton(const QString& key) const { return mButtons.value(key); }
    QAction* menuItem(const QString& name) const;
    QString panelText(int panel) const;
    bool gridOn() const;
    bool iconsOk() const { return mIconsOk; }
    // Minimum outer size: 6000 × 4800 twips at the screen's logical DPI.
    QSize minimumOuterSize() const;
    // A comfortable first size: two thirds of the screen, never below the minimum.
    QSize startSize() const;
    // Whether the settings file gave the window its last size and place.
    bool geometryRestored() const { return mGeometryRestored; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // MouseModesHost
    void showGuidance(const QString& text) override;
    void showPosition(const QString& text) override;
    void refresh() override;
    void bandChanged() override;
    void setZoomCursor(bool on) override;
    void setEditEnabled(const EditEnables& e) override;
    void clickZoom(qint16 SclSw, double kx, double ky) override;
    bool confirm(const QString& text) override;
    void showError(const QString& text) override;
    void undoChanged() override;
    void selectionChanged() override;
    void hoverChanged() override;
    // FileCommandsHost (and the undo button above)
    QWidget* dialogParent() override { return this; }
    void fitViewToBlock() override;
    void setCaption(const QString& caption) override; // with the modified mark
    void showModified(); // the caption's "*" from the modification test
    void documentChanged(const QString& path) override;

    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createCentral();
    void createDocumentSafety();
    void showFileState();
    void Form_Load();
    void Form_Unload();
    // Window size, place and the grid switch, kept in the settings file.
    void restoreSettings();
    void storeSettings();
    void readDrawingArea();
    void resetScrollBars();
    void afterRectZoom(ZoomResult r);
    void Picture1_Wheel(int steps, double x, double y);
    void panStart(double x, double y);
    void panMove(int buttons, double x, double y);
    void afterViewMoved();
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);
    void applyMinimumSize();
    QAction* addButton(const QString& key, const QString& icon, const QString& tip);

    Module1& mMod;
    basMr_Blk& mBlk;
    DataPathPlaces mPlaces;
    std::unique_ptr<Prompts> mOwnPrompts; // the real message boxes, unless tests hand in theirs
    Prompts* mPrompts = nullptr;
    ViewState mView;
    ScrollState mScroll;
    MouseModes mModes;
    FileCommands mFiles;
    EditCommands mEdits;
    ExportCommands mExports;
    DxfCommands mDxf;

    Picture1* mPicture = nullptr;
    QScrollBar* mHScroll = nullptr;
    QScrollBar* mVScroll = nullptr;
    QToolBar* mToolbar = nullptr;
    QLabel* mPanel1 = nullptr;
    QLabel* mPanel2 = nullptr;
    QLabel* mFilePanel = nullptr; // read-only, or changed on disk
    QString mDiskNotice;
    QMap<QString, QAction*> mMenuItems; // by control name: "mnuDispGrid", ...
    QMap<QString, QAction*> mButtons;   // by toolbar key: "Grid", ...
    QMap<QString, QMenu*> mSubmenus;    // filled at run time: "mnuFileRecent"
    QRegion mBandShown;                 // where the rubber band was last drawn
    HelpWindow* mHelp = nullptr;        // created on first use, owned by the window
    RecentMenu* mRecent = nullptr;
    CheckCommands* mChecks = nullptr;
    FigureCommands* mFigures = nullptr;
    Recovery mRecovery;
    QTimer* mRecoveryTimer = nullptr;
    bool mPanning = false; // the middle button is dragging the view
    QPoint mPanFrom;
    bool mIconsOk = false;
    bool mUnloaded = false;
    bool mGeometryRestored = false;
    bool mEndingBySignal = false;
    bool mOfferingReload = false;
};
