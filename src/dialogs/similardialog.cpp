#include "dialogs/similardialog.h"

#include "analysis/blockfigures.h"
#include "analysis/layervolumes.h"
#include "dialogs/prompts.h"
#include "document/blockfile.h"
#include "document/numtext.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

namespace Text {
const QString Caption = QStringLiteral("相似形で作成");
const QString Current = QStringLiteral("元のブロック: %1（質量 %2 t、V = %3 m3）");
const QString ByMass = QStringLiteral("目標の質量");
const QString ByFactor = QStringLiteral("倍率（長さ）");
const QString Tonnes = QStringLiteral("t");
const QString Name = QStringLiteral("名称");
const QString NoName = QStringLiteral("(名称なし)");
const QString Factor = QStringLiteral("倍率 s = %1（体積 × %2）");
const QString Mass = QStringLiteral("質量 %1 t → %2 t");
const QString Sizes = QStringLiteral("B %1 → %2 m、H %3 → %4 m、L %5 → %6 m、V %7 → %8 m3");
const QString MovesHeader =
    QStringLiteral("小数 3 桁に丸めたため動いた値: %1 件（最大は %2 の %3）");
const QString NoMoves = QStringLiteral("丸めで動いた値はありません。");
const QString Move = QStringLiteral("%1: %2 → %3（%4 %5）");
const QString Adjusted =
    QStringLiteral("層別体積の合計を V に合わせるため、最も大きい層の⊿Ｖで差を調整しました。");
const QString Lost =
    QStringLiteral("注意: 丸めのため、元のブロックで合格だった次の検査が合格しません: ");
const QString OK = QStringLiteral("登  録");
const QString Cancel = QStringLiteral("ｷｬﾝｾﾙ");
} // namespace Text

double typed(const QLineEdit* box)
{
    return NumText::typedValue(box->text()).value_or(0.0);
}

QString signedText(double v, int decimals)
{
    const QString t = NumText::fixed(v, decimals);
    return v > 0 ? u'+' + t : t;
}

// A mass as typed: as few decimals as it needs.
QString massText(double t)
{
    QString s = NumText::fmt000(t);
    while (s.contains(u'.') && (s.endsWith(u'0') || s.endsWith(u'.')))
        s.chop(1);
    return s;
}

} // namespace

