#include "dialogs/dxfimportdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QDoubleSpinBox* millimetres(double value, double min, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(min, 1000);
    box->setDecimals(3);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

QString fileUnitNote(const DxfDrawing& d)
{
    if (!d.fileUnit)
        return QStringLiteral("ファイルに単位の指定はありません");
    return QStringLiteral("ファイルの指定: %1").arg(Dxf::unitName(*d.fileUnit));
}

} // namespace

DxfImportDialog::DxfImportDialog(const DxfDrawing& drawing, QWidget* parent)
    : QDialog(parent), mDrawing(drawing)
{
    setObjectName(QStringLiteral("DxfImportDialog"));
    setWindowTitle(QStringLiteral("DXF から取込"));
    const DxfImportOptions defaults;

    mLayers = new QTreeWidget(this);
    mLayers->setObjectName(QStringLiteral("layers"));
    mLayers->setRootIsDecorated(false);
    mLayers->setHeaderLabels(
        {QStringLiteral("画層"), QStringLiteral("図形"), QStringLiteral("線・円弧")});
    const QStringList chosen = Dxf::defaultLayers(drawing);
    for (const DxfLayerInfo& l : drawing.layers) {
        auto* item = new QTreeWidgetItem(
            mLayers, {l.name, QString::number(l.entities), QString::number(l.importable)});
        item->setCheckState(0, chosen.contains(l.name) ? Qt::Checked : Qt::Unchecked);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    // The names take the room; the counts stay beside their headers.
    mLayers->header()->setStretchLastSection(false);
    mLayers->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    mLayers->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    mLayers->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    mUnit = new QComboBox(this);
    mUnit->addItems({QStringLiteral("ミリメートル (mm)"), QStringLiteral("メートル (m)")});
    mUnit->setCurrentIndex(Dxf::unitFor(drawing, DxfUnitChoice::FromFile) == DxfUnit::Metre);
    mTolerance = millimetres(defaults.toleranceMm, 0, this);
    mDeviation = millimetres(defaults.deviationMm, 0.001, this);
    mOrigin = new QCheckBox(QStringLiteral("左下の角を原点 (0, 0) に移す"), this);
    mOrigin->setChecked(defaults.moveToOrigin);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("単位:"), mUnit);
    form->addRow(QString(), new QLabel(fileUnitNote(drawing), this));
    form->addRow(QStringLiteral("端点をまとめる距離:"), mTolerance);
    form->addRow(QStringLiteral("円弧と弦の最大距離:"), mDeviation);
    form->addRow(QString(), mOrigin);

    mSummary = new QLabel(this);
    mSummary->setObjectName(QStringLiteral("summary"));
    mSummary->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    mImport = buttons->addButton(QStringLiteral("取込"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("取り込む画層 (%1):").arg(drawing.fileName), this));
    top->addWidget(mLayers, 1);
    top->addLayout(form);
    top->addWidget(mSummary);
    top->addWidget(buttons);
    resize(520, 480);

    connect(mLayers, &QTreeWidget::itemChanged, this, &DxfImportDialog::update);
    connect(mUnit, &QComboBox::currentIndexChanged, this, &DxfImportDialog::update);
    connect(mTolerance, &QDoubleSpinBox::valueChanged, this, &DxfImportDialog::update);
    connect(mDeviation, &QDoubleSpinBox::valueChanged, this, &DxfImportDialog::update);
    connect(mOrigin, &QCheckBox::toggled, this, &DxfImportDialog::update);
    update();
}

DxfImportOptions DxfImportDialog::options() const
{
    DxfImportOptions o;
    for (int i = 0; i < mLayers->topLevelItemCount(); ++i) {
        if (mLayers->topLevelItem(i)->checkState(0) == Qt::Checked)
            o.layers << mLayers->topLevelItem(i)->text(0);
    }
    o.unit = mUnit->currentIndex() == 1 ? DxfUnitChoice::Metre : DxfUnitChoice::Millimetre;
    o.toleranceMm = mTolerance->value();
    o.deviationMm = mDeviation->value();
    o.moveToOrigin = mOrigin->isChecked();
    return o;
}

void DxfImportDialog::update()
{
    const DxfImportOptions o = options();
    if (o.layers.isEmpty()) {
        mResult = {};
        mResult.error = QStringLiteral("取り込む画層を選んでください。");
    } else {
        mResult = Dxf::toOutline(mDrawing, o);
    }
    if (mResult.ok()) {
        mSummary->setStyleSheet({});
        mSummary->setText(QStringLiteral("点 %1 個、線分 %2 本を取り込みます。")
                              .arg(mResult.outline.points.size())
                              .arg(mResult.outline.segments.size()));
    } else {
        mSummary->setStyleSheet(QStringLiteral("color: #b00000;"));
        mSummary->setText(mResult.error);
    }
    mImport->setEnabled(mResult.ok());
}
