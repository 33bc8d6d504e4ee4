#pragma once

#include <QDialog>
#include <QSize>

class QSpinBox;

// Asks the pixel size of the PNG image of the section: width and height,
// each within the sizes the export accepts.
class PngSizeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PngSizeDialog(QSize proposed, QWidget* parent = nullptr);

    QSize chosenSize() const;

private:
    QSpinBox* mWidth;
    QSpinBox* mHeight;
};
