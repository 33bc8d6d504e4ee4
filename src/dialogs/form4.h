#pragma once

#include "dialogs/resizabledialog.h"

#include <QList>

#include <array>

class QLabel;
class QPushButton;
class OvtGrid;
class Prompts;
struct Module1;
struct PntRow;
struct BlkRec;

// 構成点編集: the point table editor. Shows the points of BlkData one row per
// point; 登録 pushes the undo entry "点編集" and takes the rows as the new points,
// with the segments re-linked to them. Each row remembers the stored point it
// was filled from, through row inserts and deletes, so that a moved point can
// take its segments along.
class Form4 : public ResizableDialog
{
    Q_OBJECT
public:
    // settingsFile: where the dialog's size is remembered; empty for nowhere.
    Form4(Module1& mod, Prompts& prompts, QWidget* parent = nullptr,
          const QString& settingsFile = {});

    // 0: 登  録 (check, ask what is lost, undo entry, store points and
    // segments, close accepted); 1: ｷｬﾝｾﾙ.
    void CmdP_Click(int Index);

    OvtGrid* OvtGP() const { return mOvtGP; }
    QLabel* Label1() const { return mLabel1; }
    QPushButton* CmdP(int Index) const { return mCmdP.at(size_t(Index)); }

private:
    void Form_Layout();
    void Pnt_Disp();
    QList<PntRow> Pnt_Rows();
    bool Pnt_Register();
    bool confirmCut(const QList<PntRow>& rows);
    bool relinkAsked(BlkRec& rec, const QList<PntRow>& rows);

    Module1& mMod;
    Prompts& mPrompts;
    OvtGrid* mOvtGP = nullptr;
    QLabel* mLabel1 = nullptr;
    std::array<QPushButton*, 2> mCmdP{};
};

// The point-edit command (点 → 編集...): shows Form4 through prompts. 登録
// has re-linked the segments as the user chose; after ｷｬﾝｾﾙ they are
// re-linked to the unchanged points by position, which drops segments whose
// ends lie outside the table. Returns the dialog's result. The caller ends
// any mouse gesture before and repaints, updates the menus and the Undo
// button after.
int runPointEditor(Module1& mod, Prompts& prompts, QWidget* parent,
                   const QString& settingsFile = {});
