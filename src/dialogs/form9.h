#pragma once

#include "document/basmrblk.h"
#include "document/blkrec.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>

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
// the data folder at once, whether or not a file is then chosen.
class Form9 : public QDialog
{
    Q_OBJECT
public:
    // exeDir: the executable's folder, the fallback when the data folder is
    // gone. The dialog loads (lists and previews) as it is built.
    Form9(basMr_Blk& blk, const QString& exeDir, Prompts& prompts, QWidget* parent = nullptr);
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Preview;

    void buildControls();
    void fillDrives();
    void syncDrive();
    bool setDirPath(const QString& path);
    void fillDirs();
    void enterDir(QTreeWidgetItem* item);
    void alignHeader();
    void clearPreview();

    basMr_Blk& mBlk;
    QString mExeDir;
    Prompts& mPrompts;

    // Dialog state.
    QStringList ListNm;                  // names of the listed files, index 0..1000
    QStringList mListPaths;              // their full paths, same indices
    BlkRec ViewData;                     // the block in the preview
    QString mDirPath;                    // the folder shown, no trailing "/" but for the root
    QHash<QString, QString> mVolumeDirs; // last folder per volume root

    QComboBox* mDrive1 = nullptr;
    QTreeWidget* mDir1 = nullptr;
    QLabel* mLabel1 = nullptr;
    QListWidget* mList1 = nullptr;
    QLabel* mLimit = nullptr;
    QGroupBox* mFrame1 = nullptr;
    QLabel* mLabel3 = nullptr;
    Preview* mPicture1 = nullptr;
    QPushButton* mCommand1_0 = nullptr;
    QPushButton* mCommand1_1 = nullptr;
};
