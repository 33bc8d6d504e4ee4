#include "dialogs/resizabledialog.h"

#include <QResizeEvent>
#include <QScreen>
#include <QSettings>

ResizableDialog::ResizableDialog(const QString& settingsFile, const QString& sizeKey,
                                 QWidget* parent)
    : QDialog(parent), mSettingsFile(settingsFile), mSizeKey(sizeKey)
{
    setSizeGripEnabled(true);
}

void ResizableDialog::follow(QWidget* w, int how)
{
    mFollowers.push_back({w, how, {}});
}

void ResizableDialog::layoutDone(QSize smallest)
{
    for (Follower& f : mFollowers) {
        if (f.widget)
            f.base = f.widget->geometry();
    }
    mSmallest = smallest;
    setMinimumSize(smallest);
    QSize size = smallest;
    if (!mSettingsFile.isEmpty()) {
        const QSize kept = QSettings(mSettingsFile, QSettings::IniFormat).value(mSizeKey).toSize();
        if (kept.isValid())
            size = kept.expandedTo(smallest);
    }
    // A size remembered on a larger screen must not push the buttons off this one.
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size()).expandedTo(smallest);
    resize(size);
    placeFollowers();
}

void ResizableDialog::placeFollowers()
{
    if (!mSmallest.isValid())
        return;
    const int dw = std::max(0, width() - mSmallest.width());
    const int dh = std::max(0, height() - mSmallest.height());
    for (const Follower& f : mFollowers) {
        if (!f.widget)
            continue;
        QRect r = f.base;
        r.translate((f.how & MoveRight) ? dw : 0, (f.how & MoveDown) ? dh : 0);
        r.setWidth(r.width() + ((f.how & Wider) ? dw : 0));
        r.setHeight(r.height() + ((f.how & Taller) ? dh : 0));
        f.widget->setGeometry(r);
    }
}

void ResizableDialog::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    placeFollowers();
}

void ResizableDialog::done(int r)
{
    // Only a size the user has seen is worth keeping.
    if (isVisible() && !mSettingsFile.isEmpty())
        QSettings(mSettingsFile, QSettings::IniFormat).setValue(mSizeKey, size());
    QDialog::done(r);
}
