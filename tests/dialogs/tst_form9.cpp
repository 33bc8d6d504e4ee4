#include "common/scriptedprompts.h"
#include "dialogs/form9.h"
#include "document/blockfile.h"
#include "document/folderlisting.h"

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

#include <QSemaphore>

#include <map>
#include <memory>

#include <sys/stat.h>

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
    void folderThatCannotBeRead_data();
    void folderThatCannotBeRead();
    void subfolderThatCannotBeRead();
    void overLimitSaysSo();
    void checkMarks();
    void slowShareFillsAsFilesArrive();
    void folderChangeMidListing();
    void pipesNeverBlock();
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
    void open(const QString& dataPath = {}, const BlockListing::Source& source = {},
              bool wait = true)
    {
        blk.DataPath = dataPath.isEmpty() ? dir() : dataPath;
        form = std::make_unique<Form9>(blk, exe.path() + u'/', prompts, nullptr, source);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        if (wait)
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
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text().section(u' ', 0, 0);
        return out;
    }
    QString status() const { return child<QLabel>("StatusLabel")->text(); }
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

// A reader that holds back the files it is given until each is opened, and
// then lets it through for good; it tells when a file is asked for and when
// its read has returned.
struct Gate
{
    struct Door
    {
        QSemaphore asked;
        QSemaphore open;
        QSemaphore left;
    };
    std::map<QString, Door> doors;

    explicit Gate(const QStringList& held)
    {
        for (const QString& name : held)
            doors[name];
    }
    Door& operator[](const QString& name) { return doors.at(name); }

    BlockListing::Source source()
    {
        BlockListing::Source s;
        s.read = [this](BlkRec& rec, const QString& path) {
            const auto it = doors.find(QFileInfo(path).fileName());
            if (it == doors.end())
                return Blk_ReadPath(rec, path);
            Door& d = it->second;
            d.asked.release();
            d.open.tryAcquire(1, 20000); // never hangs the test for good
            d.open.release();
            const bool ok = Blk_ReadPath(rec, path);
            d.left.release();
            return ok;
        };
        return s;
    }
};

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

void TstForm9::folderThatCannotBeRead_data()
{
    QTest::addColumn<QString>("dataPath"); // under the data folder
    QTest::addColumn<bool>("denied");      // the data folder may not be read
    QTest::addColumn<QString>("problem");  // %1: the data folder's path
    QTest::newRow("gone") << "gone/" << false << "フォルダ %1gone が見つかりません。";
    QTest::newRow("a file") << "a.csv" << false << "%1a.csv はフォルダではありません。";
    QTest::newRow("no permission") << "" << true << "フォルダ %1 を読み取る権限がありません。";
}

// Falls back to the executable's folder and says why in the status line,
// without a message box.
void TstForm9::folderThatCannotBeRead()
{
    QFETCH(QString, dataPath);
    QFETCH(bool, denied);
    QFETCH(QString, problem);
    Rig r;
    r.write("a.csv", "A");
    QVERIFY(Blk_Write(block("E"), r.exe.path() + "/e.csv").ok);
    BlockListing::Source source;
    const QString data = r.data.path();
    if (denied) { // root may read any folder: the check stands in for the file system
        source.check = [data](const QString& dir) {
            return QDir::cleanPath(dir) == data ? BlockListing::FolderState::NoAccess
                                                : BlockListing::folderState(dir);
        };
    }
    r.open(r.dir() + dataPath, source);
    QCOMPARE(r.blk.DataPath, r.exe.path() + u'/');
    QCOMPARE(r.label3(), QStringLiteral("e"));
    r.form->resize(1600, r.form->height()); // room for the whole line
    QCOMPARE(r.status(),
             problem.arg(denied ? data : r.dir()) + " " + r.exe.path() + " を表示しています。");
    QVERIFY(r.prompts.shown.isEmpty());
}

