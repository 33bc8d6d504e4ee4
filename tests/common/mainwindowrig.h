#pragma once

#include "common/scriptedprompts.h"
#include "document/basmrblk.h"
#include "document/datapath.h"
#include "document/module1.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/picture1.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <memory>

// One main window on its own state, with the data-folder memory file and the
// settings file kept in temporary folders.
struct Rig
{
    QTemporaryDir exe;
    QTemporaryDir cfg;
    ScriptedPrompts prompts;
    std::unique_ptr<Module1> mod = std::make_unique<Module1>();
    std::unique_ptr<basMr_Blk> blk = std::make_unique<basMr_Blk>();
    std::unique_ptr<frmMain> w;

    // size: the window's size; an invalid one keeps what the window chose.
    explicit Rig(QSize size = QSize(800, 600), DataPathPlaces places = {})
    {
        if (places.exeDir.isEmpty())
            places = {exe.path() + u'/', cfg.path() + u'/', QString()};
        w = std::make_unique<frmMain>(*mod, *blk, places, &prompts);
        if (size.isValid())
            w->resize(size);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    // The window made active, as the user's click on it would, so that its
    // shortcuts take keys.
    void activate()
    {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

    // Sends a mouse event to the drawing area the way the platform does.
    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        Picture1* p = w->picture();
        QMouseEvent e(type, QPointF(pos), p->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(p, &e);
    }

    QImage picture()
    {
        w->picture()->grab(); // paints, rebuilding the section if it is stale
        return w->picture()->picture();
    }

    // The caption as the window system shows it: the "[*]" placeholder
    // replaced by "*" while modified, removed otherwise.
    QString shownTitle() const { return w->windowHandle()->title(); }
};
