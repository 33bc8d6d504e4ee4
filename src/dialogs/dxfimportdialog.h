#pragma once

#include "exchange/dxfimport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// The choices of a DXF import: the layers (with their entity counts), the
// unit, the tolerance for merging end points, the chord deviation for arcs
// and whether the outline is moved to the origin. What the choices give is
// shown as they change; 取込 is enabled only while it can be imported.
class DxfImportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DxfImportDialog(const DxfDrawing& drawing, QWidget* parent = nullptr);

    DxfImportOptions options() const;
    // The outline the current choices give (valid while 取込 is enabled).
    const DxfOutlineResult& result() const { return mResult; }

    // For tests.
    QTreeWidget* layerList() const { return mLayers; }
    QComboBox* unitBox() const { return mUnit; }
    QDoubleSpinBox* toleranceBox() const { return mTolerance; }
    QDoubleSpinBox* deviationBox() const { return mDeviation; }
    QCheckBox* originBox() const { return mOrigin; }
    QLabel* summary() const { return mSummary; }
    QPushButton* importButton() const { return mImport; }

private:
    void update();

    const DxfDrawing& mDrawing;
    DxfOutlineResult mResult;
    QTreeWidget* mLayers = nullptr;
    QComboBox* mUnit = nullptr;
    QDoubleSpinBox* mTolerance = nullptr;
    QDoubleSpinBox* mDeviation = nullptr;
    QCheckBox* mOrigin = nullptr;
    QLabel* mSummary = nullptr;
    QPushButton* mImport = nullptr;
};
