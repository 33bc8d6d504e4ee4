#pragma once

#include "analysis/similarblock.h"
#include "document/blkrec.h"
#include "document/figuresettings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class Prompts;

// 相似形で作成: the similar block of the current one at a target mass or by a
// scale factor. Shows the factor, the new mass and dimensions, and every
// value that rounding to three decimals moved; the suggested name can be
// edited. 登録 closes accepted with result() ready; the caller stores it.
class SimilarDialog : public QDialog
{
    Q_OBJECT
public:
    SimilarDialog(const BlkRec& block, const FigureSettings& settings, Prompts& prompts,
                  QWidget* parent = nullptr);

    // The similar block with the name as typed; meaningful once accepted.
    const BlkRec& result() const { return mSimilar.block; }
    const SimilarBlock& similar() const { return mSimilar; }

    QRadioButton* byMass() const { return mByMass; }
    QRadioButton* byFactor() const { return mByFactor; }
    QLineEdit* massBox() const { return mMass; }
    QLineEdit* factorBox() const { return mFactor; }
    QLineEdit* nameBox() const { return mName; }
    QLabel* summary() const { return mSummary; }
    QPlainTextEdit* moves() const { return mMoves; }
    QPushButton* cmdOK() const { return mOK; }
    QPushButton* cmdCancel() const { return mCancel; }

    // 登  録: the name checked, the dialog accepted.
    void CmdOK_Click();

private:
    void recompute();
    void showSummary();
    void showMoves();

    const BlkRec mBlock;
    const FigureSettings mSettings;
    Prompts& mPrompts;
    SimilarBlock mSimilar;
    bool mNameEdited = false; // the user's own name is not overwritten
    QRadioButton* mByMass = nullptr;
    QRadioButton* mByFactor = nullptr;
    QLineEdit* mMass = nullptr;
    QLineEdit* mFactor = nullptr;
    QLineEdit* mName = nullptr;
    QLabel* mSummary = nullptr;
    QPlainTextEdit* mMoves = nullptr;
    QPushButton* mOK = nullptr;
    QPushButton* mCancel = nullptr;
};
