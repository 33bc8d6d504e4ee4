#pragma once

#include "document/recentfiles.h"

#include <QObject>
#include <QString>

class QMenu;

// The submenu of recent files. It is rebuilt each time it opens, so an entry
// whose file has gone shows disabled rather than failing when chosen.
class RecentMenu : public QObject
{
    Q_OBJECT
public:
    RecentMenu(QMenu* menu, const QString& iniPath, QObject* parent = nullptr);

    RecentFiles& files() { return mFiles; }
    void rebuild();

signals:
    void openRequested(const QString& path);

private:
    QMenu* mMenu;
    RecentFiles mFiles;
};
