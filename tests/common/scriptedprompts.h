#pragma once

#include "dialogs/prompts.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Message boxes and dialogs answered by the test. Every box shown is recorded
// as "kind|title|text"; answers are taken from the queues in order, with a
// default when a queue is empty. A dialog shown modally is handed to onExec,
// which plays the user's part and returns the dialog's result.
struct ScriptedPrompts : Prompts
{
    QStringList shown;
    QList<bool> okCancelAnswers;      // default true (OK)
    QList<Answer> yesNoCancelAnswers; // default Cancel
    QList<bool> yesNoAnswers;         // default false (いいえ)
    QStringList saveAnswers;          // default "" (cancelled)
    QList<SaveFileRequest> saveRequests;
    QList<int> chooseAnswers;         // default: the last button (the cancel)
    QStringList openAnswers;          // default "" (cancelled)
    std::function<int(QDialog&)> onExec; // default: rejected without a word

    QStringList errors() const { return kind(QStringLiteral("error")); }
    QStringList kind(const QString& k) const
    {
        QStringList out;
        for (const QString& s : shown) {
            if (s.startsWith(k + u'|'))
                out << s.section(u'|', 2);
        }
        return out;
    }

    void error(QWidget*, const QString& text) override { record("error", "Error", text); }
    void errorRight(QWidget*, const QString& text) override { record("errorRight", "Error", text); }
    void information(QWidget*, const QString& title, const QString& text) override
    {
        record("information", title, text);
    }
    bool okCancel(QWidget*, const QString& title, const QString& text) override
    {
        record("okCancel", title, text);
        return okCancelAnswers.isEmpty() ? true : okCancelAnswers.takeFirst();
    }
    Answer yesNoCancel(QWidget*, const QString& title, const QString& text) override
    {
        record("yesNoCancel", title, text);
        return yesNoCancelAnswers.isEmpty() ? Answer::Cancel : yesNoCancelAnswers.takeFirst();
    }
    bool yesNo(QWidget*, const QString& title, const QString& text) override
    {
        record("yesNo", title, text);
        return yesNoAnswers.isEmpty() ? false : yesNoAnswers.takeFirst();
    }
    int choose(QWidget*, const QString& title, const QString& text,
               const QStringList& buttons) override
    {
        record("choose", title, text + u'|' + buttons.join(u'/'));
        return chooseAnswers.isEmpty() ? int(buttons.size()) - 1 : chooseAnswers.takeFirst();
    }
    QString openFile(QWidget*, const SaveFileRequest& r) override
    {
        record("openFile", r.caption, r.dir + r.name);
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFile(QWidget*, const SaveFileRequest& r) override
    {
        saveRequests << r;
        record("saveFile", r.caption, r.dir + r.name);
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    int exec(QDialog& d) override
    {
        record("exec", d.windowTitle(), d.metaObject()->className());
        return onExec ? onExec(d) : int(QDialog::Rejected);
    }

private:
    void record(const char* k, const QString& title, const QString& text)
    {
        shown << QString::fromLatin1(k) + u'|' + title + u'|' + text;
    }
};