void TstForm9::subfolderThatCannotBeRead()
{
    Rig r;
    r.standard();
    QVERIFY(QDir(r.dir()).mkdir("free"));
    const QString sub = r.dir() + "sub";
    BlockListing::Source source;
    source.check = [sub](const QString& dir) {
        return QDir::cleanPath(dir) == sub ? BlockListing::FolderState::NoAccess
                                           : BlockListing::folderState(dir);
    };
    r.open({}, source);
    QTreeWidget* dir1 = r.child<QTreeWidget>("Dir1");
    doubleClick(dir1, dir1->visualItemRect(r.dirItem("sub")));
    r.listed();
    QCOMPARE(r.blk.DataPath, r.dir());
    QCOMPARE(r.lines(), (QStringList{"A", "B"}));
    QCOMPARE(r.status(), "フォルダ " + sub + " を読み取る権限がありません。");
    QVERIFY(r.prompts.shown.isEmpty());
    // The next folder entered clears the line.
    doubleClick(dir1, dir1->visualItemRect(r.dirItem("free")));
    r.listed();
    QCOMPARE(r.blk.DataPath, r.dir() + "free/");
    QCOMPARE(r.status(), QString());
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

// A share that answers slowly: the window is up while files are still being
// read, and the lines arrive in their final order, the first one highlighted
// and previewed as soon as it is there.
void TstForm9::slowShareFillsAsFilesArrive()
{
    Rig r;
    r.write("a.csv", "A");
    r.write("b.csv", "B");
    r.write("c.csv", "C");
    Gate gate({"a.csv", "b.csv"});
    r.open({}, gate.source(), false);
    QTRY_COMPARE(r.status(), QStringLiteral("読込中 1 / 3"));
    QCOMPARE(r.lines(), QStringList()); // c waits for a and b
    // Enter with nothing listed yet does not close the chooser.
    QTest::keyClick(r.list(), Qt::Key_Return);
    QVERIFY(r.form->isVisible());
    gate["a.csv"].open.release();
    QTRY_COMPARE(r.status(), QStringLiteral("読込中 2 / 3"));
    QTRY_COMPARE(r.lines(), QStringList{"A"});
    QVERIFY(r.list()->item(0)->isSelected());
    QCOMPARE(r.label3(), QStringLiteral("a"));
    QVERIFY(hasWhite(r.preview()));
    QVERIFY(r.form->isListing());
    gate["b.csv"].open.release();
    r.listed();
    QCOMPARE(r.lines(), (QStringList{"A", "B", "C"}));
    QCOMPARE(r.status(), QString());
    QCOMPARE(r.label3(), QStringLiteral("a"));
}

void TstForm9::folderChangeMidListing()
{
    Rig r;
    r.standard();
    Gate gate({"b.csv", "d.csv"});
    r.open({}, gate.source(), false);
    QVERIFY(gate["b.csv"].asked.tryAcquire(1, 10000));
    QTreeWidget* dir1 = r.child<QTreeWidget>("Dir1");
    doubleClick(dir1, dir1->visualItemRect(r.dirItem("sub")));
    r.listed();
    QCOMPARE(r.lines(), QStringList{"C"});
    QCOMPARE(r.label3(), QStringLiteral("c"));
    // b.csv of the old folder comes back only now; another listing through
    // the same threads gives anything it might send the time to arrive.
    gate["b.csv"].open.release();
    QVERIFY(gate["b.csv"].left.tryAcquire(1, 10000));
    FolderListing other;
    QSignalSpy otherDone(&other, &FolderListing::finished);
    other.start(r.dir());
    QVERIFY(otherDone.wait(10000));
    QCOMPARE(r.lines(), QStringList{"C"});
    QCOMPARE(r.blk.DataPath, r.dir() + "sub/");
    QCOMPARE(r.status(), QString());

    // Back up, and 取消 while d.csv is held: the dialog closes at once.
    r.write("d.csv", "D");
    doubleClick(dir1, dir1->visualItemRect(r.dirItem(QFileInfo(r.data.path()).fileName())));
    QVERIFY(gate["d.csv"].asked.tryAcquire(1, 10000));
    r.child<QPushButton>("Command1_1")->click();
    QVERIFY(!r.form->isVisible());
    QVERIFY(!r.form->isListing());
    QCOMPARE(r.form->BlkNm, QString());
    gate["d.csv"].open.release();
    QVERIFY(gate["d.csv"].left.tryAcquire(1, 10000));
}

// A link to a pipe is never listed, and a listed file that has become a
// pipe is never opened for its preview: the chooser goes on answering.
void TstForm9::pipesNeverBlock()
{
    Rig r;
    r.write("a.csv", "A");
    r.write("b.csv", "B");
    const QByteArray pipe = QFile::encodeName(r.dir() + "pipe");
    QVERIFY(::mkfifo(pipe.constData(), 0600) == 0);
    QVERIFY(QFile::link(r.dir() + "pipe", r.dir() + "l.csv"));
    r.open();
    QCOMPARE(r.lines(), (QStringList{"A", "B"}));
    QVERIFY(QFile::remove(r.dir() + "b.csv"));
    QVERIFY(::mkfifo(QFile::encodeName(r.dir() + "b.csv").constData(), 0600) == 0);
    QTest::keyClick(r.list(), Qt::Key_Down);
    QCOMPARE(r.list()->currentRow(), 1);
    QCOMPARE(r.label3(), QStringLiteral("a"));
    // 選択 names the file; Open's reader then refuses it.
    r.child<QPushButton>("Command1_0")->click();
    QCOMPARE(r.form->BlkNm, QStringLiteral("b"));
}

QTEST_MAIN(TstForm9)
#include "tst_form9.moc"
