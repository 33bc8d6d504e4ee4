#include "dialogs/helpwindow.h"
#include "document/datapath.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

const QString HelpWindow::ContentsPage = QStringLiteral("MRB_MAKE/index.html");

QString HelpWindow::Help_Find(const QStringList& dirs)
{
    for (const QString& d : dirs) {
        const QString p = Dir_WithSlash(d) + ContentsPage;
        if (QFileInfo(p).isFile())
            return QFileInfo(p).absoluteFilePath();
    }
    return {};
}

QString HelpWindow::searchedPlaces(const QStringList& dirs)
{
    QStringList out;
    for (const QString& d : dirs)
        out << QDir::toNativeSeparators(QDir::cleanPath(Dir_WithSlash(d) + ContentsPage));
    return out.join(u'\n');
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("直立消波ブロック設定 ヘルプ"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* back = new QToolButton(this);
    back->setText(QStringLiteral("戻る"));
    back->setShortcut(QKeySequence::Back);
    auto* forward = new QToolButton(this);
    forward->setText(QStringLiteral("進む"));
    forward->setShortcut(QKeySequence::Forward);
    auto* home = new QToolButton(this);
    home->setObjectName(QStringLiteral("HelpContents"));
    home->setText(QStringLiteral("目次"));

    mBrowser = new QTextBrowser(this);
    mBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    mBrowser->setOpenExternalLinks(true);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QToolButton::clicked, mBrowser, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, mBrowser, &QTextBrowser::forward);
    connect(mBrowser, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(mBrowser, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
    connect(home, &QToolButton::clicked, this, [this] { showContents(mContents); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addWidget(home);
    bar->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(mBrowser, 1);
    resize(760, 620);
}

void HelpWindow::showContents(const QString& path)
{
    mContents = path;
    mBrowser->setSource(QUrl::fromLocalFile(path));
    show();
    raise();
    activateWindow();
}
