#include "dialogs/settingsdialog.h"

#include "dialogs/prompts.h"
#include "document/numtext.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

namespace Text {
const QString Caption = QStringLiteral("設定");
const QString Weights = QStringLiteral("単位体積重量");
const QString Boxes[] = {QStringLiteral("コンクリートの密度"), QStringLiteral("海水の密度"),
                         QStringLiteral("重力加速度 g")};
const QString Units[] = {QStringLiteral("t/m3"), QStringLiteral("t/m3"), QStringLiteral("m/s2")};
const QString Levels = QStringLiteral("静水面の高さ（ブロック下端 y = 0 からの高さ）");
const QStringList LevelHeaders = {QStringLiteral("名称"), QStringLiteral("高さ (m)")};
const QString Add = QStringLiteral("追加");
const QString Remove = QStringLiteral("削除");
const QString Defaults = QStringLiteral("既定値に戻す");
const QString OK = QStringLiteral("登  録");
const QString Cancel = QStringLiteral("ｷｬﾝｾﾙ");
const QString KN = QStringLiteral("(%1 kN/m3)");
const QString NoKN = QStringLiteral("(－ kN/m3)");
const QString BadValue = QStringLiteral("%1は 0 より大きく 100 以下の数で入力してください。");
const QString BadLevel =
    QStringLiteral("水位 No.%1 の高さを数で入力してください（-1000 ～ 1000 m）。");
const QString TooMany = QStringLiteral("水位は %1 個までです。");
} // namespace Text

// A typed number: the whole text (blanks aside) must be one; full-width
// digits and signs, as an input method gives them, count as half-width.
std::optional<double> number(const QString& text)
{
    QString packed = NumText::foldWidth(text);
    packed.remove(u' ');
    bool ok = false;
    const double v = packed.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

// A setting as typed: two decimals at least, more where it has them.
QString settingText(double v)
{
    QString t = NumText::fixed(v, 4);
    while (t.endsWith(u'0') && t.size() - t.indexOf(u'.') > 3)
        t.chop(1);
    return t;
}

} // namespace

SettingsDialog::SettingsDialog(const FigureSettings& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent), mPrompts(prompts), mSettings(settings)
{
    setWindowTitle(Text::Caption);
    auto* form = new QFormLayout;
    for (int b = 0; b < BoxCount; ++b) {
        mBoxes[b] = new QLineEdit(this);
        mBoxes[b]->setObjectName(QStringLiteral("box%1").arg(b));
        mBoxes[b]->setFixedWidth(fontMetrics().horizontalAdvance(QString(10, u'0')));
        mKN[b] = new QLabel(this);
        auto* row = new QHBoxLayout;
        row->addWidget(mBoxes[b]);
        row->addWidget(new QLabel(Text::Units[b], this));
        row->addWidget(mKN[b]);
        row->addStretch(1);
        form->addRow(Text::Boxes[b], row);
        connect(mBoxes[b], &QLineEdit::textChanged, this, &SettingsDialog::updateUnitWeights);
    }
    mKN[GravityBox]->hide();

    mLevels = new QTableWidget(0, LevelColumnCount, this);
    mLevels->setHorizontalHeaderLabels(Text::LevelHeaders);
    mLevels->horizontalHeader()->setStretchLastSection(true);
    mLevels->verticalHeader()->setDefaultSectionSize(mLevels->fontMetrics().height() * 3 / 2);
    mLevels->setSelectionBehavior(QAbstractItemView::SelectRows);
    mAdd = new QPushButton(Text::Add, this);
    mRemove = new QPushButton(Text::Remove, this);
    connect(mAdd, &QPushButton::clicked, this, [this] {
        appendLevel({});
        mLevels->setCurrentCell(mLevels->rowCount() - 1, NameColumn);
        mLevels->editItem(mLevels->currentItem());
    });
    connect(mRemove, &QPushButton::clicked, this, [this] {
        if (mLevels->currentRow() >= 0)
            mLevels->removeRow(mLevels->currentRow());
    });
    auto* levelButtons = new QVBoxLayout;
    levelButtons->addWidget(mAdd);
    levelButtons->addWidget(mRemove);
    levelButtons->addStretch(1);
    auto* levelRow = new QHBoxLayout;
    levelRow->addWidget(mLevels, 1);
    levelRow->addLayout(levelButtons);

    mDefaults = new QPushButton(Text::Defaults, this);
    mOK = new QPushButton(Text::OK, this);
    mCancel = new QPushButton(Text::Cancel, this);
    mOK->setDefault(true);
    // The unit weights only: the levels are the user's own.
    connect(mDefaults, &QPushButton::clicked, this, [this] {
        const FigureSettings d;
        mBoxes[ConcreteBox]->setText(settingText(d.concrete));
        mBoxes[SeawaterBox]->setText(settingText(d.seawater));
        mBoxes[GravityBox]->setText(settingText(d.gravity));
    });
    connect(mOK, &QPushButton::clicked, this, &SettingsDialog::CmdOK_Click);
    connect(mCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mDefaults);
    buttons->addStretch(1);
    buttons->addWidget(mOK);
    buttons->addWidget(mCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Text::Weights, this));
    layout->addLayout(form);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(new QLabel(Text::Levels, this));
    layout->addLayout(levelRow, 1);
    layout->addLayout(buttons);

    display(mSettings);
    resize(fontMetrics().horizontalAdvance(QString(34, u'あ')), fontMetrics().height() * 22);
}

