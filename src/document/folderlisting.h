#pragma once

#include "document/blocklisting.h"

#include <QObject>
#include <QString>

#include <memory>

// The shape-selection list built off the user-interface thread. Several files
// are read at once, since on a network share each read mostly waits; the
// entries are handed on in the list's final order as soon as every file
// before them has been read, so the first line shows long before the last
// file is in. Once finished, result() equals BlockListing::list() on the
// same folder.
class FolderListing : public QObject
{
    Q_OBJECT
public:
    // Files read at once: enough to keep a share's round trips overlapping,
    // few enough not to flood a file server.
    static constexpr int Threads = 12;

    explicit FolderListing(BlockListing::Source source = {}, BlockListing::Mark mark = {},
                           QObject* parent = nullptr);
    // Stops the listing under way; never waits for a read to come back.
    ~FolderListing() override;

    // Lists folder dir, stopping any listing under way first: nothing of
    // the old one arrives after this.
    void start(const QString& dir);
    // Stops at once; result() keeps what had arrived, and finished() is not
    // signalled.
    void cancel();
    bool isRunning() const { return mJob != nullptr; }

    // The entries so far, in their final order; complete once finished.
    const BlockListing::Result& result() const { return mResult; }

signals:
    // result().entries from first on are new.
    void entriesAdded(int first);
    // done of total candidate files have been read, in any order.
    void progress(int done, int total);
    void finished();

private:
    struct Job;
    static void enumerate(const std::shared_ptr<Job>& job);
    static void work(const std::shared_ptr<Job>& job);
    static void announce(Job& job);
    void collect(quint64 generation);
    void finish();

    BlockListing::Source mSource;
    BlockListing::Mark mMark;
    std::shared_ptr<Job> mJob;
    quint64 mGeneration = 0;
    int mMerged = 0; // candidates taken into mResult, in order
    BlockListing::Result mResult;
};
