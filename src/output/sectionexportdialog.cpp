#include "output/sectionexportdialog.h"

#include "document/numtext.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Takes the digits an input method's full-width mode types as well.
class FoldingSpinBox final : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& input, int& pos) const override
    {
        const QString folded = NumText::foldWidth(input);
        if (folded != input) {
            pos = int(NumText::foldWidth(QStringView(input).left(pos)).size());
            input = folded;
        }
        return QSpinBox::validate(input, pos);
    }
    int valueFromText(const QString& text) const override
    {
        return QSpinBox::valueFromText(NumText::foldWidth(text));
    }
};

QSpinBox* numberBox(const QString& name, int min, int max, int value, const QString& suffix,
                    QWidget* parent)
{
    auto* box = new FoldingSpinBox(parent);
    box->setObjectName(name);
    box->setRange(min, max);
    box->setSuffix(suffix);
    box->setValue(value);
    return box;
}

} // namespace

QString SectionExportDialog::formatName(Format f)
{
    switch (f) {
    case Format::Svg:
        return QStringLiteral("SVG");
    case Format::Pdf:
        return QStringLiteral("PDF");
    case Format::Png:
        break;
    }
    return QStringLiteral("PNG");
}

SectionExportDialog::SectionExportDialog(Format format, const SectionExport& proposed,
                                         const BlkRec& blk, QWidget* parent)
    : QDialog(parent), mFormat(format), mBase(proposed), mBlk(blk)
{
    setWindowTitle(QStringLiteral("断面を %1 に出力").arg(formatName(format)));

    auto* lookBox = new QGroupBox(QStringLiteral("表示"), this);
    mScreen = new QRadioButton(QStringLiteral("画面と同じ（黒地、画面の大きさ）(&S)"), lookBox);
    mScreen->setObjectName(QStringLiteral("lookScreen"));
    mDrawing = new QRadioButton(QStringLiteral("図面（白地、縮尺、寸法線）(&D)"), lookBox);
    mDrawing->setObjectName(QStringLiteral("lookDrawing"));
    auto* looks = new QButtonGroup(this);
    looks->addButton(mScreen);
    looks->addButton(mDrawing);
    auto* lookLayout = new QVBoxLayout(lookBox);
    lookLayout->addWidget(mDrawing);
    lookLayout->addWidget(mScreen);
    (proposed.look == SectionLook::Screen ? mScreen : mDrawing)->setChecked(true);

    mScale = new QComboBox(this);
    mScale->setObjectName(QStringLiteral("scale"));
    if (format == Format::Png)
        mScale->addItem(QStringLiteral("自動（画像の大きさに合わせる）"), 0);
    for (int n : DrawingScale::Standard)
        mScale->addItem(DrawingScale::text(n), n);
    int start = proposed.drawing.scale;
    if (start <= 0 && format != Format::Png)
        start = Exports::defaultScale(blk, proposed.drawing);
    mScale->setCurrentIndex(std::max(0, mScale->findData(start)));

    mDimensions = new QComboBox(this);
    mDimensions->setObjectName(QStringLiteral("dimensionStyle"));
    mDimensions->addItem(QStringLiteral("B = 2.500 m"), int(DrawingPainter::DimensionText::Named));
    mDimensions->addItem(QStringLiteral("2.500"), int(DrawingPainter::DimensionText::Plain));
    mDimensions->setCurrentIndex(
        proposed.drawing.dimensionText == DrawingPainter::DimensionText::Plain ? 1 : 0);

    mWidth = numberBox(QStringLiteral("width"), Exports::MinImageSide, Exports::MaxImageSide,
                       proposed.size.width(), QStringLiteral(" ピクセル"), this);
    mHeight = numberBox(QStringLiteral("height"), Exports::MinImageSide, Exports::MaxImageSide,
                        proposed.size.height(), QStringLiteral(" ピクセル"), this);
    mDpi = numberBox(QStringLiteral("dpi"), Exports::MinDpi, Exports::MaxDpi, proposed.dpi,
                     QStringLiteral(" dpi"), this);
    mOutcome = new QLabel(this);
    mOutcome->setObjectName(QStringLiteral("outcome"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("縮尺(&C):"), mScale);
    form->addRow(QStringLiteral("寸法の書き方(&T):"), mDimensions);
    form->addRow(QStringLiteral("幅(&W):"), mWidth);
    form->addRow(QStringLiteral("高さ(&H):"), mHeight);
    if (format == Format::Png)
        form->addRow(QStringLiteral("解像度(&R):"), mDpi);
    else
        mDpi->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lookBox);
    layout->addLayout(form);
    layout->addWidget(mOutcome);
    layout->addWidget(buttons);

    connect(mScreen, &QRadioButton::toggled, this, &SectionExportDialog::updateFields);
    for (QComboBox* c : {mScale, mDimensions})
        connect(c, &QComboBox::currentIndexChanged, this, &SectionExportDialog::updateFields);
    for (QSpinBox* s : {mWidth, mHeight, mDpi})
        connect(s, &QSpinBox::valueChanged, this, &SectionExportDialog::updateFields);
    updateFields();
}

SectionExport SectionExportDialog::chosen() const
{
    SectionExport e = mBase;
    e.look = mScreen->isChecked() ? SectionLook::Screen : SectionLook::Drawing;
    e.drawing.scale = mScale->currentData().toInt();
    e.drawing.dimensionText = DrawingPainter::DimensionText(mDimensions->currentData().toInt());
    e.size = QSize(mWidth->value(), mHeight->value());
    e.dpi = mDpi->value();
    return e;
}

void SectionExportDialog::updateFields()
{
    const SectionExport e = chosen();
    const bool drawing = e.look == SectionLook::Drawing;
    const bool autoScale = e.drawing.scale <= 0;
    mScale->setEnabled(drawing);
    mDimensions->setEnabled(drawing);
    // The drawing's page follows from its scale; only an automatic scale
    // fits the drawing to a chosen image size.
    const bool sized = !drawing || (mFormat == Format::Png && autoScale);
    mWidth->setEnabled(sized);
    mHeight->setEnabled(sized);

    QString outcome;
    if (drawing && !autoScale) {
        if (mFormat == Format::Png) {
            const QSize px = Exports::drawingPixelSize(mBlk, e.drawing, e.dpi);
            outcome =
                QStringLiteral("画像の大きさ: %1 × %2 ピクセル").arg(px.width()).arg(px.height());
        } else {
            const QSizeF mm = Exports::drawingPageSize(mBlk, e.drawing);
            outcome = QStringLiteral("用紙の大きさ: %1 × %2 mm（余白 %3 mm）")
                          .arg(mm.width())
                          .arg(mm.height())
                          .arg(Exports::DrawingMargin);
        }
    } else if (drawing) {
        const double mmPerPx = 25.4 / e.dpi;
        const QSizeF room(e.size.width() * mmPerPx - 2 * Exports::DrawingMargin,
                          e.size.height() * mmPerPx - 2 * Exports::DrawingMargin);
        const int n = DrawingPainter::largestScale(mBlk, e.drawing, room);
        outcome = n > 0 ? QStringLiteral("縮尺 %1 で描きます。").arg(DrawingScale::text(n))
                        : QStringLiteral("この大きさでは 1:%1 でも収まりません。")
                              .arg(DrawingScale::Standard.back());
    }
    mOutcome->setText(outcome);
}
