#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

// Types text into the widget that has the focus, one key press per character
// carrying it as its text, as a full-width input mode delivers it
// (QTest::keyClicks takes Latin-1 characters only). The focus is looked up
// for each character: a grid hands it to its cell editor on the first one.
inline void typeText(const QString& text)
{
    for (QChar c : text) {
        QWidget* w = QApplication::focusWidget();
        if (!w)
            return;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(QApplication::focusWidget(), &release);
    }
}
