#include "dialogs/form5.h"

#include "analysis/blockfigures.h"
#include "analysis/layervolumes.h"
#include "dialogs/numberentry.h"
#include "dialogs/ovtgrid.h"
#include "dialogs/prompts.h"
#include "dialogs/twips.h"
#include "document/blockfile.h"
#include "document/module1.h"
#include "document/numtext.h"
#include "editing/layertable.h"
#include "editing/undostack.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Places of the eight text boxes in twips: left, top, width. The screen order
// is B, H, L, not the record's B, L, H.
struct BoxPlace
{
    int left;
    int top;
    int width;
};
constexpr BoxPlace kBoxes[8] = {{1080, 480, 1740},  {1620, 900, 1200},  {1740, 1500, 1080},
                                {1740, 1800, 1080}, {1740, 2100, 1080}, {1740, 2640, 1080},
                                {1740, 2940, 1080}, {1740, 3480, 1080}};
constexpr int kRowHeight = 300; // every caption and box of the left column
constexpr int kGridTop = 180;
constexpr int kGridHeight = 5535;
constexpr int kGridLeft = 2940; // at least; further right when the left column needs it
constexpr int kGap = 120;
constexpr int kClientWidth = 7260;
constexpr int kClientHeight = 6810;
constexpr int kMarginLeft = 300;
constexpr int kButtonGap = 60; // between buttons side by side
constexpr int kCmdTop = 4320;
constexpr int kCmdHeight = 375;

// Captions and unit labels: text, left, top, width.
struct LabelPlace
{
    const char* text;
    int left;
    int top;
    int width;
};
constexpr LabelPlace kLabels[] = {
    {"名  称", 300, 480, 700},  {"種  別", 300, 900, 700},  {"寸  法", 300, 1500, 700},
    {"重  心", 300, 2640, 700}, {"体  積", 300, 3480, 700}, {"B", 1020, 1500, 300},
    {"H", 1020, 1800, 300},     {"L", 1020, 2100, 300},     {"X", 1020, 2640, 300},
    {"Y", 1020, 2940, 300},     {"V", 1020, 3480, 240},     {"(m)", 1320, 1500, 420},
    {"(m)", 1320, 1800, 420},   {"(m)", 1320, 2100, 420},   {"(m)", 1320, 2640, 420},
    {"(m)", 1320, 2940, 420},   {"(m3)", 1260, 3480, 480}};

// A number as the number boxes take it: full-width forms folded, the lenient
// rule's blanks ignored, then nothing but one decimal number.
bool isNumberText(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$)"));
    QString packed = NumText::foldWidth(text);
    packed.remove(u' ');
    packed.remove(u'\t');
    return number.match(packed).hasMatch() && NumText::typedValue(packed).has_value();
}

double typedNumber(const QString& text)
{
    return NumText::typedValue(text).value_or(0.0);
}

// The two buttons that take figures from the outline.
namespace SectionText {
const QString LyrCalc = QStringLiteral("断面から計算");
const QString SpecCalc = QStringLiteral("断面から");
const QString LyrCalcTip = QStringLiteral("高さを入力した層の⊿Ｖを、断面と L から計算します。");
const QString SpecCalcTip = QStringLiteral("重心 X、Y と体積 V を、断面と L から求めます。");
const QString NoSection = QStringLiteral("閉じた断面がないため、断面から計算できません。");
const QString NoLength = QStringLiteral("L が 0 以下のため、断面から計算できません。");
const QString NoHeights = QStringLiteral("高さを入力した層がありません。");
const QString EmptyLayer =
    QStringLiteral("No.%1 の層は断面にかからないため、体積が 0 になりました。\r\n"
                   "登録すると、この層から上は層別体積表に入りません。");
} // namespace SectionText

} // namespace

