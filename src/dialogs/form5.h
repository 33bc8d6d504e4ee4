#pragma once

#include "document/blkrec.h"
#include "document/figuresettings.h"

#include "dialogs/resizabledialog.h"

#include <QRect>

#include <array>
#include <optional>
#include <utility>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class OvtGrid;
class Prompts;
struct Module1;

// ブロック諸元: the block specification dialog. Edits ParaData, a copy of
// BlkData taken when it opens: name, type, dimensions, centre of gravity,
// volume and the layer table. 登録 stores the copy, with the undo entry
// "諸条件修正", once the layer volumes add up to V.
class Form5 : public ResizableDialog
{
    Q_OBJECT
public:
    // settingsFile: where the dialog's size is remembered; empty for nowhere.
    Form5(Module1& mod, Prompts& prompts, QWidget* parent = nullptr,
          const QString& settingsFile = {});

    // 0: 登  録 (check, undo entry, store, close accepted); 1: ｷｬﾝｾﾙ.
    void CmdPara_Click(int Index);
    // 累計体積再計算: the layer table read back and shown again.
    void Command1_Click();
    // 断面から計算: the ⊿Ｖ column filled from the outline, with the L typed,
    // for the rows from the first down to the last one with a height.
    void CmdLyrCalc_Click();
    // 断面から: V, X and Y proposed from the outline with the L typed.
    void CmdSpecCalc_Click();

    const BlkRec& ParaData() const { return mParaData; }
    // In screen order: 名称, 種別, B, H, L, X, Y, V.
    QLineEdit* Text1(int Index) const { return mText1.at(size_t(Index)); }
    OvtGrid* OvtGV() const { return mOvtGV; }
    OvtGrid* OvtGV1() const { return mOvtGV1; }
    QPushButton* Command1() const { return mCommand1; }
    QPushButton* CmdLyrCalc() const { return mCmdLyrCalc; }
    QPushButton* CmdSpecCalc() const { return mCmdSpecCalc; }
    QPushButton* CmdPara(int Index) const { return mCmdPara.at(size_t(Index)); }
    // 0: 累計体積非表示, 1: 累計体積表示.
    QRadioButton* Option1(int Index) const { return mOption1.at(size_t(Index)); }
    QLabel* Label2(int Index) const { return mLabel2.at(size_t(Index)); }

    // The unit weights of the mass shown under V (the defaults until set).
    void setFigureSettings(const FigureSettings& s);
    // 質量, 重量 and 充填率 of the V, B, H and L as typed.
    QLabel* massLabel() const { return mMassLabel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls(Prompts& prompts);
    void Form_Layout();
    void Para_Disp();
    void Para_Get();
    void Lyr_Disp();
    void Lyr_Get();
    bool textFieldsStorable();
    bool numbersReadable();
    void Text1_GotFocus(int Index);
    void Text1_LostFocus(int Index);
    void markNumber(int Index);
    void showMass();
    void Option1_Click();
    void coupleRows(OvtGrid* to, int row);
    void createSectionButtons();
    std::optional<BlkRec> sectionRecord(const QString& title);

    Module1& mMod;
    Prompts& mPrompts;
    BlkRec mParaData;
    std::array<QLineEdit*, 8> mText1{};
    // The controls left of the layer table with their places in twips. The
    // table sits to the right of the widest of them, so controls added to a
    // row later (a button beside V, say) move it and widen the dialog.
    std::vector<std::pair<QWidget*, QRect>> mLeftColumn;
    OvtGrid* mOvtGV = nullptr;
    OvtGrid* mOvtGV1 = nullptr;
    QPushButton* mCommand1 = nullptr;
    QPushButton* mCmdLyrCalc = nullptr;
    QPushButton* mCmdSpecCalc = nullptr;
    std::array<QPushButton*, 2> mCmdPara{};
    QGroupBox* mFrame1 = nullptr;
    std::array<QRadioButton*, 2> mOption1{};
    std::array<QLabel*, 2> mLabel2{};
    bool mCoupling = false;
    FigureSettings mFigureSettings;
    QLabel* mMassLabel = nullptr;
};
