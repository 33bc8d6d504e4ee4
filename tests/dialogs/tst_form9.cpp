#include "common/scriptedprompts.h"
#include "dialogs/form9.h"
#include "document/blockfile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

class TstForm9 : public QObject
{
    Q_OBJECT
private slots:
    void firstLinePreviewed();
    void endings_data();
    void endings();
    void cancelAfterFolderChange();
    void arrowKeysAndUnreadableFile();
    void headerOverColumns();
    void volumeNotReady();
    void goneFolderFallsBack();
    void overLimitSaysSo();
    void checkMarks();
};

namespace {

const QString kHeader =
    QStringLiteral(" 名  称               種 別          Ｂ       Ｈ       Ｌ        Ｖ");

// A 4 x 2 box outline named name.
BlkRec block(const QString& name)
{
    BlkRec r;
    r.Name = name;
    r.Kind = QStringLiteral("A型");
    r.B = 4;
    r.H = 2;
    r.PntCnt = 4;
    const double xs[] = {0, 4, 4, 0};
    const double ys[] = {0, 0, 2, 2};
    for (int i = 1; i <= 4; ++i) {
        r.PntX[i] = xs[i - 1];
        r.PntY[i] = ys[i - 1];
        r.LineSt[i] = qint16(i);
        r.LineEd[i] = qint16(i % 4 + 1);
    }
    r.LineCnt = 4;
    return r;
}

struct Rig
{
    QTemporaryDir data;
    QTemporaryDir exe;
    basMr_Blk blk;
    ScriptedPrompts prompts;
    std::unique_ptr<Form9> form;

    QString dir() const { return data.path() + u'/'; }
    void write(const QString& file, const QString& name) { write(file, block(name)); }
    void write(const QString& file, const BlkRec& rec)
    {
        QDir().mkpath(QFileInfo(dir() + file).path());
        QVERIFY(Blk_Write(rec, dir() + file).ok);
    }
    // Files a.csv and b.csv, and sub/c.csv.
    void standard()
    {
        write("a.csv", "A");
        write("b.csv", "B");
        write("sub/c.csv", "C");
    }
    void open(const QString& dataPath = {}, const BlockListing::Source& source = {})
    {
        blk.DataPath = dataPath.isEmpty() ? dir() : dataPath;
        form = std::make_unique<Form9>(blk, exe.path() + u'/', prompts, nullptr, source);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        listed();
    }
    // Waits until the folder's files have all been read.
    void listed()
    {
        if (form->isListing())
            QVERIFY(QSignalSpy(form.get(), &Form9::listingFinished).wait(10000));
    }
    template <typename T> T* child(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QListWidget* list() const { return child<QListWidget>("List1"); }
    QString label3() const { return child<QLabel>("Label3")->text(); }
    QImage preview() const { return child<QWidget>("Picture1")->grab().toImage(); }
    QTreeWidgetItem* dirItem(const QString& text) const
    {
        return child<QTreeWidget>("Dir1")
            ->findItems(text, Qt::MatchExactly | Qt::MatchRecursive)
            .value(0);
    }
};

// A double click as a user makes it: item views act on it only after a press.
void doubleClick(QAbstractItemView* view, const QRect& item)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, item.center());
}

bool hasWhite(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == qRgb(255, 255, 255))
                return true;
    return false;
}

// The x positions in band where the text's ink is, against the colour at
// the band's left edge.
QList<int> inkColumns(const QImage& img, const QRect& band, int from, int to)
{
    const int bg = qGray(img.pixel(band.left(), band.center().y()));
    QList<int> cols;
    for (int x = from; x < to; ++x) {
        for (int y = band.top(); y <= band.bottom(); ++y) {
            if (std::abs(qGray(img.pixel(x, y)) - bg) > 96) {
                cols << x - from;
                break;
            }
        }
    }
    return cols;
}

} // namespace

