#include "mainwindow/frmmain.h"

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("直立消波ブロック設定"));
}
