#include "output/cataloguecommand.h"

#include "analysis/folderindex.h"
#include "dialogs/prompts.h"
#include "document/datapath.h"
#include "output/catalogue.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

namespace Text {
const QString Caption = QStringLiteral("カタログを PDF に出力");
const QString Filter = QStringLiteral("PDF ファイル (*.pdf)");
const QString Name = QStringLiteral("ブロックカタログ.pdf");
const QString Reading = QStringLiteral("ブロックファイルを読んでいます...");
const QString Rendering = QStringLiteral("カタログを出力しています... %1 / %2 頁");
const QString Cancelling = QStringLiteral("中止しています...");
const QString Cancel = QStringLiteral("キャンセル");
} // namespace Text

// How often the progress dialog follows the thread.
constexpr int kPollMs = 50;

// What the rendering thread and the window share.
struct Job
{
    QString dir;
    QString path;
    FigureSettings settings; // the concrete's unit weight for the masses
    std::atomic_bool cancel = false;
    std::atomic_int done = 0;
    std::atomic_int total = 0; // 0 while the folder is read
    Catalogue::Result result;  // read once the thread has finished

    void operator()()
    {
        const FolderIndex::Result index = FolderIndex::build(dir, settings, &cancel);
        if (index.cancelled) {
            result.cancelled = true;
            return;
        }
        Catalogue::Request request;
        request.folder = QDir::toNativeSeparators(QDir::cleanPath(dir));
        request.entries = index.entries;
        request.date = QDate::currentDate();
        request.figures = settings;
        total = Catalogue::pageCount(int(request.entries.size()));
        result = Catalogue::write(
            path, request, [this](int n, int) { done = n; }, &cancel);
    }
};

} // namespace

CatalogueCommand::CatalogueCommand(Prompts& prompts, QWidget* parent)
    : mPrompts(prompts), mParent(parent)
{
}

QString CatalogueCommand::askPath(const QString& dir)
{
    SaveFileRequest r;
    r.caption = Text::Caption;
    r.dir = dir;
    r.name = Text::Name;
    r.filter = Text::Filter;
    r.suffix = QStringLiteral("pdf");
    QString path = mPrompts.saveFile(mParent, r);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    return path;
}

bool CatalogueCommand::run(const QString& dir)
{
    const QString path = askPath(dir);
    if (path.isEmpty())
        return false;

    Job job;
    job.dir = dir;
    job.path = path;
    job.settings = readFigureSettings(DataPathPlaces::current().settingsFile());

    QProgressDialog progress(Text::Reading, Text::Cancel, 0, 0, mParent);
    progress.setWindowTitle(Text::Caption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] {
        job.cancel = true;
        progress.setLabelText(Text::Cancelling);
    });

    // The window's own loop runs while the thread renders: it repaints,
    // and the progress dialog takes the cancel.
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([&job] { job(); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
        const int total = job.total;
        if (total == 0 || job.cancel)
            return;
        progress.setMaximum(total);
        progress.setValue(job.done);
        progress.setLabelText(Text::Rendering.arg(job.done).arg(total));
    });
    poll.start(kPollMs);
    thread->start();
    progress.show();
    loop.exec();
    thread->wait();
    poll.stop();
    progress.close();

    const Catalogue::Result& r = job.result;
    if (r.cancelled)
        return false;
    if (!r.ok()) {
        mPrompts.error(mParent, r.reason);
        return false;
    }
    return true;
}
