#include "mainwindow/appsetup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Gothic faces that hold both Latin and Japanese, best first.
const char* const kJapaneseFaces[] = {"Noto Sans CJK JP", "IPAPGothic",   "IPAexGothic",
                                      "VL PGothic",       "TakaoPGothic", "IPAGothic"};

// The desktop's own font is kept when it can show Japanese. Otherwise every
// Japanese text would mix a Latin face with a fallback face of another size
// and baseline (and Qt would search fontconfig for that fallback at start-up),
// so a Japanese Gothic face is used for the whole interface instead.
void chooseUiFont()
{
    const QFont current = QApplication::font();
    if (QFontDatabase::writingSystems(current.family()).contains(QFontDatabase::Japanese))
        return;
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    for (const char* face : kJapaneseFaces) {
        const QString name = QString::fromUtf8(face);
        if (families.contains(name)) {
            QFont f = current;
            f.setFamilies({name});
            QApplication::setFont(f);
            return;
        }
    }
}

// Qt's own dialogs (the file dialog, context menus of text fields) speak
// Japanese like the rest of the program, whatever the desktop's language.
void installQtJapanese()
{
    static QTranslator qt;
    if (qt.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt);
}

} // namespace

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("mrb_make"));
    chooseUiFont();
    installQtJapanese();
}
