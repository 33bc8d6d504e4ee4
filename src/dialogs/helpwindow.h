#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The program's help: Japanese HTML pages under the help file's stem
// ("MRB_MAKE/index.html" first), shown in a window of the program's own.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    static const QString ContentsPage; // "MRB_MAKE/index.html"

    // The contents page in the first of dirs that has one; a folder given
    // with or without its trailing "/". Empty when none has.
    static QString Help_Find(const QStringList& dirs);
    // The places Help_Find looked in, one per line, for the message that
    // says no help was found.
    static QString searchedPlaces(const QStringList& dirs);

    // A window owned by parent (it closes with it), kept above it.
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the contents page at path and brings the window forward.
    void showContents(const QString& path);
    QTextBrowser* browser() const { return mBrowser; }

private:
    QTextBrowser* mBrowser = nullptr;
    QString mContents;
};
