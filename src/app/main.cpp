#include "document/basmrblk.h"
#include "document/datapath.h"
#include "document/module1.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/frmmain.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    prepareApplication();

    // The block state is large (101 undo snapshots): keep it off the stack.
    auto mod = std::make_unique<Module1>();
    auto blk = std::make_unique<basMr_Blk>();
    frmMain w(*mod, *blk, DataPathPlaces::current());
    w.resize(w.startSize());
    w.show();
    return app.exec();
}