Form5::Form5(Module1& mod, Prompts& prompts, QWidget* parent, const QString& settingsFile)
    : ResizableDialog(settingsFile, QStringLiteral("Form5/size"), parent), mMod(mod),
      mPrompts(prompts)
{
    setWindowTitle(QStringLiteral("ブロック諸元"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    createControls(prompts);

    // Form_Load
    mParaData = mMod.BlkData;
    Para_Disp();
    Lyr_Disp();
    Form_Layout();
    Option1_Click();
}

void Form5::createControls(Prompts& prompts)
{
    for (const LabelPlace& l : kLabels) {
        auto* label = new QLabel(QString::fromUtf8(l.text), this);
        mLeftColumn.emplace_back(label, QRect(l.left, l.top, l.width, kRowHeight));
    }
    for (int i = 0; i < 8; ++i) {
        mText1[i] = new QLineEdit(this);
        mText1[i]->installEventFilter(this);
        mLeftColumn.emplace_back(mText1[i],
                                 QRect(kBoxes[i].left, kBoxes[i].top, kBoxes[i].width, kRowHeight));
        if (i >= 2)
            connect(mText1[i], &QLineEdit::textChanged, this, [this, i] { markNumber(i); });
    }

    // The mass under V follows what is typed into V, B, H and L.
    mMassLabel = new QLabel(this);
    const QString widest = QStringLiteral("質量 0000.000 t（00000.00 kN）");
    mLeftColumn.emplace_back(
        mMassLabel,
        QRect(kMarginLeft, 3810, Twips::fromPixelsX(*this, fontMetrics().horizontalAdvance(widest)),
              kCmdTop - 3810 - 30));
    for (int i : {2, 3, 4, 7})
        connect(mText1[size_t(i)], &QLineEdit::textChanged, this, &Form5::showMass);

    mCommand1 = new QPushButton(QStringLiteral("累計体積再計算"), this);
    connect(mCommand1, &QPushButton::clicked, this, &Form5::Command1_Click);
    createSectionButtons();

    mFrame1 = new QGroupBox(this);
    auto* frameLayout = new QVBoxLayout(mFrame1);
    mOption1[0] = new QRadioButton(QStringLiteral("累計体積非表示"), mFrame1);
    mOption1[1] = new QRadioButton(QStringLiteral("累計体積表示"), mFrame1);
    mOption1[0]->setChecked(true);
    for (QRadioButton* o : mOption1) {
        frameLayout->addWidget(o);
        connect(o, &QRadioButton::toggled, this, &Form5::Option1_Click);
    }

    mLabel2[1] =
        new QLabel(QStringLiteral("重心位置はブロック左下を基準とした値を入力して下さい。"), this);
    mLabel2[0] = new QLabel(QStringLiteral("層別体積はブロック下側から入力して下さい。"), this);

    const char* captions[] = {"登  録", "ｷｬﾝｾﾙ"};
    for (int i = 0; i < 2; ++i) {
        mCmdPara[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        connect(mCmdPara[i], &QPushButton::clicked, this, [this, i] { CmdPara_Click(i); });
    }

    mOvtGV = new OvtGrid(prompts, this);
    mOvtGV1 = new OvtGrid(prompts, this);
    for (OvtGrid* g : {mOvtGV, mOvtGV1}) {
        // Equal viewports, so that equal row positions show equal rows.
        g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    connect(mOvtGV, &OvtGrid::topRowChanged, this, [this](int row) { coupleRows(mOvtGV1, row); });
    connect(mOvtGV1, &OvtGrid::topRowChanged, this, [this](int row) { coupleRows(mOvtGV, row); });
    // The cumulative column keeps level with the layer rows it was computed for.
    connect(mOvtGV, &OvtGrid::rowInsertedAt, mOvtGV1, &OvtGrid::insertRow);
    connect(mOvtGV, &OvtGrid::rowRemovedAt, mOvtGV1, &OvtGrid::removeRow);

    QWidget* order[] = {mText1[0],   mText1[1],   mText1[2], mText1[3],    mText1[4],   mText1[5],
                        mText1[6],   mText1[7],   mOvtGV,    mCommand1,    mCmdPara[0], mCmdPara[1],
                        mOption1[0], mOption1[1], mOvtGV1,   mCmdSpecCalc, mCmdLyrCalc};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form5::Form_Layout()
{
    int leftRight = 0; // right edge of the left column, twips
    for (const auto& [w, r] : mLeftColumn) {
        w->setGeometry(Twips::toPixels(*this, r.left(), r.top(), r.width(), r.height()));
        leftRight = std::max(leftRight, r.left() + r.width());
    }
    // The recalculation button and 断面から計算 stand side by side under the
    // left column, the table right of both.
    const int cmdWidth = std::max(1215, Twips::fromPixelsX(*this, mCommand1->sizeHint().width()));
    const int calcWidth = Twips::fromPixelsX(*this, mCmdLyrCalc->sizeHint().width());
    const int pairWidth = cmdWidth + kButtonGap + calcWidth;
    const int gridLeft = std::max({kGridLeft, leftRight + kGap, kMarginLeft + pairWidth + kGap});

    // The recalculation button keeps its place unless the pair needs more
    // room than there is before the table.
    const int cmdLeft = std::min(1680, gridLeft - kGap - pairWidth);
    mCommand1->setGeometry(Twips::toPixels(*this, cmdLeft, kCmdTop, cmdWidth, kCmdHeight));
    mCmdLyrCalc->setGeometry(
        Twips::toPixels(*this, cmdLeft + cmdWidth + kButtonGap, kCmdTop, calcWidth, kCmdHeight));

    const QSize frame = mFrame1->sizeHint();
    mFrame1->setGeometry(Twips::toPixelsX(*this, 180), Twips::toPixelsY(*this, 4920),
                         std::max(frame.width(), Twips::toPixelsX(*this, 1800)), frame.height());

    mOvtGV->setLeftTwips(gridLeft);
    mOvtGV->setGeometry(
        Twips::toPixels(*this, gridLeft, kGridTop, mOvtGV->widthTwips(), kGridHeight));
    const int cumLeft = mOvtGV->leftTwips() + mOvtGV->widthTwips();
    mOvtGV1->setLeftTwips(cumLeft);
    mOvtGV1->setGeometry(
        Twips::toPixels(*this, cumLeft, kGridTop, mOvtGV1->widthTwips(), kGridHeight));

    const int clientWidth = std::max(kClientWidth, cumLeft + mOvtGV1->widthTwips() + 250);
    const int buttonLeft = clientWidth - kClientWidth + 6000;
    mCmdPara[0]->setGeometry(Twips::toPixels(*this, buttonLeft, 5880, 1035, 375));
    mCmdPara[1]->setGeometry(Twips::toPixels(*this, buttonLeft, 6360, 1035, 375));
    mLabel2[1]->setGeometry(Twips::toPixels(*this, 300, 6060, buttonLeft - 420, kRowHeight));
    mLabel2[0]->setGeometry(Twips::toPixels(*this, 300, 6360, buttonLeft - 420, kRowHeight));

    // Enlarged, the tables show more rows and 名称 and 種別 more text; the
    // buttons stay by the lower right corner.
    follow(mText1[0], Wider);
    follow(mText1[1], Wider);
    follow(mOvtGV, MoveRight | Taller);
    follow(mOvtGV1, MoveRight | Taller);
    for (QPushButton* b : mCmdPara)
        follow(b, MoveRight | MoveDown);
    for (QLabel* l : mLabel2)
        follow(l, MoveDown | Wider);
    layoutDone(QSize(Twips::toPixelsX(*this, clientWidth), Twips::toPixelsY(*this, kClientHeight)));
}

void Form5::Para_Disp()
{
    mText1[0]->setText(mParaData.Name);
    mText1[1]->setText(mParaData.Kind);
    const double values[] = {mParaData.B,  mParaData.H,  mParaData.L,
                             mParaData.Gx, mParaData.Gy, mParaData.V};
    for (int i = 0; i < 6; ++i)
        mText1[i + 2]->setText(NumText::fmt000(values[i]));
    for (QLineEdit* box : mText1)
        box->setCursorPosition(0);
}

void Form5::Para_Get()
{
    mParaData.Name = mText1[0]->text();
    mParaData.Kind = mText1[1]->text();
    double* fields[] = {&mParaData.B,  &mParaData.H,  &mParaData.L,
                        &mParaData.Gx, &mParaData.Gy, &mParaData.V};
    for (int i = 0; i < 6; ++i)
        *fields[i] = typedNumber(mText1[i + 2]->text());
}

void Form5::Lyr_Disp()
{
    // Row 0 is the header: rows 1..51 hold the layers, as many as the record.
    const int rows = BlkRec::LyrLast + 2;
    const int count = std::clamp<int>(mParaData.LyrCnt, 0, BlkRec::LyrLast + 1);

    OvtGrid& g = *mOvtGV;
    g.setUp(rows, {QStringLiteral("No."), QStringLiteral("高さ(m)"), QStringLiteral("⊿Ｖ(m3)")},
            {500, 950, 950}, 1, true, 360);
    for (int i = 0; i < count; ++i)
        g.setRowText(i + 1, QString::number(i + 1) + u'\t' +
                                NumText::fmtHash000(mParaData.LyrH[i]) + u'\t' +
                                NumText::fmtHash000(mParaData.LyrV[i]));
    g.setRedraw(true);

    OvtGrid& s = *mOvtGV1;
    s.setUp(rows, {QStringLiteral("Ｖ(m3)")}, {950}, 0, false, 360); // shown only, never read back
    s.setLeftTwips(g.leftTwips() + g.widthTwips());
    for (int i = 0; i < count; ++i)
        s.setRowText(i + 1, NumText::fmtHash000(mParaData.LyrVSum[i]));
    s.setRedraw(true);
    placeFollowers(); // the left edge just set is that of the smallest size
}

void Form5::Lyr_Get()
{
    OvtGrid& g = *mOvtGV;
    g.setRedraw(false);
    QList<LyrRow> rows;
    const int n = std::min<int>(g.dataRowCount(), BlkRec::LyrLast + 1);
    for (int r = 1; r <= n; ++r)
        rows << LyrRow{g.cellText(r, 1), g.cellText(r, 2)};
    Lyr_FromRows(mParaData, rows);
    g.setRedraw(true);
}

void Form5::Command1_Click()
{
    Lyr_Get();
    Lyr_Disp();
    // The recalculated column is what the user asked to see.
    mOption1[1]->setChecked(true);
}

// 断面から sits beside V, below X and Y, which it fills as well; the table
// moves right to make room (Form_Layout). 断面から計算 joins the
// recalculation button.
void Form5::createSectionButtons()
{
    mCmdSpecCalc = new QPushButton(SectionText::SpecCalc, this);
    mCmdSpecCalc->setToolTip(SectionText::SpecCalcTip);
    mCmdSpecCalc->setAutoDefault(false);
    connect(mCmdSpecCalc, &QPushButton::clicked, this, &Form5::CmdSpecCalc_Click);
    const BoxPlace& v = kBoxes[7];
    const int width = Twips::fromPixelsX(*this, mCmdSpecCalc->sizeHint().width());
    // A little taller than the box, centred on it.
    mLeftColumn.emplace_back(
        mCmdSpecCalc, QRect(v.left + v.width + kButtonGap, v.top - 30, width, kRowHeight + 60));

    mCmdLyrCalc = new QPushButton(SectionText::LyrCalc, this);
    mCmdLyrCalc->setToolTip(SectionText::LyrCalcTip);
    mCmdLyrCalc->setAutoDefault(false);
    connect(mCmdLyrCalc, &QPushButton::clicked, this, &Form5::CmdLyrCalc_Click);
}

// ParaData with the L typed in its box, ready to compute from; nullopt, after
// telling the user why, when the outline has no closed section or L is not
// positive (every volume would be 0, and rows of no volume end the table).
std::optional<BlkRec> Form5::sectionRecord(const QString& title)
{
    BlkRec rec = mParaData;
    rec.L = typedNumber(mText1[4]->text());
    if (!proposeSpec(rec).ok) {
        mPrompts.information(this, title, SectionText::NoSection);
        return std::nullopt;
    }
    if (!(rec.L > 0)) {
        mPrompts.information(this, title, SectionText::NoLength);
        return std::nullopt;
    }
    return rec;
}

void Form5::CmdLyrCalc_Click()
{
    std::optional<BlkRec> rec = sectionRecord(SectionText::LyrCalc);
    if (!rec)
        return;
    // The heights down to the first row without one; the volume cells are
    // what is being filled, so unlike Lyr_Get they may be empty. Heights are
    // taken as the table will show them, so that shown heights and volumes
    // agree when read back.
    const OvtGrid& g = *mOvtGV;
    const int n = std::min<int>(g.dataRowCount(), BlkRec::LyrLast + 1);
    qint16 count = 0;
    for (int r = 1; r <= n; ++r) {
        const double h = roundToFile(Lyr_CellValue(g.cellText(r, 1)));
        if (!(h >= 0.0001))
            break;
        rec->LyrH[size_t(count++)] = h;
    }
    if (count == 0) {
        mPrompts.information(this, SectionText::LyrCalc, SectionText::NoHeights);
        return;
    }
    rec->LyrCnt = count;
    if (!fillLayerVolumes(*rec))
        return; // not reached: sectionRecord found a section
    mParaData.LyrCnt = rec->LyrCnt;
    mParaData.LyrH = rec->LyrH;
    mParaData.LyrV = rec->LyrV;
    mParaData.LyrVSum = rec->LyrVSum;
    Lyr_Disp();
    for (int i = 0; i < count; ++i) {
        if (mParaData.LyrV[size_t(i)] < 0.0001) {
            mPrompts.information(this, SectionText::LyrCalc, SectionText::EmptyLayer.arg(i + 1));
            break;
        }
    }
}

void Form5::CmdSpecCalc_Click()
{
    const std::optional<BlkRec> rec = sectionRecord(SectionText::SpecCalc);
    if (!rec)
        return;
    const SpecProposal p = proposeSpec(*rec);
    mText1[5]->setText(NumText::fmt000(p.Gx));
    mText1[6]->setText(NumText::fmt000(p.Gy));
    mText1[7]->setText(NumText::fmt000(p.V));
    for (int i : {5, 6, 7})
        mText1[size_t(i)]->setCursorPosition(0);
}

// A comma would cut the text when the file is read again, and a character
// cp932 lacks could not be saved at all: refuse both here, where the user
// can still change them.
bool Form5::textFieldsStorable()
{
    const QString what[] = {QStringLiteral("名称"), QStringLiteral("種別")};
    const QString text[] = {mParaData.Name, mParaData.Kind};
    for (int i = 0; i < 2; ++i) {
        const QString problem = Blk_TextProblem(what[i], text[i]);
        if (!problem.isEmpty()) {
            mPrompts.error(this, problem);
            mText1[i]->setFocus();
            mText1[i]->selectAll();
            return false;
        }
    }
    return true;
}

// Text that holds no number is refused rather than stored as 0.
bool Form5::numbersReadable()
{
    const QString captions[] = {QStringLiteral("寸法 B"), QStringLiteral("寸法 H"),
                                QStringLiteral("寸法 L"), QStringLiteral("重心 X"),
                                QStringLiteral("重心 Y"), QStringLiteral("体積 V")};
    for (int i = 0; i < 6; ++i) {
        if (!NumberEntry::checkBox(*mText1[size_t(i + 2)], captions[i], mPrompts, this))
            return false;
    }
    return NumberEntry::checkGrid(
        *mOvtGV, {QString(), QStringLiteral("高さ"), QStringLiteral("⊿Ｖ")}, mPrompts, this);
}

void Form5::CmdPara_Click(int Index)
{
    if (Index != 0) {
        reject();
        return;
    }
    if (!numbersReadable())
        return;
    Para_Get();
    Lyr_Get();
    if (!textFieldsStorable())
        return;
    if (const auto message = Lyr_SumCheck(mParaData)) {
        mPrompts.errorRight(this, *message);
        return;
    }
    Undo_Push(mMod, mMod.BlkData, QStringLiteral("諸条件修正"));
    mMod.BlkData = mParaData;
    accept();
}

bool Form5::eventFilter(QObject* watched, QEvent* event)
{
    const auto it = std::find(mText1.begin(), mText1.end(), watched);
    if (it == mText1.end())
        return QDialog::eventFilter(watched, event);
    const int index = int(it - mText1.begin());
    switch (event->type()) {
    case QEvent::FocusIn:
        Text1_GotFocus(index);
        break;
    case QEvent::FocusOut: {
        // Not when a menu opens or another window takes the focus: the user
        // has not left the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            Text1_LostFocus(index);
        break;
    }
    case QEvent::KeyPress: {
        // Enter goes on to the next box; it never registers by accident.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void Form5::Text1_GotFocus(int Index)
{
    // After the click that gave the focus has placed the cursor. The cursor
    // goes to the start, so that a long name shows its beginning.
    QLineEdit* box = mText1[Index];
    QMetaObject::invokeMethod(
        box, [box] { box->setSelection(int(box->text().size()), -int(box->text().size())); },
        Qt::QueuedConnection);
}

void Form5::Text1_LostFocus(int Index)
{
    if (Index < 2)
        return;
    QLineEdit* box = mText1[Index];
    if (isNumberText(box->text()))
        box->setText(NumText::fmt000(typedNumber(box->text())));
}

// Text that is not one plain number shows in red while it stands there;
// 登録 refuses a text that holds no number at all.
void Form5::markNumber(int Index)
{
    QLineEdit* box = mText1[Index];
    const bool bad = !box->text().isEmpty() && !isNumberText(box->text());
    QPalette p = palette();
    if (bad)
        p.setColor(QPalette::Text, Qt::red);
    box->setPalette(p);
}

void Form5::setFigureSettings(const FigureSettings& s)
{
    mFigureSettings = s;
    showMass();
}

void Form5::showMass()
{
    const MassFigures m = massFigures(
        typedNumber(mText1[7]->text()), typedNumber(mText1[2]->text()),
        typedNumber(mText1[3]->text()), typedNumber(mText1[4]->text()), mFigureSettings);
    const QString fill =
        std::isfinite(m.fillRatio) ? NumText::fmt000(m.fillRatio) : QStringLiteral("－");
    mMassLabel->setText(QStringLiteral("質量 %1 t（%2 kN）\n充填率 %3")
                            .arg(NumText::fmt000(m.mass), NumText::fmt00(m.weight), fill));
}

void Form5::Option1_Click()
{
    const bool show = mOption1[1]->isChecked();
    mOvtGV1->setVisible(show);
    if (show)
        mOvtGV1->setTopRow(mOvtGV->topRow());
}

// Each grid follows the other's row position, so a layer's cumulative volume
// stays level with its row. The guard stops an echo when one grid cannot
// scroll as far as the other.
void Form5::coupleRows(OvtGrid* to, int row)
{
    if (mCoupling || !mOvtGV1->isVisibleTo(this))
        return;
    mCoupling = true;
    to->setTopRow(row);
    mCoupling = false;
}
