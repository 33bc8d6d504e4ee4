#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class OvtGrid;
class Prompts;
struct Module1;

// 構成点編集: the point table editor. Shows the points of BlkData one row per
// point; 登録 pushes the undo entry "点編集" and takes the rows as the new points.
class Form4 : public QDialog
{
    Q_OBJECT
public:
    Form4(Module1& mod, Prompts& prompts, QWidget* parent = nullptr);

    // 0: 登  録 (undo entry, store the points, close accepted); 1: ｷｬﾝｾﾙ.
    void CmdP_Click(int Index);

    OvtGrid* OvtGP() const { return mOvtGP; }
    QLabel* Label1() const { return mLabel1; }
    QPushButton* CmdP(int Index) const { return mCmdP.at(size_t(Index)); }

private:
    void Form_Layout();
    void Pnt_Disp();
    void Pnt_Get();

    Module1& mMod;
    OvtGrid* mOvtGP = nullptr;
    QLabel* mLabel1 = nullptr;
    std::array<QPushButton*, 2> mCmdP{};
};

// The point-edit command (点 → 編集...): shows Form4 through prompts and,
// however it was closed, re-links the segments to the points by position.
// Returns the dialog's result. The caller ends any mouse gesture before and
// repaints, updates the menus and the Undo button after.
int runPointEditor(Module1& mod, Prompts& prompts, QWidget* parent);
