#pragma once

#include <QString>
#include <QStringList>

// The last blocks opened or saved, newest first, kept in the user's
// configuration folder from one run to the next.
class RecentFiles
{
public:
    static constexpr int Max = 8;

    // iniPath: the settings file; an empty text keeps the list for this run only.
    explicit RecentFiles(QString iniPath);

    QStringList files() const { return mFiles; }
    // Puts path first (once), dropping the oldest beyond Max.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

private:
    void store() const;

    QString mIni;
    QStringList mFiles;
};
