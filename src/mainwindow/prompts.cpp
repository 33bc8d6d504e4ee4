#include "mainwindow/prompts.h"

#include <QMessageBox>

void MessageBoxPrompts::error(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QStringLiteral("Error"), text);
}