void TstForm9::firstLinePreviewed()
{
    Rig r;
    r.standard();
    r.open();
    QCOMPARE(r.form->windowTitle(), QStringLiteral("直立消波ブロック - 形状選択"));
    QCOMPARE(r.list()->count(), 2);
    QVERIFY(r.list()->item(0)->isSelected());
    QCOMPARE(r.label3(), QStringLiteral("a"));
    QVERIFY(hasWhite(r.preview()));
    // Into sub by double click: listed and previewed at once.
    QTreeWidget* dir1 = r.child<QTreeWidget>("Dir1");
    QTreeWidgetItem* sub = r.dirItem("sub");
    doubleClick(dir1, dir1->visualItemRect(sub));
    r.listed();
    QCOMPARE(r.blk.DataPath, r.dir() + "sub/");
    QCOMPARE(r.list()->count(), 1);
    QCOMPARE(r.label3(), QStringLiteral("c"));
    // Up to the parent and into an empty folder: nothing listed or previewed.
    QVERIFY(QDir(r.dir()).mkdir("empty"));
    doubleClick(dir1, dir1->visualItemRect(r.dirItem(QFileInfo(r.data.path()).fileName())));
    QCOMPARE(r.blk.DataPath, r.dir());
    doubleClick(dir1, dir1->visualItemRect(r.dirItem("empty")));
    r.listed();
    QCOMPARE(r.blk.DataPath, r.dir() + "empty/");
    QCOMPARE(r.list()->count(), 0);
    QCOMPARE(r.label3(), QString());
    QVERIFY(!hasWhite(r.preview()));
}

void TstForm9::endings_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("result");
    const int ok = QDialog::Accepted;
    const int no = QDialog::Rejected;
    QTest::newRow("Enter") << 0 << false << "a" << ok;
    QTest::newRow("Esc") << 1 << false << "" << no;
    QTest::newRow("double click on line 2") << 2 << false << "b" << ok;
    QTest::newRow("arrow down, 選択") << 3 << false << "b" << ok;
    QTest::newRow("取消") << 4 << false << "" << no;
    QTest::newRow("window frame") << 5 << false << "" << no;
    QTest::newRow("選択 with nothing listed") << 6 << true << "" << no;
}

void TstForm9::endings()
{
    QFETCH(int, how);
    QFETCH(bool, empty);
    QFETCH(QString, name);
    QFETCH(int, result);
    Rig r;
    if (!empty)
        r.standard();
    r.open();
    r.form->BlkNm = QStringLiteral("stale");
    QListWidget* list = r.list();
    list->setFocus();
    switch (how) {
    case 0:
        QTest::keyClick(list, Qt::Key_Return);
        break;
    case 1:
        QTest::keyClick(list, Qt::Key_Escape);
        break;
    case 2:
        doubleClick(list, list->visualItemRect(list->item(1)));
        break;
    case 3:
        QTest::keyClick(list, Qt::Key_Down);
        [[fallthrough]];
    case 6:
        r.child<QPushButton>("Command1_0")->click();
        break;
    case 4:
        r.child<QPushButton>("Command1_1")->click();
        break;
    case 5:
        r.form->close();
        break;
    }
    QVERIFY(!r.form->isVisible());
    QCOMPARE(r.form->BlkNm, name);
    QCOMPARE(r.form->result(), result);
    if (!name.isEmpty())
        QCOMPARE(r.form->BlkPath, r.dir() + name + ".csv");
}

void TstForm9::cancelAfterFolderChange()
{
    Rig r;
    r.standard();
    r.open();
    // Enter in the folder list enters the folder and chooses nothing.
    QTreeWidget* dir1 = r.child<QTreeWidget>("Dir1");
    dir1->setFocus();
    dir1->setCurrentItem(r.dirItem("sub"));
    QTest::keyClick(dir1, Qt::Key_Return);
    r.listed();
    QVERIFY(r.form->isVisible());
    QCOMPARE(r.blk.DataPath, r.dir() + "sub/");
    QCOMPARE(r.label3(), QStringLiteral("c"));
    r.child<QPushButton>("Command1_1")->click();
    QCOMPARE(r.form->BlkNm, QString());
    QCOMPARE(r.blk.DataPath, r.dir() + "sub/");
}

