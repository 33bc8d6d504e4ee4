#include "document/folderlisting.h"

#include "document/datapath.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <vector>

namespace {

// One pool for every listing, outliving the dialogs: a listing stopped while
// a read still waits on the network lets go of it without waiting, and the
// read ends on its own. Destroyed after main(), once the reads under way have
// ended.
struct ListingPool : QThreadPool
{
    ListingPool() { setMaxThreadCount(FolderListing::Threads); }
};

QThreadPool& listingPool()
{
    static ListingPool pool;
    return pool;
}

enum class Slot : char
{
    Pending,
    Left, // not a block file: left out
    Listed
};

} // namespace

// What the threads of one listing share with the listing that started it.
struct FolderListing::Job
{
    BlockListing::Source source;
    BlockListing::Mark mark;
    QString folder; // ending in "/"; empty: nothing to list
    quint64 generation = 0;
    std::atomic<bool> cancelled = false;
    std::atomic<int> next = 0; // the next candidate to read

    // Written by enumerate() before the readers start, read-only after.
    BlockListing::FolderState state = BlockListing::FolderState::Readable;
    QStringList files;

    QMutex mutex;                   // guards what follows
    FolderListing* owner = nullptr; // null once the owner has let go
    bool announced = false;         // a collect() is on its way to the owner
    int done = 0;                   // candidates read
    std::vector<Slot> states;       // per candidate; sized once enumerated
    std::vector<BlockListing::Entry> entries;
};

FolderListing::FolderListing(BlockListing::Source source, BlockListing::Mark mark, QObject* parent)
    : QObject(parent), mSource(std::move(source)), mMark(std::move(mark))
{
}

FolderListing::~FolderListing()
{
    cancel();
}

void FolderListing::start(const QString& dir)
{
    cancel();
    mResult = {};
    mMerged = 0;
    auto job = std::make_shared<Job>();
    job->source = mSource;
    job->mark = mMark;
    job->folder = dir.isEmpty() ? QString() : Dir_WithSlash(dir); // not the root by accident
    job->generation = ++mGeneration;
    job->owner = this;
    mJob = job;
    // Reads of stopped listings may still wait on a share that has gone:
    // they keep their threads, and this listing gets its own on top.
    QThreadPool& pool = listingPool();
    pool.setMaxThreadCount(pool.activeThreadCount() + Threads);
    pool.start([job] { enumerate(job); });
}

void FolderListing::cancel()
{
    if (!mJob)
        return;
    mJob->cancelled = true;
    {
        // After this no thread of the job posts to us; what it posted
        // before carries an old generation and is ignored.
        QMutexLocker lock(&mJob->mutex);
        mJob->owner = nullptr;
    }
    mJob.reset();
    ++mGeneration;
}

// The first thread of a job: finds the candidates, then sets the other
// readers going and reads along with them.
void FolderListing::enumerate(const std::shared_ptr<Job>& job)
{
    if (!job->folder.isEmpty()) {
        job->state = BlockListing::check(job->source, job->folder);
        if (job->state == BlockListing::FolderState::Readable && !job->cancelled)
            job->files = BlockListing::candidates(job->folder);
    }
    const int count = int(job->files.size());
    {
        QMutexLocker lock(&job->mutex);
        job->states.assign(count, Slot::Pending);
        job->entries.resize(count);
        announce(*job);
    }
    QThreadPool& pool = listingPool();
    for (int i = 1; i < std::min(count, Threads) && !job->cancelled; ++i)
        pool.start([job] { work(job); });
    work(job);
}

void FolderListing::work(const std::shared_ptr<Job>& job)
{
    const int count = int(job->files.size());
    while (!job->cancelled.load(std::memory_order_relaxed)) {
        const int i = job->next.fetch_add(1);
        if (i >= count)
            return;
        BlkRec rec; // a record of its own: nothing left over from another file
        BlockListing::Entry entry;
        const bool listed = BlockListing::readEntry(job->source, job->mark, job->folder,
                                                    job->files.at(i), rec, entry);
        QMutexLocker lock(&job->mutex);
        job->states[i] = listed ? Slot::Listed : Slot::Left;
        if (listed)
            job->entries[i] = std::move(entry);
        ++job->done;
        announce(*job);
    }
}

// Asks the owner, on its own thread, to take in what has arrived; one request
// at a time, however many files finish meanwhile. Called with the mutex held.
void FolderListing::announce(Job& job)
{
    if (job.announced || !job.owner)
        return;
    job.announced = true;
    FolderListing* owner = job.owner;
    const quint64 generation = job.generation;
    QMetaObject::invokeMethod(
        owner, [owner, generation] { owner->collect(generation); }, Qt::QueuedConnection);
}

// Takes the entries whose every predecessor has been read, in order, up to
// the list's limit.
void FolderListing::collect(quint64 generation)
{
    if (!mJob || generation != mGeneration)
        return; // a listing since stopped
    QList<BlockListing::Entry> fresh;
    int done = 0;
    int total = 0;
    {
        QMutexLocker lock(&mJob->mutex);
        mJob->announced = false;
        done = mJob->done;
        total = int(mJob->states.size());
        for (; mMerged < total && mJob->states[mMerged] != Slot::Pending; ++mMerged) {
            if (mJob->states[mMerged] == Slot::Listed)
                fresh.append(std::move(mJob->entries[mMerged]));
        }
    }
    mResult.state = mJob->state;
    const int first = int(mResult.entries.size());
    for (BlockListing::Entry& e : fresh) {
        if (mResult.entries.size() == BlockListing::MaxEntries) {
            mResult.truncated = true;
            break;
        }
        mResult.entries.append(std::move(e));
    }
    // A receiver may start another listing or stop this one.
    if (mResult.entries.size() > first)
        emit entriesAdded(first);
    if (generation != mGeneration)
        return;
    emit progress(done, total);
    if (generation != mGeneration)
        return;
    if (mResult.truncated || mMerged == total)
        finish();
}

void FolderListing::finish()
{
    cancel(); // the readers still going past the limit stop
    emit finished();
}
