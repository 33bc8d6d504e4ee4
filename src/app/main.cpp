#include "mainwindow/frmmain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mrb_make"));
    frmMain w;
    w.show();
    return app.exec();
}