void SettingsDialog::display(const FigureSettings& s)
{
    mBoxes[ConcreteBox]->setText(settingText(s.concrete));
    mBoxes[SeawaterBox]->setText(settingText(s.seawater));
    mBoxes[GravityBox]->setText(settingText(s.gravity));
    mLevels->setRowCount(0);
    for (const WaterLevel& l : s.levels)
        appendLevel(l);
}

void SettingsDialog::appendLevel(const WaterLevel& level)
{
    const int row = mLevels->rowCount();
    mLevels->insertRow(row);
    mLevels->setItem(row, NameColumn, new QTableWidgetItem(level.name));
    auto* h = new QTableWidgetItem(level.name.isEmpty() && level.h == 0 ? QString()
                                                                        : NumText::fmt000(level.h));
    h->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    mLevels->setItem(row, HeightColumn, h);
}

// The kN/m3 of each density as typed, with the g as typed.
void SettingsDialog::updateUnitWeights()
{
    const std::optional<double> g = number(mBoxes[GravityBox]->text());
    for (Box b : {ConcreteBox, SeawaterBox}) {
        const std::optional<double> rho = number(mBoxes[b]->text());
        mKN[b]->setText(rho && g && figureValueUsable(*rho) && figureValueUsable(*g)
                            ? Text::KN.arg(NumText::fixed(*rho * *g, 1))
                            : Text::NoKN);
    }
}

// The values typed, or nullopt after telling the user what is wrong. Rows
// left empty are no levels.
std::optional<FigureSettings> SettingsDialog::typed()
{
    FigureSettings s;
    double* fields[] = {&s.concrete, &s.seawater, &s.gravity};
    for (int b = 0; b < BoxCount; ++b) {
        const std::optional<double> v = number(mBoxes[b]->text());
        if (!v || !figureValueUsable(*v)) {
            mPrompts.error(this, Text::BadValue.arg(Text::Boxes[b]));
            mBoxes[b]->setFocus();
            mBoxes[b]->selectAll();
            return std::nullopt;
        }
        *fields[b] = *v;
    }
    for (int r = 0; r < mLevels->rowCount(); ++r) {
        const QString name = mLevels->item(r, NameColumn)->text().trimmed();
        const QString height = mLevels->item(r, HeightColumn)->text().trimmed();
        if (name.isEmpty() && height.isEmpty())
            continue;
        const std::optional<double> h = number(height);
        if (!h || !levelUsable(*h)) {
            mPrompts.error(this, Text::BadLevel.arg(r + 1));
            mLevels->setCurrentCell(r, HeightColumn);
            return std::nullopt;
        }
        s.levels.append({name, *h});
    }
    if (s.levels.size() > FigureSettings::MaxLevels) {
        mPrompts.error(this, Text::TooMany.arg(FigureSettings::MaxLevels));
        return std::nullopt;
    }
    return s;
}

void SettingsDialog::CmdOK_Click()
{
    const std::optional<FigureSettings> s = typed();
    if (!s)
        return;
    mSettings = *s;
    accept();
}