SimilarDialog::SimilarDialog(const BlkRec& block, const FigureSettings& settings, Prompts& prompts,
                             QWidget* parent)
    : QDialog(parent), mBlock(block), mSettings(settings), mPrompts(prompts)
{
    setWindowTitle(Text::Caption);
    const double mass = massFigures(block, settings).mass;
    auto* current = new QLabel(Text::Current.arg(block.Name.isEmpty() ? Text::NoName : block.Name,
                                                 NumText::fmt000(mass), NumText::fmt000(block.V)),
                               this);

    mByMass = new QRadioButton(Text::ByMass, this);
    mByFactor = new QRadioButton(Text::ByFactor, this);
    auto* group = new QButtonGroup(this);
    group->addButton(mByMass);
    group->addButton(mByFactor);
    mByMass->setChecked(true);
    // The next of the series: twice the mass the name gives, or twice the mass.
    const double next = 2 * massInName(block.Name).value_or(roundToFile(mass));
    mMass = new QLineEdit(massText(next), this);
    mFactor = new QLineEdit(NumText::fixed(1, 4), this);
    mName = new QLineEdit(this);
    auto* grid = new QGridLayout;
    grid->addWidget(mByMass, 0, 0);
    grid->addWidget(mMass, 0, 1);
    grid->addWidget(new QLabel(Text::Tonnes, this), 0, 2);
    grid->addWidget(mByFactor, 1, 0);
    grid->addWidget(mFactor, 1, 1);
    grid->addWidget(new QLabel(Text::Name, this), 2, 0);
    grid->addWidget(mName, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    mSummary = new QLabel(this);
    mSummary->setTextFormat(Qt::PlainText);
    mSummary->setWordWrap(true);
    mMoves = new QPlainTextEdit(this);
    mMoves->setReadOnly(true);
    mMoves->setLineWrapMode(QPlainTextEdit::NoWrap);

    mOK = new QPushButton(Text::OK, this);
    mCancel = new QPushButton(Text::Cancel, this);
    mOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(mOK);
    buttons->addWidget(mCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(current);
    layout->addLayout(grid);
    layout->addWidget(mSummary);
    layout->addWidget(mMoves, 1);
    layout->addLayout(buttons);

    connect(mByMass, &QRadioButton::toggled, this, &SimilarDialog::recompute);
    connect(mMass, &QLineEdit::textChanged, this, &SimilarDialog::recompute);
    connect(mFactor, &QLineEdit::textChanged, this, &SimilarDialog::recompute);
    connect(mName, &QLineEdit::textEdited, this, [this] { mNameEdited = true; });
    connect(mOK, &QPushButton::clicked, this, &SimilarDialog::CmdOK_Click);
    connect(mCancel, &QPushButton::clicked, this, &QDialog::reject);

    recompute();
    mMass->setFocus();
    mMass->selectAll();
    resize(fontMetrics().horizontalAdvance(QString(40, u'あ')), fontMetrics().height() * 34);
}

void SimilarDialog::recompute()
{
    const bool byMass = mByMass->isChecked();
    mMass->setEnabled(byMass);
    mFactor->setEnabled(!byMass);
    const SimilarRequest request{byMass ? SimilarRequest::By::Mass : SimilarRequest::By::Factor,
                                 typed(byMass ? mMass : mFactor)};
    mSimilar = makeSimilarBlock(mBlock, mSettings, request);
    // The other box shows what the one typed into comes to.
    if (mSimilar.ok) {
        const QSignalBlocker block(byMass ? mFactor : mMass);
        if (byMass)
            mFactor->setText(NumText::fixed(mSimilar.factor, 4));
        else
            mMass->setText(NumText::fmt000(mSimilar.newMass));
    }
    if (mSimilar.ok && !mNameEdited)
        mName->setText(mSimilar.block.Name);
    mOK->setEnabled(mSimilar.ok);
    showSummary();
    showMoves();
}

void SimilarDialog::showSummary()
{
    QPalette p = palette();
    if (!mSimilar.ok) {
        p.setColor(QPalette::WindowText, Qt::red);
        mSummary->setPalette(p);
        mSummary->setText(mSimilar.error);
        return;
    }
    const BlkRec& n = mSimilar.block;
    const double s = mSimilar.factor;
    QStringList lines{
        Text::Factor.arg(NumText::fixed(s, 4), NumText::fixed(s * s * s, 4)),
        Text::Mass.arg(NumText::fmt000(mSimilar.oldMass), NumText::fmt000(mSimilar.newMass)),
        Text::Sizes.arg(NumText::fmt000(mBlock.B), NumText::fmt000(n.B), NumText::fmt000(mBlock.H),
                        NumText::fmt000(n.H), NumText::fmt000(mBlock.L), NumText::fmt000(n.L),
                        NumText::fmt000(mBlock.V), NumText::fmt000(n.V))};
    if (mSimilar.layersAdjusted)
        lines << Text::Adjusted;
    if (!mSimilar.checksLost.isEmpty()) {
        QStringList titles;
        const BlockCheckReport r = checkBlock(n);
        for (const CheckId id : mSimilar.checksLost)
            titles << r.row(id).title;
        lines << Text::Lost + titles.join(u'、');
        p.setColor(QPalette::WindowText, Qt::red);
    }
    mSummary->setPalette(p);
    mSummary->setText(lines.join(u'\n'));
}

void SimilarDialog::showMoves()
{
    const QList<RoundingMove>& moves = mSimilar.moves;
    if (!mSimilar.ok) {
        mMoves->clear();
        return;
    }
    if (moves.isEmpty()) {
        mMoves->setPlainText(Text::NoMoves);
        return;
    }
    const auto largest = std::max_element(moves.begin(), moves.end(),
                                          [](const RoundingMove& a, const RoundingMove& b) {
                                              return std::fabs(a.moved()) < std::fabs(b.moved());
                                          });
    auto unit = [](const RoundingMove& m) {
        return m.volume ? QStringLiteral("m3") : QStringLiteral("m");
    };
    QStringList lines{
        Text::MovesHeader.arg(moves.size())
            .arg(largest->what, signedText(largest->moved(), 4) + u' ' + unit(*largest))};
    for (const RoundingMove& m : moves)
        lines << Text::Move.arg(m.what, NumText::fixed(m.exact, 5), NumText::fmt000(m.stored),
                                signedText(m.moved(), 5), unit(m));
    mMoves->setPlainText(lines.join(u'\n'));
}

void SimilarDialog::CmdOK_Click()
{
    if (!mSimilar.ok)
        return;
    const QString problem = Blk_TextProblem(Text::Name, mName->text());
    if (!problem.isEmpty()) {
        mPrompts.error(this, problem);
        mName->setFocus();
        return;
    }
    mSimilar.block.Name = mName->text();
    accept();
}
