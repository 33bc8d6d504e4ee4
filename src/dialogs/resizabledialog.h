#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QString>

#include <vector>

// A dialog laid out at fixed places that the user may enlarge: the size it is
// laid out at is its smallest, the controls registered with follow() move or
// grow with the extra width and height, and the size the user leaves it at is
// remembered in the settings file for the next opening.
class ResizableDialog : public QDialog
{
    Q_OBJECT
public:
    enum Follow
    {
        MoveRight = 1, // keeps its distance from the right edge
        MoveDown = 2,  // keeps its distance from the bottom edge
        Wider = 4,     // its right edge keeps its distance from the dialog's
        Taller = 8     // its bottom edge keeps its distance from the dialog's
    };

protected:
    // settingsFile: the INI file sizes are remembered in, empty for none;
    // sizeKey: the dialog's key there ("Form4/size").
    ResizableDialog(const QString& settingsFile, const QString& sizeKey, QWidget* parent);

    void follow(QWidget* w, int how);
    // The controls are at their places for `smallest`: that becomes the
    // smallest size, and the dialog takes the remembered size, if any.
    void layoutDone(QSize smallest);
    // Puts the followers at their places for the current size again, after
    // the dialog has placed one of them itself.
    void placeFollowers();

    void resizeEvent(QResizeEvent* e) override;
    void done(int r) override;

private:
    struct Follower
    {
        QPointer<QWidget> widget;
        int how = 0;
        QRect base; // at the smallest size
    };

    QString mSettingsFile;
    QString mSizeKey;
    std::vector<Follower> mFollowers;
    QSize mSmallest;
};
