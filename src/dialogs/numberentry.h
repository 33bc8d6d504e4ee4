#pragma once

#include <QString>
#include <QStringList>

class OvtGrid;
class Prompts;
class QLineEdit;
class QWidget;

// The check 登録 makes of the places where numbers are typed: a text that
// holds no number (NumText::typedEntry) is refused with an error naming its
// place, and the focus goes there, rather than being stored as 0.
namespace NumberEntry {

// The error text for the place ("3 行目の Y 座標", "寸法 B") and what it holds.
QString unreadable(const QString& place, const QString& text);

// Every editable cell of the grid, row by row; columnNames[c] names column c.
// Returns false, after the error, at the first cell holding no number.
bool checkGrid(OvtGrid& grid, const QStringList& columnNames, Prompts& prompts, QWidget* parent);

// One text box, named by its caption.
bool checkBox(QLineEdit& box, const QString& caption, Prompts& prompts, QWidget* parent);

} // namespace NumberEntry
