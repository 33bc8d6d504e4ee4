#include "dialogs/numberentry.h"

#include "dialogs/ovtgrid.h"
#include "dialogs/prompts.h"
#include "document/numtext.h"

#include <QLineEdit>

namespace {

bool holdsNoNumber(const QString& text)
{
    return !NumText::typedEntry(text).has_value();
}

bool isLatin(QChar c)
{
    return c.unicode() < 0x80;
}

// "3 行目の Y 座標" but "3 行目の高さ": a blank beside a Latin letter only.
QString cellPlace(int row, const QString& column)
{
    const bool latin = !column.isEmpty() && isLatin(column.front());
    return QStringLiteral("%1 行目の%2%3")
        .arg(row)
        .arg(latin ? QStringLiteral(" ") : QString(), column);
}

} // namespace

namespace NumberEntry {

QString unreadable(const QString& place, const QString& text)
{
    const bool latin = !place.isEmpty() && isLatin(place.back());
    return QStringLiteral("%1%2の「%3」は数値として読めません。数値を入力して下さい。")
        .arg(place, latin ? QStringLiteral(" ") : QString(), text);
}

bool checkGrid(OvtGrid& grid, const QStringList& columnNames, Prompts& prompts, QWidget* parent)
{
    for (int r = grid.fixedRows(); r < grid.rowCount(); ++r) {
        for (int c = grid.fixedColumns(); c < grid.columnCount(); ++c) {
            const QString text = grid.cellText(r, c);
            if (!holdsNoNumber(text))
                continue;
            prompts.error(
                parent,
                unreadable(cellPlace(r - grid.fixedRows() + 1, columnNames.value(c)), text));
            const QModelIndex cell = grid.model()->index(r - grid.fixedRows(), c);
            grid.setCurrentIndex(cell);
            grid.scrollTo(cell);
            grid.setFocus();
            return false;
        }
    }
    return true;
}

bool checkBox(QLineEdit& box, const QString& caption, Prompts& prompts, QWidget* parent)
{
    if (!holdsNoNumber(box.text()))
        return true;
    prompts.error(parent, unreadable(caption, box.text()));
    box.setFocus();
    box.selectAll();
    return false;
}

} // namespace NumberEntry
