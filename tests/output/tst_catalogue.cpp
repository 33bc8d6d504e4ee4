// The catalogue of a folder from the window: カタログ出力... of the
// shape-selection dialog, its progress dialog and its cancel; and the
// renderer's progress and cancel on their own. PDFs are read back with
// poppler's pdfinfo and pdftotext.
#include "common/blocktext.h"
#include "common/scriptedprompts.h"
#include "dialogs/form9.h"
#include "document/blockfile.h"
#include "output/catalogue.h"

#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// A 2 x 1 box whose V, and so mass, is v.
BlkRec box(const QString& name, double v)
{
    BlkRec r = blockFromText(QStringLiteral("0,0 2,0 2,1 0,1"), QStringLiteral("1-2 2-3 3-4 4-1"));
    r.Name = name;
    r.Kind = QStringLiteral("箱型");
    r.B = 2;
    r.H = 1;
    r.L = v / 2;
    r.V = v;
    r.Gx = 1;
    r.Gy = 0.5;
    return r;
}

// n boxes of growing mass in folder dir, named by their mass in tonnes.
void fillFolder(const QString& dir, int n)
{
    for (int i = 0; i < n; ++i) {
        const double v = 0.5 * (n - i);
        QVERIFY(Blk_Write(box(QStringLiteral("箱 %1t型").arg(2.3 * v, 0, 'f', 3), v),
                          dir + QStringLiteral("/f%1.csv").arg(i, 3, 10, QLatin1Char('0')))
                    .ok);
    }
}

QString tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& path)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(tool(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfPageText(const QString& path, int page)
{
    return tool(QStringLiteral("pdftotext"),
                {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                 QString::number(page), path, QStringLiteral("-")});
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Rig
{
    QTemporaryDir data;
    QTemporaryDir exe;
    basMr_Blk blk;
    ScriptedPrompts prompts;
    std::unique_ptr<Form9> form;

    void open()
    {
        blk.DataPath = data.path() + u'/';
        form = std::make_unique<Form9>(blk, exe.path() + u'/', prompts);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void clickCatalogue()
    {
        auto* button = form->findChild<QPushButton*>(QStringLiteral("CatalogueButton"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("カタログ出力..."));
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

} // namespace

class TstCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void fromTheDialog();
    void cancelled();
};

void TstCatalogue::fromTheDialog()
{
    Rig r;
    fillFolder(r.data.path(), 3);
    r.open();
    const QString out = r.data.filePath(QStringLiteral("カタログ")); // typed without ".pdf"
    r.prompts.saveAnswers << out;
    r.clickCatalogue();

    QCOMPARE(r.prompts.errors(), QStringList());
    QCOMPARE(r.prompts.saveRequests.size(), 1);
    QCOMPARE(r.prompts.saveRequests[0].dir, r.blk.DataPath);
    QCOMPARE(r.prompts.saveRequests[0].suffix, QStringLiteral("pdf"));
    const QString pdf = out + QStringLiteral(".pdf");
    QCOMPARE(pdfPages(pdf), 4);
    const QString index = pdfPageText(pdf, 1);
    const qsizetype light = index.indexOf(QStringLiteral("箱 1.150t型"));
    const qsizetype heavy = index.indexOf(QStringLiteral("箱 3.450t型"));
    QVERIFY(light >= 0 && heavy > light);
    QVERIFY(pdfPageText(pdf, 2).contains(QStringLiteral("箱 1.150t型")));
    QVERIFY(pdfPageText(pdf, 4).contains(QStringLiteral("箱 3.450t型")));
    QVERIFY(r.form->isVisible()); // the dialog stays for the choice of a block
}

void TstCatalogue::cancelled()
{
    Rig r;
    fillFolder(r.data.path(), 150);
    r.open();
    const QString out = r.data.filePath(QStringLiteral("old.pdf"));
    {
        QFile f(out);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("an older catalogue");
    }
    r.prompts.saveAnswers << out;
    // The user presses キャンセル as soon as the progress dialog is there.
    bool pressed = false;
    QTimer::singleShot(0, r.form.get(), [&] {
        auto* progress = r.form->findChild<QProgressDialog*>();
        QVERIFY(progress);
        auto* cancel = progress->findChild<QPushButton*>();
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("キャンセル"));
        QTest::mouseClick(cancel, Qt::LeftButton);
        pressed = true;
    });
    r.clickCatalogue();
    QVERIFY(pressed);
    QCOMPARE(r.prompts.errors(), QStringList());
    QCOMPARE(contents(out), QByteArray("an older catalogue"));
    QCOMPARE(r.form->findChildren<QProgressDialog*>().size(), 0);
}

QTEST_MAIN(TstCatalogue)
#include "tst_catalogue.moc"