void TstForm9::arrowKeysAndUnreadableFile()
{
    Rig r;
    r.standard();
    r.write("c.csv", "C");
    r.open();
    QTest::keyClick(r.list(), Qt::Key_Down);
    QCOMPARE(r.label3(), QStringLiteral("b"));
    // A line whose file has gone since listing leaves label and preview.
    const QImage before = r.preview();
    QVERIFY(QFile::remove(r.dir() + "c.csv"));
    QTest::keyClick(r.list(), Qt::Key_Down);
    QCOMPARE(r.list()->currentRow(), 2);
    QCOMPARE(r.label3(), QStringLiteral("b"));
    QCOMPARE(r.preview(), before);
    // Damaged rather than gone: the preview is not half overwritten either.
    QFile f(r.dir() + "a.csv");
    QVERIFY(f.open(QIODevice::ReadWrite));
    const QByteArray bytes = f.readAll();
    QVERIFY(f.resize(bytes.size() - 6)); // cuts the last segment line
    f.close();
    QTest::keyClick(r.list(), Qt::Key_Home);
    QCOMPARE(r.label3(), QStringLiteral("b"));
    QCOMPARE(r.preview(), before);
}

void TstForm9::headerOverColumns()
{
    // Line 2's block is named like the header: the two texts must cover
    // exactly the same pixel columns.
    Rig r;
    r.write("a.csv", "a");
    r.write("b.csv", kHeader);
    r.open();
    auto* header = r.child<QLabel>("Label1");
    QCOMPARE(header->text(), kHeader);
    QCOMPARE(header->font(), r.list()->font());
    QCOMPARE(r.list()->font().family(), QStringLiteral("IPAGothic"));
    const QFontMetrics fm(header->font()); // a full-width character is two columns
    QCOMPARE(fm.horizontalAdvance(QStringLiteral("名Ｂ")), 4 * fm.horizontalAdvance(u'0'));
    const QImage img = r.form->grab().toImage();
    const QRect head(header->mapTo(r.form.get(), QPoint(0, 0)), header->size());
    const QRect row(r.list()->viewport()->mapTo(
                        r.form.get(), r.list()->visualItemRect(r.list()->item(1)).topLeft()),
                    r.list()->visualItemRect(r.list()->item(1)).size());
    const int from = std::max(head.left(), row.left()) + 1;
    const int to = from + QFontMetrics(header->font()).horizontalAdvance(kHeader) + 4;
    const QList<int> headInk = inkColumns(img, head, from, to);
    QVERIFY(headInk.size() > 40);
    QCOMPARE(inkColumns(img, row, from, to), headInk);
}

void TstForm9::volumeNotReady()
{
    Rig r;
    r.standard();
    r.open();
    auto* drive1 = r.child<QComboBox>("Drive1");
    QVERIFY(drive1->count() > 0);
    drive1->addItem("gone", r.dir() + "no such volume/");
    drive1->setCurrentIndex(drive1->count() - 1);
    r.form->Drive1_Change();
    QCOMPARE(r.prompts.errors(), QStringList{QStringLiteral("デバイスが準備されていません。")});
    QCOMPARE(r.blk.DataPath, r.dir());
    QCOMPARE(r.list()->count(), 2);
}

void TstForm9::goneFolderFallsBack()
{
    Rig r;
    QVERIFY(Blk_Write(block("E"), r.exe.path() + "/e.csv").ok);
    r.open(r.dir() + "gone/");
    QCOMPARE(r.blk.DataPath, r.exe.path() + u'/');
    QCOMPARE(r.label3(), QStringLiteral("e"));
}

void TstForm9::overLimitSaysSo()
{
    Rig r;
    QByteArray bytes;
    QVERIFY(Blk_Encode(block("x"), bytes).ok);
    for (int i = 0; i < 1002; ++i) {
        QFile f(r.dir() + QString::number(i) + ".csv");
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    r.open();
    QCOMPARE(r.list()->count(), 1001);
    auto* note = r.child<QLabel>("StatusLabel");
    QVERIFY(note->isVisible());
    QVERIFY(note->text().contains("1001"));
}

// With its centre of gravity registered at (2, 1) the box passes its checks;
// left at (0, 0) it calls for care. The mark ends the line, the list shows it.
void TstForm9::checkMarks()
{
    Rig r;
    BlkRec good = block("good");
    good.Gx = 2;
    good.Gy = 1;
    r.write("a.csv", good);
    r.write("b.csv", "bad");
    r.open();
    const QString a = r.list()->item(0)->text();
    QVERIFY2(a.endsWith(u"    0.000 合格"), qPrintable(a));
    QVERIFY(r.list()->item(1)->text().endsWith(u"    0.000 注意"));
    QVERIFY(QFontMetrics(r.list()->font()).horizontalAdvance(a) < r.list()->viewport()->width());
}

QTEST_MAIN(TstForm9)
#include "tst_form9.moc"
