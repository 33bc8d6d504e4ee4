#pragma once

#include "document/basmrblk.h"
#include "document/blkrec.h"
#include "document/blocklisting.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>

class FolderListing;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class Prompts;

// The shape-selection dialog of 開く: a volume list, a folder list and the
// block files of the folder in fixed-width columns with a preview of the
// highlighted one. The chosen name is left in BlkNm. Every folder change sets
// the data folder at once, whether or not a file is then chosen. The files
// are read off the user-interface thread and the list fills as they arrive.
class Form9 : public QDialog
{
    Q_OBJECT
public:
    // exeDir: the executable's folder, the fallback when the data folder is
    // gone. The dialog loads as it is built: the listing starts at once.
    // source: how the files are reached (tests stand in a slow share).
    Form9(basMr_Blk& blk, const QString& exeDir, Prompts& prompts, QWidget* parent = nullptr,
          BlockListing::Source source = {});
    ~Form9() override;

    // The chosen file's name without folder and extension; empty for 取消.
    QString BlkNm;
    // Its full path, telling apart names equal but for the extension's case.
    QString BlkPath;

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void File_List();
    void List1_Click();
    void Command1_Click(int index); // 0 選択, 1 取消

    void reject() override; // Esc and the window frame count as 取消
    void done(int result) override;

    // The folder's files are still being read.
    bool isListing() const;

signals:
    // The list of the current folder is complete.
    void listingFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Preview;

    void buildControls();
    void fillDrives();
    void syncDrive();
    BlockListing::FolderState setDirPath(const QString& path);
    void fillDirs();
    void enterDir(QTreeWidgetItem* item);
    void alignHeader();
    void clearPreview();
    void addEntries(int first);
    void showProgress(int done, int total);
    void showStatus();

    basMr_Blk& mBlk;
    QString mExeDir;
    Prompts& mPrompts;
    BlockListing::Source mSource;
    FolderListing* mListing = nullptr;

    // Dialog state.
    QStringList ListNm;                  // names of the listed files, index 0..1000
    QStringList mListPaths;              // their full paths, same indices
    BlkRec ViewData;                     // the block in the preview
    QString mDirPath;                    // the folder shown, no trailing "/" but for the root
    QHash<QString, QString> mVolumeDirs; // last folder per volume root
    QString mNotice;                     // why another folder is shown than asked for
    QString mProgress;                   // the listing's progress while it runs

    QComboBox* mDrive1 = nullptr;
    QTreeWidget* mDir1 = nullptr;
    QLabel* mLabel1 = nullptr;
    QListWidget* mList1 = nullptr;
    QLabel* mStatus = nullptr; // progress, a folder that cannot be read, the limit
    QGroupBox* mFrame1 = nullptr;
    QLabel* mLabel3 = nullptr;
    Preview* mPicture1 = nullptr;
    QPushButton* mCommand1_0 = nullptr;
    QPushButton* mCommand1_1 = nullptr;
};
