#include "output/pngsizedialog.h"

#include "document/numtext.h"
#include "output/exports.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Takes the digits an input method's full-width mode types as well.
class SideBox final : public QSpinBox
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

QSpinBox* sideBox(const QString& name, int value, QWidget* parent)
{
    auto* box = new SideBox(parent);
    box->setObjectName(name);
    box->setRange(Exports::MinImageSide, Exports::MaxImageSide);
    box->setSuffix(QStringLiteral(" ピクセル"));
    box->setValue(value);
    return box;
}

} // namespace

PngSizeDialog::PngSizeDialog(QSize proposed, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("PNG の大きさ"));
    mWidth = sideBox(QStringLiteral("width"), proposed.width(), this);
    mHeight = sideBox(QStringLiteral("height"), proposed.height(), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("幅(&W):"), mWidth);
    form->addRow(QStringLiteral("高さ(&H):"), mHeight);
    form->addRow(buttons);
}

QSize PngSizeDialog::chosenSize() const
{
    return QSize(mWidth->value(), mHeight->value());
}
