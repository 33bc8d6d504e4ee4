#include "dialogs/form4.h"

#include "dialogs/numberentry.h"
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

// "4-5, 5-6": the segments by the point numbers the user knows, the stored ones.
QString segmentList(const BlkRec& old, const QList<int>& lines)
{
    QStringList out;
    for (int k : lines)
        out << QStringLiteral("%1-%2").arg(old.LineSt[k]).arg(old.LineEd[k]);
    return out.join(QStringLiteral(", "));
}

namespace Text {
const QString Confirm = QStringLiteral("確認");
const QString EmptyRow =
    QStringLiteral("%1 行目が空のため、それ以降の %2 点は登録されません。登録しますか?");
const QString MarkedRow = QStringLiteral(
    "%1 行目が (-999, -999) のため、それ以降の %2 点は登録されません。登録しますか?");
const QString Moved = QStringLiteral("点の移動により次の線分が削除されます: ");
const QString AlsoGone = QStringLiteral("\n点の削除により次の線分も削除されます: ");
const QString Gone = QStringLiteral("点の削除により次の線分が削除されます: ");
const QString Follow = QStringLiteral("線分を付け直す");
const QString Delete = QStringLiteral("削除する");
const QString Cancel = QStringLiteral("キャンセル");
} // namespace Text

} // namespace

Form4::Form4(Module1& mod, Prompts& prompts, QWidget* parent, const QString& settingsFile)
    : ResizableDialog(settingsFile, QStringLiteral("Form4/size"), parent), mMod(mod),
      mPrompts(prompts)
{
    setWindowTitle(QStringLiteral("構成点編集"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

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
    // Enlarged, the table shows more rows; the buttons stay by the corner.
    follow(mOvtGP, Taller);
    follow(mLabel1, MoveDown | Wider);
    for (QPushButton* b : mCmdP)
        follow(b, MoveRight | MoveDown);
    layoutDone(QSize(Twips::toPixelsX(*this, 3600), Twips::toPixelsY(*this, 6690)));
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
        g.setRowData(i, i); // the stored point, wherever the row moves
    }
    g.setRedraw(true);
}

QList<PntRow> Form4::Pnt_Rows()
{
    OvtGrid& g = *mOvtGP;
    g.setRedraw(false);
    QList<PntRow> rows;
    const int n = std::min<int>(g.dataRowCount(), BlkRec::PntLast);
    for (int r = 1; r <= n; ++r)
        rows << PntRow{cellOf(g, r, 1), cellOf(g, r, 2), qint16(g.rowData(r).toInt())};
    g.setRedraw(true);
    return rows;
}

// Rows with values below the row where the table ends would be dropped.
bool Form4::confirmCut(const QList<PntRow>& rows)
{
    const PntCut cut = Pnt_Cut(rows);
    if (cut.dropped == 0)
        return true;
    const QString text = cut.marked ? Text::MarkedRow : Text::EmptyRow;
    return mPrompts.okCancel(this, Text::Confirm, text.arg(cut.row).arg(cut.dropped));
}

// The segments of rec re-linked to its new points, after asking about the
// ones that would be deleted; false when the user cancels.
bool Form4::relinkAsked(BlkRec& rec, const QList<PntRow>& rows)
{
    const BlkRec& old = mMod.BlkData;
    const PntOrigins origins = Pnt_Origins(rows, rec.PntCnt);
    const PntLostLines lost = Pnt_LostLines(old, rec, origins);
    bool follow = false;
    if (!lost.moved.isEmpty()) {
        QString text = Text::Moved + segmentList(old, lost.moved);
        if (!lost.gone.isEmpty())
            text += Text::AlsoGone + segmentList(old, lost.gone);
        const int answer =
            mPrompts.choose(this, Text::Confirm, text, {Text::Follow, Text::Delete, Text::Cancel});
        if (answer != 0 && answer != 1)
            return false;
        follow = answer == 0;
    } else if (!lost.gone.isEmpty()) {
        const int answer =
            mPrompts.choose(this, Text::Confirm, Text::Gone + segmentList(old, lost.gone),
                            {Text::Delete, Text::Cancel});
        if (answer != 0)
            return false;
    }
    Pnt_Relink(old, rec, follow ? &origins : nullptr);
    return true;
}

// Everything is read and asked before anything changes, so a refusal or a
// キャンセル in a question leaves the block and the table as they were.
bool Form4::Pnt_Register()
{
    if (!NumberEntry::checkGrid(*mOvtGP,
                                {QString(), QStringLiteral("X 座標"), QStringLiteral("Y 座標")},
                                mPrompts, this))
        return false;
    const QList<PntRow> rows = Pnt_Rows();
    if (!confirmCut(rows))
        return false;
    BlkRec rec = mMod.BlkData;
    Pnt_FromRows(rec, rows);
    if (!relinkAsked(rec, rows))
        return false;
    Undo_Push(mMod, mMod.BlkData, QStringLiteral("点編集"));
    mMod.BlkData = rec;
    return true;
}

void Form4::CmdP_Click(int Index)
{
    if (Index == 0) {
        if (Pnt_Register())
            accept();
    } else {
        reject();
    }
}

int runPointEditor(Module1& mod, Prompts& prompts, QWidget* parent, const QString& settingsFile)
{
    const BlkRec OldData = mod.BlkData;
    int result = QDialog::Rejected;
    {
        Form4 dlg(mod, prompts, parent, settingsFile);
        result = prompts.exec(dlg);
    }
    if (result != QDialog::Accepted)
        Pnt_Relink(OldData, mod.BlkData);
    return result;
}
