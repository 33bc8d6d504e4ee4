#pragma once

#include "document/figuresettings.h"

#include <QDialog>

#include <array>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class Prompts;

// 設定: the unit weights (densities of concrete and sea water, g) and the
// still-water levels at which the check window gives the buoyancy. Edits a
// copy; 登録 checks every value and closes accepted, ｷｬﾝｾﾙ discards.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    enum Box
    {
        ConcreteBox,
        SeawaterBox,
        GravityBox,
        BoxCount
    };
    // The columns of the level table.
    enum LevelColumn
    {
        NameColumn,   // 名称
        HeightColumn, // 高さ (m)
        LevelColumnCount
    };

    SettingsDialog(const FigureSettings& settings, Prompts& prompts, QWidget* parent = nullptr);

    // What 登録 accepted (the settings handed in until then).
    const FigureSettings& settings() const { return mSettings; }

    QLineEdit* box(Box b) const { return mBoxes[b]; }
    // The kN/m3 beside a density, following what is typed.
    QLabel* unitWeight(Box b) const { return mKN[b]; }
    QTableWidget* levels() const { return mLevels; }
    QPushButton* addLevel() const { return mAdd; }
    QPushButton* removeLevel() const { return mRemove; }
    QPushButton* defaults() const { return mDefaults; }
    QPushButton* cmdOK() const { return mOK; }
    QPushButton* cmdCancel() const { return mCancel; }

    // 登  録: the typed values checked, stored and the dialog accepted.
    void CmdOK_Click();

private:
    void display(const FigureSettings& s);
    void appendLevel(const WaterLevel& level);
    void updateUnitWeights();
    std::optional<FigureSettings> typed();

    Prompts& mPrompts;
    FigureSettings mSettings;
    std::array<QLineEdit*, BoxCount> mBoxes{};
    std::array<QLabel*, BoxCount> mKN{};
    QTableWidget* mLevels = nullptr;
    QPushButton* mAdd = nullptr;
    QPushButton* mRemove = nullptr;
    QPushButton* mDefaults = nullptr;
    QPushButton* mOK = nullptr;
    QPushButton* mCancel = nullptr;
};
