#include "dialogs/form4.h"

#include "dialogs/ovtgrid.h"
#include "dialogs/prompts.h"
#include "dialogs/twips.h"
#include "document/module1.h"
#include "document/numtext.h"
#include "editing/pointtable.h"
#include "editing/undostack.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

PntCell cellOf(const OvtGrid& grid, int row, int col)
{
    PntCell cell;
    cell.text = grid.cellText(row, col);
    const QVariant exact = grid.cellData(row, col);
    if (exact.isValid())
        cell.exact = exact.toDouble();
    return cell;
}

} // namespace

Form4::Form4(Module1& mod, Prompts& prompts, QWidget* parent) : QDialog(parent), mMod(mod)
{
    setWindowTitle(QStringLiteral("構成点編集"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    mOvtGP = new OvtGrid(prompts, this);
    mLabel1 = new QLabel(QStringLiteral("外側４隅の点を右回りで最初に登録して下さい。"), this);
    mLabel1->setWordWrap(true);
    const char* captions[] = {"登  録", "ｷｬﾝｾﾙ"};
    for (int i = 0; i < 2; ++i) {
        mCmdP[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        connect(mCmdP[i], &QPushButton::clicked, this, [this, i] { CmdP_Click(i); });
    }
    setTabOrder(mCmdP[0], mCmdP[1]);
    setTabOrder(mCmdP[1], mOvtGP);

    // Form_Load
    Pnt_Disp();
    Form_Layout();
}

void Form4::Form_Layout()
{
    mOvtGP->setGeometry(Twips::toPixels(*mOvtGP, 240, 240, mOvtGP->widthTwips(), 5415));
    mOvtGP->setLeftTwips(240);
    mLabel1->setGeometry(Twips::toPixels(*this, 300, 5760, 3015, 375));
    mCmdP[0]->setGeometry(Twips::toPixels(*this, 1320, 6180, 915, 375));
    mCmdP[1]->setGeometry(Twips::toPixels(*this, 2400, 6180, 915, 375));
    setFixedSize(Twips::toPixelsX(*this, 3600), Twips::toPixelsY(*this, 6690));
}

void Form4::Pnt_Disp()
{
    OvtGrid& g = *mOvtGP;
    // Row 0 is the header: rows 1..100 hold the points.
    g.setUp(BlkRec::PntLast + 1,
            {QStringLiteral("No."), QStringLiteral("X (m)"), QStringLiteral("Y (m)")},
            {500, 1100, 1100}, 1, true, 370);

    const BlkRec& b = mMod.BlkData;
    for (int i = 1; i <= std::min<int>(b.PntCnt, BlkRec::PntLast); ++i) {
        g.setRowText(i, QString::number(i) + u'\t' + NumText::fmtHash000(b.PntX[i]) + u'\t' +
                            NumText::fmtHash000(b.PntY[i]));
        // The cells show three decimals; an untouched cell gives back the
        // stored value itself, so registering never moves a point.
        g.setCellData(i, 1, b.PntX[i]);
        g.setCellData(i, 2, b.PntY[i]);
    }
    g.setRedraw(true);
}

void Form4::Pnt_Get()
{
    OvtGrid& g = *mOvtGP;
    g.setRedraw(false);
    QList<PntRow> rows;
    const int n = std::min<int>(g.dataRowCount(), BlkRec::PntLast);
    for (int r = 1; r <= n; ++r)
        rows << PntRow{cellOf(g, r, 1), cellOf(g, r, 2)};
    Pnt_FromRows(mMod.BlkData, rows);
    g.setRedraw(true);
}

void Form4::CmdP_Click(int Index)
{
    if (Index == 0) {
        Undo_Push(mMod, mMod.BlkData, QStringLiteral("点編集"));
        Pnt_Get();
        accept();
    } else {
        reject();
    }
}

int runPointEditor(Module1& mod, Prompts& prompts, QWidget* parent)
{
    const BlkRec OldData = mod.BlkData;
    int result = QDialog::Rejected;
    {
        Form4 dlg(mod, prompts, parent);
        result = prompts.exec(dlg);
    }
    Pnt_Relink(OldData, mod.BlkData);
    return result;
}
