#pragma once

#include "analysis/folderindex.h"

#include <QDate>
#include <QList>
#include <QRectF>
#include <QString>

#include <atomic>
#include <functional>

class QPainter;

// The catalogue of a folder of blocks: one PDF with the index of the blocks
// (lightest first, on as many pages as it needs) and then one data sheet per
// block in the index's order, every page numbered. It takes no widget: the
// command line and the window's background thread both render it.
namespace Catalogue {

// Index rows on one A4 page.
inline constexpr int IndexRowsPerPage = 80;

// Pages of the index for n blocks: at least one, which says so when empty.
int indexPageCount(int blocks);
// Pages of the whole catalogue.
inline int pageCount(int blocks)
{
    return indexPageCount(blocks) + blocks;
}
// The page (1-based) of the data sheet of entries[i].
inline int sheetPage(int blocks, int i)
{
    return indexPageCount(blocks) + i + 1;
}

struct Request
{
    QString folder; // shown on the index pages
    QList<FolderIndex::Entry> entries;
    QDate date;             // of the catalogue, on every page
    FigureSettings figures; // the sheets' mass and water levels
};

struct Result
{
    QString reason; // why nothing was written, in Japanese; empty on success
    bool cancelled = false;
    int pages = 0; // written

    bool ok() const { return reason.isEmpty() && !cancelled; }
};

// done pages of total, called on the rendering thread after each page.
using Progress = std::function<void(int done, int total)>;

// Writes the catalogue to path as one A4 PDF. cancel is looked at before each
// page; a cancelled or failed catalogue leaves no file behind, and an older
// file at path as it was.
Result write(const QString& path, const Request& request, const Progress& progress = {},
             const std::atomic_bool* cancel = nullptr);

// Index page `page` (0-based among the index pages) of the request, with its
// page number out of total, fitted into target like a data sheet.
void paintIndexPage(QPainter& p, const QRectF& target, const Request& request, int page, int total);

} // namespace Catalogue
