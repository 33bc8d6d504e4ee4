#pragma once

#include <QString>

class Prompts;
class QWidget;

// カタログ出力... of the shape-selection dialog: asks for the PDF's path and
// renders the catalogue of a folder on a thread of its own, behind a progress
// dialog that can be cancelled, so the window never stops answering.
class CatalogueCommand
{
public:
    CatalogueCommand(Prompts& prompts, QWidget* parent);

    // The catalogue of folder dir (ending in "/"). True when it was written;
    // a failure is reported as an error message, a cancel silently.
    bool run(const QString& dir);

private:
    QString askPath(const QString& dir);

    Prompts& mPrompts;
    QWidget* mParent;
};
