#pragma once

#include "document/blkrec.h"
#include "output/exports.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

// Asks how the section alone is exported: the look (as on the screen, or a
// drawing to scale), the drawing's scale and dimension style, the picture's
// pixel size and, for PNG, its resolution. Fields that do not apply to the
// chosen look are disabled; a line below tells the page or image size the
// choice gives. Widgets are named for tests: lookScreen, lookDrawing, scale,
// dimensionStyle, width, height, dpi, outcome.
class SectionExportDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Format
    {
        Svg,
        Pdf,
        Png
    };

    // proposed: the choices the dialog starts with (a scale of 0 starts at
    // the largest standard one that fits A4, or for PNG at 自動).
    SectionExportDialog(Format format, const SectionExport& proposed, const BlkRec& blk,
                        QWidget* parent = nullptr);

    SectionExport chosen() const;

    static QString formatName(Format f);

private:
    void updateFields();

    Format mFormat;
    SectionExport mBase;
    const BlkRec& mBlk;
    QRadioButton* mScreen;
    QRadioButton* mDrawing;
    QComboBox* mScale;
    QComboBox* mDimensions;
    QSpinBox* mWidth;
    QSpinBox* mHeight;
    QSpinBox* mDpi;
    QLabel* mOutcome;
};
