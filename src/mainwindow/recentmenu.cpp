#include "mainwindow/recentmenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

RecentMenu::RecentMenu(QMenu* menu, const QString& iniPath, QObject* parent)
    : QObject(parent), mMenu(menu), mFiles(iniPath)
{
    connect(mMenu, &QMenu::aboutToShow, this, &RecentMenu::rebuild);
    rebuild();
}

void RecentMenu::rebuild()
{
    mMenu->clear();
    const QStringList files = mFiles.files();
    if (files.isEmpty()) {
        mMenu->addAction(QStringLiteral("(なし)"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < files.size(); ++i) {
        const QFileInfo f(files[i]);
        const QString label = QStringLiteral("&%1  %2  (%3)")
                                  .arg(i + 1)
                                  .arg(f.fileName(), QDir::toNativeSeparators(f.absolutePath()));
        QAction* a = mMenu->addAction(label);
        a->setObjectName(QStringLiteral("mnuFileRecent_%1").arg(i));
        a->setEnabled(f.isFile());
        a->setStatusTip(files[i]);
        const QString path = files[i];
        connect(a, &QAction::triggered, this, [this, path] { emit openRequested(path); });
    }
    mMenu->addSeparator();
    connect(mMenu->addAction(QStringLiteral("一覧を消去")), &QAction::triggered, this, [this] {
        mFiles.clear();
        rebuild();
    });
}
